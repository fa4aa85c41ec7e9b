// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Interfaces/IPluginManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "TRLLocalModProvider.h"
#include "TRLProjectPaths.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"
#include "TRLTestHelpers.h"
#include "Templates/SharedPointer.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLLocalModProviderSpec, "Trellic.Trellic.TRLLocalModProvider", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ModsRoot;
	TSharedPtr<FTRLScopedModsRootOverride> RootOverride;

	struct FCase
	{
		FString Name;
		const TCHAR* Key;
		FString Reason;
	};

	/** The name is refused with exactly that reason, under that key of the scaffold's texts. */
	void TestRefused(const FCase& Case)
	{
		FText Reason;
		TestFalse(Case.Name + TEXT(" is refused"), UTRLLocalModProvider::IsValidNewModName(Case.Name, Reason));
		TestEqualSensitive(Case.Name + TEXT(": the reason"), Reason.ToString(), Case.Reason);
		TRLTest::TestLocalizationId(*this, Case.Name, Reason, TEXT("TRLModScaffold"), Case.Key);
	}

	void TestReasonKey(const FString& Name, const TCHAR* Key)
	{
		FText Reason;
		TestFalse(Name + TEXT(" is refused"), UTRLLocalModProvider::IsValidNewModName(Name, Reason));
		TRLTest::TestLocalizationId(*this, Name, Reason, TEXT("TRLModScaffold"), Key);
	}

	/** Sorted, so that a case does not depend on the order in which the file system lists folders. */
	static TArray<FString> Sorted(TArray<FString> Paths)
	{
		Paths.Sort();
		return Paths;
	}
END_DEFINE_SPEC(FTRLLocalModProviderSpec)

void FTRLLocalModProviderSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLLocalModProvider"));
		ModsRoot = TempDir / TEXT("Mods");
		RootOverride = MakeShared<FTRLScopedModsRootOverride>(ModsRoot);
	});

	AfterEach([this]() {
		RootOverride.Reset();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("GetLocalModsRoot", [this]() {
		BeforeEach([this]() {
			RootOverride.Reset();
		});

		// The project folder always ends in "/", so the joined root is the two strings put together.
		It("joins the project folder and the settings' ModsDirectory, or Mods when that is empty or there are no settings", [this]() {
			UTRLSettings* Settings = NewObject<UTRLSettings>();
			Settings->ModsDirectory = TEXT("Addons/Local");
			FTRLScopedSettingsOverride Override(Settings);
			TestEqualSensitive(TEXT("mods root"), UTRLLocalModProvider::GetLocalModsRoot(), FTRLProjectPaths::GetProjectDir() + TEXT("Addons/Local"));
			Settings->ModsDirectory.Empty();
			TestEqualSensitive(TEXT("with an empty ModsDirectory"), UTRLLocalModProvider::GetLocalModsRoot(), FTRLProjectPaths::GetProjectDir() + TEXT("Mods"));
			FTRLScopedSettingsOverride NoSettings(nullptr);
			TestEqualSensitive(TEXT("without settings"), UTRLLocalModProvider::GetLocalModsRoot(), FTRLProjectPaths::GetProjectDir() + TEXT("Mods"));
		});

		It("lies in the overriding project while a project override lives", [this]() {
			FTRLScopedProjectOverride Project(TempDir / TEXT("Game.uproject"));
			FTRLScopedSettingsOverride NoSettings(nullptr);
			TestEqualSensitive(TEXT("mods root"), UTRLLocalModProvider::GetLocalModsRoot(), TempDir / TEXT("Mods"));
		});

		It("takes an absolute ModsDirectory inside the project as it is, and refuses one that leads outside it, naming the setting", [this]() {
			UTRLSettings* Settings = NewObject<UTRLSettings>();
			FTRLScopedSettingsOverride Override(Settings);
			const FString ProjectDir = FTRLProjectPaths::GetProjectDir();
			Settings->ModsDirectory = ProjectDir + TEXT("Addons");
			TestEqualSensitive(TEXT("absolute inside"), UTRLLocalModProvider::GetLocalModsRoot(), ProjectDir + TEXT("Addons"));

			const FString Outside = FPaths::ConvertRelativePathToFull(ProjectDir / TEXT("..") / TEXT("Elsewhere"));
			for (const FString& Refused : {Outside, FString(TEXT("../Elsewhere")), FString(TEXT("Mods/../../Elsewhere"))})
			{
				Settings->ModsDirectory = Refused;
				const FString Warning = FString::Printf(
				    TEXT("The ModsDirectory setting '%s' leads outside the project, so there is no mods folder. Set it to a folder inside the project, "
				         "such as Mods (Project Settings > Plugins > Trellic, or ModsDirectory= under [/Script/Trellic.TRLSettings] in "
				         "Config/DefaultGame.ini)."),
				    *Refused);
				AddExpectedErrorPlain(Warning, EAutomationExpectedErrorFlags::Exact, 1);
				TestEqualSensitive(Refused, UTRLLocalModProvider::GetLocalModsRoot(), FString());
				FString Root;
				FText Error;
				TestFalse(Refused + TEXT(": refused without a log line"), UTRLLocalModProvider::TryGetLocalModsRoot(Root, Error));
				TestEqualSensitive(Refused + TEXT(": reason"), Error.ToString(), Warning);
			}
		});
	});

	Describe("FindLocalMods", [this]() {
		It("finds nothing in a missing mods root or an empty one", [this]() {
			TestEqual(TEXT("mods in a missing root"), UTRLLocalModProvider::FindLocalMods().Num(), 0);
			IFileManager::Get().MakeDirectory(*ModsRoot, true);
			TestEqual(TEXT("mods in an empty root"), UTRLLocalModProvider::FindLocalMods().Num(), 0);
		});

		It("lists one descriptor per folder directly under the root, named by the descriptor rather than the folder", [this]() {
			TRLTest::WriteMod(ModsRoot, TEXT("Plain"), TEXT("Plain"));
			TRLTest::WriteMod(ModsRoot, TEXT("A"), TEXT("B"));
			TRLTest::WriteTextFile(ModsRoot / TEXT("NoDescriptor/NoDescriptor.json"), TEXT("{}"));
			TRLTest::WriteTextFile(ModsRoot / TEXT("Loose.uplugin"), TEXT("{}"));
			TRLTest::WriteTextFile(ModsRoot / TEXT("Deep/Inner/Deep.uplugin"), TEXT("{}"));
			const TArray<FString> Found = Sorted(UTRLLocalModProvider::FindLocalMods());
			if (TestEqual(TEXT("descriptors found"), Found.Num(), 2))
			{
				TestEqualSensitive(TEXT("the renamed mod"), Found[0], ModsRoot / TEXT("A/B.uplugin"));
				TestEqualSensitive(TEXT("the plain mod"), Found[1], ModsRoot / TEXT("Plain/Plain.uplugin"));
			}
		});

		It("gives absolute paths for a relative mods root", [this]() {
			const FString RelativeRoot = TRLTest::RelativeToBaseDir(ModsRoot);
			TestTrue(TEXT("the root is relative"), FPaths::IsRelative(RelativeRoot));
			TRLTest::WriteMod(ModsRoot, TEXT("Rel"), TEXT("Rel"));
			FTRLScopedModsRootOverride RelativeOverride(RelativeRoot);
			const TArray<FString> Found = UTRLLocalModProvider::FindLocalMods();
			TestEqual(TEXT("descriptors found"), Found.Num(), 1);
			TestEqualSensitive(TEXT("the descriptor"), Found.IsEmpty() ? FString() : Found[0], ModsRoot / TEXT("Rel/Rel.uplugin"));
		});
	});

	Describe("FindModNamed", [this]() {
		It("finds a mod by its descriptor's name in any case, keeping the mod's own spelling, and refuses its folder's name", [this]() {
			const FString Expected = TRLTest::WriteMod(ModsRoot, TEXT("Ab"), TEXT("Bee"));
			for (const TCHAR* Name : {TEXT("Bee"), TEXT("bee"), TEXT("BEE")})
			{
				FString Descriptor;
				FText Error;
				TestTrue(FString(Name) + TEXT(" is found"), UTRLLocalModProvider::FindModNamed(Name, Descriptor, Error));
				TestEqualSensitive(FString(Name) + TEXT(": its descriptor"), Descriptor, Expected);
			}
			FString Descriptor;
			FText Error;
			TestFalse(TEXT("the folder's name is refused"), UTRLLocalModProvider::FindModNamed(TEXT("Ab"), Descriptor, Error));
			TestEqualSensitive(TEXT("the refusal"), Error.ToString(), FString::Printf(TEXT("There is no mod 'Ab' in %s."), *ModsRoot));
		});
	});

	Describe("ResolveDescriptor", [this]() {
		It("makes a relative path absolute from the engine's base folder, and refuses an empty path, a folder and a missing file by their absolute path",
		   [this]() {
			   const FString Expected = TRLTest::WriteMod(ModsRoot, TEXT("Mod"), TEXT("Mod"));
			   const FString Relative = TRLTest::RelativeToBaseDir(Expected);
			   TestTrue(TEXT("the path is relative"), FPaths::IsRelative(Relative));
			   FString Descriptor;
			   FText Error;
			   TestTrue(TEXT("a relative path is resolved"), UTRLLocalModProvider::ResolveDescriptor(Relative, Descriptor, Error));
			   TestEqualSensitive(TEXT("the descriptor"), Descriptor, Expected);

			   for (const FString& Refused : {FString(), ModsRoot / TEXT("Mod"), ModsRoot / TEXT("Mod/Other.uplugin")})
			   {
				   TestFalse(Refused + TEXT(" is refused"), UTRLLocalModProvider::ResolveDescriptor(Refused, Descriptor, Error));
				   TestEqualSensitive(Refused + TEXT(": the refusal"), Error.ToString(),
				                      FString::Printf(TEXT("No plugin descriptor at '%s'."), *FPaths::ConvertRelativePathToFull(Refused)));
				   TRLTest::TestLocalizationId(*this, Refused, Error, TEXT("TRLModScaffold"), TEXT("NoDescriptorAt"));
			   }
		   });
	});

	Describe("IsValidNewModName", [this]() {
		It("refuses an empty name, a leading digit, and the first character that is no letter, digit or underscore", [this]() {
			const FString BadCharacter = TEXT("The name may only use letters, digits and underscores. '%s' is not allowed.");
			const auto Bad = [&BadCharacter](const TCHAR* Name, const FString& Offender) {
				return FCase{Name, TEXT("BadCharacter"), BadCharacter.Replace(TEXT("%s"), *Offender)};
			};
			const FCase Cases[] = {{TEXT(""), TEXT("EmptyName"), TEXT("The mod needs a name.")},
			                       {TEXT("1Mod"), TEXT("StartsWithDigit"), TEXT("The name cannot start with a digit.")},
			                       {TEXT("9-"), TEXT("StartsWithDigit"), TEXT("The name cannot start with a digit.")},
			                       Bad(TEXT("My Mod"), TEXT(" ")),
			                       Bad(TEXT("   "), TEXT(" ")),
			                       Bad(TEXT("Mod-2.0"), TEXT("-")),
			                       Bad(TEXT("../Escape"), TEXT(".")),
			                       Bad(TEXT("Sub/Folder"), TEXT("/")),
			                       Bad(TEXT("Sub\\Folder"), TEXT("\\")),
			                       // A character outside the Basic Multilingual Plane is two code units; the first one is named alone.
			                       Bad(TEXT("Mod\U0001F600"), FString::Chr(static_cast<TCHAR>(0xD83D)))};
			for (const FCase& Case : Cases)
			{
				TestRefused(Case);
			}
			TestFalse(TEXT("nothing was made under the mods root"), IFileManager::Get().DirectoryExists(*ModsRoot));
		});

		It("accepts letters of any script, digits after the first character and underscores anywhere, leaving OutReason as it was", [this]() {
			for (const TCHAR* Name : {TEXT("_Mod"), TEXT("_"), TEXT("Mod_2"), TEXT("Caf\u00E9"), TEXT("\u041C\u043E\u0434"), TEXT("\u6A21\u7EC4")})
			{
				FText Reason = FText::FromString(TEXT("untouched"));
				TestTrue(Name, UTRLLocalModProvider::IsValidNewModName(Name, Reason));
				TestEqualSensitive(Name, Reason.ToString(), TEXT("untouched"));
			}
		});

		It("refuses the engine's content roots in any case", [this]() {
			const FCase Cases[] = {
			    {TEXT("Game"), TEXT("EngineContentRoot"),
			     TEXT("The engine keeps the content root /Game/ for itself, so a mod called 'Game' could never be opened for editing or cooked on its "
			          "own. Choose another name.")},
			    {TEXT("tEMP"), TEXT("EngineContentRoot"),
			     TEXT("The engine keeps the content root /Temp/ for itself, so a mod called 'tEMP' could never be opened for editing or cooked on its "
			          "own. Choose another name.")}};
			for (const FCase& Case : Cases)
			{
				TestRefused(Case);
			}
			for (const TCHAR* Name : {TEXT("Engine"), TEXT("SCRIPT"), TEXT("config"), TEXT("Memory")})
			{
				TestReasonKey(Name, TEXT("EngineContentRoot"));
			}
		});

		It("refuses this plug-in's own name in any case", [this]() {
			const FString PluginName(TEXT(UE_PLUGIN_NAME));
			TestRefused({PluginName.ToLower(), TEXT("PluginOwnName"),
			             FString::Printf(TEXT("'%s' is the name of the modding plug-in itself, so a mod called '%s' could never be opened for editing. "
			                                  "Choose another name."),
			                             *PluginName, *PluginName.ToLower())});
		});

		It("refuses the names Windows keeps for devices in any case", [this]() {
			TestRefused({TEXT("Com7"), TEXT("WindowsDeviceName"),
			             TEXT("Windows keeps the name COM7 for a device, so a mod called 'Com7' could have no folder or file of its name there. Choose "
			                  "another name.")});
			for (const TCHAR* Name : {TEXT("CON"), TEXT("prn"), TEXT("Aux"), TEXT("nul"), TEXT("COM1"), TEXT("lpt1"), TEXT("LPT9")})
			{
				TestReasonKey(Name, TEXT("WindowsDeviceName"));
			}
		});

		It("takes a name that only begins or ends like one the engine or Windows keeps", [this]() {
			for (const TCHAR* Name : {TEXT("Games"), TEXT("Engine2"), TEXT("Console"), TEXT("COM0"), TEXT("COM10"), TEXT("LPT"), TEXT("Nul_")})
			{
				FText Reason;
				TestTrue(FString(Name) + TEXT(" is free"), UTRLLocalModProvider::IsValidNewModName(Name, Reason));
			}
		});

		It("refuses a name held in other capitals by a folder, a mod or a plug-in the engine knows, naming it as spelled there, but not by a file", [this]() {
			TRLTest::WriteMod(ModsRoot, TEXT("Ab"), TEXT("Bee"));
			IFileManager::Get().MakeDirectory(*(ModsRoot / TEXT("Folder")), true);
			IFileManager::Get().MakeDirectory(*(ModsRoot / TEXT("game")), true);
			TRLTest::WriteTextFile(ModsRoot / TEXT("Plain"), TEXT("not a mod"));
			// Mods are not the only plug-ins: the project's and the engine's own ones hold their names too.
			const FString PluginName = TRLTest::MakeUniqueModName(TEXT("TRLSpecPlugin"));
			const FString PluginDescriptor = TRLTest::WriteMod(TempDir / TEXT("Plugins"), PluginName, PluginName);
			FText AddError;
			TestTrue(TEXT("the plug-in is known"), IPluginManager::Get().AddToPluginsList(PluginDescriptor, &AddError));

			const auto InOtherCase = [](const FString& Name, const FString& Existing) {
				return FString::Printf(TEXT("A mod called '%s' already exists as '%s'. Names differ only in capitals there, so choose another name."), *Name,
				                       *Existing);
			};
			const FCase Cases[] = {{TEXT("bee"), TEXT("TakenInOtherCase"), InOtherCase(TEXT("bee"), TEXT("Bee"))},
			                       {TEXT("FOLDER"), TEXT("TakenInOtherCase"), InOtherCase(TEXT("FOLDER"), TEXT("Folder"))},
			                       {PluginName.ToUpper(), TEXT("TakenInOtherCase"), InOtherCase(PluginName.ToUpper(), PluginName)},
			                       {PluginName, TEXT("AlreadyExists"), FString::Printf(TEXT("A mod called '%s' already exists."), *PluginName)},
			                       // The rules keep their order: a folder of exactly the name, then a name the engine keeps.
			                       {TEXT("game"), TEXT("AlreadyExists"), TEXT("A mod called 'game' already exists.")},
			                       {TEXT("GAME"), TEXT("EngineContentRoot"),
			                        TEXT("The engine keeps the content root /Game/ for itself, so a mod called 'GAME' could never be opened for editing or "
			                             "cooked on its own. Choose another name.")}};
			for (const FCase& Case : Cases)
			{
				TestRefused(Case);
			}
			FText Reason;
			TestTrue(TEXT("a plain file's name, in any capitals, is free"), UTRLLocalModProvider::IsValidNewModName(TEXT("PLAIN"), Reason));
		});

		It("refuses the name of a content root mounted without a plug-in", [this]() {
			const FString RootName = TRLTest::MakeUniqueModName(TEXT("TRLSpecRoot"));
			const FString RootFolder = TempDir / TEXT("Mounted/");
			FPackageName::RegisterMountPoint(FString::Printf(TEXT("/%s/"), *RootName), RootFolder);
			TestRefused({RootName, TEXT("ContentRootInUse"),
			             FString::Printf(TEXT("The content root /%s/ is already in use in this editor, so a mod called '%s' could never be opened for "
			                                  "editing. Choose another name."),
			                             *RootName, *RootName)});
			FPackageName::UnRegisterMountPoint(FString::Printf(TEXT("/%s/"), *RootName), RootFolder);
		});

		It("refuses a name whose cooked archive would pass 260 characters in this project, naming that path and its length", [this]() {
			// The mods root inside the project, as a real one is: the cook repeats the mod's path inside the project.
			RootOverride.Reset();
			FTRLScopedProjectOverride Project(TempDir / TEXT("Game.uproject"));
			FTRLScopedSettingsOverride NoSettings(nullptr);
			const auto ArchiveOf = [this](const FString& Name) {
				return TempDir + TEXT("/Mods/") + Name + TEXT("/Saved/StagedBuilds/Windows/Game/Mods/") + Name + TEXT("/Content/Paks/Windows/") + Name +
				       TEXT("Windows.pak");
			};
			const int32 Longest = (260 - ArchiveOf(FString()).Len()) / 3;
			if (!TestTrue(TEXT("the temporary folder leaves room for a name"), Longest > 1))
			{
				return;
			}
			const FString Fits = TEXT("L") + FString::ChrN(Longest - 1, TEXT('a'));
			FText Reason;
			TestTrue(TEXT("the longest name that fits"), UTRLLocalModProvider::IsValidNewModName(Fits, Reason));

			const FString TooLong = Fits + TEXT("a");
			const FString Archive = ArchiveOf(TooLong);
			TestRefused({TooLong, TEXT("CookedPathTooLong"),
			             FString::Printf(TEXT("A mod called '%s' would be cooked to '%s', a path of %d characters; the engine's cook on Windows allows 260. "
			                                  "Choose a shorter name, or move the project to a shorter folder."),
			                             *TooLong, *Archive, Archive.Len())});
			TestFalse(TEXT("nothing was written"), IFileManager::Get().DirectoryExists(*(TempDir / TEXT("Mods"))));
		});
	});
}

#endif
