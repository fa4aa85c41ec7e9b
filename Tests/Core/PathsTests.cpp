#include "HAL/PlatformProcess.h"
#include "Misc/Paths.h"

#include <gtest/gtest.h>

#include "StandIn/EngineDir.h"
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
	std::string Utf8(const FString& Value)
	{
		return Value.ToUtf8();
	}

	// The collapsed path, or "<false>" when the path climbs too high.
	std::string Collapsed(const TCHAR* Path)
	{
		FString Result(Path);
		return FPaths::CollapseRelativeDirectories(Result) ? Result.ToUtf8() : std::string("<false>");
	}

	std::string RelativeTo(const TCHAR* Path, const TCHAR* RelativeTo)
	{
		FString Result(Path);
		return FPaths::MakePathRelativeTo(Result, RelativeTo) ? Result.ToUtf8() : std::string("<false>");
	}

	// Puts the project file back to unset, whatever a test did.
	class FProjectPathTest : public testing::Test
	{
	protected:
		void TearDown() override { FPaths::SetProjectFilePath(FString()); }
	};
} // namespace

TEST(FPaths, SplitsNamesWithEitherSeparator)
{
	EXPECT_EQ(Utf8(FPaths::GetCleanFilename(TEXT("C:\\Mods\\MyMod\\MyMod.uplugin"))), "MyMod.uplugin");
	EXPECT_EQ(Utf8(FPaths::GetCleanFilename(TEXT("/a/b/"))), "");
	EXPECT_EQ(Utf8(FPaths::GetCleanFilename(TEXT("plain"))), "plain");
	EXPECT_EQ(Utf8(FPaths::GetPath(TEXT("a\\b/c.txt"))), "a\\b");
	EXPECT_EQ(Utf8(FPaths::GetPath(TEXT("a/b/"))), "a/b");
	EXPECT_EQ(Utf8(FPaths::GetPath(TEXT("/x.uplugin"))), "");
	EXPECT_EQ(Utf8(FPaths::GetPath(TEXT("x.uplugin"))), "");
	EXPECT_EQ(Utf8(FPaths::GetPath(TEXT(""))), "");
}

TEST(FPaths, BaseFilenameDropsOnlyTheLastExtensionOfTheName)
{
	EXPECT_EQ(Utf8(FPaths::GetBaseFilename(TEXT("Mods/A/B.uplugin"))), "B");
	EXPECT_EQ(Utf8(FPaths::GetBaseFilename(TEXT("Mods/A/B.uplugin"), false)), "Mods/A/B");
	EXPECT_EQ(Utf8(FPaths::GetBaseFilename(TEXT("archive.tar.gz"))), "archive.tar");
	// A dot in a folder name is no extension.
	EXPECT_EQ(Utf8(FPaths::GetBaseFilename(TEXT("v1.2\\Readme"), false)), "v1.2\\Readme");
	EXPECT_EQ(Utf8(FPaths::GetBaseFilename(TEXT(""))), "");
}

TEST(FPaths, ExtensionWithAndWithoutDotAndCompound)
{
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a/b.c.d"))), "d");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a/b.c.d"), true)), ".d");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a/b.c.d"), false)), "d");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a/b.c.d"), UE::Paths::IncludeDot)), ".d");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a.b/c.d"), UE::Paths::AllowCompoundExtension)), "d");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a/b.c.d"), UE::Paths::AllowCompoundExtension)), "c.d");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a/b.c.d"), UE::Paths::IncludeDot | UE::Paths::AllowCompoundExtension)), ".c.d");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a.b/c"))), "");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT("a.b/"))), "");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT(".gitignore"))), "gitignore");
	EXPECT_EQ(Utf8(FPaths::GetExtension(TEXT(""))), "");
}

