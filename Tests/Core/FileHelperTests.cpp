#include "HAL/PlatformMisc.h"
#include "Misc/FileHelper.h"

#include "FileTestFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>

namespace
{
	namespace fs = std::filesystem;

	using EEncoding = FFileHelper::EEncodingOptions;

	class FFileHelperTest : public FFileTestFolder
	{
	protected:
		std::vector<std::string> Names() const
		{
			std::vector<std::string> Result;
			for (const fs::directory_entry& Entry : fs::directory_iterator(Folder))
			{
				Result.push_back(Entry.path().filename().string());
			}
			std::sort(Result.begin(), Result.end());
			return Result;
		}
		FString Load(const TCHAR* Name) const
		{
			FString Text;
			EXPECT_TRUE(FFileHelper::LoadFileToString(Text, *PathOf(Name)));
			return Text;
		}
	};

	const FString Latin1Text(TEXT("Caf\u00e9"));
	// U+1F600 lies outside the Basic Multilingual Plane: two UTF-16 code units.
	const FString SupplementaryText(TEXT("a\U0001F600"));
} // namespace

TEST_F(FFileHelperTest, AutoDetectWritesAsciiAsOneBytePerCharacter)
{
	ASSERT_TRUE(FFileHelper::SaveStringToFile(TEXT("Name=Mod\r\n"), *PathOf(TEXT("a.ini"))));
	EXPECT_EQ(Read("a.ini"), "Name=Mod\r\n");
	EXPECT_EQ(Load(TEXT("a.ini")).ToStdString(), u"Name=Mod\r\n");
}

TEST_F(FFileHelperTest, AutoDetectWritesAnythingElseAsUtf16LittleEndianWithItsMark)
{
	ASSERT_TRUE(FFileHelper::SaveStringToFile(Latin1Text, *PathOf(TEXT("latin.txt"))));
	EXPECT_EQ(Read("latin.txt"), std::string("\xFF\xFE"
	                                         "C\0a\0f\0\xE9\0",
	                                         10));
	EXPECT_EQ(Load(TEXT("latin.txt")).ToStdString(), Latin1Text.ToStdString());

	ASSERT_TRUE(FFileHelper::SaveStringToFile(SupplementaryText, *PathOf(TEXT("emoji.txt"))));
	EXPECT_EQ(Read("emoji.txt"), std::string("\xFF\xFE"
	                                         "a\0\x3D\xD8\x00\xDE",
	                                         8));
	EXPECT_EQ(Load(TEXT("emoji.txt")).ToStdString(), SupplementaryText.ToStdString());
}

TEST_F(FFileHelperTest, ForcedEncodingsWriteTheirExactBytesAndReadBack)
{
	ASSERT_TRUE(FFileHelper::SaveStringToFile(SupplementaryText, *PathOf(TEXT("utf8bom.txt")), EEncoding::ForceUTF8));
	EXPECT_EQ(Read("utf8bom.txt"), "\xEF\xBB\xBF"
	                               "a\xF0\x9F\x98\x80");
	EXPECT_EQ(Load(TEXT("utf8bom.txt")).ToStdString(), SupplementaryText.ToStdString());

	ASSERT_TRUE(FFileHelper::SaveStringToFile(Latin1Text, *PathOf(TEXT("utf8.txt")), EEncoding::ForceUTF8WithoutBOM));
	EXPECT_EQ(Read("utf8.txt"), "Caf\xC3\xA9");
	EXPECT_EQ(Load(TEXT("utf8.txt")).ToStdString(), Latin1Text.ToStdString());

	ASSERT_TRUE(FFileHelper::SaveStringToFile(TEXT("ab"), *PathOf(TEXT("wide.txt")), EEncoding::ForceUnicode));
	EXPECT_EQ(Read("wide.txt"), std::string("\xFF\xFE"
	                                        "a\0b\0",
	                                        6));

	ASSERT_TRUE(FFileHelper::SaveStringToFile(Latin1Text, *PathOf(TEXT("ansi.txt")), EEncoding::ForceAnsi));
	EXPECT_EQ(Read("ansi.txt"), "Caf?");

	ASSERT_TRUE(FFileHelper::SaveStringToFile(TEXT(""), *PathOf(TEXT("empty.txt"))));
	EXPECT_EQ(Read("empty.txt"), "");
	EXPECT_TRUE(Load(TEXT("empty.txt")).IsEmpty());
}

