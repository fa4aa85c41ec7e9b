#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "HAL/PlatformMisc.h"
#include "Misc/FileHelper.h"
#include "StandIn/FileWriteFaults.h"

#include "FileTestFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
	namespace fs = std::filesystem;

	// Every fault is cleared after each test.
	class FFileWriteFaultTest : public FFileTestFolder
	{
	protected:
		void SetUp() override
		{
			FFileTestFolder::SetUp();
			Write("Config/DefaultGame.ini", "old");
			Write("Config/DefaultEngine.ini", "engine");
		}
		void TearDown() override
		{
			UE::StandIn::ClearFileWriteFaults();
			FFileTestFolder::TearDown();
		}

		size_t CountEntries(const std::string& Relative) const { return static_cast<size_t>(std::distance(fs::directory_iterator(Folder / Relative), {})); }

		static std::string LastErrorMessage()
		{
			TCHAR Buffer[256];
			return FString(FPlatformMisc::GetSystemErrorMessage(Buffer, 256, 0)).ToUtf8();
		}
	};
} // namespace

TEST_F(FFileWriteFaultTest, AFullDiskRefusesWhateverWouldWriteToThePathButLetsItBeDeleted)
{
	UE::StandIn::FailFileWrites(TEXT("Config\\DefaultGame.ini"), UE::StandIn::EFileWriteFault::DiskFull);
	IFileManager& FileManager = IFileManager::Get();
	Write("Other.ini", "other");

	EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("new"), *PathOf(TEXT("Config/DefaultGame.ini"))));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(ENOSPC));
	EXPECT_EQ(LastErrorMessage(), "No space left on device");
	EXPECT_EQ(FileManager.Copy(*PathOf(TEXT("Config/DefaultGame.ini")), *PathOf(TEXT("Other.ini"))), static_cast<uint32>(COPY_Fail));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(ENOSPC));
	EXPECT_FALSE(FileManager.Move(*PathOf(TEXT("Config/DefaultGame.ini")), *PathOf(TEXT("Other.ini"))));
	EXPECT_FALSE(FPlatformFileManager::Get().GetPlatformFile().CopyDirectoryTree(*PathOf(TEXT("Copy/Config")), *PathOf(TEXT("Config")), true));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(ENOSPC));
	// Nothing was written: the file, its folder and the source are as they were.
	EXPECT_EQ(Read("Config/DefaultGame.ini"), "old");
	EXPECT_EQ(CountEntries("Config"), 2u);
	EXPECT_EQ(Read("Other.ini"), "other");
	// Other paths are written as ever, and removing the file frees space.
	EXPECT_TRUE(FFileHelper::SaveStringToFile(TEXT("engine2"), *PathOf(TEXT("Config/DefaultEngine.ini"))));
	EXPECT_TRUE(FileManager.Delete(*PathOf(TEXT("Config/DefaultGame.ini"))));

	UE::StandIn::ClearFileWriteFaults();
	EXPECT_TRUE(FFileHelper::SaveStringToFile(TEXT("new"), *PathOf(TEXT("Config/DefaultGame.ini"))));
	EXPECT_EQ(Read("Config/DefaultGame.ini"), "new");
}

TEST_F(FFileWriteFaultTest, AReadOnlyFileSystemRefusesEveryChangeToThePath)
{
	UE::StandIn::FailFileWrites(TEXT("DefaultGame.ini"), UE::StandIn::EFileWriteFault::ReadOnly);
	UE::StandIn::FailFileWrites(TEXT("Mods/NewMod/"), UE::StandIn::EFileWriteFault::ReadOnly);
	IFileManager& FileManager = IFileManager::Get();
	IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();

	EXPECT_FALSE(FileManager.Delete(*PathOf(TEXT("Config/DefaultGame.ini"))));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(EROFS));
	EXPECT_FALSE(FileManager.Move(*PathOf(TEXT("Moved.ini")), *PathOf(TEXT("Config/DefaultGame.ini"))));
	EXPECT_FALSE(PlatformFile.SetReadOnly(*PathOf(TEXT("Config/DefaultGame.ini")), true));
	EXPECT_FALSE(FileManager.DeleteDirectory(*PathOf(TEXT("Config")), false, true));
	EXPECT_FALSE(FileManager.MakeDirectory(*PathOf(TEXT("Mods/NewMod/Content")), true));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(EROFS));
	EXPECT_EQ(LastErrorMessage(), "Read-only file system");
	EXPECT_EQ(Read("Config/DefaultGame.ini"), "old");
	EXPECT_FALSE(fs::exists(Folder / "Mods/NewMod"));
	// The rest of the folder went; the file that could not, and so its folder, stay.
	EXPECT_FALSE(fs::exists(Folder / "Config/DefaultEngine.ini"));

	UE::StandIn::ClearFileWriteFaults();
	EXPECT_TRUE(FileManager.MakeDirectory(*PathOf(TEXT("Mods/NewMod/Content")), true));
	EXPECT_TRUE(FileManager.DeleteDirectory(*PathOf(TEXT("Config")), false, true));
}
