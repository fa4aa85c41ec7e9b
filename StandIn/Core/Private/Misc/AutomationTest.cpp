#include "Misc/AutomationTest.h"

#include "CoreGlobals.h"
#include "Misc/OutputDevice.h"
#include "Misc/OutputDeviceRedirector.h"

#include "StandIn/AutomationTestRunner.h"
#include <cmath>
#include <cstdio>
#include <mutex>
#include <regex>

namespace
{
	// The verbosity proper, without the flags the log may add to it.
	constexpr int32 VerbosityMask = 0x0f;

	FString FormatNumber(double Value)
	{
		char Buffer[64];
		std::snprintf(Buffer, sizeof(Buffer), "%.9g", Value);
		return FString(Buffer);
	}

	FString Quote(const FString& Value)
	{
		return FString(TEXT("\"")) + Value + TEXT("\"");
	}
} // namespace

struct FAutomationTestBase::FExpectedMessage
{
	FString Pattern;
	ELogVerbosity::Type Verbosity = ELogVerbosity::All;
	EAutomationExpectedMessageFlags::MatchType CompareType = EAutomationExpectedMessageFlags::Contains;
	int32 Occurrences = 1;
	bool bIsRegex = true;
	std::regex Regex;
	int32 TimesSeen = 0;

	bool AppliesTo(ELogVerbosity::Type LineVerbosity) const
	{
		return Verbosity == ELogVerbosity::All || static_cast<int32>(LineVerbosity) <= static_cast<int32>(Verbosity);
	}

	bool Matches(const FString& Message) const
	{
		if (!bIsRegex)
		{
			return CompareType == EAutomationExpectedMessageFlags::Exact ? Message.Equals(Pattern, ESearchCase::IgnoreCase)
			                                                             : Message.Contains(Pattern, ESearchCase::IgnoreCase);
		}
		const std::string Text = Message.ToUtf8();
		return CompareType == EAutomationExpectedMessageFlags::Exact ? std::regex_match(Text, Regex) : std::regex_search(Text, Regex);
	}
};

// What the running case has produced; log lines may arrive from any thread, so it is guarded.
struct FAutomationTestBase::FRunState
{
	std::recursive_mutex Mutex;
	TArray<FString> Errors;
	TArray<FString> Warnings;
	TArray<FString> Infos;
	std::vector<FExpectedMessage> ExpectedMessages;

	// Counts the line against the first expected message that takes it. @return true when one did
	bool AbsorbExpected(const FString& Message, ELogVerbosity::Type Verbosity)
	{
		for (FExpectedMessage& Expected : ExpectedMessages)
		{
			if (Expected.AppliesTo(Verbosity) && Expected.Matches(Message))
			{
				++Expected.TimesSeen;
				return true;
			}
		}
		return false;
	}
};

FAutomationTestFramework& FAutomationTestFramework::Get()
{
	static FAutomationTestFramework Framework;
	return Framework;
}

bool FAutomationTestFramework::RegisterAutomationTest(const FString& InTestNameToRegister, FAutomationTestBase* InTestToRegister)
{
	if (ContainsTest(InTestNameToRegister))
	{
		return false;
	}
	Tests.Add({InTestNameToRegister, InTestToRegister});
	return true;
}

bool FAutomationTestFramework::UnregisterAutomationTest(const FString& InTestNameToUnregister)
{
	for (int32 Index = 0; Index < Tests.Num(); ++Index)
	{
		if (Tests[Index].Name.Equals(InTestNameToUnregister))
		{
			Tests.RemoveAt(Index);
			return true;
		}
	}
	return false;
}

bool FAutomationTestFramework::ContainsTest(const FString& InTestName) const
{
	for (const FRegisteredTest& Registered : Tests)
	{
		if (Registered.Name.Equals(InTestName))
		{
			return true;
		}
	}
	return false;
}

