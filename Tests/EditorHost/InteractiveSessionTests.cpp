// The interactive host on the demo project, typed at through a pipe: what a person reads of the editor's
// notifications and refusals while they package and upload the sample mod.
#include "HostRun.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace
{
	std::vector<std::string> LinesOf(const std::string& Text)
	{
		std::vector<std::string> Lines;
		std::istringstream Stream(Text);
		for (std::string Line; std::getline(Stream, Line);)
		{
			Lines.push_back(Line);
		}
		return Lines;
	}

	size_t CountOf(const std::string& Text, const std::string& Needle)
	{
		size_t Count = 0;
		for (size_t At = Text.find(Needle); At != std::string::npos; At = Text.find(Needle, At + 1))
		{
			++Count;
		}
		return Count;
	}
} // namespace

TEST(InteractiveSession, ShowsEachStateOfANotificationOnceInALineAndARefusalOnce)
{
	FHostSandbox Sandbox;
	// A base release and the sample mod's cook; an upload that finds Steam not running and its dialog; an upload held
	// half way, then let go.
	const FHostRun Run = Sandbox.RunInteractive("5\nt 2\n3\n1\nt 2\nw refuse\n4\n1\n\nw hold 0.5\n4\n1\nt 1\nw release\nt 1\nq\n");
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string& Out = Run.RawOutput;

	EXPECT_EQ(CountOf(Out, "Could not reach Steam"), 1u) << Out;
	EXPECT_EQ(CountOf(Out, "Simulated automation tool: a stand-in"), 1u) << Out;
	EXPECT_EQ(CountOf(Out, "  [notification 1] Creating base game release for Win64...  (pending)\n"), 1u) << Out;
	EXPECT_EQ(CountOf(Out, "  [notification 1] Creating base game release complete! - Output: " + Sandbox.GetProjectFolder() + "/Releases  (success)\n"), 1u)
	    << Out;
	EXPECT_EQ(CountOf(Out, "  [notification 2] Packaging mod SampleMod complete! - Output: "), 1u) << Out;
	EXPECT_EQ(CountOf(Out, " - 50% uploaded  (pending)\n"), 1u) << Out;

	std::vector<std::string> NotificationLines;
	for (const std::string& Line : LinesOf(Out))
	{
		if (Line.rfind("  [notification ", 0) == 0)
		{
			NotificationLines.push_back(Line);
		}
		// Every line of a notification begins with its number or stands under its text: none runs on from a subtext.
		EXPECT_NE(Line.rfind("BUILD SUCCESSFUL", 0), 0u) << Out;
	}
	for (const std::string& Line : NotificationLines)
	{
		const bool bFinished = Line.find("complete!") != std::string::npos || Line.find(" is on the Steam Workshop") != std::string::npos;
		EXPECT_FALSE(bFinished && Line.find("(pending)") != std::string::npos) << Line;
		EXPECT_FALSE(bFinished && Line.find("% uploaded") != std::string::npos) << Line;
	}
	ASSERT_FALSE(NotificationLines.empty());
	EXPECT_NE(NotificationLines.back().find("SampleMod is on the Steam Workshop (item "), std::string::npos) << Out;
	EXPECT_NE(NotificationLines.back().find(").  (success)"), std::string::npos) << Out;
}
