// Runs every runnable example of README.md and the pages of docs/, each in a fresh temporary folder of its own, and checks that
// the pages are a whole: every code block marked, every page on README's map, every link leading somewhere. How a page
// shows what varies from run to run is FShownMatch's; docs/development.md says it for the pages' writers.
#include "DocExamples.h"
#include "HostRun.h"
#include "JsonMatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace
{
	namespace fs = std::filesystem;

	/** The folder the pages show an example's project in; each run puts its own fresh copy there instead. */
	const std::string ShownProjectFolder = "/tmp/demo";

	std::string InFolder(std::string Text, const std::string& Folder)
	{
		for (size_t At = Text.find(ShownProjectFolder); At != std::string::npos; At = Text.find(ShownProjectFolder, At + Folder.size()))
		{
			Text.replace(At, ShownProjectFolder.size(), Folder);
		}
		return Text;
	}

	std::vector<std::string> InFolder(const std::vector<std::string>& Lines, const std::string& Folder)
	{
		std::vector<std::string> Replaced;
		for (const std::string& Line : Lines)
		{
			Replaced.push_back(InFolder(Line, Folder));
		}
		return Replaced;
	}

	bool StartsWith(const std::string& Text, const std::string& Prefix)
	{
		return Text.compare(0, Prefix.size(), Prefix) == 0;
	}

	std::string TrimEnd(const std::string& Text)
	{
		const size_t End = Text.find_last_not_of(" \t\r");
		return End == std::string::npos ? std::string() : Text.substr(0, End + 1);
	}

	std::string Joined(const std::vector<std::string>& Lines)
	{
		std::string Text;
		for (const std::string& Line : Lines)
		{
			Text += Line + "\n";
		}
		return Text;
	}

	const std::vector<FDocExample>& AllExamples()
	{
		static const std::vector<FDocExample> Examples = []() {
			std::vector<FDocExample> Found;
			std::vector<std::string> Problems;
			for (const FDocPage& Page : ReadDocPages(TRL_SOURCE_DIR))
			{
				const std::vector<FDocExample> OfPage = ReadExamples(Page, Problems);
				Found.insert(Found.end(), OfPage.begin(), OfPage.end());
			}
			return Found;
		}();
		return Examples;
	}

	std::vector<FDocExample> RunnableExamples()
	{
		std::vector<FDocExample> Runnable;
		std::copy_if(AllExamples().begin(), AllExamples().end(), std::back_inserter(Runnable), [](const FDocExample& Example) {
			return Example.bRunnable;
		});
		return Runnable;
	}

	/**
	 * An example's folder: a fresh temporary folder holding its files and build/default, the build tree the tests
	 * run from, so that its commands run as the page shows them; /tmp/demo is its project folder.
	 */
	class FExampleFolder
	{
	public:
		explicit FExampleFolder(const FDocExample& Example)
		{
			fs::create_directories(fs::path(Sandbox.GetRoot()) / "build");
			fs::create_directory_symlink(TRL_BINARY_DIR, fs::path(Sandbox.GetRoot()) / "build" / "default");
			for (const auto& [Name, Text] : Example.Files)
			{
				std::ofstream(fs::path(Sandbox.GetRoot()) / Name, std::ios::binary) << In(Text);
			}
		}

		std::string In(const std::string& Text) const { return InFolder(Text, Sandbox.GetProjectFolder()); }
		std::vector<std::string> In(const std::vector<std::string>& Lines) const { return InFolder(Lines, Sandbox.GetProjectFolder()); }

		/** Runs a bash script in the folder, standard error with standard output as a terminal shows them. */
		std::string RunScript(const std::string& Script) const
		{
			const fs::path ScriptPath = fs::path(Sandbox.GetRoot()) / "example.sh";
			std::ofstream(ScriptPath, std::ios::binary) << "exec 2>&1\n" << Script;
			std::string Output;
			const std::string Command = "cd '" + Sandbox.GetRoot() + "' && timeout 240 bash example.sh";
			if (FILE* Pipe = popen(Command.c_str(), "r"))
			{
				char Buffer[4096];
				for (size_t Read = 0; (Read = fread(Buffer, 1, sizeof(Buffer), Pipe)) > 0;)
				{
					Output.append(Buffer, Read);
				}
				pclose(Pipe);
			}
			return Output;
		}

		FHostSandbox Sandbox;
	};

	/** One request of a script-mode example shown step by step, with what is shown under it. */
	struct FShownStep
	{
		int Line = 0;
		std::string Request;
		std::vector<TSharedPtr<FJsonValue>> Events;
		TSharedPtr<FJsonValue> Reply;
	};

	/** Reads a block that shows, under each request, the events and the reply it causes (one may span lines). */
	bool ReadSteps(const FDocBlock& Block, const std::vector<std::string>& Lines, std::vector<FShownStep>& OutSteps, std::string& OutError)
	{
		std::string Pending;
		int PendingLine = 0;
		for (size_t Index = 0; Index < Lines.size(); ++Index)
		{
			const int LineNumber = Block.Line + static_cast<int>(Index);
			if (Pending.empty())
			{
				PendingLine = LineNumber;
			}
			Pending += Lines[Index] + "\n";
			const TSharedPtr<FJsonValue> Value = ParseJsonValue(FString::FromUtf8(Pending));
			if (!Value.IsValid() || Value->Type != EJson::Object)
			{
				continue;
			}
			const TSharedPtr<FJsonObject> Object = Value->AsObject();
			if (Object->HasField(TEXT("cmd")))
			{
				if (PendingLine != LineNumber || (!OutSteps.empty() && !OutSteps.back().Reply.IsValid()))
				{
					OutError = "line " + std::to_string(PendingLine) + ": a request takes one line and comes after the reply to the one before";
					return false;
				}
				OutSteps.push_back({LineNumber, Lines[Index], {}, nullptr});
			}
			else if (OutSteps.empty() || OutSteps.back().Reply.IsValid())
			{
				OutError = "line " + std::to_string(PendingLine) + ": an event or reply that follows no request";
				return false;
			}
			else if (Object->HasField(TEXT("reply")))
			{
				OutSteps.back().Reply = Value;
			}
			else
			{
				OutSteps.back().Events.push_back(Value);
			}
			Pending.clear();
		}
		if (!Pending.empty() || OutSteps.empty() || !OutSteps.back().Reply.IsValid())
		{
			OutError = "the block must end with the reply to its last request";
			return false;
		}
		return true;
	}

	void RunScriptMode(const FDocExample& Example)
	{
		FExampleFolder Folder(Example);
		const FDocBlock& Block = Example.Blocks[0];
		const std::vector<std::string> Lines = Folder.In(Block.Lines);
		FShownMatch Match;
		if (Example.Output.has_value())
		{
			std::vector<std::string> Requests;
			std::copy_if(Lines.begin(), Lines.end(), std::back_inserter(Requests), [](const std::string& Line) {
				return !TrimEnd(Line).empty();
			});
			const FHostRun Run = Folder.Sandbox.Run(Requests);
			std::string Mismatch;
			EXPECT_TRUE(Match.MatchesLines(Folder.In(Example.Output->Lines), SplitLines(Run.RawOutput), Mismatch))
			    << "the output shown from line " << Example.Output->Line << ": " << Mismatch << "\nWritten:\n"
			    << Run.RawOutput;
			return;
		}

		std::vector<FShownStep> Steps;
		std::string Error;
		ASSERT_TRUE(ReadSteps(Block, Lines, Steps, Error)) << Error;
		std::vector<std::string> Requests;
		for (const FShownStep& Step : Steps)
		{
			Requests.push_back(Step.Request);
		}
		const FHostRun Run = Folder.Sandbox.Run(Requests);
		const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
		ASSERT_EQ(Replies.Num(), static_cast<int32>(Steps.size())) << Run.RawOutput;
		int32 Next = 0;
		for (int32 StepIndex = 0; StepIndex < Replies.Num(); ++StepIndex)
		{
			const FShownStep& Step = Steps[StepIndex];
			const int32 ReplyLine = Run.Lines.Find(Replies[StepIndex]);
			size_t Shown = 0;
			FString Mismatch;
			for (; Next < ReplyLine && Shown < Step.Events.size(); ++Next)
			{
				Shown += Match.MatchesJson(Step.Events[Shown], MakeShared<FJsonValueObject>(Run.Lines[Next]), Mismatch) ? 1 : 0;
			}
			EXPECT_EQ(Shown, Step.Events.size()) << "line " << Step.Line << ": the events shown for " << Step.Request
			                                     << " were not all written, in order, before its reply. Written:\n"
			                                     << Run.RawOutput;
			EXPECT_TRUE(Match.MatchesJson(Step.Reply, MakeShared<FJsonValueObject>(Replies[StepIndex]), Mismatch))
			    << "line " << Step.Line << ": " << Step.Request << "\n  " << Mismatch.ToUtf8();
			Next = ReplyLine + 1;
		}
	}

	struct FShellCommand
	{
		int Line = 0;
		std::string Command;
		std::vector<std::string> Shown;
	};

	void RunShell(const FDocExample& Example)
	{
		FExampleFolder Folder(Example);
		std::vector<FShellCommand> Commands;
		for (const FDocBlock& Block : Example.Blocks)
		{
			bool bContinues = false;
			for (size_t Index = 0; Index < Block.Lines.size(); ++Index)
			{
				const std::string Line = Folder.In(Block.Lines[Index]);
				if (bContinues)
				{
					Commands.back().Command += "\n" + Line;
				}
				else if (StartsWith(Line, "$ "))
				{
					Commands.push_back({Block.Line + static_cast<int>(Index), Line.substr(2), {}});
				}
				else
				{
					ASSERT_FALSE(Commands.empty()) << "line " << Block.Line + static_cast<int>(Index) << ": output before the first command ($ ...)";
					Commands.back().Shown.push_back(Line);
				}
				bContinues = (bContinues || StartsWith(Line, "$ ")) && !TrimEnd(Line).empty() && TrimEnd(Line).back() == '\\';
			}
		}
		ASSERT_FALSE(Commands.empty()) << "a shell example without a command ($ ...)";

		// Each command's output is told from the next by a line of its own; $? is carried over it for "echo $?".
		const std::string Separator = "@@ trellic example: next command @@";
		std::string Script = "TrellicExampleStatus=0\n";
		for (const FShellCommand& Command : Commands)
		{
			Script += "printf '\\n%s\\n' '" + Separator + "'\n(exit $TrellicExampleStatus); " + Command.Command + "\nTrellicExampleStatus=$?\n";
		}
		std::vector<std::vector<std::string>> Written;
		for (const std::string& Line : SplitLines(Folder.RunScript(Script)))
		{
			if (Line == Separator)
			{
				Written.emplace_back();
			}
			else if (!Written.empty())
			{
				Written.back().push_back(Line);
			}
		}
		ASSERT_EQ(Written.size(), Commands.size()) << "a command ended the shell before the commands after it ran";
		FShownMatch Match;
		for (size_t Index = 0; Index < Commands.size(); ++Index)
		{
			std::string Mismatch;
			EXPECT_TRUE(Match.MatchesLines(Commands[Index].Shown, Written[Index], Mismatch))
			    << "line " << Commands[Index].Line << ": $ " << Commands[Index].Command << "\n  " << Mismatch << "\nWritten:\n"
			    << Joined(Written[Index]);
		}
	}

	/**
	 * What a person types, read from the screen as shown: the text after the "> " prompt; in a window, after each of
	 * its fields' prompts and its "Press:" prompt, which follow its "Buttons:" line; Enter for a dialog's "[Enter: Ok]".
	 */
	std::vector<std::string> TypedOnScreen(const std::vector<std::string>& Screen)
	{
		std::vector<std::string> Typed;
		bool bInWindowPrompts = false;
		for (const std::string& Line : Screen)
		{
			const std::string Shown = TrimEnd(Line);
			const std::string Trimmed = Shown.substr(std::min(Shown.size(), Shown.find_first_not_of(' ')));
			if (StartsWith(Shown, "> "))
			{
				Typed.push_back(Shown.substr(2));
				bInWindowPrompts = false;
			}
			else if (bInWindowPrompts && Shown.find(':') != std::string::npos)
			{
				const size_t Colon = Shown.find(':');
				Typed.push_back(Colon + 2 <= Shown.size() ? Shown.substr(Colon + 2) : std::string());
				bInWindowPrompts = !StartsWith(Trimmed, "Press:");
			}
			else if (StartsWith(Trimmed, "Buttons:"))
			{
				bInWindowPrompts = true;
			}
			else if (Shown.size() >= 11 && Shown.compare(Shown.size() - 11, 11, "[Enter: Ok]") == 0)
			{
				Typed.push_back(std::string());
			}
		}
		return Typed;
	}

	/** Lines cut into what came before the first "> " prompt, then what each prompt's line brought, the line first. */
	std::vector<std::vector<std::string>> PerPrompt(const std::vector<std::string>& Lines)
	{
		std::vector<std::vector<std::string>> Steps(1);
		for (const std::string& Line : Lines)
		{
			if (StartsWith(Line, "> "))
			{
				Steps.emplace_back();
			}
			Steps.back().push_back(Line);
		}
		return Steps;
	}

	void RunInteractive(const FDocExample& Example)
	{
		FExampleFolder Folder(Example);
		std::vector<std::string> Screen;
		for (const FDocBlock& Block : Example.Blocks)
		{
			const std::vector<std::string> Lines = Folder.In(Block.Lines);
			Screen.insert(Screen.end(), Lines.begin(), Lines.end());
		}
		ASSERT_FALSE(Screen.empty());
		ASSERT_TRUE(StartsWith(Screen[0], "$ ")) << "an interactive example begins with the command that starts it ($ ...)";
		Screen.erase(Screen.begin());
		std::ofstream(fs::path(Folder.Sandbox.GetRoot()) / "typed.txt", std::ios::binary) << Joined(TypedOnScreen(Screen));
		const std::string Written = Folder.RunScript(Folder.In(Example.Blocks[0].Lines[0]).substr(2) + " <typed.txt\n");

		const std::vector<std::vector<std::string>> ShownSteps = PerPrompt(Screen);
		const std::vector<std::vector<std::string>> WrittenSteps = PerPrompt(SplitLines(Written));
		ASSERT_EQ(ShownSteps.size(), WrittenSteps.size()) << "the host did not prompt once for each line shown after \"> \". It wrote:\n" << Written;
		FShownMatch Match;
		for (size_t Index = 0; Index < ShownSteps.size(); ++Index)
		{
			std::string Mismatch;
			EXPECT_TRUE(Match.MatchesLines(ShownSteps[Index], WrittenSteps[Index], Mismatch))
			    << "after " << (Index == 0 ? std::string("the start") : "'" + ShownSteps[Index][0] + "'") << ": " << Mismatch << "\nWritten:\n"
			    << Joined(WrittenSteps[Index]);
		}
	}

	class DocExample : public ::testing::TestWithParam<FDocExample>
	{
	};

	std::string ExampleName(const ::testing::TestParamInfo<FDocExample>& Info)
	{
		std::string Name = Info.param.Page + "_line_" + std::to_string(Info.param.Line);
		std::replace_if(
		    Name.begin(), Name.end(),
		    [](char Char) {
			    return !std::isalnum(static_cast<unsigned char>(Char));
		    },
		    '_');
		return Name;
	}
} // namespace

