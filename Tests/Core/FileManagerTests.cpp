#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Misc/Paths.h"

#include "FileTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
	namespace fs = std::filesystem;

	class FFileManagerTest : public FFileTestFolder
	{
	protected:
		void TearDown() override
		{
			std::error_code Ignored;
			fs::permissions(Folder, fs::perms::owner_all, fs::perm_options::add, Ignored);
			FFileTestFolder::TearDown();
		}

		void MakeReadOnly(const std::string& Relative) const
		{
			fs::permissions(Folder / Relative, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
		}
		// Whatever the folder holds, as sorted paths below it.
		std::vector<std::string> Listing(const std::string& Relative = "") const
		{
			std::vector<std::string> Entries;
			for (const fs::directory_entry& Entry : fs::recursive_directory_iterator(Folder / Relative))
			{
				Entries.push_back(fs::relative(Entry.path(), Folder / Relative).string());
			}
			std::sort(Entries.begin(), Entries.end());
			return Entries;
		}

		static std::vector<std::string> Utf8(const TArray<FString>& Names)
		{
			std::vector<std::string> Result;
			for (const FString& Name : Names)
			{
				Result.push_back(Name.ToUtf8());
			}
			return Result;
		}

		IFileManager& FileManager = IFileManager::Get();
	};

	// Counts the entries it sees and stops the walk after a given number.
	class FStoppingVisitor : public IPlatformFile::FDirectoryVisitor
	{
	public:
		explicit FStoppingVisitor(int32 InStopAfter)
		    : StopAfter(InStopAfter)
		{
		}
		bool Visit(const TCHAR* FilenameOrDirectory, bool bIsDirectory) override
		{
			Seen.Add(FString(FilenameOrDirectory) + (bIsDirectory ? TEXT("/") : TEXT("")));
			return Seen.Num() < StopAfter;
		}
		TArray<FString> Seen;

	private:
		int32 StopAfter;
	};

	struct FCancelingProgress : FCopyProgress
	{
		bool Poll(float Fraction) override
		{
			LastFraction = Fraction;
			return false;
		}
		float LastFraction = -1.0f;
	};
} // namespace

TEST_F(FFileManagerTest, ExistenceAndSizeTellFilesFromFolders)
{
	Write("Data.bin", std::string(1234, 'x'));
	fs::create_directory(Folder / "Sub");

	EXPECT_TRUE(FileManager.FileExists(*PathOf(TEXT("Data.bin"))));
	EXPECT_FALSE(FileManager.FileExists(*PathOf(TEXT("Sub"))));
	EXPECT_TRUE(FileManager.DirectoryExists(*PathOf(TEXT("Sub"))));
	EXPECT_FALSE(FileManager.DirectoryExists(*PathOf(TEXT("Data.bin"))));
	EXPECT_EQ(FileManager.FileSize(*PathOf(TEXT("Data.bin"))), 1234);
	EXPECT_EQ(FileManager.FileSize(*PathOf(TEXT("Sub"))), INDEX_NONE);
	EXPECT_EQ(FileManager.FileSize(*PathOf(TEXT("Missing"))), INDEX_NONE);

	const FDateTime Stamp = FileManager.GetTimeStamp(*PathOf(TEXT("Data.bin")));
	EXPECT_LT((FDateTime::UtcNow() - Stamp).GetTotalSeconds(), 60.0);
	EXPECT_GT((FDateTime::UtcNow() - Stamp).GetTotalSeconds(), -5.0);
	EXPECT_EQ(FileManager.GetTimeStamp(*PathOf(TEXT("Missing"))), FDateTime::MinValue());
}

TEST_F(FFileManagerTest, MakeDirectoryCreatesParentsOnlyAsATree)
{
	EXPECT_FALSE(FileManager.MakeDirectory(*PathOf(TEXT("a/b/c"))));
	EXPECT_FALSE(fs::exists(Folder / "a"));
	EXPECT_TRUE(FileManager.MakeDirectory(*PathOf(TEXT("a/b/c")), true));
	EXPECT_TRUE(fs::is_directory(Folder / "a/b/c"));
	EXPECT_TRUE(FileManager.MakeDirectory(*PathOf(TEXT("a/b/c")), true));
	EXPECT_TRUE(FileManager.MakeDirectory(*PathOf(TEXT("a\\b\\d"))));
	EXPECT_TRUE(fs::is_directory(Folder / "a/b/d"));

	Write("File", "x");
	EXPECT_FALSE(FileManager.MakeDirectory(*PathOf(TEXT("File"))));
	EXPECT_FALSE(FileManager.MakeDirectory(*PathOf(TEXT("File/Sub")), true));
}