FAutomationTestBase::FAutomationTestBase(const FString& InName, const bool bInComplexTask)
    : TestName(InName)
    , bComplexTask(bInComplexTask)
    , RunState(std::make_unique<FRunState>())
{
	FAutomationTestFramework::Get().RegisterAutomationTest(InName, this);
}

FAutomationTestBase::~FAutomationTestBase()
{
	FAutomationTestFramework::Get().UnregisterAutomationTest(TestName);
}

void FAutomationTestBase::AddError(const FString& InError, int32 /*StackOffset*/)
{
	const std::lock_guard<std::recursive_mutex> Lock(RunState->Mutex);
	if (!RunState->AbsorbExpected(InError, ELogVerbosity::Error))
	{
		RunState->Errors.Add(InError);
	}
}

bool FAutomationTestBase::AddErrorIfFalse(bool bCondition, const FString& InError, int32 StackOffset)
{
	if (!bCondition)
	{
		AddError(InError, StackOffset);
	}
	return bCondition;
}

void FAutomationTestBase::AddWarning(const FString& InWarning, int32 /*StackOffset*/)
{
	const std::lock_guard<std::recursive_mutex> Lock(RunState->Mutex);
	if (!RunState->AbsorbExpected(InWarning, ELogVerbosity::Warning))
	{
		RunState->Warnings.Add(InWarning);
	}
}

void FAutomationTestBase::AddInfo(const FString& InLogItem, int32 /*StackOffset*/, bool /*bCaptureStack*/)
{
	const std::lock_guard<std::recursive_mutex> Lock(RunState->Mutex);
	RunState->Infos.Add(InLogItem);
}

void FAutomationTestBase::AddExpectedError(FString ExpectedPatternString, EAutomationExpectedErrorFlags::MatchType CompareType, int32 Occurrences, bool IsRegex)
{
	AddExpectedMessage(MoveTemp(ExpectedPatternString), ELogVerbosity::Warning, CompareType, Occurrences, IsRegex);
}

void FAutomationTestBase::AddExpectedErrorPlain(FString ExpectedString, EAutomationExpectedErrorFlags::MatchType CompareType, int32 Occurrences)
{
	AddExpectedMessage(MoveTemp(ExpectedString), ELogVerbosity::Warning, CompareType, Occurrences, false);
}

void FAutomationTestBase::AddExpectedMessage(FString ExpectedPatternString, ELogVerbosity::Type ExpectedVerbosity,
                                             EAutomationExpectedMessageFlags::MatchType CompareType, int32 Occurrences, bool IsRegex)
{
	FExpectedMessage Expected;
	Expected.Verbosity = ExpectedVerbosity;
	Expected.CompareType = CompareType;
	Expected.Occurrences = Occurrences;
	Expected.bIsRegex = IsRegex;
	if (IsRegex)
	{
		try
		{
			Expected.Regex = std::regex(ExpectedPatternString.ToUtf8(), std::regex::ECMAScript | std::regex::icase);
		}
		catch (const std::regex_error&)
		{
			AddError(FString(TEXT("The expected message pattern ")) + Quote(ExpectedPatternString) + TEXT(" is not a valid regular expression."));
			return;
		}
	}
	Expected.Pattern = MoveTemp(ExpectedPatternString);

	const std::lock_guard<std::recursive_mutex> Lock(RunState->Mutex);
	RunState->ExpectedMessages.push_back(MoveTemp(Expected));
}

void FAutomationTestBase::AddExpectedMessage(FString ExpectedPatternString, EAutomationExpectedMessageFlags::MatchType CompareType, int32 Occurrences,
                                             bool IsRegex)
{
	AddExpectedMessage(MoveTemp(ExpectedPatternString), ELogVerbosity::All, CompareType, Occurrences, IsRegex);
}

void FAutomationTestBase::AddExpectedMessagePlain(FString ExpectedString, ELogVerbosity::Type ExpectedVerbosity,
                                                  EAutomationExpectedMessageFlags::MatchType CompareType, int32 Occurrences)
{
	AddExpectedMessage(MoveTemp(ExpectedString), ExpectedVerbosity, CompareType, Occurrences, false);
}