/** Names an example in a failure by where it stands. */
void PrintTo(const FDocExample& Example, std::ostream* Stream)
{
	*Stream << Example.Page << " line " << Example.Line << " (" << Example.Kind << ")";
}

TEST_P(DocExample, RunsAsShown)
{
	const FDocExample& Example = GetParam();
	SCOPED_TRACE(Example.Page + ", the " + Example.Kind + " example at line " + std::to_string(Example.Line));
	if (Example.Kind == "script-mode")
	{
		RunScriptMode(Example);
	}
	else if (Example.Kind == "shell")
	{
		RunShell(Example);
	}
	else
	{
		RunInteractive(Example);
	}
}

INSTANTIATE_TEST_SUITE_P(Docs, DocExample, ::testing::ValuesIn(RunnableExamples()), ExampleName);

TEST(Docs, EveryCodeBlockIsAMarkedExampleItsOutputOrItsFile)
{
	std::vector<std::string> Problems;
	size_t Runnable = 0;
	for (const FDocPage& Page : ReadDocPages(TRL_SOURCE_DIR))
	{
		for (const FDocExample& Example : ReadExamples(Page, Problems))
		{
			Runnable += Example.bRunnable ? 1 : 0;
		}
	}
	EXPECT_TRUE(Problems.empty()) << Joined(Problems);
	// Pages whose markers the reading no longer finds must not pass by running nothing.
	EXPECT_GE(Runnable, 10u);
}