TEST_F(FFileManagerTest, DeleteDirectoryEmptiesOnlyAsATreeAndNeverFollowsLinks)
{
	Write("Tree/a/b/file.txt", "x");
	Write("Outside/keep.txt", "keep");
	fs::create_directory_symlink(Folder / "Outside", Folder / "Tree/a/link");

	EXPECT_FALSE(FileManager.DeleteDirectory(*PathOf(TEXT("Tree"))));
	EXPECT_TRUE(fs::exists(Folder / "Tree/a/b/file.txt"));
	EXPECT_TRUE(FileManager.DeleteDirectory(*PathOf(TEXT("Tree")), true, true));
	EXPECT_FALSE(fs::exists(Folder / "Tree"));
	EXPECT_EQ(Read("Outside/keep.txt"), "keep");

	EXPECT_TRUE(FileManager.DeleteDirectory(*PathOf(TEXT("Tree")), false, true));
	EXPECT_FALSE(FileManager.DeleteDirectory(*PathOf(TEXT("Tree")), true, true));
}

TEST_F(FFileManagerTest, DeleteRemovesFilesButReadOnlyOnesOnlyWhenAsked)
{
	Write("a.txt", "a");
	Write("locked.txt", "l");
	MakeReadOnly("locked.txt");

	EXPECT_TRUE(FileManager.Delete(*PathOf(TEXT("a.txt"))));
	EXPECT_FALSE(fs::exists(Folder / "a.txt"));
	EXPECT_TRUE(FileManager.Delete(*PathOf(TEXT("a.txt"))));
	EXPECT_FALSE(FileManager.Delete(*PathOf(TEXT("a.txt")), true));

	EXPECT_TRUE(FileManager.IsReadOnly(*PathOf(TEXT("locked.txt"))));
	EXPECT_FALSE(FileManager.Delete(*PathOf(TEXT("locked.txt"))));
	EXPECT_TRUE(fs::exists(Folder / "locked.txt"));
	EXPECT_TRUE(FileManager.Delete(*PathOf(TEXT("locked.txt")), true, true));
	EXPECT_FALSE(fs::exists(Folder / "locked.txt"));
}

TEST_F(FFileManagerTest, CopyTakesTheDestinationFirstAndCreatesItsFolder)
{
	const std::string Content = std::string(3 << 20, 'a') + "end";
	Write("Source.bin", Content);

	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("New/Folder/Copy.bin")), *PathOf(TEXT("Source.bin"))), static_cast<uint32>(COPY_OK));
	EXPECT_EQ(Read("New/Folder/Copy.bin"), Content);
	EXPECT_EQ(Read("Source.bin"), Content);

	Write("Existing.bin", "old");
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Existing.bin")), *PathOf(TEXT("Source.bin")), false), static_cast<uint32>(COPY_Fail));
	EXPECT_EQ(Read("Existing.bin"), "old");
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Existing.bin")), *PathOf(TEXT("Missing.bin"))), static_cast<uint32>(COPY_Fail));
	EXPECT_EQ(Read("Existing.bin"), "old");
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Existing.bin")), *PathOf(TEXT("New"))), static_cast<uint32>(COPY_Fail));
}

TEST_F(FFileManagerTest, CopyRespectsReadOnlyDestinationsAndCancellation)
{
	Write("Source.txt", "new");
	Write("Locked.txt", "old");
	MakeReadOnly("Locked.txt");

	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Locked.txt")), *PathOf(TEXT("Source.txt"))), static_cast<uint32>(COPY_Fail));
	EXPECT_EQ(Read("Locked.txt"), "old");
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Locked.txt")), *PathOf(TEXT("Source.txt")), true, true), static_cast<uint32>(COPY_OK));
	EXPECT_EQ(Read("Locked.txt"), "new");
	// Without Attributes the copy may be written again.
	EXPECT_FALSE(FileManager.IsReadOnly(*PathOf(TEXT("Locked.txt"))));

	Write("Target.txt", "kept");
	FCancelingProgress Progress;
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Target.txt")), *PathOf(TEXT("Source.txt")), true, false, false, &Progress), static_cast<uint32>(COPY_Canceled));
	EXPECT_FLOAT_EQ(Progress.LastFraction, 1.0f);
	EXPECT_EQ(Read("Target.txt"), "kept");
	EXPECT_EQ(Listing(), (std::vector<std::string>{"Locked.txt", "Source.txt", "Target.txt"}));
}

