// README's first command needs no more than the editor host does: the prerequisites script asks for the test
// libraries only for the tests, and the run preset configures without them while the test workflow still needs them.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace
{
	namespace fs = std::filesystem;

	struct FCommandResult
	{
		int ExitCode = -1;
		std::string Output;
	};

	/** Runs a shell command with its standard error joined to its output. */
	FCommandResult RunCommand(const std::string& Command)
	{
		FCommandResult Result;
		if (FILE* Pipe = popen((Command + " 2>&1").c_str(), "r"))
		{
			char Buffer[4096];
			size_t Read = 0;
			while ((Read = fread(Buffer, 1, sizeof(Buffer), Pipe)) > 0)
			{
				Result.Output.append(Buffer, Read);
			}
			const int Status = pclose(Pipe);
			Result.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
		}
		return Result;
	}

	/** A temporary folder, removed with what it holds at the end of the test. */
	struct FTemporaryFolder
	{
		std::string Path = fs::temp_directory_path() / "trellic-first-run-XXXXXX";
		FTemporaryFolder() { EXPECT_NE(mkdtemp(Path.data()), nullptr); }
		~FTemporaryFolder()
		{
			std::error_code Ignored;
			fs::remove_all(Path, Ignored);
		}
	};

	const std::string Script = std::string(TRL_SOURCE_DIR) + "/Tools/InstallPrerequisites.sh";
} // namespace

TEST(Prerequisites, ADryRunNamesWhatEachUseLacksAndNoMore)
{
	// A machine without compilers, CMake, Ninja or dpkg (so without clang's sanitizer runtimes, as far as it can tell):
	// the commands the script looks for are missing from its PATH, but for the two it asks with.
	FTemporaryFolder Folder;
	const fs::path Bin = fs::path(Folder.Path) / "bin";
	fs::create_directories(Bin);
	for (const char* Tool : {"locale", "grep"})
	{
		const FCommandResult Found = RunCommand(std::string("command -v ") + Tool);
		ASSERT_EQ(Found.ExitCode, 0) << Tool;
		fs::create_symlink(Found.Output.substr(0, Found.Output.find('\n')), Bin / Tool);
	}
	const std::string Bare = "env PATH='" + Bin.string() + "' /bin/bash '" + Script + "' --dry-run ";

	const FCommandResult Run = RunCommand(Bare + "run");
	EXPECT_EQ(Run.ExitCode, 0) << Run.Output;
	EXPECT_EQ(Run.Output, "Would install: g++ cmake ninja-build\n");
	const FCommandResult Ci = RunCommand(Bare + "ci");
	EXPECT_EQ(Ci.ExitCode, 0) << Ci.Output;
	EXPECT_EQ(Ci.Output, "Would install: g++ cmake ninja-build clang-format-14 clang-14 libclang-rt-14-dev\n");

	// This machine has what the tests need, libedit included.
	const FCommandResult Here = RunCommand("/bin/bash '" + Script + "' --dry-run tests");
	EXPECT_EQ(Here.ExitCode, 0) << Here.Output;
	EXPECT_EQ(Here.Output, "Nothing to install.\n");
	const FCommandResult Unknown = RunCommand("/bin/bash '" + Script + "' --dry-run everything");
	EXPECT_EQ(Unknown.ExitCode, 2);
	EXPECT_NE(Unknown.Output.find("unknown argument 'everything'"), std::string::npos) << Unknown.Output;
}

TEST(RunPreset, ConfiguresTheEditorHostWithoutTheTestLibrariesThatTheTestWorkflowNeeds)
{
	FTemporaryFolder Folder;
	const std::string WithoutTestLibraries = " -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON";
	const std::string Configure = "cd '" TRL_SOURCE_DIR "' && '" TRL_CMAKE_COMMAND "' --preset ";

	const FCommandResult Run = RunCommand(Configure + "run -B '" + Folder.Path + "/run'" + WithoutTestLibraries);
	ASSERT_EQ(Run.ExitCode, 0) << Run.Output;
	const FCommandResult Targets = RunCommand("'" TRL_CMAKE_COMMAND "' --build '" + Folder.Path + "/run' --target help");
	EXPECT_NE(Targets.Output.find("trellic-editor:"), std::string::npos) << Targets.Output;
	EXPECT_EQ(Targets.Output.find("EditorHostScriptTests:"), std::string::npos) << Targets.Output;

	const FCommandResult Default = RunCommand(Configure + "default -B '" + Folder.Path + "/default'" + WithoutTestLibraries);
	EXPECT_NE(Default.ExitCode, 0);
	EXPECT_NE(Default.Output.find("find_package for module GTest called with REQUIRED"), std::string::npos) << Default.Output;
}
