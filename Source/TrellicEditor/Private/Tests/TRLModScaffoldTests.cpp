// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Internationalization/Text.h"
#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLModMount.h"
#include "TRLModScaffold.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"
#include "TRLTestHelpers.h"
#include "Templates/SharedPointer.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLModScaffoldSpec, "Trellic.TrellicEditor.TRLModScaffold", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ModsRoot;
	FString ModName;
	// Every mod name the running case may have mounted, so that none stays mounted after it.
	TArray<FString> ModNames;
	TSharedPtr<FTRLScopedModsRootOverride> RootOverride;
	TSharedPtr<FTRLLogCapture> Log;

	/** A mod name no earlier case has used, unmounted when the case ends. */
	FString MakeModName()
	{
		return ModNames.Add_GetRef(TRLTest::MakeUniqueModName(TEXT("TRLScaffoldSpecMod")));
	}

	/** The descriptor CreateMod writes; the string values are given as they appear in the file, escapes included. */
	static FString ExpectedDescriptor(const FString& Name, const FString& DescriptionValue, const FString& AuthorValue, int32 ModApiVersion, int32 LoadOrder)
	{
		const TArray<FString> Lines = {TEXT("{"),
		                               TEXT("\t\"FileVersion\": 3,"),
		                               TEXT("\t\"Version\": 1,"),
		                               TEXT("\t\"VersionName\": \"1.0.0\","),
		                               TEXT("\t\"FriendlyName\": \"{Name}\","),
		                               TEXT("\t\"Description\": \"{Description}\","),
		                               TEXT("\t\"Category\": \"Mods\","),
		                               TEXT("\t\"CreatedBy\": \"{Author}\","),
		                               TEXT("\t\"CanContainContent\": true,"),
		                               TEXT("\t\"ExplicitlyLoaded\": true,"),
		                               TEXT("\t\"ModApiVersion\": {ModApiVersion},"),
		                               TEXT("\t\"TRLLoadOrder\": {LoadOrder},"),
		                               TEXT("\t\"TRLTags\": [],"),
		                               TEXT("\t\"TRLRequiredMods\": [],"),
		                               TEXT("\t\"Modules\": []"),
		                               TEXT("}")};
		// The module writes CR LF line ends whichever platform the editor runs on.
		FString Text = FString::Join(Lines, TEXT("\r\n"));
		Text.ReplaceInline(TEXT("{Name}"), *Name, ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{Description}"), *DescriptionValue, ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{Author}"), *AuthorValue, ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{ModApiVersion}"), *FString::FromInt(ModApiVersion), ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{LoadOrder}"), *FString::FromInt(LoadOrder), ESearchCase::CaseSensitive);
		return Text;
	}

	void TestFileBytes(const FString& Path, const TArray<uint8>& Expected)
	{
		const TArray<uint8> Actual = TRLTest::ReadBytes(Path);
		TestTrue(FString::Printf(TEXT("%s holds the expected %d bytes, not %d"), *Path, Expected.Num(), Actual.Num()), Actual == Expected);
	}

	void TestLog(const TArray<FString>& Expected)
	{
		TRLTest::TestLines(*this, TEXT("log"), Log->TrellicLines(), Expected);
	}

	/** The names of the files and folders directly in Folder, sorted and joined by "|", to compare with their case. */
	static FString ListFolder(const FString& Folder)
	{
		TArray<FString> Names;
		IFileManager::Get().FindFiles(Names, *(Folder / TEXT("*")), true, true);
		Names.Sort();
		return FString::Join(Names, TEXT("|"));
	}

	static FString MountedLine(const FString& Name)
	{
		return FString::Printf(TEXT("Log: Mod '%s' is mounted for editing. Its content lives under /%s/ in the Content Browser."), *Name, *Name);
	}

	/** Writes a content-only mod ModsRoot/FolderName with the descriptor FileBaseName.uplugin and returns its path. */
	FString WriteMod(const FString& FolderName, const FString& FileBaseName)
	{
		const FString Path = TRLTest::WriteMod(ModsRoot, FolderName, FileBaseName);
		TestFalse(TEXT("the descriptor is written"), Path.IsEmpty());
		return Path;
	}
END_DEFINE_SPEC(FTRLModScaffoldSpec)

void FTRLModScaffoldSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLModScaffold"));
		ModsRoot = TempDir / TEXT("Mods");
		ModName = MakeModName();
		RootOverride = MakeShared<FTRLScopedModsRootOverride>(ModsRoot);
		Log = MakeShared<FTRLLogCapture>();
	});

	AfterEach([this]() {
		Log.Reset();
		RootOverride.Reset();
		for (const FString& Name : ModNames)
		{
			TRLTest::UnmountMod(Name);
		}
		ModNames.Empty();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("CreateMod", [this]() {
		It("creates the mods root, the mod folder, an empty Content folder and the descriptor, then mounts the mod", [this]() {
			UTRLSettings* Settings = NewObject<UTRLSettings>();
			Settings->ModApiVersion = 7;
			Settings->DefaultLoadOrder = -5;
			FTRLScopedSettingsOverride SettingsOverride(Settings);

			FText Error = FText::FromString(TEXT("untouched"));
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("Ada"), TEXT("Adds a bridge."), Error);

			const FString ModFolder = ModsRoot + TEXT("/") + ModName;
			const FString DescriptorPath = ModFolder + TEXT("/") + ModName + TEXT(".uplugin");
			TestEqualSensitive(TEXT("result"), Result, DescriptorPath);
			TestEqualSensitive(TEXT("OutError"), Error.ToString(), TEXT("untouched"));
			TestEqualSensitive(TEXT("mods root"), ListFolder(ModsRoot), ModName);
			TestEqualSensitive(TEXT("mod folder"), ListFolder(ModFolder), TEXT("Content|") + ModName + TEXT(".uplugin"));
			TestTrue(TEXT("Content is a folder"), IFileManager::Get().DirectoryExists(*(ModFolder / TEXT("Content"))));
			TestEqualSensitive(TEXT("Content folder"), ListFolder(ModFolder / TEXT("Content")), TEXT(""));
			TestFileBytes(DescriptorPath, TRLTest::Utf8Bytes(ExpectedDescriptor(ModName, TEXT("Adds a bridge."), TEXT("Ada"), 7, -5)));
			TestTrue(TEXT("mounted"), FTRLModMount::IsMounted(ModName));
			TestLog({FString::Printf(TEXT("Log: Created mod '%s' at %s"), *ModName, *ModFolder), MountedLine(ModName)});
		});

		It("writes the default description and author for empty ones, but keeps a blank author", [this]() {
			FText Error;
			const FString Defaults = UTRLModScaffold::CreateMod(ModName, FString(), FString(), Error);
			TestFileBytes(Defaults,
			              TRLTest::Utf8Bytes(ExpectedDescriptor(ModName, TEXT("A mod for this game."), TEXT("Unknown"),
			                                                    GetDefault<UTRLSettings>()->ModApiVersion, GetDefault<UTRLSettings>()->DefaultLoadOrder)));

			const FString BlankName = MakeModName();
			const FString Blank = UTRLModScaffold::CreateMod(BlankName, TEXT(" "), TEXT(" "), Error);
			TestFileBytes(Blank, TRLTest::Utf8Bytes(ExpectedDescriptor(BlankName, TEXT(" "), TEXT(" "), GetDefault<UTRLSettings>()->ModApiVersion,
			                                                           GetDefault<UTRLSettings>()->DefaultLoadOrder)));
		});

		// Without settings, as the next two cases run, ModApiVersion is 1 and TRLLoadOrder 100.
		It("escapes quotes, backslashes and control characters and keeps an all-ASCII file single-byte", [this]() {
			FTRLScopedSettingsOverride NoSettings(nullptr);
			FText Error;
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("A \"B\""), TEXT("Say \"hi\" C:\\x/y\r\nnext\tcol\b\f\x01"), Error);
			TestFileBytes(Result, TRLTest::Utf8Bytes(
			                          ExpectedDescriptor(ModName, TEXT("Say \\\"hi\\\" C:\\\\x/y\\r\\nnext\\tcol\\b\\f\\u0001"), TEXT("A \\\"B\\\""), 1, 100)));
		});

		It("writes the whole descriptor as UTF-16 with a byte-order mark when one character is not ASCII", [this]() {
			FTRLScopedSettingsOverride NoSettings(nullptr);
			FText Error;
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("Zo\u00EB"), TEXT("Adds a \u6A4B."), Error);
			TestFileBytes(Result, TRLTest::Utf16Bytes(ExpectedDescriptor(ModName, TEXT("Adds a \u6A4B."), TEXT("Zo\u00EB"), 1, 100)));
		});

		It("returns an absolute path for a relative mods root, while the log shows the folder as joined", [this]() {
			const FString RelativeRoot = TRLTest::RelativeToBaseDir(TempDir / TEXT("RelativeMods"));
			TestTrue(TEXT("the mods root is relative"), FPaths::IsRelative(RelativeRoot));
			FTRLScopedModsRootOverride RelativeOverride(RelativeRoot);

			FText Error;
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("Ada"), FString(), Error);
			TestEqualSensitive(TEXT("result"), Result, TempDir + TEXT("/RelativeMods/") + ModName + TEXT("/") + ModName + TEXT(".uplugin"));
			TestTrue(TEXT("the descriptor is there"), IFileManager::Get().FileExists(*Result));
			TestLog({FString::Printf(TEXT("Log: Created mod '%s' at %s/%s"), *ModName, *RelativeRoot, *ModName), MountedLine(ModName)});
		});

		It("refuses a bad name, one the engine or Windows keeps, and one that is taken in other capitals, without touching the disk", [this]() {
			// The mods root holds one mod, so that a name taken in other capitals has something to collide with.
			const FString Existing = MakeModName();
			WriteMod(Existing, Existing);
			for (const FString& Name : {FString(TEXT("My Mod")), FString(TEXT("Temp")), FString(TEXT("nul")), Existing.ToLower()})
			{
				const TMap<FString, TArray<uint8>> Before = TRLTest::SnapshotFolder(TempDir);
				FText Reason;
				TestFalse(Name + TEXT(": the name is refused"), UTRLModScaffold::IsValidModName(Name, Reason));
				FText Error;
				TestEqualSensitive(Name + TEXT(": result"), UTRLModScaffold::CreateMod(Name, TEXT("Ada"), FString(), Error), TEXT(""));
				TestEqualSensitive(Name + TEXT(": OutError is the name's reason"), Error.ToString(), Reason.ToString());
				TestEqualSensitive(Name + TEXT(": what changed"), TRLTest::DescribeChanges(Before, TRLTest::SnapshotFolder(TempDir)), TEXT(""));
			}
			TestLog({});
		});

		It("reports a Content folder that cannot be made, leaving what was there", [this]() {
			// A plain file does not count as an existing mod, but no folder can be made in its place.
			const FString Blocker = ModsRoot / ModName;
			IFileManager::Get().MakeDirectory(*ModsRoot, true);
			TestTrue(TEXT("the blocking file is written"), FFileHelper::SaveStringToFile(FString(TEXT("in the way")), *Blocker));

			FText Error;
			TestEqualSensitive(TEXT("result"), UTRLModScaffold::CreateMod(ModName, TEXT("Ada"), FString(), Error), TEXT(""));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(), FString::Printf(TEXT("Could not create '%s/%s/Content'."), *ModsRoot, *ModName));
			TestEqualSensitive(TEXT("mods root"), ListFolder(ModsRoot), ModName);
			TestTrue(TEXT("the file is still a file"), IFileManager::Get().FileExists(*Blocker));
			TestLog({});
		});
	});

	// Which descriptor a path means, and the mount itself, are the runtime module's; their specs try each refusal, and
	// the host's script runs see the scaffold pass both kinds on.
	Describe("MountModForEditing", [this]() {
		It("mounts a mod under its descriptor's name, not its folder's, and logs where its content lives", [this]() {
			const FString FileName = MakeModName();
			FText Error = FText::FromString(TEXT("untouched"));
			TestTrue(TEXT("mounted"), UTRLModScaffold::MountModForEditing(WriteMod(ModName, FileName), Error));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(), TEXT("untouched"));
			TestTrue(TEXT("the file's name is mounted"), FTRLModMount::IsMounted(FileName));
			TestFalse(TEXT("the folder's name is not"), FTRLModMount::IsMounted(ModName));
			TestLog({MountedLine(FileName)});
		});
	});
}

#endif