TEST_F(FFileManagerTest, ACopyToANewFileLeavesNothingWhenItDoesNotFinishAndKeepsTheSourcesMode)
{
	Write("Source.txt", "new");
	fs::permissions(Folder / "Source.txt", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Copy.txt")), *PathOf(TEXT("Source.txt"))), static_cast<uint32>(COPY_OK));
	EXPECT_EQ(fs::status(Folder / "Copy.txt").permissions(), fs::status(Folder / "Source.txt").permissions());

	FCancelingProgress Progress;
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Canceled.txt")), *PathOf(TEXT("Source.txt")), true, false, false, &Progress), static_cast<uint32>(COPY_Canceled));
	// A pipe has no end to copy to, and opening it must not wait for a writer.
	ASSERT_EQ(mkfifo((Folder / "Pipe").c_str(), 0644), 0);
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("FromPipe.txt")), *PathOf(TEXT("Pipe"))), static_cast<uint32>(COPY_Fail));
	EXPECT_EQ(Listing(), (std::vector<std::string>{"Copy.txt", "Pipe", "Source.txt"}));
}

TEST_F(FFileManagerTest, MoveRenamesFilesAndFolders)
{
	Write("a.txt", "a");
	Write("b.txt", "b");
	Write("Dir/inner.txt", "i");

	EXPECT_FALSE(FileManager.Move(*PathOf(TEXT("b.txt")), *PathOf(TEXT("a.txt")), false));
	EXPECT_EQ(Read("b.txt"), "b");
	EXPECT_TRUE(FileManager.Move(*PathOf(TEXT("b.txt")), *PathOf(TEXT("a.txt"))));
	EXPECT_EQ(Read("b.txt"), "a");
	EXPECT_FALSE(fs::exists(Folder / "a.txt"));

	EXPECT_TRUE(FileManager.Move(*PathOf(TEXT("Deep/Er/Moved")), *PathOf(TEXT("Dir"))));
	EXPECT_EQ(Read("Deep/Er/Moved/inner.txt"), "i");
	EXPECT_FALSE(FileManager.Move(*PathOf(TEXT("x.txt")), *PathOf(TEXT("Missing.txt"))));
}

TEST_F(FFileManagerTest, FindFilesMatchesTheLastSegmentAndAppendsBareNames)
{
	Write("Mods/Alpha/Alpha.uplugin", "");
	Write("Mods/Alpha/notes.txt", "");
	Write("Mods/beta/beta.UPLUGIN", "");
	Write("Mods/README", "");
	Write("Mods/b1.txt", "");
	Write("Mods/b22.txt", "");

	TArray<FString> Found;
	FileManager.FindFiles(Found, *PathOf(TEXT("Mods/*")), false, true);
	EXPECT_EQ(Utf8(Found), (std::vector<std::string>{"Alpha", "beta"}));

	FileManager.FindFiles(Found, *PathOf(TEXT("Mods/*")), true, false);
	EXPECT_EQ(Utf8(Found), (std::vector<std::string>{"Alpha", "beta", "b1.txt", "b22.txt", "README"}));

	Found.Empty();
	FileManager.FindFiles(Found, *PathOf(TEXT("Mods\\B?.TXT")), true, true);
	EXPECT_EQ(Utf8(Found), (std::vector<std::string>{"b1.txt"}));

	Found.Empty();
	FileManager.FindFiles(Found, *PathOf(TEXT("Mods/*.*")), true, false);
	EXPECT_EQ(Found.Num(), 3) << "*.* also matches names without a dot";

	Found.Empty();
	FileManager.FindFiles(Found, *PathOf(TEXT("Mods/beta/*.uplugin")), true, false);
	EXPECT_EQ(Utf8(Found), (std::vector<std::string>{"beta.UPLUGIN"}));

	Found.Empty();
	FileManager.FindFiles(Found, *PathOf(TEXT("Mods/Missing/*")), true, true);
	EXPECT_TRUE(Found.IsEmpty());

	FileManager.FindFiles(Found, *PathOf(TEXT("Mods/")), TEXT("txt"));
	FileManager.FindFiles(Found, *PathOf(TEXT("Mods")), TEXT(".txt"));
	EXPECT_EQ(Utf8(Found), (std::vector<std::string>{"b1.txt", "b22.txt", "b1.txt", "b22.txt"}));
}