TEST_F(FFileHelperTest, LoadHonoursEveryByteOrderMark)
{
	Write("be.txt", std::string("\xFE\xFF\x00"
	                            "C\x00\xE9\xD8\x3D\xDE\x00",
	                            10));
	EXPECT_EQ(Load(TEXT("be.txt")).ToStdString(), u"C\u00e9\U0001F600");

	Write("le-odd.txt", std::string("\xFF\xFE"
	                                "x\0y",
	                                5));
	EXPECT_EQ(Load(TEXT("le-odd.txt")).ToStdString(), u"x");

	Write("plain.txt", "Caf\xC3\xA9 \xF0\x9F\x98\x80");
	EXPECT_EQ(Load(TEXT("plain.txt")).ToStdString(), u"Caf\u00e9 \U0001F600");

	FString Text(TEXT("previous"));
	EXPECT_FALSE(FFileHelper::LoadFileToString(Text, *PathOf(TEXT("missing.txt"))));
	EXPECT_TRUE(Text.IsEmpty());
	EXPECT_FALSE(FFileHelper::LoadFileToString(Text, *Root));
}

TEST_F(FFileHelperTest, FailedSavesLeaveTheOldFileAndNoLeftovers)
{
	Write("good.txt", "good");
	fs::create_directory(Folder / "Folder.txt");

	// Each failure leaves the system's reason as the platform's last error, for a message to explain.
	EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("x"), *PathOf(TEXT("Folder.txt"))));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(EISDIR));
	EXPECT_TRUE(fs::is_directory(Folder / "Folder.txt"));
	EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("x"), *PathOf(TEXT("Missing/new.txt"))));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(ENOENT));
	EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("x"), *PathOf(TEXT("good.txt/inside.txt"))));
	const FString TooLong = FString::ChrN(256, TEXT('n'));
	EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("x"), *PathOf(*TooLong)));
	EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("x"), TEXT("")));

	EXPECT_FALSE(
	    FFileHelper::SaveStringToFile(TEXT("replaced"), *PathOf(TEXT("good.txt")), EEncoding::AutoDetect, &IFileManager::Get(), FILEWRITE_NoReplaceExisting));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(EEXIST));
	EXPECT_EQ(Read("good.txt"), "good");
	EXPECT_EQ(Names(), (std::vector<std::string>{"Folder.txt", "good.txt"}));

	// The longest name the file system takes still works: the temporary file does not borrow its name.
	const FString Longest = FString::ChrN(255, TEXT('l'));
	EXPECT_TRUE(FFileHelper::SaveStringToFile(TEXT("x"), *PathOf(*Longest)));
}

TEST_F(FFileHelperTest, ReadOnlyFilesAreReplacedOnlyWhenAsked)
{
	Write("locked.txt", "old");
	fs::permissions(Folder / "locked.txt", fs::perms::owner_read);

	EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("new"), *PathOf(TEXT("locked.txt"))));
	EXPECT_EQ(FPlatformMisc::GetLastError(), static_cast<uint32>(EACCES));
	EXPECT_EQ(Read("locked.txt"), "old");
	EXPECT_TRUE(FFileHelper::SaveStringToFile(TEXT("new"), *PathOf(TEXT("locked.txt")), EEncoding::AutoDetect, &IFileManager::Get(), FILEWRITE_EvenIfReadOnly));
	EXPECT_EQ(Read("locked.txt"), "new");
	EXPECT_EQ(fs::status(Folder / "locked.txt").permissions(), fs::perms::owner_read);
}