TEST(FPaths, NormalizesSeparatorsAndOneTrailingSlash)
{
	FString File(TEXT("C:\\Game\\Mods\\"));
	FPaths::NormalizeFilename(File);
	EXPECT_EQ(Utf8(File), "C:/Game/Mods/");

	auto Directory = [](const TCHAR* Path) {
		FString Result(Path);
		FPaths::NormalizeDirectoryName(Result);
		return Result.ToUtf8();
	};
	EXPECT_EQ(Directory(TEXT("C:\\Game\\Mods\\")), "C:/Game/Mods");
	EXPECT_EQ(Directory(TEXT("a/b")), "a/b");
	EXPECT_EQ(Directory(TEXT("C:/")), "C:/");
	EXPECT_EQ(Directory(TEXT("a//")), "a//");
	EXPECT_EQ(Directory(TEXT("")), "");
}

TEST(FPaths, CollapseRelativeDirectoriesGivesTheEngineResults)
{
	EXPECT_EQ(Collapsed(TEXT("")), "");
	EXPECT_EQ(Collapsed(TEXT("..")), "<false>");
	EXPECT_EQ(Collapsed(TEXT("/..")), "<false>");
	EXPECT_EQ(Collapsed(TEXT("./")), "");
	EXPECT_EQ(Collapsed(TEXT("./file.txt")), "file.txt");
	EXPECT_EQ(Collapsed(TEXT("/.")), "/.");
	EXPECT_EQ(Collapsed(TEXT("/Folder")), "/Folder");
	EXPECT_EQ(Collapsed(TEXT("C:/Folder/..")), "C:");
	EXPECT_EQ(Collapsed(TEXT("C:/Folder/../")), "C:/");
	EXPECT_EQ(Collapsed(TEXT("C:/Folder/../file.txt")), "C:/file.txt");
	EXPECT_EQ(Collapsed(TEXT("Folder/..")), "");
	EXPECT_EQ(Collapsed(TEXT("Folder/../")), "/");
	EXPECT_EQ(Collapsed(TEXT("Folder/../file.txt")), "/file.txt");
	EXPECT_EQ(Collapsed(TEXT("/Folder/..")), "");
	EXPECT_EQ(Collapsed(TEXT("/Folder/../file.txt")), "/file.txt");
	EXPECT_EQ(Collapsed(TEXT("Folder/../..")), "<false>");
	EXPECT_EQ(Collapsed(TEXT("Folder/../../file.txt")), "<false>");
	EXPECT_EQ(Collapsed(TEXT("C:/..")), "<false>");
	EXPECT_EQ(Collapsed(TEXT("C:/./file.txt")), "C:/file.txt");
	EXPECT_EQ(Collapsed(TEXT("C:/A/B/.././../C")), "C:/C");
	EXPECT_EQ(Collapsed(TEXT("C:/A/B/./.././C")), "C:/A/C");
	EXPECT_EQ(Collapsed(TEXT("C:/A/.svn/../file.txt")), "C:/A/file.txt");
	EXPECT_EQ(Collapsed(TEXT("C:/A/../.svn/file.txt")), "C:/.svn/file.txt");
	EXPECT_EQ(Collapsed(TEXT("/a/b//../c")), "/a/c");
	// Names that merely start with dots are folders like any other.
	EXPECT_EQ(Collapsed(TEXT("/a/..b/c")), "/a/..b/c");
	EXPECT_EQ(Collapsed(TEXT("/a/b../../c")), "/a/c");
}

TEST(FPaths, CollapseAllPossibleKeepsOnlyTheDotDotsThatCannotGo)
{
	FString Path(TEXT("../a/../b/./c/../d"));
	EXPECT_FALSE(FPaths::CollapseRelativeDirectories(Path, true));
	EXPECT_EQ(Utf8(Path), "../b/d");

	FString Inner(TEXT("/x/y/../z"));
	EXPECT_TRUE(FPaths::CollapseRelativeDirectories(Inner, true));
	EXPECT_EQ(Utf8(Inner), "/x/z");
}

