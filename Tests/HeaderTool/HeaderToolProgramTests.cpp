#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
	/** A module folder in a fresh temporary directory, removed afterwards. */
	class HeaderToolProgram : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			std::string Template = (fs::temp_directory_path() / "HeaderToolXXXXXX").string();
			ASSERT_NE(mkdtemp(Template.data()), nullptr);
			Root = Template;
			fs::create_directories(Root / "Mod" / "Public");
		}

		void TearDown() override { fs::remove_all(Root); }

		void WriteHeader(const std::string& Name, const std::string& Text) const { std::ofstream(Root / "Mod" / "Public" / Name) << Text; }

		/** Runs the tool over the module's headers; returns its exit status and fills OutErrors with what it printed. */
		int Run(std::string& OutErrors) const
		{
			std::ofstream List(Root / "Headers.txt");
			for (const fs::directory_entry& Entry : fs::directory_iterator(Root / "Mod" / "Public"))
			{
				List << Entry.path().string() << "\n";
			}
			List.close();
			const std::string Command = std::string("\"") + TRL_HEADER_TOOL_PATH + "\" Mod \"" + (Root / "Mod").string() + "\" \"" +
			                            (Root / "Out" / "Inc").string() + "\" \"" + (Root / "Out" / "Mod.gen.cpp").string() + "\" \"" +
			                            (Root / "Headers.txt").string() + "\" 2>&1";
			FILE* Pipe = popen(Command.c_str(), "r");
			std::array<char, 512> Buffer{};
			OutErrors.clear();
			while (fgets(Buffer.data(), static_cast<int>(Buffer.size()), Pipe))
			{
				OutErrors += Buffer.data();
			}
			const int Status = pclose(Pipe);
			return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
		}

		fs::path Root;
	};
} // namespace

TEST_F(HeaderToolProgram, WritesAGeneratedHeaderForEveryHeaderAndOneSourceForTheModule)
{
	WriteHeader(
	    "Thing.h",
	    "#pragma once\n#include \"UObject/Object.h\"\n#include \"Thing.generated.h\"\nUCLASS()\nclass UThing : public UObject\n{\n\tGENERATED_BODY()\n};\n");
	WriteHeader("Plain.h", "#pragma once\nstruct FPlain {};\n");
	std::string Output;
	ASSERT_EQ(Run(Output), 0) << Output;
	EXPECT_TRUE(fs::exists(Root / "Out" / "Inc" / "Thing.generated.h"));
	EXPECT_TRUE(fs::exists(Root / "Out" / "Inc" / "Plain.generated.h"));
	std::ifstream Source(Root / "Out" / "Mod.gen.cpp");
	std::stringstream Text;
	Text << Source.rdbuf();
	EXPECT_NE(Text.str().find("UClass* UThing::StaticClass()"), std::string::npos);
}

TEST_F(HeaderToolProgram, RefusesAMalformedAnnotationWithFileAndLineAndWritesNothing)
{
	WriteHeader("Broken.h", "#pragma once\n#include \"UObject/Object.h\"\n#include \"Broken.generated.h\"\n\nUCLASS()\nclass UBroken : public "
	                        "UObject\n{\n\tGENERATED_BODY()\n\n\tUPROPERTY(EditAnywhere, Category=\"A\"\n\tint32 Value;\n};\n");
	std::string Output;
	EXPECT_EQ(Run(Output), 1);
	const std::string Expected = (Root / "Mod" / "Public" / "Broken.h").string() + ":11: error: ";
	EXPECT_NE(Output.find(Expected), std::string::npos) << Output;
	EXPECT_FALSE(fs::exists(Root / "Out"));
}

TEST_F(HeaderToolProgram, RefusesTwoHeadersWithTheSameName)
{
	fs::create_directories(Root / "Mod" / "Public" / "Sub");
	WriteHeader("Same.h", "#pragma once\n");
	WriteHeader("Sub/Same.h", "#pragma once\n");
	std::ofstream List(Root / "Headers.txt");
	std::string Output;
	// Run lists the top folder only; add the nested header by hand.
	const std::string Command = std::string("\"") + TRL_HEADER_TOOL_PATH + "\" Mod \"" + (Root / "Mod").string() + "\" \"" + (Root / "Out").string() + "\" \"" +
	                            (Root / "Out.cpp").string() + "\" \"" + (Root / "List2.txt").string() + "\" 2>&1";
	std::ofstream(Root / "List2.txt") << (Root / "Mod" / "Public" / "Same.h").string() << "\n" << (Root / "Mod" / "Public" / "Sub" / "Same.h").string() << "\n";
	FILE* Pipe = popen(Command.c_str(), "r");
	std::array<char, 512> Buffer{};
	while (fgets(Buffer.data(), static_cast<int>(Buffer.size()), Pipe))
	{
		Output += Buffer.data();
	}
	EXPECT_NE(pclose(Pipe), 0);
	EXPECT_NE(Output.find("same name"), std::string::npos) << Output;
}