void FAutomationTestBase::AddExpectedMessagePlain(FString ExpectedString, EAutomationExpectedMessageFlags::MatchType CompareType, int32 Occurrences)
{
	AddExpectedMessage(MoveTemp(ExpectedString), ELogVerbosity::All, CompareType, Occurrences, false);
}

bool FAutomationTestBase::HasAnyErrors() const
{
	const std::lock_guard<std::recursive_mutex> Lock(RunState->Mutex);
	return RunState->Errors.Num() > 0;
}

bool FAutomationTestBase::HasMetExpectedMessages()
{
	const std::lock_guard<std::recursive_mutex> Lock(RunState->Mutex);
	bool bMet = true;
	for (const FExpectedMessage& Expected : RunState->ExpectedMessages)
	{
		const bool bCountMatches = Expected.Occurrences > 0 ? Expected.TimesSeen == Expected.Occurrences : (Expected.Occurrences < 0 || Expected.TimesSeen > 0);
		if (!bCountMatches)
		{
			bMet = false;
			const FString Wanted = Expected.Occurrences > 0 ? FString::FromInt(Expected.Occurrences) : FString(TEXT("at least 1"));
			// Recorded directly: an expected message must not be able to excuse its own absence.
			RunState->Errors.Add(FString(TEXT("Expected a message matching ")) + Quote(Expected.Pattern) + TEXT(" ") + Wanted +
			                     TEXT(" time(s), but it was seen ") + FString::FromInt(Expected.TimesSeen) + TEXT(" time(s)."));
		}
	}
	return bMet;
}

FString FAutomationTestBase::FormatValues(const TCHAR* What, const FString& Actual, const FString& Expected)
{
	return FString(TEXT("Expected '")) + What + TEXT("' to be ") + Expected + TEXT(", but it was ") + Actual + TEXT(".");
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const int32 Actual, const int32 Expected)
{
	return TestEqual(What, static_cast<int64>(Actual), static_cast<int64>(Expected));
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const int64 Actual, const int64 Expected)
{
	if (Actual != Expected)
	{
		AddError(FormatValues(What, FString(std::to_string(Actual).c_str()), FString(std::to_string(Expected).c_str())), 1);
		return false;
	}
	return true;
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const uint32 Actual, const uint32 Expected)
{
	return TestEqual(What, static_cast<uint64>(Actual), static_cast<uint64>(Expected));
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const uint64 Actual, const uint64 Expected)
{
	if (Actual != Expected)
	{
		AddError(FormatValues(What, FString(std::to_string(Actual).c_str()), FString(std::to_string(Expected).c_str())), 1);
		return false;
	}
	return true;
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const float Actual, const float Expected, float Tolerance)
{
	return TestEqual(What, static_cast<double>(Actual), static_cast<double>(Expected), static_cast<double>(Tolerance));
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const double Actual, const double Expected, double Tolerance)
{
	if (!(std::fabs(Actual - Expected) <= Tolerance))
	{
		AddError(FormatValues(What, FormatNumber(Actual), FormatNumber(Expected)) + TEXT(" (tolerance ") + FormatNumber(Tolerance) + TEXT(")"), 1);
		return false;
	}
	return true;
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const TCHAR* Actual, const TCHAR* Expected)
{
	return CompareStrings(What, Actual, Expected, ESearchCase::IgnoreCase);
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const FText& Actual, const FText& Expected)
{
	return TestEqual(What, Actual.ToString(), Expected.ToString());
}

bool FAutomationTestBase::TestEqual(const TCHAR* What, const FName& Actual, const FName& Expected)
{
	if (!(Actual == Expected))
	{
		AddError(FormatValues(What, Quote(Actual.ToString()), Quote(Expected.ToString())), 1);
		return false;
	}
	return true;
}