TEST_F(FFileManagerTest, FindFilesRecursiveGivesFullPathsFolderByFolder)
{
	Write("Releases/1.2/Win64/AssetRegistry.bin", "");
	Write("Releases/1.2/Linux/Deeper/AssetRegistry.bin", "");
	Write("Releases/1.2/assetregistry.bin.bak", "");
	fs::create_directories(Folder / "Releases/1.2/Empty");
	const FString Start = PathOf(TEXT("Releases/1.2"));

	TArray<FString> Found;
	Found.Add(TEXT("stale"));
	FileManager.FindFilesRecursive(Found, *Start, TEXT("AssetRegistry.bin"), true, false);
	EXPECT_EQ(Utf8(Found),
	          (std::vector<std::string>{(Start / TEXT("Linux/Deeper/AssetRegistry.bin")).ToUtf8(), (Start / TEXT("Win64/AssetRegistry.bin")).ToUtf8()}));

	FileManager.FindFilesRecursive(Found, *(Start + TEXT("/")), TEXT("*"), false, true, false);
	EXPECT_EQ(Utf8(Found),
	          (std::vector<std::string>{(Start / TEXT("Linux/Deeper/AssetRegistry.bin")).ToUtf8(), (Start / TEXT("Win64/AssetRegistry.bin")).ToUtf8(),
	                                    (Start / TEXT("Empty")).ToUtf8(), (Start / TEXT("Linux")).ToUtf8(), (Start / TEXT("Win64")).ToUtf8(),
	                                    (Start / TEXT("Linux/Deeper")).ToUtf8()}));

	FileManager.FindFilesRecursive(Found, *PathOf(TEXT("Missing")), TEXT("*"), true, true);
	EXPECT_TRUE(Found.IsEmpty());
}

TEST_F(FFileManagerTest, WalksVisitEachFolderBeforeItsContentsAndStopWhenAsked)
{
	Write("Walk/a/1.txt", "");
	Write("Walk/a/2.txt", "");
	Write("Walk/b/3.txt", "");
	Write("Walk/c.txt", "");
	const FString Start = PathOf(TEXT("Walk"));

	// The walk takes the file system's order; only each folder coming right before its own contents is fixed.
	FStoppingVisitor Everything(100);
	EXPECT_TRUE(FileManager.IterateDirectoryRecursively(*Start, Everything));
	std::vector<std::string> Seen = Utf8(Everything.Seen);
	for (const char* Folder : {"a/", "b/"})
	{
		const auto FolderAt = std::find(Seen.begin(), Seen.end(), (Start / FString(Folder)).ToUtf8());
		ASSERT_NE(FolderAt, Seen.end()) << Folder;
		const size_t Contents = std::string(Folder) == "a/" ? 2 : 1;
		ASSERT_GT(static_cast<size_t>(Seen.end() - FolderAt), Contents) << Folder;
		for (size_t Offset = 1; Offset <= Contents; ++Offset)
		{
			EXPECT_EQ(FolderAt[Offset].rfind((Start / FString(Folder)).ToUtf8(), 0), 0u) << Folder << " is followed by its contents";
		}
	}
	std::sort(Seen.begin(), Seen.end());
	EXPECT_EQ(Seen, (std::vector<std::string>{(Start / TEXT("a/")).ToUtf8(), (Start / TEXT("a/1.txt")).ToUtf8(), (Start / TEXT("a/2.txt")).ToUtf8(),
	                                          (Start / TEXT("b/")).ToUtf8(), (Start / TEXT("b/3.txt")).ToUtf8(), (Start / TEXT("c.txt")).ToUtf8()}));

	FStoppingVisitor StopsEarly(2);
	EXPECT_FALSE(FileManager.IterateDirectoryRecursively(*Start, StopsEarly));
	EXPECT_EQ(StopsEarly.Seen.Num(), 2);

	FStoppingVisitor OneLevel(100);
	EXPECT_TRUE(FileManager.IterateDirectory(*Start, OneLevel));
	EXPECT_EQ(OneLevel.Seen.Num(), 3);
	FStoppingVisitor Missing(100);
	EXPECT_FALSE(FileManager.IterateDirectory(*PathOf(TEXT("Missing")), Missing));
	EXPECT_TRUE(Missing.Seen.IsEmpty());

	int32 Files = 0;
	EXPECT_TRUE(FPlatformFileManager::Get().GetPlatformFile().IterateDirectoryRecursively(*Start, [&Files](const TCHAR*, bool bIsDirectory) {
		Files += bIsDirectory ? 0 : 1;
		return true;
	}));
	EXPECT_EQ(Files, 4);
}

