// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/Paths.h"
#include "TRLSafeFiles.h"
#include "TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

// Symbolic links cannot be made from a spec on every platform the editor runs on; the walks past them are tried end
// to end through the host, which makes them.
BEGIN_DEFINE_SPEC(FTRLSafeFilesSpec, "Trellic.Trellic.TRLSafeFiles", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
END_DEFINE_SPEC(FTRLSafeFilesSpec)

void FTRLSafeFilesSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLSafeFiles"));
	});

	AfterEach([this]() {
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("WalkWithoutLinks", [this]() {
		// A search that stops at its first match must not list a large folder's other entries before it goes in.
		It("tells what a folder holds right after the folder, and walks folders nested deeper than it enters at once", [this]() {
			for (const TCHAR* Folder : {TEXT("A"), TEXT("B"), TEXT("C")})
			{
				TRLTest::WriteTextFile(TempDir / Folder / TEXT("File.txt"), TEXT("x"));
			}
			FString Deep = TempDir / TEXT("D");
			for (int32 Level = 0; Level < 40; ++Level)
			{
				Deep /= FString::Printf(TEXT("L%d"), Level);
			}
			TRLTest::WriteTextFile(Deep / TEXT("Bottom.txt"), TEXT("x"));

			TArray<TPair<FString, FTRLSafeFiles::EEntry>> Told;
			TestTrue(TEXT("the walk ends"), FTRLSafeFiles::WalkWithoutLinks(TempDir, [&Told](const FString& Path, FTRLSafeFiles::EEntry Entry) {
				         Told.Add({Path, Entry});
				         return true;
			         }));
			for (int32 Index = 0; Index < Told.Num(); ++Index)
			{
				// Checked for the folders at the top; those nested past the walk's limit are walked after the rest.
				if (Told[Index].Value == FTRLSafeFiles::EEntry::Folder && FPaths::GetPath(Told[Index].Key) == TempDir)
				{
					const FString Next = Told.IsValidIndex(Index + 1) ? Told[Index + 1].Key : FString();
					TestTrue(Told[Index].Key + TEXT(" is followed by what it holds, not by ") + Next, Next.StartsWith(Told[Index].Key / TEXT("")));
				}
			}
			TestTrue(TEXT("the deepest file is told"), Told.ContainsByPredicate([&Deep](const TPair<FString, FTRLSafeFiles::EEntry>& Entry) {
				return Entry.Key == Deep / TEXT("Bottom.txt") && Entry.Value == FTRLSafeFiles::EEntry::File;
			}));
			TestEqual(TEXT("entries told"), Told.Num(), 3 * 2 + 1 + 40 + 1);
		});
	});

	Describe("ContainsFile", [this]() {
		It("finds a file at any depth, only one the predicate wants, and none in a missing folder or one of empty folders", [this]() {
			IFileManager::Get().MakeDirectory(*(TempDir / TEXT("Empty/Deeper")), true);
			TestFalse(TEXT("folders only"), FTRLSafeFiles::ContainsFile(TempDir));
			TestFalse(TEXT("a missing folder"), FTRLSafeFiles::ContainsFile(TempDir / TEXT("Missing")));

			TRLTest::WriteTextFile(TempDir / TEXT("A/B/C/Hero.uasset"), TEXT("asset"));
			TestTrue(TEXT("a file three folders down"), FTRLSafeFiles::ContainsFile(TempDir));
			const auto IsMap = [](FStringView Path) {
				return Path.EndsWith(TEXT(".umap"));
			};
			TestFalse(TEXT("no map"), FTRLSafeFiles::ContainsFile(TempDir, IsMap));
			TRLTest::WriteTextFile(TempDir / TEXT("Empty/Deeper/Level.umap"), TEXT("map"));
			TestTrue(TEXT("a map"), FTRLSafeFiles::ContainsFile(TempDir, IsMap));
		});
	});

	Describe("SetAside", [this]() {
		It("moves a file beside itself under a name that is free, and says where it went", [this]() {
			const FString Path = TempDir / TEXT("Journal.json");
			TRLTest::WriteTextFile(Path, TEXT("first"));
			TestEqualSensitive(TEXT("the first"), FTRLSafeFiles::SetAside(Path), Path + TEXT(".set-aside"));
			TRLTest::WriteTextFile(Path, TEXT("second"));
			IFileManager::Get().MakeDirectory(*(Path + TEXT(".2.set-aside")), true);
			TestEqualSensitive(TEXT("the second, past a file and a folder"), FTRLSafeFiles::SetAside(Path), Path + TEXT(".3.set-aside"));

			FString Text;
			TestTrue(TEXT("the first kept"), FFileHelper::LoadFileToString(Text, *(Path + TEXT(".set-aside"))) && Text == TEXT("first"));
			TestTrue(TEXT("the second kept"), FFileHelper::LoadFileToString(Text, *(Path + TEXT(".3.set-aside"))) && Text == TEXT("second"));
			TestFalse(TEXT("nothing left in its place"), IFileManager::Get().FileExists(*Path));
			TestEqualSensitive(TEXT("a file that is not there stays where it was"), FTRLSafeFiles::SetAside(Path), Path);
		});
	});

	Describe("DeleteWithEmptyFolder", [this]() {
		It("deletes the file and its folder once empty, and leaves a folder that holds anything else", [this]() {
			const FString Kept = TempDir / TEXT("Trellic/Kept.json");
			const FString Other = TempDir / TEXT("Trellic/Other.json");
			TRLTest::WriteTextFile(Kept, TEXT("{}"));
			TRLTest::WriteTextFile(Other, TEXT("{}"));
			FTRLSafeFiles::DeleteWithEmptyFolder(Kept);
			TestFalse(TEXT("the file"), IFileManager::Get().FileExists(*Kept));
			TestTrue(TEXT("the other file"), IFileManager::Get().FileExists(*Other));
			FTRLSafeFiles::DeleteWithEmptyFolder(Other);
			TestFalse(TEXT("the emptied folder"), IFileManager::Get().DirectoryExists(*(TempDir / TEXT("Trellic"))));
		});
	});

	Describe("ResolveInside", [this]() {
		It("resolves a relative path below the folder, and refuses an empty, an absolute and an escaping one", [this]() {
			FString Path;
			TestTrue(TEXT("inside"), FTRLSafeFiles::ResolveInside(TempDir, TEXT("Mods/../Mods/A/A.uplugin"), Path));
			TestEqualSensitive(TEXT("the path"), Path, TempDir / TEXT("Mods/A/A.uplugin"));
			for (const FString& Refused : {FString(), TempDir / TEXT("Mods/A/A.uplugin"), FString(TEXT("Mods/../../Elsewhere/A.uplugin")),
			                               FString(TEXT("../") + FPaths::GetCleanFilename(TempDir) + TEXT("Sibling/A.uplugin"))})
			{
				FString Unset = TEXT("unset");
				TestFalse(Refused, FTRLSafeFiles::ResolveInside(TempDir, Refused, Unset));
				TestEqualSensitive(Refused + TEXT(": the path"), Unset, TEXT("unset"));
			}
		});
	});
}

#endif
