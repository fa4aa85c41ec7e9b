// Runs every script-mode example of README's scripting guide on a fresh copy of the demo project, so that the guide
// cannot go stale: each request must get the reply shown under it, after the events shown, in their order.
#include "HostRun.h"
#include "JsonMatch.h"

#include "Misc/FileHelper.h"

#include <gtest/gtest.h>

namespace
{
	/** The project folder the guide's examples name; each run puts its own copy of the demo project there instead. */
	const FString ShownProjectFolder = TEXT("/tmp/demo");

	struct FGuideStep
	{
		int32 Line = 0;
		FString Request;
		TArray<TSharedPtr<FJsonValue>> Events;
		TSharedPtr<FJsonValue> Reply;
	};

	struct FGuideExample
	{
		int32 Line = 0;
		TArray<FGuideStep> Steps;
	};

	/** The guide: README from its heading to the next heading of the same level. */
	bool ReadGuide(TArray<FString>& OutLines, int32& OutFirstLine)
	{
		FString Readme;
		if (!FFileHelper::LoadFileToString(Readme, TEXT(TRL_README_PATH)))
		{
			return false;
		}
		TArray<FString> Lines;
		Readme.ParseIntoArray(Lines, TEXT("\n"), false);
		const int32 Start = Lines.IndexOfByKey(TEXT("## Scripting guide"));
		if (Start == INDEX_NONE)
		{
			return false;
		}
		int32 End = Start + 1;
		while (End < Lines.Num() && !Lines[End].StartsWith(TEXT("## "), ESearchCase::CaseSensitive))
		{
			++End;
		}
		OutLines = TArray<FString>(Lines.GetData() + Start, End - Start);
		OutFirstLine = Start + 1;
		return true;
	}

	/**
	 * The ```jsonl blocks of the guide: each request (one line with "cmd") followed by the events and the reply that
	 * the host writes for it; a reply or event may span several lines.
	 */
	bool ParseExamples(const TArray<FString>& Lines, int32 FirstLine, const FString& ProjectFolder, TArray<FGuideExample>& OutExamples, FString& OutError)
	{
		FGuideExample* Example = nullptr;
		FString Pending;
		int32 PendingLine = 0;
		for (int32 Index = 0; Index < Lines.Num(); ++Index)
		{
			const int32 LineNumber = FirstLine + Index;
			const FString Line = Lines[Index].Replace(*ShownProjectFolder, *ProjectFolder, ESearchCase::CaseSensitive);
			if (!Example)
			{
				if (Line == TEXT("```jsonl"))
				{
					Example = &OutExamples.Emplace_GetRef();
					Example->Line = LineNumber;
				}
				continue;
			}
			if (Line == TEXT("```"))
			{
				if (!Pending.IsEmpty() || Example->Steps.IsEmpty() || !Example->Steps.Last().Reply.IsValid())
				{
					OutError = FString::Printf(TEXT("README line %d: the example must end with the reply to its last request"), LineNumber);
					return false;
				}
				Example = nullptr;
				continue;
			}
			if (Pending.IsEmpty())
			{
				PendingLine = LineNumber;
			}
			Pending += Line + TEXT("\n");
			const TSharedPtr<FJsonValue> Value = ParseJsonValue(Pending);
			if (!Value.IsValid() || Value->Type != EJson::Object)
			{
				continue;
			}
			const TSharedPtr<FJsonObject> Object = Value->AsObject();
			if (Object->HasField(TEXT("cmd")))
			{
				if (PendingLine != LineNumber || (!Example->Steps.IsEmpty() && !Example->Steps.Last().Reply.IsValid()))
				{
					OutError = FString::Printf(TEXT("README line %d: a request takes one line and comes after the reply to the one before"), PendingLine);
					return false;
				}
				FGuideStep& Step = Example->Steps.Emplace_GetRef();
				Step.Line = LineNumber;
				Step.Request = Line;
			}
			else if (Example->Steps.IsEmpty() || Example->Steps.Last().Reply.IsValid())
			{
				OutError = FString::Printf(TEXT("README line %d: an event or reply that follows no request"), PendingLine);
				return false;
			}
			else if (Object->HasField(TEXT("reply")))
			{
				Example->Steps.Last().Reply = Value;
			}
			else
			{
				Example->Steps.Last().Events.Add(Value);
			}
			Pending.Reset();
		}
		if (Example)
		{
			OutError = TEXT("the README's last jsonl block is not closed");
			return false;
		}
		return true;
	}

	/** Checks one example's run: reply for reply, and the events shown among those written before each reply. */
	void ExpectRunAsShown(const FGuideExample& Example, const FHostRun& Run)
	{
		const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
		ASSERT_EQ(Replies.Num(), Example.Steps.Num()) << Run.RawOutput;
		int32 Next = 0;
		for (int32 StepIndex = 0; StepIndex < Example.Steps.Num(); ++StepIndex)
		{
			const FGuideStep& Step = Example.Steps[StepIndex];
			const int32 ReplyLine = Run.Lines.Find(Replies[StepIndex]);
			int32 Shown = 0;
			FString Mismatch;
			for (; Next < ReplyLine && Shown < Step.Events.Num(); ++Next)
			{
				Shown += MatchesShownJson(Step.Events[Shown], MakeShared<FJsonValueObject>(Run.Lines[Next]), Mismatch) ? 1 : 0;
			}
			EXPECT_EQ(Shown, Step.Events.Num()) << "README line " << Step.Line << ": the events shown for " << TCHAR_TO_UTF8(*Step.Request)
			                                    << " were not all written, in order, before its reply. Written:\n"
			                                    << Run.RawOutput;
			EXPECT_TRUE(MatchesShownJson(Step.Reply, MakeShared<FJsonValueObject>(Replies[StepIndex]), Mismatch))
			    << "README line " << Step.Line << ": " << TCHAR_TO_UTF8(*Step.Request) << "\n  " << TCHAR_TO_UTF8(*Mismatch);
			Next = ReplyLine + 1;
		}
	}
} // namespace

TEST(ScriptingGuide, EveryScriptModeExampleAnswersAsTheReadmeShows)
{
	TArray<FString> Lines;
	int32 FirstLine = 0;
	ASSERT_TRUE(ReadGuide(Lines, FirstLine)) << "README.md has no \"## Scripting guide\"";
	TArray<FGuideExample> Examples;
	FString Error;
	ASSERT_TRUE(ParseExamples(Lines, FirstLine, ShownProjectFolder, Examples, Error)) << TCHAR_TO_UTF8(*Error);
	for (int32 Index = 0; Index < Examples.Num(); ++Index)
	{
		// Each example runs on its own copy of the demo project, where the guide shows /tmp/demo.
		FHostSandbox Sandbox;
		TArray<FGuideExample> InSandbox;
		ParseExamples(Lines, FirstLine, FString::FromUtf8(Sandbox.GetProjectFolder()), InSandbox, Error);
		const FGuideExample& Example = InSandbox[Index];
		SCOPED_TRACE("the example at README line " + std::to_string(Example.Line));
		std::vector<std::string> Requests;
		for (const FGuideStep& Step : Example.Steps)
		{
			Requests.push_back(TCHAR_TO_UTF8(*Step.Request));
		}
		ExpectRunAsShown(Example, Sandbox.Run(Requests));
	}
	// A guide whose blocks the parse no longer finds must not pass by checking nothing.
	EXPECT_GE(Examples.Num(), 4);
}