bool FAutomationTestBase::TestEqualSensitive(const TCHAR* What, const TCHAR* Actual, const TCHAR* Expected)
{
	return CompareStrings(What, Actual, Expected, ESearchCase::CaseSensitive);
}

bool FAutomationTestBase::TestEqualSensitive(const TCHAR* What, FStringView Actual, FStringView Expected)
{
	return CompareStrings(What, Actual, Expected, ESearchCase::CaseSensitive);
}

bool FAutomationTestBase::CompareStrings(const TCHAR* What, FStringView Actual, FStringView Expected, ESearchCase::Type SearchCase)
{
	if (!Actual.Equals(Expected, SearchCase))
	{
		AddError(FormatValues(What, Quote(FString(Actual)), Quote(FString(Expected))), 2);
		return false;
	}
	return true;
}

bool FAutomationTestBase::TestNotEqual(const TCHAR* What, const FString& Actual, const FString& Expected)
{
	if (Actual.Equals(Expected, ESearchCase::IgnoreCase))
	{
		AddError(FString(TEXT("Expected '")) + What + TEXT("' to differ from ") + Quote(Expected) + TEXT(", but it was equal."), 1);
		return false;
	}
	return true;
}

bool FAutomationTestBase::TestTrue(const TCHAR* What, bool Value)
{
	if (!Value)
	{
		AddError(FString(TEXT("Expected '")) + What + TEXT("' to be true."), 1);
	}
	return Value;
}

bool FAutomationTestBase::TestFalse(const TCHAR* What, bool Value)
{
	if (Value)
	{
		AddError(FString(TEXT("Expected '")) + What + TEXT("' to be false."), 1);
	}
	return !Value;
}

bool FAutomationTestBase::ReportNull(const TCHAR* What, bool bIsNull, bool bExpectNull)
{
	if (bIsNull != bExpectNull)
	{
		AddError(FString(TEXT("Expected '")) + What + (bExpectNull ? TEXT("' to be null.") : TEXT("' to be not null.")), 1);
		return false;
	}
	return true;
}

bool FAutomationTestBase::ReportValid(const TCHAR* Description, bool bIsValid, bool bExpectValid)
{
	if (bIsValid != bExpectValid)
	{
		AddError(FString(TEXT("Expected '")) + Description + (bExpectValid ? TEXT("' to be valid.") : TEXT("' to be invalid.")), 1);
		return false;
	}
	return true;
}

struct FAutomationSpecBase::FScope
{
	FString Description;
	FScope* Parent = nullptr;
	std::vector<TFunction<void()>> BeforeEach;
	std::vector<TFunction<void()>> AfterEach;
};

struct FAutomationSpecBase::FCase
{
	FString Description;
	FScope* Scope = nullptr;
	TFunction<void()> Body;
};

FAutomationSpecBase::FAutomationSpecBase(const FString& InName, const bool bInComplexTask)
    : FAutomationTestBase(InName, bInComplexTask)
{
}

FAutomationSpecBase::~FAutomationSpecBase() = default;

void FAutomationSpecBase::EnsureDefinitions() const
{
	if (bHasBeenDefined)
	{
		return;
	}
	bHasBeenDefined = true;
	Scopes.push_back(std::make_unique<FScope>());
	ScopeStack.push_back(Scopes.back().get());
	// Define is a spec's own declaration list; it only records, so calling it once from a const query is safe.
	const_cast<FAutomationSpecBase*>(this)->Define();
	ScopeStack.clear();
}

void FAutomationSpecBase::Describe(const FString& InDescription, TFunction<void()> DoWork)
{
	check(!ScopeStack.empty());
	auto Scope = std::make_unique<FScope>();
	Scope->Description = InDescription;
	Scope->Parent = ScopeStack.back();
	ScopeStack.push_back(Scope.get());
	Scopes.push_back(MoveTemp(Scope));
	DoWork();
	ScopeStack.pop_back();
}