TEST(Docs, TheReadmeIsAShortFrontDoorThatMapsEveryPageAndEveryLinkLeadsSomewhere)
{
	const std::vector<FDocPage> Pages = ReadDocPages(TRL_SOURCE_DIR);
	ASSERT_GT(Pages.size(), 1u);
	const FDocPage& Readme = Pages[0];
	EXPECT_LT(Readme.Lines.size(), 200u) << "README is the front door: what Trellic is, its requirements, the two commands, installing it and the map";

	std::set<std::string> Mapped;
	for (const FDocLink& Link : ReadLinks(Readme))
	{
		Mapped.insert(Link.Target);
	}
	for (size_t Index = 1; Index < Pages.size(); ++Index)
	{
		EXPECT_TRUE(Mapped.count(Pages[Index].Path)) << "README's map does not link " << Pages[Index].Path;
		const std::vector<FDocLink> Links = ReadLinks(Pages[Index]);
		EXPECT_TRUE(std::any_of(Links.begin(), Links.end(),
		                        [](const FDocLink& Link) {
			                        return Link.Target == "../README.md";
		                        }))
		    << Pages[Index].Path << " does not link back to README";
	}

	for (const FDocPage& Page : Pages)
	{
		for (const FDocLink& Link : ReadLinks(Page))
		{
			const fs::path Target = Link.Target.empty() ? fs::path(Page.Path) : (fs::path(Page.Path).parent_path() / Link.Target).lexically_normal();
			const std::string Where = Page.Path + " line " + std::to_string(Link.Line) + ": ";
			if (!fs::exists(fs::path(TRL_SOURCE_DIR) / Target))
			{
				ADD_FAILURE() << Where << "the link to " << Link.Target << " leads nowhere";
				continue;
			}
			if (Link.Anchor.empty())
			{
				continue;
			}
			const auto Linked = std::find_if(Pages.begin(), Pages.end(), [&Target](const FDocPage& Other) {
				return fs::path(Other.Path) == Target;
			});
			ASSERT_NE(Linked, Pages.end()) << Where << "an anchor in a file that is not a page: " << Link.Target;
			const std::vector<std::string> Anchors = ReadAnchors(*Linked);
			EXPECT_NE(std::find(Anchors.begin(), Anchors.end(), Link.Anchor), Anchors.end()) << Where << "no heading of " << Target << " is #" << Link.Anchor;
		}
	}
}