TEST(FPaths, RelativePathsResolveAgainstTheProgramFolder)
{
	const FString Base(FPlatformProcess::BaseDir());
	ASSERT_TRUE(Base.EndsWith(TEXT("/"), ESearchCase::CaseSensitive));
	// The program running this test lies in its base folder.
	EXPECT_TRUE(std::filesystem::is_regular_file((Base + TEXT("CorePathsTests")).ToUtf8()));

	const FString Parent = FPaths::GetPath(FPaths::GetPath(Base));
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("Mods\\A\\A.uplugin"))), Utf8(Base + TEXT("Mods/A/A.uplugin")));
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("../x/./y"))), Utf8(Parent + TEXT("/x/y")));
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT(""))), Utf8(Base));
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("A.uplugin"))), Utf8(Base + TEXT("A.uplugin")));
}

TEST(FPaths, AbsolutePathsAreOnlyNormalized)
{
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("/p/Mods/../Mods/A/"))), "/p/Mods/A/");
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("C:\\Game\\..\\Other\\x.txt"))), "C:/Other/x.txt");
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("/a/.."))), "/");
	// Dots inside a name, or a name that only starts with one, are not "." or "..".
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("/p/.hidden/a..b/c."))), "/p/.hidden/a..b/c.");
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("/p/./q/"))), "/p/q/");
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("/base/dir/"), TEXT("sub\\f.txt"))), "/base/dir/sub/f.txt");
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("/base/dir"), TEXT("../f.txt"))), "/base/f.txt");
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(TEXT("/base/dir"), TEXT("/abs/f.txt"))), "/abs/f.txt");
}

TEST(FPaths, MakePathRelativeToUsesTheFolderPartOfTheOtherPath)
{
	EXPECT_EQ(RelativeTo(TEXT("/p/Mods/MyMod"), TEXT("/p/")), "Mods/MyMod");
	EXPECT_EQ(RelativeTo(TEXT("/p/Mods/MyMod/"), TEXT("/p/")), "Mods/MyMod");
	EXPECT_EQ(RelativeTo(TEXT("/other/Mods/MyMod"), TEXT("/p/Game/")), "../../other/Mods/MyMod");
	EXPECT_EQ(RelativeTo(TEXT("/p/a.txt"), TEXT("/p/Game/Game.uproject")), "../a.txt");
	EXPECT_EQ(RelativeTo(TEXT("/p/Game"), TEXT("/p/Game/")), "");
	// Without a trailing "/", the last name is taken for a file and its folder is used.
	EXPECT_EQ(RelativeTo(TEXT("/p/Game/Mods"), TEXT("/p/Game")), "Game/Mods");
	EXPECT_EQ(RelativeTo(TEXT("C:\\Game\\Mods\\A"), TEXT("c:/game/")), "Mods/A");
	EXPECT_EQ(RelativeTo(TEXT("D:/Mods/A"), TEXT("C:/Game/")), "<false>");

	FString Unchanged(TEXT("D:/Mods/A"));
	FPaths::MakePathRelativeTo(Unchanged, TEXT("C:/Game/"));
	EXPECT_EQ(Utf8(Unchanged), "D:/Mods/A");
}

TEST(FPaths, RootedPathsAreNotRelative)
{
	EXPECT_TRUE(FPaths::IsRelative(TEXT("")));
	EXPECT_TRUE(FPaths::IsRelative(TEXT("Mods/A")));
	EXPECT_TRUE(FPaths::IsRelative(TEXT("../A")));
	EXPECT_TRUE(FPaths::IsRelative(TEXT("\\A")));
	EXPECT_FALSE(FPaths::IsRelative(TEXT("/A")));
	EXPECT_FALSE(FPaths::IsRelative(TEXT("\\\\server\\share")));
	EXPECT_FALSE(FPaths::IsRelative(TEXT("C:/A")));
	EXPECT_FALSE(FPaths::IsRelative(TEXT("c:")));
}