TEST_F(FFileManagerTest, CopyDirectoryTreeCopiesTheContentsIntoANewFolder)
{
	Write("Staged/Content/Paks/mod.pak", "pak");
	Write("Staged/Mod.uplugin", "{}");
	fs::create_directories(Folder / "Staged/EmptyDir");
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();

	EXPECT_TRUE(PlatformFile.CopyDirectoryTree(*PathOf(TEXT("Upload/Mod")), *PathOf(TEXT("Staged\\")), false));
	EXPECT_EQ(Listing("Upload/Mod"), (std::vector<std::string>{"Content", "Content/Paks", "Content/Paks/mod.pak", "EmptyDir", "Mod.uplugin"}));
	EXPECT_EQ(Read("Upload/Mod/Content/Paks/mod.pak"), "pak");

	EXPECT_FALSE(PlatformFile.CopyDirectoryTree(*PathOf(TEXT("Upload/Other")), *PathOf(TEXT("Missing")), true));
	EXPECT_FALSE(fs::exists(Folder / "Upload/Other"));

	Write("Upload/Mod/Mod.uplugin", "locked");
	MakeReadOnly("Upload/Mod/Mod.uplugin");
	EXPECT_FALSE(PlatformFile.CopyDirectoryTree(*PathOf(TEXT("Upload/Mod")), *PathOf(TEXT("Staged")), false));
	EXPECT_EQ(Read("Upload/Mod/Mod.uplugin"), "locked");
	EXPECT_TRUE(PlatformFile.CopyDirectoryTree(*PathOf(TEXT("Upload/Mod")), *PathOf(TEXT("Staged")), true));
	EXPECT_EQ(Read("Upload/Mod/Mod.uplugin"), "{}");
}

TEST_F(FFileManagerTest, CopyDirectoryTreeCopiesWhatLinksPointToAndStopsAtAFileWhereAFolderGoes)
{
	Write("Art/Hero.png", "png");
	Write("Staged/Content/mod.pak", "pak");
	fs::create_directory_symlink(Folder / "Art", Folder / "Staged/Art");
	fs::create_symlink(Folder / "Art/Hero.png", Folder / "Staged/Preview.png");
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();

	EXPECT_TRUE(PlatformFile.CopyDirectoryTree(*PathOf(TEXT("Upload")), *PathOf(TEXT("Staged")), true));
	EXPECT_TRUE(fs::is_directory(fs::symlink_status(Folder / "Upload/Art")));
	EXPECT_EQ(Read("Upload/Art/Hero.png"), "png");
	EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Folder / "Upload/Preview.png")));

	Write("Blocked/Content", "a file where the folder goes");
	EXPECT_FALSE(PlatformFile.CopyDirectoryTree(*PathOf(TEXT("Blocked")), *PathOf(TEXT("Staged")), true));
	EXPECT_EQ(Read("Blocked/Content"), "a file where the folder goes");
}

TEST_F(FFileManagerTest, RelativePathsStartAtTheProgramFolder)
{
	const FString Relative = FString(TEXT("FileManagerTests-relative-")) + FString::FromUtf8(std::to_string(getpid()));
	const fs::path Absolute = (FPaths::ConvertRelativePathToFull(Relative)).ToUtf8();
	EXPECT_TRUE(FileManager.MakeDirectory(*Relative));
	EXPECT_TRUE(fs::is_directory(Absolute));
	EXPECT_TRUE(FileManager.DeleteDirectory(*Relative, true));
	EXPECT_FALSE(fs::exists(Absolute));
}

TEST_F(FFileManagerTest, IsSymlinkAsksAboutThePathItselfNeverWhatItPointsTo)
{
	Write("Real/File.txt", "x");
	fs::create_symlink(Folder / "Real", Folder / "LinkToFolder");
	fs::create_symlink(Folder / "Real/File.txt", Folder / "LinkToFile");
	fs::create_symlink(Folder / "Missing", Folder / "Dangling");
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
	EXPECT_EQ(PlatformFile.IsSymlink(*PathOf(TEXT("LinkToFolder"))), ESymlinkResult::Symlink);
	EXPECT_EQ(PlatformFile.IsSymlink(*PathOf(TEXT("LinkToFile"))), ESymlinkResult::Symlink);
	EXPECT_EQ(PlatformFile.IsSymlink(*PathOf(TEXT("Dangling"))), ESymlinkResult::Symlink);
	EXPECT_EQ(PlatformFile.IsSymlink(*PathOf(TEXT("Real"))), ESymlinkResult::NonSymlink);
	EXPECT_EQ(PlatformFile.IsSymlink(*PathOf(TEXT("LinkToFolder/File.txt"))), ESymlinkResult::NonSymlink);
	EXPECT_EQ(PlatformFile.IsSymlink(*PathOf(TEXT("Nothing"))), ESymlinkResult::NonSymlink);
}
