// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Styling/AppStyle.h"
#include "TRLCookJournal.h"
#include "TRLModPackager.h"
#include "TRLPackagingSpecProject.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"
#include "TRLTestHelpers.h"
#include "Templates/SharedPointer.h"
#include "UObject/Class.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLModPackagerSpec, "Trellic.TrellicEditor.TRLModPackager", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	/** What the packager handed to the UAT helper for one task. */
	struct FUatTask
	{
		FString CommandLine;
		FText PlatformDisplayName;
		FText TaskName;
		FText TaskShortName;
		const FSlateBrush* TaskIcon = nullptr;
		const void* AnalyticsParams = nullptr;
		IUATHelperModule::UatTaskResultCallack ResultCallback;
		FString ResultLocation;
	};

	FString TempDir;
	FString ProjectDir;
	FString ProjectFile;
	FString IniPath;
	FString ModName;
	FString Descriptor;
	UTRLSettings* Settings = nullptr;
	TArray<FUatTask> Tasks;
	bool bExpectsNothingStaged = false;
	TSharedPtr<FTRLPackagingSpecProject> Project;
	TSharedPtr<FTRLLogCapture> Log;

	static const TCHAR* Header()
	{
		return TEXT("[/Script/UnrealEd.ProjectPackagingSettings]");
	}

	FString CookLine() const
	{
		return FString::Printf(TEXT("+DirectoriesToAlwaysCook=(Path=\"/%s\")"), *ModName);
	}

	void WriteText(const FString& Path, const FString& Text)
	{
		TestTrue(FString::Printf(TEXT("%s is written"), *Path), TRLTest::WriteTextFile(Path, Text));
	}

	/** Every file and folder of the spec's own, but the build output a completed cook leaves under the mod's Saved folder. */
	TMap<FString, TArray<uint8>> Snapshot() const
	{
		const FString BuildOutput = FPaths::GetPath(Descriptor) / TEXT("Saved");
		TMap<FString, TArray<uint8>> Files;
		for (const TPair<FString, TArray<uint8>>& File : TRLTest::SnapshotFolder(TempDir))
		{
			if (File.Key != BuildOutput && !File.Key.StartsWith(BuildOutput / TEXT("")))
			{
				Files.Add(File.Key, File.Value);
			}
		}
		return Files;
	}

	void TestUnchanged(const FString& What, const TMap<FString, TArray<uint8>>& Before)
	{
		TestEqualSensitive(What + TEXT(": files and folders changed"), TRLTest::DescribeChanges(Before, Snapshot()), FString());
	}

	void TestText(const FString& What, const FText& Text, const TCHAR* Key, const FString& Expected, const TCHAR* Namespace = TEXT("TRLModPackager"))
	{
		TestEqualSensitive(What, Text.ToString(), Expected);
		TRLTest::TestLocalizationId(*this, What, Text, Namespace, Key);
	}

	FString LastTrellicLine() const
	{
		const TArray<FString> Lines = Log->TrellicLines();
		return Lines.Num() > 0 ? Lines.Last() : FString();
	}

	/** Ends the running job as the UAT helper would, with a result text and the seconds it took. */
	void EndJob(const FString& Result, double Seconds = 1.0)
	{
		if (!TestTrue(TEXT("a job is running"), Tasks.Num() > 0 && static_cast<bool>(Tasks.Last().ResultCallback)))
		{
			return;
		}
		IUATHelperModule::UatTaskResultCallack Callback = MoveTemp(Tasks.Last().ResultCallback);
		Tasks.Last().ResultCallback = IUATHelperModule::UatTaskResultCallack();
		if (!Result.Equals(TEXT("Completed"), ESearchCase::IgnoreCase))
		{
			AddExpectedErrorPlain(FString::Printf(TEXT("Packaging failed after %.0f s (%s)."), Seconds, *Result), EAutomationExpectedErrorFlags::Contains, 1);
		}
		else if (Tasks.Last().CommandLine.Contains(TEXT("-DLCName=")) && !bExpectsNothingStaged)
		{
			// A spec's job stages nothing, which the check after a completed mod cook reports.
			AddExpectedErrorPlain(TRLTest::NothingStagedError, EAutomationExpectedErrorFlags::Contains, 0);
			bExpectsNothingStaged = true;
		}
		Callback(Result, Seconds);
	}

	/** Packages the mod, expecting PrepareFailed after Warning (logged Times times) and every file as it was. */
	void TestPrepareFailed(const FString& What, const FString& Warning, int32 Times = 1)
	{
		const TMap<FString, TArray<uint8>> Before = Snapshot();
		if (Times > 0)
		{
			AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, Times);
		}
		FText Error;
		TestTrue(What, Package(Error) == ETRLPackageStartResult::InvalidMod);
		TestText(What, Error, TEXT("PrepareFailed"), TEXT("Could not prepare 'MyMod' for cooking. Is its descriptor writable?"));
		TestUnchanged(What, Before);
		TestFalse(What + TEXT(": no job"), UTRLModPackager::IsPackagingInProgress());
	}

	ETRLPackageStartResult Package(FText & OutError)
	{
		return UTRLModPackager::PackageMod(Descriptor, OutError);
	}

	/** Packages the mod, expecting a refusal with that result and text that leaves every file as it was. */
	void TestRefusal(ETRLPackageStartResult Expected, const TCHAR* Key, const FString& Text, const TCHAR* Namespace = TEXT("TRLModPackager"))
	{
		const TMap<FString, TArray<uint8>> Before = Snapshot();
		FText Error;
		TestTrue(FString(Key) + TEXT(": result"), Package(Error) == Expected);
		TestText(Key, Error, Key, Text, Namespace);
		TestUnchanged(Key, Before);
	}

	static TArray<uint8> Concat(std::initializer_list<TArray<uint8>> Parts)
	{
		TArray<uint8> Bytes;
		for (const TArray<uint8>& Part : Parts)
		{
			Bytes.Append(Part);
		}
		return Bytes;
	}

	static FString NoPluginDirsText(const FString& ModsFolder)
	{
		return FString::Printf(
		    TEXT("Your .uproject does not list \"AdditionalPluginDirectories\". Without it the cooker cannot see mods in '%s' and would package "
		         "an archive with no assets.\n\nAdd this to Game.uproject:\n\n    \"AdditionalPluginDirectories\": [ \"%s\" ],"),
		    *ModsFolder, *ModsFolder);
	}
