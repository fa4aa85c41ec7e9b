// The packaged plug-in: exactly the descriptor, the modules' sources, Config/FilterPlugin.ini and Resources/Icon128.png;
// a descriptor that holds what the Plugins window shows; a filter that covers what ships; a 128-pixel PNG icon.
#include "CoreMinimal.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace
{
	namespace fs = std::filesystem;

	std::string ReadBytes(const fs::path& File)
	{
		std::ifstream Stream(File, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>());
	}

	/** @return every file under Folder, as paths relative to it with "/" separators. */
	std::set<std::string> ListFiles(const fs::path& Folder)
	{
		std::set<std::string> Files;
		for (const fs::directory_entry& Entry : fs::recursive_directory_iterator(Folder))
		{
			if (Entry.is_regular_file())
			{
				Files.insert(fs::relative(Entry.path(), Folder).generic_string());
			}
		}
		return Files;
	}

	uint32 ReadBigEndian32(const std::string& Bytes, size_t At)
	{
		uint32 Value = 0;
		for (size_t Index = 0; Index < 4; ++Index)
		{
			Value = (Value << 8) | static_cast<uint8>(Bytes[At + Index]);
		}
		return Value;
	}

	uint32 Crc32(const std::string& Bytes, size_t At, size_t Length)
	{
		uint32 Crc = 0xFFFFFFFFu;
		for (size_t Index = At; Index < At + Length; ++Index)
		{
			Crc ^= static_cast<uint8>(Bytes[Index]);
			for (int Bit = 0; Bit < 8; ++Bit)
			{
				Crc = (Crc >> 1) ^ (0xEDB88320u & (0u - (Crc & 1u)));
			}
		}
		return ~Crc;
	}

	/** @return whether a FilterPlugin.ini entry ("/Config/...", "/README.md") takes the packaged file at Path. */
	bool FilterTakes(const std::string& Entry, const std::string& Path)
	{
		const std::string Folder = "/...";
		if (Entry.size() > Folder.size() && Entry.compare(Entry.size() - Folder.size(), Folder.size(), Folder) == 0)
		{
			const std::string Prefix = Entry.substr(1, Entry.size() - 4);
			return Path.rfind(Prefix, 0) == 0;
		}
		return Entry == "/" + Path;
	}

	class PackagePluginTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			std::string Pattern = (fs::temp_directory_path() / "trellic-package-XXXXXX").string();
			ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
			Output = Pattern;
			// A file left from an earlier package, which packaging again must not keep.
			fs::create_directories(Output / "Trellic/Resources");
			std::ofstream(Output / "Trellic/Resources/Old.png") << "old";

			const std::string Command = std::string("\"") + TRL_CMAKE_COMMAND + "\" -DSOURCE_DIR=\"" + TRL_SOURCE_DIR + "\" -DOUTPUT_DIR=\"" + Output.string() +
			                            "\" -P \"" + TRL_PACKAGE_SCRIPT + "\" >/dev/null";
			ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
			Plugin = Output / "Trellic";
		}

		void TearDown() override
		{
			std::error_code Ignored;
			fs::remove_all(Output, Ignored);
		}

		TSharedPtr<FJsonObject> ReadDescriptor() const
		{
			TSharedPtr<FJsonObject> Descriptor;
			FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(FString::FromUtf8(ReadBytes(Plugin / "Trellic.uplugin"))), Descriptor);
			return Descriptor;
		}

		/** @return the entries of Config/FilterPlugin.ini, after checking that they sit in its one section. */
		std::vector<std::string> ReadFilterEntries() const
		{
			std::istringstream Text(ReadBytes(Plugin / "Config/FilterPlugin.ini"));
			std::vector<std::string> Entries;
			std::string Line;
			bool bInSection = false;
			while (std::getline(Text, Line))
			{
				if (Line.empty() || Line[0] == ';')
				{
					continue;
				}
				if (Line[0] == '[')
				{
					EXPECT_EQ(Line, "[FilterPlugin]");
					bInSection = true;
					continue;
				}
				EXPECT_TRUE(bInSection) << Line;
				Entries.push_back(Line);
			}
			return Entries;
		}

		fs::path Output;
		fs::path Plugin;
	};
} // namespace

TEST_F(PackagePluginTest, HoldsTheDescriptorSourcesFilterAndIconAndNothingElse)
{
	std::set<std::string> Expected = {"Trellic.uplugin", "Config/FilterPlugin.ini", "Resources/Icon128.png"};
	for (const std::string& File : ListFiles(fs::path(TRL_SOURCE_DIR) / "Source"))
	{
		// The modules build with their .Build.cs in the engine; our CMake files are the stand-in's business.
		if (fs::path(File).filename() != "CMakeLists.txt")
		{
			Expected.insert("Source/" + File);
		}
	}
	EXPECT_EQ(ListFiles(Plugin), Expected);
}

