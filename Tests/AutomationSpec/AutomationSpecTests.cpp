#include "Misc/AutomationTest.h"

#include "Logging/LogMacros.h"

#include <gtest/gtest.h>

#include "StandIn/AutomationTestRunner.h"
#include <cstdio>
#include <string>
#include <sys/wait.h>

DEFINE_LOG_CATEGORY_STATIC(LogSpecTest, Log, All);

namespace
{
	TArray<FString> GRunOrder;
}

BEGIN_DEFINE_SPEC(FOrderSpec, "StandIn.Spec.Order", EAutomationTestFlags::EditorContext | EAutomationTestFlags::EngineFilter)
END_DEFINE_SPEC(FOrderSpec)

void FOrderSpec::Define()
{
	BeforeEach([]() {
		GRunOrder.Add(TEXT("outer before"));
	});
	Describe("Outer", [this]() {
		BeforeEach([]() {
			GRunOrder.Add(TEXT("inner before"));
		});
		It("runs", []() {
			GRunOrder.Add(TEXT("it"));
		});
		It("fails", [this]() {
			GRunOrder.Add(TEXT("it"));
			TestTrue(TEXT("Flag"), false);
		});
		// Declared after the Its, and still theirs.
		AfterEach([]() {
			GRunOrder.Add(TEXT("inner after"));
		});
		xIt("is disabled", []() {});
	});
	AfterEach([]() {
		GRunOrder.Add(TEXT("outer after"));
	});
	xDescribe("Disabled", [this]() {
		It("never runs", []() {});
	});
	It("runs", []() {
		GRunOrder.Add(TEXT("top"));
	});
	It("runs", []() {
		GRunOrder.Add(TEXT("top again"));
	});
}