END_DEFINE_SPEC(FTRLModPackagerSpec)

void FTRLModPackagerSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLModPackager"));
		ProjectDir = TempDir / TEXT("Game") / TEXT("");
		Tasks.Empty();
		bExpectsNothingStaged = false;
		Project = MakeShared<FTRLPackagingSpecProject>(ProjectDir, [this](const FString& CommandLine, const FText& PlatformDisplayName, const FText& TaskName,
		                                                                  const FText& TaskShortName, const FSlateBrush* TaskIcon,
		                                                                  const TArray<FAnalyticsEventAttribute>* AnalyticsParams,
		                                                                  IUATHelperModule::UatTaskResultCallack ResultCallback,
		                                                                  const FString& ResultLocation) {
			Tasks.Add(FUatTask{CommandLine, PlatformDisplayName, TaskName, TaskShortName, TaskIcon, AnalyticsParams, MoveTemp(ResultCallback), ResultLocation});
		});
		ProjectFile = Project->ProjectFile;
		Settings = Project->Settings;
		TestFalse(TEXT("the project is written"), ProjectFile.IsEmpty());
		IniPath = ProjectDir / TEXT("Config/DefaultGame.ini");
		ModName = TEXT("MyMod");
		Descriptor = TRLTest::WriteMod(ProjectDir / TEXT("Mods"), ModName, ModName);
		WriteText(ProjectDir / TEXT("Mods/MyMod/Content/Hero.uasset"), TEXT("asset"));
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		// A job left running would refuse every later request of this editor session.
		if (Tasks.Num() > 0 && Tasks.Last().ResultCallback)
		{
			EndJob(TEXT("Completed"));
		}
		Log.Reset();
		Project.Reset();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("GetBaseReleaseDirectory", [this]() {
		It("joins the Releases folder, the version and the platform folder, with 1.0 and Windows when there are no settings", [this]() {
			{
				FTRLScopedSettingsOverride NoSettings(nullptr);
				TestEqualSensitive(TEXT("without settings"), UTRLModPackager::GetBaseReleaseDirectory(), ProjectDir + TEXT("Releases/1.0/Windows"));
			}
			Settings->BaseReleaseVersion = TEXT("2.1");
			Settings->TargetPlatform = TEXT("Linux");
			TestEqualSensitive(TEXT("2.1 for Linux"), UTRLModPackager::GetBaseReleaseDirectory(), ProjectDir + TEXT("Releases/2.1/Linux"));
			Settings->BaseReleaseVersion.Empty();
			TestEqualSensitive(TEXT("an empty version adds no level"), UTRLModPackager::GetBaseReleaseDirectory(), ProjectDir + TEXT("Releases/Linux"));
		});

		It("names the platform folder Windows for Win64 and Win32 in any case, and uses every other platform as it is", [this]() {
			const TPair<const TCHAR*, const TCHAR*> Cases[] = {{TEXT("win32"), TEXT("Windows")}, {TEXT("WIN64"), TEXT("Windows")},
			                                                   {TEXT("wIn64"), TEXT("Windows")}, {TEXT("Win64Arm"), TEXT("Win64Arm")},
			                                                   {TEXT("Win64 "), TEXT("Win64 ")}, {TEXT("Linux"), TEXT("Linux")}};
			for (const TPair<const TCHAR*, const TCHAR*>& Case : Cases)
			{
				Settings->TargetPlatform = Case.Key;
				TestEqualSensitive(Case.Key, UTRLModPackager::GetBaseReleaseDirectory(), ProjectDir + TEXT("Releases/1.0/") + Case.Value);
			}
		});
	});

	Describe("HasBaseGameRelease", [this]() {
		It("finds the marker in the base release folder, or at any depth below the version folder", [this]() {
			TestTrue(TEXT("marker in Releases/1.0/Windows"), UTRLModPackager::HasBaseGameRelease());
			Settings->BaseReleaseVersion = TEXT("1.2");
			WriteText(ProjectDir / TEXT("Releases/1.2/Win64/Deeper/AssetRegistry.bin"), TEXT("registry"));
			TestTrue(TEXT("marker in Releases/1.2/Win64/Deeper"), UTRLModPackager::HasBaseGameRelease());
		});

		It("is false without a marker file under the version folder, and when the releases folder does not exist", [this]() {
			Settings->BaseReleaseVersion = TEXT("2.0");
			IFileManager::Get().MakeDirectory(*(ProjectDir / TEXT("Releases/2.0/Windows/AssetRegistry.bin")), true);
			WriteText(ProjectDir / TEXT("Releases/2.0/Windows/OldAssetRegistry.bin"), TEXT("registry"));
			TestFalse(TEXT("a folder named like the marker, and a file whose name only ends like it"), UTRLModPackager::HasBaseGameRelease());
			TRLTest::DeleteFolder(ProjectDir / TEXT("Releases"));
			TestFalse(TEXT("no Releases folder"), UTRLModPackager::HasBaseGameRelease());
		});
	});

	Describe("GetModStagingDirectory", [this]() {
		It("lies under the mod's own Saved folder and repeats the mod's path inside the project below the project name", [this]() {
			TestEqualSensitive(TEXT("staging folder"), UTRLModPackager::GetModStagingDirectory(Descriptor),
			                   ProjectDir + TEXT("Mods/MyMod/Saved/StagedBuilds/Windows/Game/Mods/MyMod"));
			Settings->TargetPlatform = TEXT("Linux");
			TestEqualSensitive(TEXT("for Linux"), UTRLModPackager::GetModStagingDirectory(Descriptor),
			                   ProjectDir + TEXT("Mods/MyMod/Saved/StagedBuilds/Linux/Game/Mods/MyMod"));
		});

		It("makes a relative descriptor path absolute first, so that even a bare file name has a folder", [this]() {
			const FString Absolute = FPaths::ConvertRelativePathToFull(TEXT("Some/Mod/Mod.uplugin"));
			TestEqualSensitive(TEXT("relative path"), UTRLModPackager::GetModStagingDirectory(TEXT("Some/Mod/Mod.uplugin")),
			                   UTRLModPackager::GetModStagingDirectory(Absolute));
			const FString FromBareName = UTRLModPackager::GetModStagingDirectory(TEXT("Mod.uplugin"));
			TestFalse(TEXT("a bare file name gives a folder"), FromBareName.IsEmpty() || FPaths::IsRelative(FromBareName));
		});
	});

	Describe("PackageMod", [this]() {
		It("reports the first failing check in order of precedence, changing no file", [this]() {
			// Everything is wrong at first; each step mends the check that failed and meets the next one.
			FTRLScopedSettingsOverride NoSettings(nullptr);
			TRLTest::DeleteFolder(ProjectDir / TEXT("Mods"));
			TRLTest::DeleteFolder(ProjectDir / TEXT("Releases"));
			WriteText(ProjectFile, TEXT("{ \"FileVersion\": 3 }"));
			Descriptor = ProjectDir / TEXT("Mods/MyMod/MyMod.txt");
			TestRefusal(ETRLPackageStartResult::InvalidMod, TEXT("NoSettings"), TEXT("Trellic settings are unavailable."));

			FTRLScopedSettingsOverride WithSettings(Settings);
			TestRefusal(ETRLPackageStartResult::InvalidMod, TEXT("NoDescriptorAt"), FString::Printf(TEXT("No plugin descriptor at '%s'."), *Descriptor),
			            TEXT("TRLModScaffold"));

			WriteText(Descriptor, TRLTest::MinimalDescriptorText(ModName));
			TestRefusal(ETRLPackageStartResult::InvalidMod, TEXT("NotAPlugin"), TEXT("A mod must be described by a .uplugin file."));

			// No Content folder at all, and no base release either: the content check comes first.
			Descriptor = ProjectDir / TEXT("Mods/MyMod/MyMod.UPLUGIN");
			WriteText(Descriptor, TRLTest::MinimalDescriptorText(ModName));
			TestRefusal(ETRLPackageStartResult::InvalidMod, TEXT("EmptyMod"),
			            TEXT("'MyMod' has no assets in its Content folder, so there is nothing to cook. Add at least one asset before packaging."));

			WriteText(ProjectDir / TEXT("Mods/MyMod/Content/Maps/Arena.umap"), TEXT("map"));
			TestRefusal(ETRLPackageStartResult::MissingBaseRelease, TEXT("NoBaseRelease"),
			            FString::Printf(
			                TEXT("No base game release named '1.0' was found in %sReleases/1.0/Windows. Run Tools > Trellic > Create Base Game Release first."),
			                *ProjectDir));

			WriteText(ProjectDir / TEXT("Releases/1.0/Windows/AssetRegistry.bin"), TEXT("registry"));
			TestRefusal(ETRLPackageStartResult::InvalidMod, TEXT("NoAdditionalPluginDirs"), NoPluginDirsText(TEXT("Mods")));

			// Mentioned anywhere and in any case is enough.
			WriteText(ProjectFile, TEXT("{ \"Note\": \"see additionalplugindirectories\" }"));
			FText Error;
			TestTrue(TEXT("a base release job starts"), UTRLModPackager::CreateBaseGameRelease(Error) == ETRLPackageStartResult::Started);
			TestRefusal(ETRLPackageStartResult::AlreadyRunning, TEXT("AlreadyRunning"), TEXT("A packaging job is already running. Wait for it to finish."));
			EndJob(TEXT("Completed"));

			TestTrue(TEXT("now the mod's job starts"), Package(Error) == ETRLPackageStartResult::Started);
		});

		It("shows the line to add to the project with the settings' mods folder, or Mods when that is empty", [this]() {
			WriteText(ProjectFile, TEXT("{ \"FileVersion\": 3 }"));
			Settings->ModsDirectory = TEXT("Addons");
			TestRefusal(ETRLPackageStartResult::InvalidMod, TEXT("NoAdditionalPluginDirs"), NoPluginDirsText(TEXT("Addons")));
			Settings->ModsDirectory.Empty();
			TestRefusal(ETRLPackageStartResult::InvalidMod, TEXT("NoAdditionalPluginDirs"), NoPluginDirsText(TEXT("Mods")));
		});

		It("counts as assets only .uasset and .umap files, at any depth and in any case", [this]() {
			TRLTest::DeleteFolder(ProjectDir / TEXT("Mods/MyMod/Content"));
			WriteText(ProjectDir / TEXT("Mods/MyMod/Content/Readme.txt"), TEXT("text"));
			WriteText(ProjectDir / TEXT("Mods/MyMod/Content/Hero.uasset.bak"), TEXT("old"));
			IFileManager::Get().MakeDirectory(*(ProjectDir / TEXT("Mods/MyMod/Content/Folder.uasset")), true);
			FText Error;
			TestTrue(TEXT("other files only"), Package(Error) == ETRLPackageStartResult::InvalidMod);
			TRLTest::TestLocalizationId(*this, TEXT("other files only"), Error, TEXT("TRLModPackager"), TEXT("EmptyMod"));

			WriteText(ProjectDir / TEXT("Mods/MyMod/Content/Deep/Er/Hero.UASSET"), TEXT("asset"));
			TestTrue(TEXT("an asset deep down, extension in capitals"), Package(Error) == ETRLPackageStartResult::Started);
		});

		It("starts for a project file it cannot read, which may list the mods folder", [this]() {
			IFileManager::Get().Delete(*ProjectFile);
			IFileManager::Get().MakeDirectory(*ProjectFile, true);
			FText Error;
			TestTrue(TEXT("an unreadable project"), Package(Error) == ETRLPackageStartResult::Started);
		});

		It("hands UAT the mod's cook command line, its task name, the staging folder and the package icon, leaving OutError as it was", [this]() {
			FText Error = FText::FromString(TEXT("untouched"));
			TestTrue(TEXT("started"), Package(Error) == ETRLPackageStartResult::Started);
			TestEqualSensitive(TEXT("OutError"), Error.ToString(), FString(TEXT("untouched")));
			TestTrue(TEXT("in progress"), UTRLModPackager::IsPackagingInProgress());
			if (!TestEqual(TEXT("tasks"), Tasks.Num(), 1))
			{
				return;
			}
			const FUatTask& Task = Tasks[0];
			const FString CommandLine =
			    FString::Printf(TEXT("BuildCookRun -project=\"%s\" -noP4 -platform=Win64 -clientconfig=Shipping -cook -stage -pak -package "
			                         "-skipbuild -nocompileeditor -nocompile -utf8output -DLCName=\"%s\" -basedonreleaseversion=\"1.0\" "
			                         "-DLCPakPluginFile -DLCIncludeEngineContent=false"),
			                    *ProjectFile, *Descriptor);
			TestEqualSensitive(TEXT("command line"), Task.CommandLine, CommandLine);
			TestEqualSensitive(TEXT("platform"), Task.PlatformDisplayName.ToString(), FString(TEXT("Win64")));
			TestText(TEXT("task name"), Task.TaskName, TEXT("PackageModTask"), TEXT("Packaging mod MyMod"));
			TestText(TEXT("short task name"), Task.TaskShortName, TEXT("PackageModTask"), TEXT("Packaging mod MyMod"));
			TestTrue(TEXT("package icon"), Task.TaskIcon == FAppStyle::Get().GetBrush(TEXT("MainFrame.PackageProject")));
			TestNull(TEXT("analytics"), Task.AnalyticsParams);
			TestEqualSensitive(TEXT("result location"), Task.ResultLocation, ProjectDir + TEXT("Mods/MyMod/Saved/StagedBuilds/Windows/Game/Mods/MyMod"));
			TRLTest::TestLines(*this, TEXT("log"), Log->TrellicLines(),
			                   {TEXT("Log: Prepared 'MyMod' for cooking (ExplicitlyLoaded off, content listed)."), TEXT("Log: Starting UAT: ") + CommandLine});
			EndJob(TEXT("Completed"));

			Settings->TargetPlatform = TEXT("Linux");
			Settings->ClientConfiguration = TEXT("Development");
			Settings->BaseReleaseVersion.Empty();
			Settings->bDLCIncludeEngineContent = true;
			WriteText(ProjectDir / TEXT("Releases/Linux/AssetRegistry.bin"), TEXT("registry"));
			Package(Error);
			TestEqualSensitive(TEXT("command line with the settings as they are"), Tasks.Last().CommandLine,
			                   FString::Printf(TEXT("BuildCookRun -project=\"%s\" -noP4 -platform=Linux -clientconfig=Development -cook -stage -pak -package "
			                                        "-skipbuild -nocompileeditor -nocompile -utf8output -DLCName=\"%s\" -basedonreleaseversion=\"\" "
			                                        "-DLCPakPluginFile -DLCIncludeEngineContent=true"),
			                                   *ProjectFile, *Descriptor));
			TestEqualSensitive(TEXT("platform text"), Tasks.Last().PlatformDisplayName.ToString(), FString(TEXT("Win64")));
		});

		It("refuses with PrepareFailed a descriptor that is not a JSON object, after a Warning that says so", [this]() {
			const FString NotJson = FString::Printf(TEXT("'%s' is not a JSON object, so ExplicitlyLoaded cannot be switched off for the cook. Correct its "
			                                             "JSON (a comma, a quote or a brace missing or too many) and package again."),
			                                        *Descriptor);
			int32 Times = 2;
			for (const TCHAR* NotAnObject : {TEXT("[ \"a list\" ]"), TEXT("{ \"FileVersion\": ")})
			{
				WriteText(Descriptor, NotAnObject);
				TestPrepareFailed(NotAnObject, NotJson, Times);
				Times = 0;
			}
		});

		It("refuses with PrepareFailed a DefaultGame.ini that is read-only or a folder, after a Warning that names it and why", [this]() {
			// A source-control checkout leaves files read-only; the cook must not go on without its content line.
			IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
			PlatformFile.SetReadOnly(*IniPath, true);
			TestPrepareFailed(TEXT("read-only DefaultGame.ini"),
			                  FString::Printf(TEXT("Could not write '%s' for the cook: the file is read-only, as a source-control checkout leaves it. Make it "
			                                       "writable, then package again."),
			                                  *IniPath));
			PlatformFile.SetReadOnly(*IniPath, false);

			// A folder where the file should be: there, but not readable, and not to be replaced by a text built from nothing.
			IFileManager::Get().Delete(*IniPath);
			IFileManager::Get().MakeDirectory(*IniPath, true);
			TestPrepareFailed(
			    TEXT("a folder in DefaultGame.ini's place"),
			    FString::Printf(TEXT("Could not read '%s' for the cook: a folder is in its place. Move the folder away, then package again."), *IniPath));
			TestEqual(TEXT("tasks"), Tasks.Num(), 0);
		});

		It("refuses to prepare a mod outside the mods folder, which the cook journal could not put back", [this]() {
			const FString Elsewhere = TRLTest::WriteMod(ProjectDir / TEXT("Plugins"), TEXT("Other"), TEXT("Other"));
			WriteText(ProjectDir / TEXT("Plugins/Other/Content/Thing.uasset"), TEXT("asset"));
			const TMap<FString, TArray<uint8>> Before = Snapshot();
			AddExpectedErrorPlain(
			    FString::Printf(TEXT("'%s' is neither a mod descriptor in the mods folder nor Config/DefaultGame.ini, so it cannot be "
			                         "recorded in the cook journal and 'Other' was not prepared for cooking. Only a mod in the project's mods "
			                         "folder, reached without a symbolic link, can be packaged: move it there and package again."),
			                    *Elsewhere),
			    EAutomationExpectedErrorFlags::Exact, 1);
			FText Error;
			TestTrue(TEXT("refused"), UTRLModPackager::PackageMod(Elsewhere, Error) == ETRLPackageStartResult::InvalidMod);
			TestText(TEXT("refusal"), Error, TEXT("PrepareFailed"), TEXT("Could not prepare 'Other' for cooking. Is its descriptor writable?"));
			TestUnchanged(TEXT("a mod outside the mods folder"), Before);
		});

		It("creates a missing DefaultGame.ini for the cook and leaves it empty afterwards", [this]() {
			IFileManager::Get().Delete(*IniPath);
			FText Error;
			Package(Error);
			TestEqualSensitive(TEXT("during the cook"), TRLTest::ReadText(IniPath), TEXT("\r\n") + (Header() + (TEXT("\r\n") + CookLine())) + TEXT("\r\n"));
			EndJob(TEXT("Completed"));
			TestTrue(TEXT("an empty file remains"), IFileManager::Get().FileExists(*IniPath) && IFileManager::Get().FileSize(*IniPath) == 0);
		});

		It("refuses a setting that would break UAT's command line, naming it, before anything changes", [this]() {
			struct FCase
			{
				FString UTRLSettings::*Setting;
				const TCHAR* Name;
				FString Value;
			};
			const FCase Cases[] = {{&UTRLSettings::TargetPlatform, TEXT("TargetPlatform"), TEXT("Win64 -nocompile")},
			                       {&UTRLSettings::ClientConfiguration, TEXT("ClientConfiguration"), TEXT("Ship\"ping")},
			                       {&UTRLSettings::BaseReleaseVersion, TEXT("BaseReleaseVersion"), TEXT("1.0\\")},
			                       {&UTRLSettings::BaseReleaseVersion, TEXT("BaseReleaseVersion"), TEXT("1.0\n-x")},
			                       {&UTRLSettings::BaseReleaseVersion, TEXT("BaseReleaseVersion"), TEXT("%PATH%")}};
			const TMap<FString, TArray<uint8>> Before = Snapshot();
			for (const FCase& Case : Cases)
			{
				const FString Kept = Settings->*Case.Setting;
				Settings->*Case.Setting = Case.Value;
				const FString Refusal = FString::Printf(TEXT("The Trellic setting %s is '%s', which cannot be passed safely on the automation tool's command "
				                                             "line. Change it in Project Settings > Plugins > Trellic, using letters, digits, dots, dashes and "
				                                             "underscores."),
				                                        Case.Name, *Case.Value);
				FText Error;
				TestTrue(Case.Value + TEXT(": release refused"), UTRLModPackager::CreateBaseGameRelease(Error) == ETRLPackageStartResult::InvalidMod);
				TestEqualSensitive(Case.Value + TEXT(": release"), Error.ToString(), Refusal);
				TestTrue(Case.Value + TEXT(": mod refused"), Package(Error) == ETRLPackageStartResult::InvalidMod);
				TestEqualSensitive(Case.Value + TEXT(": mod"), Error.ToString(), Refusal);
				Settings->*Case.Setting = Kept;
			}
			TestUnchanged(TEXT("after the refusals"), Before);
			TestEqual(TEXT("tasks"), Tasks.Num(), 0);

			// Between quotes a space is harmless.
			Settings->BaseReleaseVersion = TEXT("1.0 beta");
			WriteText(ProjectDir / TEXT("Releases/1.0 beta/Windows/AssetRegistry.bin"), TEXT("registry"));
			FText Error;
			TestTrue(TEXT("a version with a space"), Package(Error) == ETRLPackageStartResult::Started);
		});
	});

	Describe("CreateBaseGameRelease", [this]() {
		It("hands UAT the release command line with the settings as they are, and the Releases folder as result location", [this]() {
			Settings->BaseReleaseVersion.Empty();
			const TMap<FString, TArray<uint8>> Before = Snapshot();
			FText Error;
			TestTrue(TEXT("started"), UTRLModPackager::CreateBaseGameRelease(Error) == ETRLPackageStartResult::Started);
			if (!TestEqual(TEXT("tasks"), Tasks.Num(), 1))
			{
				return;
			}
			TestEqualSensitive(
			    TEXT("command line"), Tasks[0].CommandLine,
			    FString::Printf(TEXT("BuildCookRun -project=\"%s\" -noP4 -platform=Win64 -clientconfig=Shipping -build -cook -stage -pak -package "
			                         "-createreleaseversion=\"\" -nocompileeditor -utf8output"),
			                    *ProjectFile));
			TestText(TEXT("task name"), Tasks[0].TaskName, TEXT("CreateReleaseTask"), TEXT("Creating base game release"));
			TestEqualSensitive(TEXT("result location"), Tasks[0].ResultLocation, ProjectDir + TEXT("Releases"));
			EndJob(TEXT("Completed"));
			TestUnchanged(TEXT("after a base release job"), Before);

			FTRLScopedSettingsOverride NoSettings(nullptr);
			TestTrue(TEXT("without settings"), UTRLModPackager::CreateBaseGameRelease(Error) == ETRLPackageStartResult::InvalidMod);
			TestText(TEXT("without settings"), Error, TEXT("NoSettings"), TEXT("Trellic settings are unavailable."));
		});
	});

	Describe("the end of a job", [this]() {
		It("counts Completed in any case as success and any other result as an Error with its text, logging whole seconds rounded", [this]() {
			struct FEnd
			{
				const TCHAR* Result;
				double Seconds;
				const TCHAR* SuccessLine; // None for a failure.
			};
			// A full stop more, the empty text, a crash and a tool that could not start are failures.
			const FEnd Ends[] = {{TEXT("Completed"), 12.6, TEXT("Log: Packaging finished in 13 s.")},
			                     {TEXT("COMPLETED"), 0.4, TEXT("Log: Packaging finished in 0 s.")},
			                     {TEXT("cOmPlEtEd"), 59.5, TEXT("Log: Packaging finished in 60 s.")},
			                     {TEXT("Completed."), 12.6, nullptr},
			                     {TEXT(""), 12.6, nullptr},
			                     {TEXT("Killed by signal 9"), 12.6, nullptr},
			                     {TEXT("Could not start RunUAT.sh: No such file"), 12.6, nullptr}};
			for (const FEnd& End : Ends)
			{
				FText Error;
				Package(Error);
				EndJob(End.Result, End.Seconds);
				TestEqualSensitive(End.Result, LastTrellicLine(),
				                   End.SuccessLine
				                       ? FString(End.SuccessLine)
				                       : FString::Printf(TEXT("Error: Packaging failed after 13 s (%s). See the UAT log for the reason."), End.Result));
				TestFalse(TEXT("not in progress"), UTRLModPackager::IsPackagingInProgress());
			}
		});

		It("writes back the bytes of both files in any encoding, however the job ends and at the next start", [this]() {
			// UTF-8 with and without its mark, UTF-16 both ways round, bytes that are no UTF-8, LF and no final newline.
			const FString Text = TEXT("{\r\n\t\"FileVersion\": 3,\r\n\t\"FriendlyName\": \"Zo\u00EB \u6A21\u7EC4\",\r\n\t\"ExplicitlyLoaded\": true\r\n}\r\n");
			const FString Ini = TEXT("; Zo\u00EB\r\n[X]\r\nA=1\r\n");
			const TArray<uint8> Bom = {0xEF, 0xBB, 0xBF};
			const TArray<uint8> NotUtf8 = {0xFF, 0xC3};
			const TArray<TArray<uint8>> Descriptors = {
			    TRLTest::Utf8Bytes(Text),
			    Concat({Bom, TRLTest::Utf8Bytes(Text)}),
			    TRLTest::Utf16Bytes(Text, false),
			    TRLTest::Utf16Bytes(Text, true),
			    Concat({TRLTest::Utf8Bytes(TEXT("{ \"FriendlyName\": \"Zo")), NotUtf8, TRLTest::Utf8Bytes(TEXT("\" }"))}),
			    TRLTest::Utf8Bytes(TEXT("{\n\t\"FileVersion\": 3\n}"))};
			const TArray<TArray<uint8>> Inis = {TRLTest::Utf8Bytes(Ini),
			                                    Concat({Bom, TRLTest::Utf8Bytes(Ini)}),
			                                    TRLTest::Utf16Bytes(Ini, false),
			                                    TRLTest::Utf16Bytes(Ini, true),
			                                    Concat({TRLTest::Utf8Bytes(TEXT("; Zo")), NotUtf8, TRLTest::Utf8Bytes(TEXT("\r\n[X]"))}),
			                                    TRLTest::Utf8Bytes(TEXT("[X]\nA=1"))};
			AddExpectedError(TEXT("The editor ended during a cook of 'MyMod'; put back as before the cook"), EAutomationExpectedErrorFlags::Contains,
			                 Descriptors.Num());
			for (int32 Index = 0; Index < Descriptors.Num(); ++Index)
			{
				TestTrue(TEXT("descriptor written"), FFileHelper::SaveArrayToFile(Descriptors[Index], *Descriptor));
				TestTrue(TEXT("DefaultGame.ini written"), FFileHelper::SaveArrayToFile(Inis[Index], *IniPath));
				const TMap<FString, TArray<uint8>> Before = Snapshot();
				const FString What = FString::Printf(TEXT("encoding %d"), Index);
				FText Error;
				TestTrue(What + TEXT(": started"), Package(Error) == ETRLPackageStartResult::Started);
				EndJob(Index % 2 == 0 ? FString(TEXT("Completed")) : FString::Printf(TEXT("Failed with exit code %d"), Index));
				TestUnchanged(What + TEXT(", after the job"), Before);

				// The editor dies during the cook; the next start puts the files back.
				Package(Error);
				FTRLCookJournal::RestoreLeftBehind();
				TestUnchanged(What + TEXT(", at the next start"), Before);
				EndJob(TEXT("Completed"));
			}
		});

		It("keeps every request out while a job runs, changing no file, and lets the next one start after the end", [this]() {
			const FString OtherDescriptor = TRLTest::WriteMod(ProjectDir / TEXT("Mods"), TEXT("Other"), TEXT("Other"));
			const FString EmptyDescriptor = TRLTest::WriteMod(ProjectDir / TEXT("Mods"), TEXT("Empty"), TEXT("Empty"));
			WriteText(ProjectDir / TEXT("Mods/Other/Content/Thing.uasset"), TEXT("asset"));
			const FString IniBefore = TRLTest::ReadText(IniPath);
			FText Error;
			Package(Error);
			const TMap<FString, TArray<uint8>> WhileRunning = Snapshot();

			TestTrue(TEXT("a valid mod"), UTRLModPackager::PackageMod(OtherDescriptor, Error) == ETRLPackageStartResult::AlreadyRunning);
			TestTrue(TEXT("a base release"), UTRLModPackager::CreateBaseGameRelease(Error) == ETRLPackageStartResult::AlreadyRunning);
			TestTrue(TEXT("an invalid mod gets its own first failing check"),
			         UTRLModPackager::PackageMod(EmptyDescriptor, Error) == ETRLPackageStartResult::InvalidMod);
			TRLTest::TestLocalizationId(*this, TEXT("invalid mod"), Error, TEXT("TRLModPackager"), TEXT("EmptyMod"));
			TestUnchanged(TEXT("while the job runs"), WhileRunning);
			TestTrue(TEXT("still in progress"), UTRLModPackager::IsPackagingInProgress());
			TestEqual(TEXT("tasks"), Tasks.Num(), 1);
			EndJob(TEXT("Completed"));

			// Packaged one after the other, each mod's line comes and goes with its own job.
			TestTrue(TEXT("the next mod starts"), UTRLModPackager::PackageMod(OtherDescriptor, Error) == ETRLPackageStartResult::Started);
			TestFalse(TEXT("the first mod's line is gone"), TRLTest::ReadText(IniPath).Contains(CookLine()));
			TestTrue(TEXT("the next mod's line is there"), TRLTest::ReadText(IniPath).Contains(TEXT("+DirectoriesToAlwaysCook=(Path=\"/Other\")")));
			EndJob(TEXT("Completed"));
			TestEqualSensitive(TEXT("DefaultGame.ini after both jobs"), TRLTest::ReadText(IniPath), IniBefore);
		});
	});
}

#endif