TEST(Docs, AnUnmarkedOrMistypedBlockIsAProblemAndAFileGoesToTheNextExample)
{
	std::vector<std::string> Problems;
	const std::vector<FDocExample> Examples = ReadExamples(MakeDocPage("page.md", "Text\n"
	                                                                              "```\n$ ls\n```\n"
	                                                                              "<!-- example: shel, runable -->\n```\n$ ls\n```\n"
	                                                                              "<!-- example-file: a.jsonl -->\n```\n{\"cmd\":\"quit\"}\n```\n"
	                                                                              "<!-- example: shell, runnable -->\n```\n$ cat a.jsonl\n```\n"
	                                                                              "<!-- example-output -->\n```\nx\n```\n"
	                                                                              "\n    $ indented\n"
	                                                                              "1. In a list:\n"
	                                                                              "   <!-- example: shell, not runnable: it builds -->\n"
	                                                                              "   ```console\n   cmake --build\n   ```\n"),
	                                                       Problems);
	ASSERT_EQ(Examples.size(), 2u);
	EXPECT_EQ(Examples[0].Line, 13);
	ASSERT_EQ(Examples[0].Files.size(), 1u);
	EXPECT_EQ(Examples[0].Files[0].second, "{\"cmd\":\"quit\"}\n");
	EXPECT_EQ(Examples[1].Blocks[0].Lines, std::vector<std::string>{"cmake --build"});
	// The unmarked block, the mistyped marker (and its block), the output of a shell example, the indented block.
	EXPECT_EQ(Problems.size(), 5u) << Joined(Problems);
}