void FAutomationSpecBase::xDescribe(const FString& /*InDescription*/, TFunction<void()> /*DoWork*/) {}

void FAutomationSpecBase::It(const FString& InDescription, TFunction<void()> DoWork)
{
	check(!ScopeStack.empty());
	TArray<FString> Parts;
	for (const FScope* Scope = ScopeStack.back(); Scope; Scope = Scope->Parent)
	{
		if (!Scope->Description.IsEmpty())
		{
			Parts.Insert(Scope->Description, 0);
		}
	}
	Parts.Add(InDescription);
	FString Description = FString::Join(Parts, TEXT(" "));

	// Two Its with the same path would be one case to a runner that selects by name.
	const FString Base = Description;
	for (int32 Suffix = 2;; ++Suffix)
	{
		bool bTaken = false;
		for (const std::unique_ptr<FCase>& Existing : Cases)
		{
			bTaken = bTaken || Existing->Description.Equals(Description);
		}
		if (!bTaken)
		{
			break;
		}
		Description = Base + TEXT(" (") + FString::FromInt(Suffix) + TEXT(")");
	}

	auto Case = std::make_unique<FCase>();
	Case->Description = MoveTemp(Description);
	Case->Scope = ScopeStack.back();
	Case->Body = MoveTemp(DoWork);
	Cases.push_back(MoveTemp(Case));
}

void FAutomationSpecBase::xIt(const FString& /*InDescription*/, TFunction<void()> /*DoWork*/) {}

void FAutomationSpecBase::BeforeEach(TFunction<void()> DoWork)
{
	check(!ScopeStack.empty());
	ScopeStack.back()->BeforeEach.push_back(MoveTemp(DoWork));
}

void FAutomationSpecBase::AfterEach(TFunction<void()> DoWork)
{
	check(!ScopeStack.empty());
	ScopeStack.back()->AfterEach.push_back(MoveTemp(DoWork));
}

void FAutomationSpecBase::GetTests(TArray<FString>& OutBeautifiedNames, TArray<FString>& OutTestCommands) const
{
	EnsureDefinitions();
	for (const std::unique_ptr<FCase>& Case : Cases)
	{
		OutBeautifiedNames.Add(Case->Description);
		OutTestCommands.Add(Case->Description);
	}
}

FString FAutomationSpecBase::GetTestSourceFileName(const FString& /*InTestName*/) const
{
	return GetTestSourceFileName();
}

int32 FAutomationSpecBase::GetTestSourceFileLine(const FString& /*InTestName*/) const
{
	return GetTestSourceFileLine();
}

bool FAutomationSpecBase::RunTest(const FString& InParameters)
{
	EnsureDefinitions();
	const FCase* Found = nullptr;
	for (const std::unique_ptr<FCase>& Case : Cases)
	{
		if (Case->Description.Equals(InParameters))
		{
			Found = Case.get();
		}
	}
	if (!Found)
	{
		AddError(FString(TEXT("This spec has no case named ")) + Quote(InParameters) + TEXT("."));
		return false;
	}

	std::vector<const FScope*> Chain;
	for (const FScope* Scope = Found->Scope; Scope; Scope = Scope->Parent)
	{
		Chain.insert(Chain.begin(), Scope);
	}
	for (const FScope* Scope : Chain)
	{
		for (const TFunction<void()>& Before : Scope->BeforeEach)
		{
			Before();
		}
	}
	Found->Body();
	// Tear-down runs even after a failure, innermost scope first, so that every It leaves nothing behind.
	for (auto ScopeIt = Chain.rbegin(); ScopeIt != Chain.rend(); ++ScopeIt)
	{
		for (const TFunction<void()>& After : (*ScopeIt)->AfterEach)
		{
			After();
		}
	}
	return !HasAnyErrors();
}

// The runner's way into a test's run state; the engine's runner reaches it through its own framework.
struct FAutomationTestFrameworkAccess
{
	static void BeginCase(FAutomationTestBase& Test) { Test.RunState = std::make_unique<FAutomationTestBase::FRunState>(); }