BEGIN_DEFINE_SPEC(FExpectSpec, "StandIn.Spec.Expect", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
END_DEFINE_SPEC(FExpectSpec)

void FExpectSpec::Define()
{
	It("absorbs the expected error", [this]() {
		AddExpectedError(TEXT("disk is FULL"), EAutomationExpectedErrorFlags::Contains, 1);
		UE_LOG(LogSpecTest, Error, TEXT("Saving failed: the disk is full."));
	});
	It("sees the expected error too often", [this]() {
		AddExpectedError(TEXT("disk is full"), EAutomationExpectedErrorFlags::Contains, 1);
		UE_LOG(LogSpecTest, Error, TEXT("the disk is full"));
		UE_LOG(LogSpecTest, Error, TEXT("the disk is full"));
	});
	It("never sees the expected error", [this]() {
		AddExpectedError(TEXT("disk is full"), EAutomationExpectedErrorFlags::Contains, 0);
	});
	It("logs an error it did not expect", [this]() {
		AddExpectedError(TEXT("disk is full"), EAutomationExpectedErrorFlags::Contains, -1);
		UE_LOG(LogSpecTest, Error, TEXT("The network is down."));
	});
	It("expects a whole line with Exact", [this]() {
		AddExpectedError(TEXT("the disk is full"), EAutomationExpectedErrorFlags::Exact, 1);
		UE_LOG(LogSpecTest, Error, TEXT("Saving failed: the disk is full."));
	});
	It("absorbs any number with zero occurrences", [this]() {
		AddExpectedError(TEXT("Retry [0-9]+ failed"), EAutomationExpectedErrorFlags::Contains, 0);
		UE_LOG(LogSpecTest, Error, TEXT("Retry 1 failed"));
		UE_LOG(LogSpecTest, Warning, TEXT("Retry 22 failed"));
	});
	It("takes a plain pattern literally", [this]() {
		AddExpectedErrorPlain(TEXT("code [0-9]"));
		UE_LOG(LogSpecTest, Error, TEXT("Bad code [0-9] in input"));
	});
	It("fails on a warning it did not expect", []() {
		UE_LOG(LogSpecTest, Warning, TEXT("Preview image missing"));
	});
	It("absorbs an AddError it expects", [this]() {
		AddExpectedError(TEXT("custom"));
		AddError(TEXT("A custom error"));
	});
	It("counts an expected message at Log verbosity", [this]() {
		AddExpectedMessage(TEXT("module loaded"), ELogVerbosity::Log, EAutomationExpectedMessageFlags::Contains, 2);
		UE_LOG(LogSpecTest, Log, TEXT("Module loaded"));
		UE_LOG(LogSpecTest, Display, TEXT("module loaded"));
	});
}

// A test that keeps warnings as warnings, as one may where the project's settings do not elevate them.
BEGIN_DEFINE_SPEC(FWarningSpec, "StandIn.Spec.Warning", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
public:
	bool ElevateLogWarningsToErrors() override
	{
		return false;
	}
END_DEFINE_SPEC(FWarningSpec)

void FWarningSpec::Define()
{
	It("records a warning without failing", []() {
		UE_LOG(LogSpecTest, Warning, TEXT("Preview image missing"));
	});
}

BEGIN_DEFINE_SPEC(FCheckSpec, "StandIn.Spec.Checks", EAutomationTestFlags::EditorContext | EAutomationTestFlags::EngineFilter)
END_DEFINE_SPEC(FCheckSpec)

void FCheckSpec::Define()
{
	It("passes checks that hold", [this]() {
		const int32 Value = 3;
		TestEqual(TEXT("Int"), Value, 3);
		TestEqual(TEXT("Float"), 1.00001f, 1.0f);
		TestEqual(TEXT("Double within tolerance"), 1.05, 1.0, 0.1);
		// As in the engine, TestEqual on strings and texts ignores case; TestEqualSensitive does not.
		TestEqual(TEXT("String"), FString(TEXT("MOD")), TEXT("Mod"));
		TestEqual(TEXT("Strings"), FString(TEXT("mod")), FString(TEXT("Mod")));
		TestEqual(TEXT("Text"), FText::FromString(TEXT("done")), FText::FromString(TEXT("Done")));
		TestEqualSensitive(TEXT("Sensitive"), FString(TEXT("Mod")), TEXT("Mod"));
		TestEqualSensitive(FString(TEXT("Sensitive paths")), FString(TEXT("/Mods/A")), FString(TEXT("/Mods/A")));
		TestEqual(TEXT("Bool"), true, true);
		TestEqualInsensitive(TEXT("Insensitive"), TEXT("COMPLETED"), TEXT("Completed"));
		TestTrue(TEXT("True"), true);
		TestFalse(TEXT("False"), false);
		TestNull(TEXT("Null"), static_cast<const int32*>(nullptr));
		TestNotNull(TEXT("NotNull"), &Value);
		TestValid(TEXT("Valid"), TSharedPtr<int32>(MakeShared<int32>(1)));
		TestInvalid(TEXT("Invalid"), TSharedPtr<int32>());
	});
	It("reports each check that fails", [this]() {
		TestEqual(TEXT("Int"), 3, 4);
		TestEqual(TEXT("Float"), 1.5f, 1.0f);
		TestEqual(TEXT("String"), FString(TEXT("mud")), TEXT("Mod"));
		TestEqualSensitive(TEXT("Sensitive"), FString(TEXT("mod")), TEXT("Mod"));
		TestEqualSensitive(TEXT("Sensitive literals"), TEXT("A/b"), TEXT("A/B"));
		TestEqual(TEXT("Text"), FText::FromString(TEXT("Done")), FText::FromString(TEXT("Failed")));
		TestEqual(TEXT("Bool"), true, false);
		TestTrue(TEXT("True"), false);
		TestNotNull(TEXT("NotNull"), static_cast<const int32*>(nullptr));
		TestValid(TEXT("Valid"), TSharedPtr<int32>());
	});
}

namespace
{
	UE::StandIn::FAutomationTestCaseResult RunCase(const TCHAR* TestName, const TCHAR* CaseName)
	{
		for (const UE::StandIn::FAutomationTestCase& Case : UE::StandIn::GetAutomationTestCases())
		{
			if (Case.TestName.Equals(TestName) && Case.CaseName.Equals(CaseName))
			{
				return UE::StandIn::RunAutomationTestCase(Case);
			}
		}
		ADD_FAILURE() << "No case " << FString(TestName).ToUtf8() << " / " << FString(CaseName).ToUtf8();
		return {};
	}

	TArray<FString> CaseNamesOf(const TCHAR* TestName)
	{
		TArray<FString> Names;
		for (const UE::StandIn::FAutomationTestCase& Case : UE::StandIn::GetAutomationTestCases())
		{
			if (Case.TestName.Equals(TestName))
			{
				Names.Add(Case.CaseName);
			}
		}
		return Names;
	}

	std::string Joined(const TArray<FString>& Lines)
	{
		return FString::Join(Lines, TEXT("\n")).ToUtf8();
	}

	struct FProcessOutput
	{
		int ExitCode = -1;
		std::string Output;
	};

	FProcessOutput RunSampleRunner(const std::string& Arguments)
	{
		FProcessOutput Result;
		const std::string Command = std::string("'") + SAMPLE_RUNNER_PATH + "' " + Arguments + " 2>&1";
		FILE* Pipe = popen(Command.c_str(), "r");
		if (!Pipe)
		{
			return Result;
		}
		char Buffer[4096];
		for (size_t Count; (Count = fread(Buffer, 1, sizeof(Buffer), Pipe)) > 0;)
		{
			Result.Output.append(Buffer, Count);
		}
		const int Status = pclose(Pipe);
		Result.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
		return Result;
	}
} // namespace

TEST(AutomationSpec, NamesEachItAfterItsDescribesAndSkipsDisabledOnes)
{
	const TArray<FString> Names = CaseNamesOf(TEXT("StandIn.Spec.Order"));
	EXPECT_EQ(Joined(Names), "Outer runs\nOuter fails\nruns\nruns (2)");
}

TEST(AutomationSpec, RunsBeforeEachOutsideInAndAfterEachInsideOutEvenAfterAFailure)
{
	GRunOrder.Empty();
	EXPECT_TRUE(RunCase(TEXT("StandIn.Spec.Order"), TEXT("Outer runs")).bSucceeded);
	EXPECT_EQ(Joined(GRunOrder), "outer before\ninner before\nit\ninner after\nouter after");

	GRunOrder.Empty();
	const UE::StandIn::FAutomationTestCaseResult Failed = RunCase(TEXT("StandIn.Spec.Order"), TEXT("Outer fails"));
	EXPECT_FALSE(Failed.bSucceeded);
	EXPECT_EQ(Joined(Failed.Errors), "Expected 'Flag' to be true.");
	EXPECT_EQ(Joined(GRunOrder), "outer before\ninner before\nit\ninner after\nouter after");

	GRunOrder.Empty();
	EXPECT_TRUE(RunCase(TEXT("StandIn.Spec.Order"), TEXT("runs (2)")).bSucceeded);
	EXPECT_EQ(Joined(GRunOrder), "outer before\ntop again\nouter after");
}

TEST(AutomationSpec, ExpectedErrorsAbsorbExactlyTheLinesTheyMatch)
{
	const UE::StandIn::FAutomationTestCaseResult Absorbed = RunCase(TEXT("StandIn.Spec.Expect"), TEXT("absorbs the expected error"));
	EXPECT_TRUE(Absorbed.bSucceeded) << Joined(Absorbed.Errors);

	const UE::StandIn::FAutomationTestCaseResult TooOften = RunCase(TEXT("StandIn.Spec.Expect"), TEXT("sees the expected error too often"));
	EXPECT_FALSE(TooOften.bSucceeded);
	EXPECT_EQ(Joined(TooOften.Errors), "Expected a message matching \"disk is full\" 1 time(s), but it was seen 2 time(s).");

	const UE::StandIn::FAutomationTestCaseResult Never = RunCase(TEXT("StandIn.Spec.Expect"), TEXT("never sees the expected error"));
	EXPECT_EQ(Joined(Never.Errors), "Expected a message matching \"disk is full\" at least 1 time(s), but it was seen 0 time(s).");

	const UE::StandIn::FAutomationTestCaseResult Unexpected = RunCase(TEXT("StandIn.Spec.Expect"), TEXT("logs an error it did not expect"));
	EXPECT_FALSE(Unexpected.bSucceeded);
	EXPECT_EQ(Joined(Unexpected.Errors), "LogSpecTest: The network is down.");

	const UE::StandIn::FAutomationTestCaseResult Exact = RunCase(TEXT("StandIn.Spec.Expect"), TEXT("expects a whole line with Exact"));
	EXPECT_EQ(Joined(Exact.Errors), "LogSpecTest: Saving failed: the disk is full.\n"
	                                "Expected a message matching \"the disk is full\" 1 time(s), but it was seen 0 time(s).");
}

TEST(AutomationSpec, ExpectedMessagesFollowOccurrencesPatternsAndVerbosity)
{
	for (const TCHAR* Passing : {TEXT("absorbs any number with zero occurrences"), TEXT("takes a plain pattern literally"),
	                             TEXT("absorbs an AddError it expects"), TEXT("counts an expected message at Log verbosity")})
	{
		const UE::StandIn::FAutomationTestCaseResult Result = RunCase(TEXT("StandIn.Spec.Expect"), Passing);
		EXPECT_TRUE(Result.bSucceeded) << FString(Passing).ToUtf8() << ": " << Joined(Result.Errors);
		EXPECT_EQ(Result.Warnings.Num(), 0) << FString(Passing).ToUtf8();
	}

	// The editor's default: an unexpected warning fails the case.
	const UE::StandIn::FAutomationTestCaseResult Elevated = RunCase(TEXT("StandIn.Spec.Expect"), TEXT("fails on a warning it did not expect"));
	EXPECT_FALSE(Elevated.bSucceeded);
	EXPECT_EQ(Joined(Elevated.Errors), "LogSpecTest: Preview image missing");
	EXPECT_EQ(Elevated.Warnings.Num(), 0);

	const UE::StandIn::FAutomationTestCaseResult Warned = RunCase(TEXT("StandIn.Spec.Warning"), TEXT("records a warning without failing"));
	EXPECT_TRUE(Warned.bSucceeded) << Joined(Warned.Errors);
	EXPECT_EQ(Joined(Warned.Warnings), "LogSpecTest: Preview image missing");
}

TEST(AutomationSpec, ChecksReportWhatWasExpectedAndWhatWasFound)
{
	const UE::StandIn::FAutomationTestCaseResult Holding = RunCase(TEXT("StandIn.Spec.Checks"), TEXT("passes checks that hold"));
	EXPECT_TRUE(Holding.bSucceeded) << Joined(Holding.Errors);

	const UE::StandIn::FAutomationTestCaseResult Failing = RunCase(TEXT("StandIn.Spec.Checks"), TEXT("reports each check that fails"));
	EXPECT_FALSE(Failing.bSucceeded);
	EXPECT_EQ(Joined(Failing.Errors), "Expected 'Int' to be 4, but it was 3.\n"
	                                  "Expected 'Float' to be 1, but it was 1.5. (tolerance 9.99999975e-05)\n"
	                                  "Expected 'String' to be \"Mod\", but it was \"mud\".\n"
	                                  "Expected 'Sensitive' to be \"Mod\", but it was \"mod\".\n"
	                                  "Expected 'Sensitive literals' to be \"A/B\", but it was \"A/b\".\n"
	                                  "Expected 'Text' to be \"Failed\", but it was \"Done\".\n"
	                                  "Expected 'Bool' to be false, but it was true.\n"
	                                  "Expected 'True' to be true.\n"
	                                  "Expected 'NotNull' to be not null.\n"
	                                  "Expected 'Valid' to be valid.");
}

TEST(AutomationSpecRunner, ListsEveryItAsATestCaseWithItsFullName)
{
	const FProcessOutput Listed = RunSampleRunner("--gtest_list_tests");
	EXPECT_EQ(Listed.ExitCode, 0);
	EXPECT_EQ(Listed.Output, "Trellic.Sample.Counter.\n"
	                         "  Increment adds one\n"
	                         "  Increment is expected to fail\n"
	                         "  Increment logs an unexpected error\n"
	                         "  Increment keeps a_name_with_syntax\n");
}

TEST(AutomationSpecRunner, FailsOnlyTheCaseWhoseExpectationFails)
{
	const FProcessOutput Passing = RunSampleRunner("'--gtest_filter=Trellic.Sample.Counter.Increment adds one'");
	EXPECT_EQ(Passing.ExitCode, 0) << Passing.Output;

	const FProcessOutput Syntax = RunSampleRunner("'--gtest_filter=Trellic.Sample.Counter.Increment keeps a_name_with_syntax'");
	EXPECT_EQ(Syntax.ExitCode, 0) << Syntax.Output;
	EXPECT_NE(Syntax.Output.find("1 test"), std::string::npos) << Syntax.Output;

	const FProcessOutput Failing = RunSampleRunner("'--gtest_filter=Trellic.Sample.Counter.Increment is expected to fail'");
	EXPECT_NE(Failing.ExitCode, 0);
	EXPECT_NE(Failing.Output.find("Expected 'Counter after increment' to be 3, but it was 2."), std::string::npos) << Failing.Output;

	const FProcessOutput Logged = RunSampleRunner("'--gtest_filter=Trellic.Sample.Counter.Increment logs an unexpected error'");
	EXPECT_NE(Logged.ExitCode, 0);
	EXPECT_NE(Logged.Output.find("LogSampleSpec: Sample failure 1"), std::string::npos) << Logged.Output;
}
