// Stand-in only: how the automation spec runner program lists and runs cases. Not part of the engine's API.
#pragma once

#include "Misc/AutomationTest.h"

namespace UE::StandIn
{
	/** One runnable case: a spec's It, named by its spec's dotted name and the It's full description. */
	struct FAutomationTestCase
	{
		FAutomationTestBase* Test = nullptr;
		/** The test's dotted name, e.g. "Trellic.Trellic.TRLSettings". */
		FString TestName;
		/** The enclosing Describe descriptions and the It's, joined by blanks. */
		FString CaseName;
		FString Command;
		FString SourceFile;
		int32 SourceLine = 0;
	};

	/** What one case produced. */
	struct FAutomationTestCaseResult
	{
		bool bSucceeded = false;
		TArray<FString> Errors;
		TArray<FString> Warnings;
		TArray<FString> Infos;
	};

	/** Every case of every registered test, in registration and declaration order. */
	CORE_API TArray<FAutomationTestCase> GetAutomationTestCases();
	/**
	 * Runs one case as the engine's runner does: log lines are captured for its duration; an Error line fails it
	 * unless an expected message matches it, and so does a Warning line unless the test does not elevate warnings.
	 */
	CORE_API FAutomationTestCaseResult RunAutomationTestCase(const FAutomationTestCase& Case);
} // namespace UE::StandIn