TEST_F(PackagePluginTest, DescriptorHoldsWhatThePluginsWindowShowsAndWhatTheModulesNeed)
{
	const TSharedPtr<FJsonObject> Descriptor = ReadDescriptor();
	ASSERT_TRUE(Descriptor.IsValid());
	EXPECT_EQ(Descriptor->GetNumberField(TEXT("FileVersion")), 3);
	EXPECT_TRUE(Descriptor->GetStringField(TEXT("EngineVersion")).Equals(TEXT("5.8.0"), ESearchCase::CaseSensitive));
	for (const TCHAR* Shown : {TEXT("FriendlyName"), TEXT("Description"), TEXT("Category"), TEXT("CreatedBy"), TEXT("VersionName")})
	{
		EXPECT_FALSE(Descriptor->GetStringField(Shown).IsEmpty()) << TCHAR_TO_UTF8(Shown);
	}
	TArray<FString> Platforms;
	ASSERT_TRUE(Descriptor->TryGetStringArrayField(TEXT("SupportedTargetPlatforms"), Platforms));
	EXPECT_TRUE(Platforms.Contains(TEXT("Win64")));

	// The Steam module builds on the engine's SteamShared plug-in, which must be enabled with this one.
	bool bSteamShared = false;
	for (const TSharedPtr<FJsonValue>& Dependency : Descriptor->GetArrayField(TEXT("Plugins")))
	{
		const TSharedPtr<FJsonObject> Reference = Dependency->AsObject();
		bSteamShared |=
		    Reference->GetStringField(TEXT("Name")).Equals(TEXT("SteamShared"), ESearchCase::CaseSensitive) && Reference->GetBoolField(TEXT("Enabled"));
	}
	EXPECT_TRUE(bSteamShared);

	// Every listed module ships with its build rules, and every module that ships is listed.
	std::set<std::string> Listed;
	for (const TSharedPtr<FJsonValue>& Module : Descriptor->GetArrayField(TEXT("Modules")))
	{
		const std::string Name = Module->AsObject()->GetStringField(TEXT("Name")).ToUtf8();
		Listed.insert(Name);
		EXPECT_TRUE(fs::is_regular_file(Plugin / "Source" / Name / (Name + ".Build.cs"))) << Name;
	}
	std::set<std::string> Shipped;
	for (const fs::directory_entry& Folder : fs::directory_iterator(Plugin / "Source"))
	{
		if (fs::exists(Folder.path() / (Folder.path().filename().string() + ".Build.cs")))
		{
			Shipped.insert(Folder.path().filename().string());
		}
	}
	EXPECT_EQ(Listed, Shipped);
}

TEST_F(PackagePluginTest, FilterListsEverythingThatShipsBesideTheSources)
{
	const std::vector<std::string> Entries = ReadFilterEntries();
	ASSERT_FALSE(Entries.empty());
	const std::set<std::string> Files = ListFiles(Plugin);
	for (const std::string& Entry : Entries)
	{
		EXPECT_EQ(Entry[0], '/') << Entry;
		bool bTakesSomething = false;
		for (const std::string& File : Files)
		{
			bTakesSomething |= FilterTakes(Entry, File);
		}
		EXPECT_TRUE(bTakesSomething) << Entry << " lists nothing that ships";
	}
	// The descriptor and the sources ship anyway; everything else must be listed, or a packaged build leaves it out.
	for (const std::string& File : Files)
	{
		if (File == "Trellic.uplugin" || File.rfind("Source/", 0) == 0)
		{
			continue;
		}
		bool bListed = false;
		for (const std::string& Entry : Entries)
		{
			bListed |= FilterTakes(Entry, File);
		}
		EXPECT_TRUE(bListed) << File;
	}
}

TEST_F(PackagePluginTest, IconIsAWholePngOf128By128Pixels)
{
	const std::string Png = ReadBytes(Plugin / "Resources/Icon128.png");
	ASSERT_GE(Png.size(), 8u + 25u + 12u);
	ASSERT_EQ(Png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));

	// Chunk by chunk: length, type, data, and a CRC over type and data; IHDR first, IEND last.
	std::vector<std::string> Types;
	size_t At = 8;
	while (At + 12 <= Png.size())
	{
		const uint32 Length = ReadBigEndian32(Png, At);
		ASSERT_LE(At + 12 + Length, Png.size());
		Types.push_back(Png.substr(At + 4, 4));
		EXPECT_EQ(ReadBigEndian32(Png, At + 8 + Length), Crc32(Png, At + 4, 4 + Length)) << Types.back();
		if (Types.back() == "IHDR")
		{
			ASSERT_EQ(Length, 13u);
			EXPECT_EQ(ReadBigEndian32(Png, At + 8), 128u);
			EXPECT_EQ(ReadBigEndian32(Png, At + 12), 128u);
		}
		At += 12 + Length;
	}
	EXPECT_EQ(At, Png.size());
	ASSERT_GE(Types.size(), 3u);
	EXPECT_EQ(Types.front(), "IHDR");
	EXPECT_NE(std::find(Types.begin(), Types.end(), "IDAT"), Types.end());
	EXPECT_EQ(Types.back(), "IEND");
}