	static void RecordLogLine(FAutomationTestBase& Test, const FString& Message, ELogVerbosity::Type Verbosity, const FString& Category)
	{
		FAutomationTestBase::FRunState& State = *Test.RunState;
		const std::lock_guard<std::recursive_mutex> Lock(State.Mutex);
		if (State.AbsorbExpected(Message, Verbosity))
		{
			return;
		}
		const FString Line = Category.IsEmpty() ? Message : Category + TEXT(": ") + Message;
		if (Verbosity == ELogVerbosity::Error || Verbosity == ELogVerbosity::Fatal)
		{
			State.Errors.Add(Line);
		}
		else if (Verbosity == ELogVerbosity::Warning)
		{
			(Test.ElevateLogWarningsToErrors() ? State.Errors : State.Warnings).Add(Line);
		}
	}

	static UE::StandIn::FAutomationTestCaseResult EndCase(FAutomationTestBase& Test)
	{
		Test.HasMetExpectedMessages();
		FAutomationTestBase::FRunState& State = *Test.RunState;
		const std::lock_guard<std::recursive_mutex> Lock(State.Mutex);
		UE::StandIn::FAutomationTestCaseResult Result;
		Result.Errors = State.Errors;
		Result.Warnings = State.Warnings;
		Result.Infos = State.Infos;
		Result.bSucceeded = State.Errors.Num() == 0;
		return Result;
	}

	static const TArray<FAutomationTestFramework::FRegisteredTest>& GetTests() { return FAutomationTestFramework::Get().Tests; }
};

namespace UE::StandIn
{
	namespace
	{
		// Sees every log line while a case runs and hands it to the case, as the engine's runner does.
		class FAutomationLogCapture final : public FOutputDevice
		{
		public:
			explicit FAutomationLogCapture(FAutomationTestBase& InTest)
			    : Test(InTest)
			{
			}

			void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override
			{
				const ELogVerbosity::Type Level = static_cast<ELogVerbosity::Type>(static_cast<int32>(Verbosity) & VerbosityMask);
				FAutomationTestFrameworkAccess::RecordLogLine(Test, FString(V), Level, Category.ToString());
			}
			bool CanBeUsedOnAnyThread() const override { return true; }
			bool CanBeUsedOnMultipleThreads() const override { return true; }

		private:
			FAutomationTestBase& Test;
		};
	} // namespace

	TArray<FAutomationTestCase> GetAutomationTestCases()
	{
		TArray<FAutomationTestCase> Cases;
		for (const FAutomationTestFramework::FRegisteredTest& Registered : FAutomationTestFrameworkAccess::GetTests())
		{
			TArray<FString> Names;
			TArray<FString> Commands;
			Registered.Test->GetTests(Names, Commands);
			for (int32 Index = 0; Index < Names.Num() && Index < Commands.Num(); ++Index)
			{
				FAutomationTestCase Case;
				Case.Test = Registered.Test;
				Case.TestName = Registered.Test->GetTestFullName();
				Case.CaseName = Names[Index];
				Case.Command = Commands[Index];
				Case.SourceFile = Registered.Test->GetTestSourceFileName(Names[Index]);
				Case.SourceLine = Registered.Test->GetTestSourceFileLine(Names[Index]);
				Cases.Add(MoveTemp(Case));
			}
		}
		return Cases;
	}

	FAutomationTestCaseResult RunAutomationTestCase(const FAutomationTestCase& Case)
	{
		FAutomationTestBase& Test = *Case.Test;
		FAutomationTestFrameworkAccess::BeginCase(Test);
		FAutomationLogCapture Capture(Test);
		GLog->AddOutputDevice(&Capture);
		Test.RunTest(Case.Command);
		GLog->RemoveOutputDevice(&Capture);
		return FAutomationTestFrameworkAccess::EndCase(Test);
	}
} // namespace UE::StandIn