TEST(Docs, WhatAPageShowsStandsForWhatVariesAndForNothingElse)
{
	FShownMatch Match;
	EXPECT_TRUE(Match.MatchesText("item 7060623868837218046 in 0 s at 2026-12-06T02:40:57.122Z", "item 42 in 1.5 s at 2027-01-01T00:00:00Z"));
	EXPECT_TRUE(Match.MatchesText("7060623868837218046 again", "42 again"));
	EXPECT_FALSE(Match.MatchesText("7060623868837218046 again", "43 again")) << "one id shown is one id written";
	EXPECT_FALSE(Match.MatchesText("1111111111111111111 other", "42 other")) << "another id shown is another id written";
	EXPECT_FALSE(Match.MatchesText("exit code 3", "exit code 4"));
	EXPECT_TRUE(Match.MatchesText("Output: .../Releases", "Output: /x/y/Releases"));

	std::string Mismatch;
	EXPECT_TRUE(Match.MatchesLines({"a", "...", "d"}, {"a", "b", "c", "d"}, Mismatch));
	EXPECT_FALSE(Match.MatchesLines({"a", "d"}, {"a", "b", "d"}, Mismatch)) << "only \"...\" leaves lines out";
	EXPECT_FALSE(Match.MatchesLines({"a"}, {"a", "b"}, Mismatch));
	EXPECT_TRUE(
	    Match.MatchesLines({R"({"reply":"x","items":[{"id":"..."},"..."]})"}, {R"({"reply":"x","ok":true,"items":[{"id":"1"},{"id":"2"}]})"}, Mismatch));
	EXPECT_FALSE(Match.MatchesLines({R"({"reply":"x","ok":true})"}, {R"({"reply":"x","ok":false})"}, Mismatch));
}