TEST(FPaths, IsSamePathComparesAbsoluteForms)
{
	EXPECT_TRUE(FPaths::IsSamePath(TEXT("/p/a/../b/"), TEXT("/p//b")));
	EXPECT_TRUE(FPaths::IsSamePath(TEXT("x/y"), FString(FPlatformProcess::BaseDir()) + TEXT("x\\y")));
	EXPECT_FALSE(FPaths::IsSamePath(TEXT("/p/b"), TEXT("/p/B")));
	EXPECT_FALSE(FPaths::IsSamePath(TEXT("/p/b"), TEXT("/p/c")));
}

TEST(FPaths, IsUnderDirectoryTakesWholeFolderNamesAfterCollapsing)
{
	EXPECT_TRUE(FPaths::IsUnderDirectory(TEXT("/p/Game/Mods/A.uplugin"), TEXT("/p/Game/")));
	EXPECT_TRUE(FPaths::IsUnderDirectory(TEXT("/p/Game"), TEXT("/p/Game/")));
	EXPECT_FALSE(FPaths::IsUnderDirectory(TEXT("/p/Game2/A.uplugin"), TEXT("/p/Game")));
	EXPECT_FALSE(FPaths::IsUnderDirectory(TEXT("/p/Game/../secret"), TEXT("/p/Game/")));
	EXPECT_FALSE(FPaths::IsUnderDirectory(TEXT("/p/game/A"), TEXT("/p/Game")));
	EXPECT_TRUE(FPaths::IsUnderDirectory(TEXT("x/y"), FString(FPlatformProcess::BaseDir())));
}

TEST_F(FProjectPathTest, ProjectFoldersFollowTheProjectFile)
{
	EXPECT_TRUE(FPaths::GetProjectFilePath().IsEmpty());
	FPaths::SetProjectFilePath(TEXT("C:\\Games\\Demo\\Demo.uproject"));
	EXPECT_EQ(Utf8(FPaths::GetProjectFilePath()), "C:/Games/Demo/Demo.uproject");
	EXPECT_EQ(Utf8(FPaths::ProjectDir()), "C:/Games/Demo/");
	EXPECT_EQ(Utf8(FPaths::ProjectConfigDir()), "C:/Games/Demo/Config/");
	EXPECT_EQ(Utf8(FPaths::ProjectSavedDir()), "C:/Games/Demo/Saved/");

	FPaths::SetProjectFilePath(TEXT("../Samples/DemoGame/DemoGame.uproject"));
	EXPECT_EQ(Utf8(FPaths::ProjectDir()), "../Samples/DemoGame/");
	EXPECT_EQ(Utf8(FPaths::ProjectSavedDir()), "../Samples/DemoGame/Saved/");
	EXPECT_EQ(Utf8(FPaths::ConvertRelativePathToFull(FPaths::ProjectDir())), Utf8(FPaths::ConvertRelativePathToFull(TEXT("../Samples/DemoGame/"))));
}

TEST(FPaths, TheEngineFolderEndsWithASeparatorWhereverItIsSet)
{
	const FString Default = FPaths::EngineDir();
	EXPECT_TRUE(Default.EndsWith(TEXT("/Engine/"), ESearchCase::CaseSensitive)) << Utf8(Default);

	UE::StandIn::SetEngineDir(TEXT("/opt/Engine\\Sub"));
	EXPECT_EQ(Utf8(FPaths::EngineDir()), "/opt/Engine/Sub/");
	UE::StandIn::SetEngineDir(Default);
}

TEST(FPaths, FileExistsTellsFilesFromFolders)
{
	const std::filesystem::path Folder = std::filesystem::temp_directory_path() / ("PathsTests-" + std::to_string(getpid()));
	std::filesystem::create_directories(Folder / "Sub");
	std::ofstream(Folder / "File.txt") << "x";
	const FString Root = FString::FromUtf8(Folder.string());

	EXPECT_TRUE(FPaths::FileExists(Root / TEXT("File.txt")));
	EXPECT_FALSE(FPaths::FileExists(Root / TEXT("Sub")));
	EXPECT_FALSE(FPaths::FileExists(Root / TEXT("Missing.txt")));
	std::filesystem::remove_all(Folder);
}
