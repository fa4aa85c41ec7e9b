// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "HAL/PlatformProcess.h"
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

	static FString BaseDir()
	{
		FString Dir = FPaths::ConvertRelativePathToFull(FPlatformProcess::BaseDir());
		if (!Dir.EndsWith(TEXT("/")))
		{
			Dir += TEXT("/");
		}
		return Dir;
	}

	/** A path to Path that is relative to the engine's base directory. */
	static FString RelativeToBaseDir(const FString& Path)
	{
		FString Relative = Path;
		FPaths::MakePathRelativeTo(Relative, *BaseDir());
		return Relative;
	}

	/** The descriptor CreateMod writes; the string values are given as they appear in the file, escapes included. */
	static FString ExpectedDescriptor(const FString& Name, const FString& DescriptionValue, const FString& AuthorValue, int32 ModApiVersion, int32 LoadOrder)
	{
		const TCHAR* Lines[] = {TEXT("{"),
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
		FString Text;
		for (const TCHAR* Line : Lines)
		{
			if (!Text.IsEmpty())
			{
				Text += TEXT("\r\n");
			}
			Text += Line;
		}
		Text.ReplaceInline(TEXT("{Name}"), *Name, ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{Description}"), *DescriptionValue, ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{Author}"), *AuthorValue, ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{ModApiVersion}"), *FString::FromInt(ModApiVersion), ESearchCase::CaseSensitive);
		Text.ReplaceInline(TEXT("{LoadOrder}"), *FString::FromInt(LoadOrder), ESearchCase::CaseSensitive);
		return Text;
	}

	static TArray<uint8> SingleByteEncoding(const FString& Text)
	{
		TArray<uint8> Bytes;
		for (const TCHAR Char : Text)
		{
			Bytes.Add(static_cast<uint8>(Char));
		}
		return Bytes;
	}

	static TArray<uint8> Utf16LittleEndianWithBom(const FString& Text)
	{
		TArray<uint8> Bytes = {0xFF, 0xFE};
		for (const TCHAR Char : Text)
		{
			Bytes.Add(static_cast<uint8>(Char & 0xFF));
			Bytes.Add(static_cast<uint8>((Char >> 8) & 0xFF));
		}
		return Bytes;
	}

	void TestFileBytes(const FString& Path, const TArray<uint8>& Expected)
	{
		TArray<uint8> Actual;
		if (!TestTrue(FString::Printf(TEXT("%s can be read"), *Path), FFileHelper::LoadFileToArray(Actual, *Path)))
		{
			return;
		}
		int32 FirstDifference = 0;
		while (FirstDifference < Actual.Num() && FirstDifference < Expected.Num() && Actual[FirstDifference] == Expected[FirstDifference])
		{
			++FirstDifference;
		}
		TestTrue(FString::Printf(TEXT("%s has the expected %d bytes (it has %d; first difference at byte %d)"), *Path, Expected.Num(), Actual.Num(),
		                         FirstDifference),
		         Actual == Expected);
	}

	/** A text that translators can translate: its string, and its namespace and key in the scaffold's table. */
	void TestLocalizedText(const FText& Text, const TCHAR* Key, const FString& Expected)
	{
		TestEqualSensitive(FString::Printf(TEXT("string of %s"), Key), Text.ToString(), Expected);
		TRLTest::TestLocalizationId(*this, Key, Text, TEXT("TRLModScaffold"), Key);
	}

	struct FExpectedLine
	{
		ELogVerbosity::Type Verbosity;
		FString Message;
	};

	void TestLogLines(const TArray<FExpectedLine>& Expected)
	{
		const TArray<FTRLLogCapture::FLine> Lines = Log->LinesOf(TEXT("LogTrellic"));
		TestEqual(TEXT("number of LogTrellic lines"), Lines.Num(), Expected.Num());
		for (int32 Index = 0; Index < Lines.Num() && Index < Expected.Num(); ++Index)
		{
			TestEqualSensitive(FString::Printf(TEXT("LogTrellic line %d"), Index), Lines[Index].Message, Expected[Index].Message);
			TestTrue(FString::Printf(TEXT("LogTrellic line %d has verbosity %d (it has %d)"), Index, int32(Expected[Index].Verbosity),
			                         int32(Lines[Index].Verbosity)),
			         Lines[Index].Verbosity == Expected[Index].Verbosity);
		}
	}

	/** The names of the files and folders directly in Folder, sorted and joined by "|", to compare with their case. */
	static FString ListFolder(const FString& Folder)
	{
		TArray<FString> Names;
		IFileManager::Get().FindFiles(Names, *(Folder / TEXT("*")), true, true);
		Names.Sort();
		return FString::Join(Names, TEXT("|"));
	}

	FString MountedLine(const FString& Name) const
	{
		return FString::Printf(TEXT("Mod '%s' is mounted for editing. Its content lives under /%s/ in the Content Browser."), *Name, *Name);
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

	Describe("IsValidModName", [this]() {
		It("gives one reason, that of the first rule the name breaks, under the rule's key", [this]() {
			IFileManager::Get().MakeDirectory(*(ModsRoot / TEXT("Existing")), true);
			struct FCase
			{
				FString Name;
				const TCHAR* Key;
				FString Reason;
			};
			const FCase Cases[] = {{TEXT(""), TEXT("EmptyName"), TEXT("The mod needs a name.")},
			                       {TEXT("1Mod"), TEXT("StartsWithDigit"), TEXT("The name cannot start with a digit.")},
			                       {TEXT("9-"), TEXT("StartsWithDigit"), TEXT("The name cannot start with a digit.")},
			                       {TEXT("My Mod"), TEXT("BadCharacter"), TEXT("The name may only use letters, digits and underscores. ' ' is not allowed.")},
			                       {TEXT("Existing"), TEXT("AlreadyExists"), TEXT("A mod called 'Existing' already exists.")}};
			for (const FCase& Case : Cases)
			{
				FText Reason;
				TestFalse(FString::Printf(TEXT("IsValidModName(\"%s\")"), *Case.Name), UTRLModScaffold::IsValidModName(Case.Name, Reason));
				TestLocalizedText(Reason, Case.Key, Case.Reason);
			}
		});

		It("names the first character that is neither a letter, a digit nor an underscore", [this]() {
			struct FCase
			{
				FString Name;
				FString Offender;
			};
			const FCase Cases[] = {{TEXT(" Leading"), TEXT(" ")},
			                       {TEXT("   "), TEXT(" ")},
			                       {TEXT("Mod-2.0"), TEXT("-")},
			                       {TEXT("../Escape"), TEXT(".")},
			                       {TEXT("Sub/Folder"), TEXT("/")},
			                       {TEXT("Sub\\Folder"), TEXT("\\")},
			                       // A character outside the Basic Multilingual Plane is two code units; the first one is reported alone.
			                       {TEXT("Mod\U0001F600"), FString::Chr(static_cast<TCHAR>(0xD83D))}};
			for (const FCase& Case : Cases)
			{
				FText Reason;
				TestFalse(Case.Name, UTRLModScaffold::IsValidModName(Case.Name, Reason));
				TestEqualSensitive(Case.Name, Reason.ToString(),
				                   FString::Printf(TEXT("The name may only use letters, digits and underscores. '%s' is not allowed."), *Case.Offender));
			}
			TestFalse(TEXT("nothing was made under the mods root"), IFileManager::Get().DirectoryExists(*ModsRoot));
		});

		It("accepts letters of any script, digits after the first character and underscores anywhere, leaving OutReason as it was", [this]() {
			for (const TCHAR* Name : {TEXT("_Mod"), TEXT("_"), TEXT("Mod_2"), TEXT("Caf\u00E9"), TEXT("\u041C\u043E\u0434"), TEXT("\u6A21\u7EC4")})
			{
				FText Reason = FText::FromString(TEXT("untouched"));
				TestTrue(Name, UTRLModScaffold::IsValidModName(Name, Reason));
				TestEqualSensitive(Name, Reason.ToString(), TEXT("untouched"));
			}
		});

		It("counts only a folder directly under the mods root as a mod of that name", [this]() {
			IFileManager::Get().MakeDirectory(*(ModsRoot / TEXT("Existing")), true);
			TestTrue(TEXT("the file is written"), FFileHelper::SaveStringToFile(FString(TEXT("not a mod")), *(ModsRoot / TEXT("Plain"))));
			FText Reason;
			TestTrue(TEXT("a plain file of the name"), UTRLModScaffold::IsValidModName(TEXT("Plain"), Reason));
			// A root that already ends in a separator gets no second one.
			FTRLScopedModsRootOverride RootWithSeparator(ModsRoot + TEXT("/"));
			TestFalse(TEXT("a folder under a root ending in /"), UTRLModScaffold::IsValidModName(TEXT("Existing"), Reason));
		});
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
			TestFileBytes(DescriptorPath, SingleByteEncoding(ExpectedDescriptor(ModName, TEXT("Adds a bridge."), TEXT("Ada"), 7, -5)));
			TestTrue(TEXT("mounted"), FTRLModMount::IsMounted(ModName));
			TestLogLines(
			    {{ELogVerbosity::Log, FString::Printf(TEXT("Created mod '%s' at %s"), *ModName, *ModFolder)}, {ELogVerbosity::Log, MountedLine(ModName)}});
		});

		It("writes the default description and author for empty ones, but keeps a blank author", [this]() {
			FText Error;
			const FString Defaults = UTRLModScaffold::CreateMod(ModName, FString(), FString(), Error);
			TestFileBytes(Defaults,
			              SingleByteEncoding(ExpectedDescriptor(ModName, TEXT("A mod for this game."), TEXT("Unknown"),
			                                                    GetDefault<UTRLSettings>()->ModApiVersion, GetDefault<UTRLSettings>()->DefaultLoadOrder)));

			const FString BlankName = MakeModName();
			const FString Blank = UTRLModScaffold::CreateMod(BlankName, TEXT(" "), TEXT(" "), Error);
			TestFileBytes(Blank, SingleByteEncoding(ExpectedDescriptor(BlankName, TEXT(" "), TEXT(" "), GetDefault<UTRLSettings>()->ModApiVersion,
			                                                           GetDefault<UTRLSettings>()->DefaultLoadOrder)));
		});

		It("writes ModApiVersion 1 and TRLLoadOrder 100 when no settings object is available", [this]() {
			FTRLScopedSettingsOverride NoSettings(nullptr);
			FText Error;
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("Ada"), TEXT("Plain."), Error);
			TestFileBytes(Result, SingleByteEncoding(ExpectedDescriptor(ModName, TEXT("Plain."), TEXT("Ada"), 1, 100)));
		});

		It("escapes quotes, backslashes and control characters and keeps an all-ASCII file single-byte", [this]() {
			FTRLScopedSettingsOverride NoSettings(nullptr);
			FText Error;
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("A \"B\""), TEXT("Say \"hi\" C:\\x/y\r\nnext\tcol\b\f\x01"), Error);
			TestFileBytes(Result, SingleByteEncoding(
			                          ExpectedDescriptor(ModName, TEXT("Say \\\"hi\\\" C:\\\\x/y\\r\\nnext\\tcol\\b\\f\\u0001"), TEXT("A \\\"B\\\""), 1, 100)));
		});

		It("writes the whole descriptor as UTF-16 with a byte-order mark when one character is not ASCII", [this]() {
			FTRLScopedSettingsOverride NoSettings(nullptr);
			FText Error;
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("Zo\u00EB"), TEXT("Adds a \u6A4B."), Error);
			TestFileBytes(Result, Utf16LittleEndianWithBom(ExpectedDescriptor(ModName, TEXT("Adds a \u6A4B."), TEXT("Zo\u00EB"), 1, 100)));
		});

		It("returns an absolute path for a relative mods root, while the log shows the folder as joined", [this]() {
			const FString RelativeRoot = RelativeToBaseDir(TempDir / TEXT("RelativeMods"));
			TestTrue(TEXT("the mods root is relative"), FPaths::IsRelative(RelativeRoot));
			FTRLScopedModsRootOverride RelativeOverride(RelativeRoot);

			FText Error;
			const FString Result = UTRLModScaffold::CreateMod(ModName, TEXT("Ada"), FString(), Error);
			TestEqualSensitive(TEXT("result"), Result, TempDir + TEXT("/RelativeMods/") + ModName + TEXT("/") + ModName + TEXT(".uplugin"));
			TestTrue(TEXT("the descriptor is there"), IFileManager::Get().FileExists(*Result));
			TestLogLines({{ELogVerbosity::Log, FString::Printf(TEXT("Created mod '%s' at %s/%s"), *ModName, *RelativeRoot, *ModName)},
			              {ELogVerbosity::Log, MountedLine(ModName)}});
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
			TestLogLines({});
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
			TestLogLines({});
		});
	});

	Describe("MountModForEditing", [this]() {
		It("mounts a mod and logs where its content lives", [this]() {
			const FString Path = WriteMod(ModName, ModName);
			FText Error = FText::FromString(TEXT("untouched"));
			TestTrue(TEXT("MountModForEditing"), UTRLModScaffold::MountModForEditing(Path, Error));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(), TEXT("untouched"));
			TestTrue(TEXT("mounted"), FTRLModMount::IsMounted(ModName));
			TestLogLines({{ELogVerbosity::Log, MountedLine(ModName)}});
		});

		It("takes the mod name from the descriptor's file name, not from its folder", [this]() {
			const FString FileName = MakeModName();
			const FString Path = WriteMod(ModName, FileName);
			FText Error;
			TestTrue(TEXT("MountModForEditing"), UTRLModScaffold::MountModForEditing(Path, Error));
			TestTrue(TEXT("the file's name is mounted"), FTRLModMount::IsMounted(FileName));
			TestFalse(TEXT("the folder's name is not"), FTRLModMount::IsMounted(ModName));
			TestLogLines({{ELogVerbosity::Log, MountedLine(FileName)}});
		});

		It("resolves a relative descriptor path against the engine's base directory", [this]() {
			const FString Path = WriteMod(ModName, ModName);
			FText Error;
			TestTrue(TEXT("MountModForEditing"), UTRLModScaffold::MountModForEditing(RelativeToBaseDir(Path), Error));
			TestTrue(TEXT("mounted"), FTRLModMount::IsMounted(ModName));
		});

		It("refuses a path with no file behind it, or a folder, naming the absolute path", [this]() {
			FText Error;
			TestFalse(TEXT("a missing file"), UTRLModScaffold::MountModForEditing(TEXT("TRLNoSuchFolder/Missing.uplugin"), Error));
			TestEqualSensitive(TEXT("OutError for a missing file"), Error.ToString(),
			                   FString::Printf(TEXT("No plugin descriptor at '%sTRLNoSuchFolder/Missing.uplugin'."), *BaseDir()));

			const FString Folder = ModsRoot / ModName;
			IFileManager::Get().MakeDirectory(*Folder, true);
			TestFalse(TEXT("a folder"), UTRLModScaffold::MountModForEditing(Folder, Error));
			TestEqualSensitive(TEXT("OutError for a folder"), Error.ToString(), FString::Printf(TEXT("No plugin descriptor at '%s'."), *Folder));
			TestFalse(TEXT("nothing was mounted"), FTRLModMount::IsMounted(ModName));
			TestLogLines({});
		});

		It("passes the runtime module's refusal on unchanged and logs nothing", [this]() {
			const FString Path = WriteMod(TEXT("Game"), TEXT("Game"));
			FText Error;
			TestFalse(TEXT("MountModForEditing"), UTRLModScaffold::MountModForEditing(Path, Error));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(),
			                   TEXT("Could not mount 'Game': the engine already uses the content root /Game/. Give the mod another name."));
			TestLogLines({});
		});
	});
}

#endif