TEST_F(FFileHelperTest, AppendKeepsTheContentsBeforeIt)
{
	Write("log.txt", "one\n");
	ASSERT_TRUE(FFileHelper::SaveStringToFile(TEXT("two\n"), *PathOf(TEXT("log.txt")), EEncoding::AutoDetect, &IFileManager::Get(), FILEWRITE_Append));
	EXPECT_EQ(Read("log.txt"), "one\ntwo\n");
	ASSERT_TRUE(FFileHelper::SaveStringToFile(TEXT("new\n"), *PathOf(TEXT("fresh.txt")), EEncoding::AutoDetect, &IFileManager::Get(), FILEWRITE_Append));
	EXPECT_EQ(Read("fresh.txt"), "new\n");
}

TEST_F(FFileHelperTest, LinesAreReadBackAtAnyLineEnd)
{
	TArray<FString> Read;
	Write("mixed.txt", "a\nb\rc\r\n\nd");
	ASSERT_TRUE(FFileHelper::LoadFileToStringArray(Read, *PathOf(TEXT("mixed.txt"))));
	ASSERT_EQ(Read.Num(), 5);
	EXPECT_EQ(Read[2].ToStdString(), u"c");
	EXPECT_TRUE(Read[3].IsEmpty());
	EXPECT_EQ(Read[4].ToStdString(), u"d");
	EXPECT_FALSE(FFileHelper::LoadFileToStringArray(Read, *PathOf(TEXT("missing.txt"))));
}

TEST_F(FFileHelperTest, BytesRoundTripUnchanged)
{
	const std::string Raw("\x00\xFF\xFE\r\n\x80", 6);
	TArray<uint8> Data(reinterpret_cast<const uint8*>(Raw.data()), static_cast<int32>(Raw.size()));
	ASSERT_TRUE(FFileHelper::SaveArrayToFile(Data, *PathOf(TEXT("data.bin"))));
	EXPECT_EQ(Read("data.bin"), Raw);

	TArray<uint8> Read;
	ASSERT_TRUE(FFileHelper::LoadFileToArray(Read, *PathOf(TEXT("data.bin"))));
	EXPECT_EQ(Read, Data);
	EXPECT_FALSE(FFileHelper::LoadFileToArray(Read, *PathOf(TEXT("missing.bin"))));
	EXPECT_TRUE(Read.IsEmpty());
}

TEST_F(FFileHelperTest, AFailedSaveLeavesTheSystemsReasonAsTheLastError)
{
	Write("locked.txt", "old");
	fs::permissions(Folder / "locked.txt", fs::perms::owner_read);
	fs::create_directory(Folder / "Folder.txt");
	const std::pair<const TCHAR*, std::string> Cases[] = {
	    {TEXT("Folder.txt"), "Is a directory"}, {TEXT("locked.txt"), "Permission denied"}, {TEXT("Missing/new.txt"), "No such file or directory"}};
	for (const auto& [Name, Reason] : Cases)
	{
		EXPECT_FALSE(FFileHelper::SaveStringToFile(TEXT("x"), *PathOf(Name)));
		const uint32 Error = FPlatformMisc::GetLastError();
		TCHAR Buffer[128];
		EXPECT_EQ(FString(FPlatformMisc::GetSystemErrorMessage(Buffer, 128, static_cast<int32>(Error))).ToUtf8(), Reason) << FString(Name).ToUtf8();
		// Error 0 asks for the last error's own text.
		EXPECT_EQ(FString(FPlatformMisc::GetSystemErrorMessage(Buffer, 128, 0)).ToUtf8(), Reason);
	}
	TCHAR Small[4];
	EXPECT_EQ(FString(FPlatformMisc::GetSystemErrorMessage(Small, 4, EISDIR)).ToUtf8(), "Is ");
}
