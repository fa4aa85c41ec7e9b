// A folder of its own for each test of the file operations, removed afterwards. Files are made and read with the
// standard library, so that what an engine call did is seen as the bytes on disk.
#pragma once

#include "Containers/UnrealString.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>
#include <string>

class FFileTestFolder : public testing::Test
{
protected:
	void SetUp() override
	{
		std::string Template = (std::filesystem::temp_directory_path() / "TrellicCoreTests-XXXXXX").string();
		ASSERT_NE(mkdtemp(Template.data()), nullptr);
		Folder = Template;
		Root = FString::FromUtf8(Template);
	}
	void TearDown() override
	{
		std::error_code Ignored;
		std::filesystem::remove_all(Folder, Ignored);
	}

	FString PathOf(const TCHAR* Relative) const { return Root / Relative; }
	void Write(const std::string& Relative, const std::string& Content) const
	{
		std::filesystem::create_directories((Folder / Relative).parent_path());
		std::ofstream(Folder / Relative, std::ios::binary) << Content;
	}
	std::string Read(const std::string& Relative) const
	{
		std::ifstream Stream(Folder / Relative, std::ios::binary);
		std::ostringstream Content;
		Content << Stream.rdbuf();
		return Content.str();
	}

	std::filesystem::path Folder;
	FString Root;
};
