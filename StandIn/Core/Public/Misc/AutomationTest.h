// The engine's automation tests and its spec framework (Describe, It, BeforeEach, AfterEach), so that a module's
// specs are written once and run both here and in the editor.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Internationalization/Text.h"
#include "Logging/LogVerbosity.h"
#include "Templates/Function.h"
#include "Templates/SharedPointer.h"
#include "UObject/NameTypes.h"

#include <memory>
#include <type_traits>
#include <vector>

#ifndef WITH_DEV_AUTOMATION_TESTS
#define WITH_DEV_AUTOMATION_TESTS 0
#endif
#ifndef WITH_PERF_AUTOMATION_TESTS
#define WITH_PERF_AUTOMATION_TESTS 0
#endif
#ifndef WITH_AUTOMATION_TESTS
#define WITH_AUTOMATION_TESTS (WITH_DEV_AUTOMATION_TESTS || WITH_PERF_AUTOMATION_TESTS)
#endif

/** Where a test may run, what it needs, how important it is and which filter selects it. */
enum class EAutomationTestFlags : uint64
{
	None = 0x00000000,
	EditorContext = 0x00000001,
	ClientContext = 0x00000002,
	ServerContext = 0x00000004,
	CommandletContext = 0x00000008,
	ProgramContext = 0x00000010,
	NonNullRHI = 0x00000100,
	RequiresUser = 0x00000200,
	Disabled = 0x00010000,
	SupportsAutoRTFM = 0x00020000,
	CriticalPriority = 0x00100000,
	HighPriority = 0x00200000,
	MediumPriority = 0x00400000,
	LowPriority = 0x00800000,
	SmokeFilter = 0x01000000,
	EngineFilter = 0x02000000,
	ProductFilter = 0x04000000,
	PerfFilter = 0x08000000,
	StressFilter = 0x10000000,
	NegativeFilter = 0x20000000,
};

constexpr EAutomationTestFlags operator|(EAutomationTestFlags A, EAutomationTestFlags B)
{
	return static_cast<EAutomationTestFlags>(static_cast<uint64>(A) | static_cast<uint64>(B));
}
constexpr EAutomationTestFlags operator&(EAutomationTestFlags A, EAutomationTestFlags B)
{
	return static_cast<EAutomationTestFlags>(static_cast<uint64>(A) & static_cast<uint64>(B));
}
constexpr EAutomationTestFlags operator^(EAutomationTestFlags A, EAutomationTestFlags B)
{
	return static_cast<EAutomationTestFlags>(static_cast<uint64>(A) ^ static_cast<uint64>(B));
}
constexpr EAutomationTestFlags operator~(EAutomationTestFlags A)
{
	return static_cast<EAutomationTestFlags>(~static_cast<uint64>(A));
}
constexpr EAutomationTestFlags& operator|=(EAutomationTestFlags& A, EAutomationTestFlags B)
{
	return A = A | B;
}
constexpr EAutomationTestFlags& operator&=(EAutomationTestFlags& A, EAutomationTestFlags B)
{
	return A = A & B;
}
constexpr bool operator!(EAutomationTestFlags A)
{
	return static_cast<uint64>(A) == 0;
}

/** Every context flag: a test must name at least one of them to run anywhere. */
inline constexpr EAutomationTestFlags EAutomationTestFlags_ApplicationContextMask =
    EAutomationTestFlags::EditorContext | EAutomationTestFlags::ClientContext | EAutomationTestFlags::ServerContext | EAutomationTestFlags::CommandletContext |
    EAutomationTestFlags::ProgramContext;
inline constexpr EAutomationTestFlags EAutomationTestFlags_FeatureMask = EAutomationTestFlags::NonNullRHI | EAutomationTestFlags::RequiresUser;
inline constexpr EAutomationTestFlags EAutomationTestFlags_PriorityMask =
    EAutomationTestFlags::CriticalPriority | EAutomationTestFlags::HighPriority | EAutomationTestFlags::MediumPriority | EAutomationTestFlags::LowPriority;
/** Every filter flag: a test names exactly one of them. */
inline constexpr EAutomationTestFlags EAutomationTestFlags_FilterMask = EAutomationTestFlags::SmokeFilter | EAutomationTestFlags::EngineFilter |
                                                                        EAutomationTestFlags::ProductFilter | EAutomationTestFlags::PerfFilter |
                                                                        EAutomationTestFlags::StressFilter | EAutomationTestFlags::NegativeFilter;

/** How an expected log message is compared with the lines a test produces (both ignore case). */
namespace EAutomationExpectedMessageFlags
{
	enum MatchType
	{
		Exact,
		Contains,
	};
} // namespace EAutomationExpectedMessageFlags

namespace EAutomationExpectedErrorFlags = EAutomationExpectedMessageFlags;

class FAutomationTestBase;

/** The registry of every automation test in the program; each test registers itself when it is constructed. */
class FAutomationTestFramework
{
public:
	static FAutomationTestFramework& Get();

	/** @return false when a test of that name is already registered (the new one is then ignored) */
	bool RegisterAutomationTest(const FString& InTestNameToRegister, FAutomationTestBase* InTestToRegister);
	bool UnregisterAutomationTest(const FString& InTestNameToUnregister);
	/** @return true when a test of that name is registered */
	bool ContainsTest(const FString& InTestName) const;

	/** One registered test and the name it was registered under. */
	struct FRegisteredTest
	{
		FString Name;
		FAutomationTestBase* Test = nullptr;
	};

private:
	FAutomationTestFramework() = default;

	TArray<FRegisteredTest> Tests;

	friend struct FAutomationTestFrameworkAccess;
};

/** Base of every automation test: its messages, its expected log lines and the Test* checks. */
class FAutomationTestBase
{
public:
	/**
	 * @param InName the test's registered name (for a spec, its class name)
	 * @param bInComplexTask whether the test runs a list of parameterised cases
	 */
	FAutomationTestBase(const FString& InName, const bool bInComplexTask);
	virtual ~FAutomationTestBase();

	FAutomationTestBase(const FAutomationTestBase&) = delete;
	FAutomationTestBase& operator=(const FAutomationTestBase&) = delete;

	virtual EAutomationTestFlags GetTestFlags() const = 0;
	/** Runs the case named by Parameters (for a spec, one It); @return true when it added no error */
	virtual bool RunTest(const FString& Parameters) = 0;
	/** Fills the display name and the command of every case the test offers. */
	virtual void GetTests(TArray<FString>& OutBeautifiedNames, TArray<FString>& OutTestCommands) const = 0;
	virtual FString GetTestSourceFileName() const { return FString(); }
	virtual int32 GetTestSourceFileLine() const { return 0; }
	virtual FString GetTestSourceFileName(const FString& /*InTestName*/) const { return GetTestSourceFileName(); }
	virtual int32 GetTestSourceFileLine(const FString& /*InTestName*/) const { return GetTestSourceFileLine(); }
	virtual uint32 GetRequiredDeviceNum() const { return 1; }

	const FString& GetTestName() const { return TestName; }
	/** The dotted name that filters select, e.g. "Trellic.Trellic.TRLSettings". */
	FString GetTestFullName() const { return GetBeautifiedTestName(); }
	bool IsComplexTask() const { return bComplexTask; }

	/** Records an error: the running case fails, unless an expected message matches it. */
	virtual void AddError(const FString& InError, int32 StackOffset = 0);
	/** Records an error when bCondition is false. @return bCondition */
	bool AddErrorIfFalse(bool bCondition, const FString& InError, int32 StackOffset = 0);
	/** Records a warning; it does not fail the case. */
	virtual void AddWarning(const FString& InWarning, int32 StackOffset = 0);
	/** Records an information line. */
	virtual void AddInfo(const FString& InLogItem, int32 StackOffset = 0, bool bCaptureStack = false);
	/**
	 * Whether a Warning line logged during a case fails it as an error would. The editor's automation settings
	 * elevate warnings by default, so a spec that provokes one must expect it.
	 */
	virtual bool ElevateLogWarningsToErrors() { return true; }

	/**
	 * Expects an error or warning matching ExpectedPatternString during the running case: it does not fail the
	 * case, and the case fails unless it is seen as often as asked.
	 * @param Occurrences > 0: exactly that many times; 0: at least once; < 0: any number of times, silently
	 * @param IsRegex whether the pattern is a regular expression or a plain string
	 */
	void AddExpectedError(FString ExpectedPatternString, EAutomationExpectedErrorFlags::MatchType CompareType = EAutomationExpectedErrorFlags::Contains,
	                      int32 Occurrences = 1, bool IsRegex = true);
	void AddExpectedErrorPlain(FString ExpectedString, EAutomationExpectedErrorFlags::MatchType CompareType = EAutomationExpectedErrorFlags::Contains,
	                           int32 Occurrences = 1);
	/** Expects a log message of ExpectedVerbosity or more severe (ELogVerbosity::All: any verbosity). */
	void AddExpectedMessage(FString ExpectedPatternString, ELogVerbosity::Type ExpectedVerbosity,
	                        EAutomationExpectedMessageFlags::MatchType CompareType = EAutomationExpectedMessageFlags::Contains, int32 Occurrences = 1,
	                        bool IsRegex = true);
	void AddExpectedMessage(FString ExpectedPatternString, EAutomationExpectedMessageFlags::MatchType CompareType = EAutomationExpectedMessageFlags::Contains,
	                        int32 Occurrences = 1, bool IsRegex = true);
	void AddExpectedMessagePlain(FString ExpectedString, ELogVerbosity::Type ExpectedVerbosity,
	                             EAutomationExpectedMessageFlags::MatchType CompareType = EAutomationExpectedMessageFlags::Contains, int32 Occurrences = 1);
	void AddExpectedMessagePlain(FString ExpectedString, EAutomationExpectedMessageFlags::MatchType CompareType = EAutomationExpectedMessageFlags::Contains,
	                             int32 Occurrences = 1);

	/** @return true when the running case has recorded an error */
	bool HasAnyErrors() const;
	/** @return true when every expected message has been seen as often as it was expected */
	bool HasMetExpectedMessages();
	bool HasMetExpectedErrors() { return HasMetExpectedMessages(); }

	bool TestEqual(const TCHAR* What, const int32 Actual, const int32 Expected);
	bool TestEqual(const TCHAR* What, const int64 Actual, const int64 Expected);
	bool TestEqual(const TCHAR* What, const uint32 Actual, const uint32 Expected);
	bool TestEqual(const TCHAR* What, const uint64 Actual, const uint64 Expected);
	bool TestEqual(const TCHAR* What, const float Actual, const float Expected, float Tolerance = 1.e-4f);
	bool TestEqual(const TCHAR* What, const double Actual, const double Expected, double Tolerance = 1.e-4);
	/** Strings are compared without case, as the engine has done since 5.5; TestEqualSensitive compares them exactly. */
	bool TestEqual(const TCHAR* What, const TCHAR* Actual, const TCHAR* Expected);
	bool TestEqual(const TCHAR* What, const FString& Actual, const TCHAR* Expected) { return TestEqual(What, *Actual, Expected); }
	bool TestEqual(const TCHAR* What, const TCHAR* Actual, const FString& Expected) { return TestEqual(What, Actual, *Expected); }
	bool TestEqual(const TCHAR* What, const FString& Actual, const FString& Expected) { return TestEqual(What, *Actual, *Expected); }
	/** Texts are compared by their display strings, without case. */
	bool TestEqual(const TCHAR* What, const FText& Actual, const FText& Expected);
	bool TestEqual(const TCHAR* What, const FName& Actual, const FName& Expected);
	/** Any other type with ==; the values are shown when they convert to a string. */
	template <typename ValueType>
	bool TestEqual(const TCHAR* What, const ValueType& Actual, const ValueType& Expected)
	{
		if (!(Actual == Expected))
		{
			AddError(FormatInequality(What, Actual, Expected), 1);
			return false;
		}
		return true;
	}

	bool TestEqual(const FString& What, const int32 Actual, const int32 Expected) { return TestEqual(*What, Actual, Expected); }
	bool TestEqual(const FString& What, const int64 Actual, const int64 Expected) { return TestEqual(*What, Actual, Expected); }
	bool TestEqual(const FString& What, const float Actual, const float Expected, float Tolerance = 1.e-4f)
	{
		return TestEqual(*What, Actual, Expected, Tolerance);
	}
	bool TestEqual(const FString& What, const double Actual, const double Expected, double Tolerance = 1.e-4)
	{
		return TestEqual(*What, Actual, Expected, Tolerance);
	}
	bool TestEqual(const FString& What, const TCHAR* Actual, const TCHAR* Expected) { return TestEqual(*What, Actual, Expected); }
	bool TestEqual(const FString& What, const FString& Actual, const TCHAR* Expected) { return TestEqual(*What, *Actual, Expected); }
	bool TestEqual(const FString& What, const TCHAR* Actual, const FString& Expected) { return TestEqual(*What, Actual, *Expected); }
	bool TestEqual(const FString& What, const FString& Actual, const FString& Expected) { return TestEqual(*What, *Actual, *Expected); }
	bool TestEqual(const FString& What, const FText& Actual, const FText& Expected) { return TestEqual(*What, Actual, Expected); }
	template <typename ValueType>
	bool TestEqual(const FString& What, const ValueType& Actual, const ValueType& Expected)
	{
		return TestEqual(*What, Actual, Expected);
	}

	/** Strings compared exactly, case included: for texts, paths and file contents that must match to the character. */
	bool TestEqualSensitive(const TCHAR* What, const TCHAR* Actual, const TCHAR* Expected);
	bool TestEqualSensitive(const TCHAR* What, FStringView Actual, FStringView Expected);
	bool TestEqualSensitive(const FString& What, const TCHAR* Actual, const TCHAR* Expected) { return TestEqualSensitive(*What, Actual, Expected); }
	bool TestEqualSensitive(const FString& What, FStringView Actual, FStringView Expected) { return TestEqualSensitive(*What, Actual, Expected); }

	/** Strings compared without case; the same as TestEqual on strings, which the engine deprecated it for. */
	bool TestEqualInsensitive(const TCHAR* What, const TCHAR* Actual, const TCHAR* Expected) { return TestEqual(What, Actual, Expected); }
	bool TestEqualInsensitive(const TCHAR* What, const FString& Actual, const FString& Expected) { return TestEqual(What, *Actual, *Expected); }

	template <typename ValueType>
	bool TestNotEqual(const TCHAR* What, const ValueType& Actual, const ValueType& Expected)
	{
		if (Actual == Expected)
		{
			AddError(FString(TEXT("Expected '")) + What + TEXT("' to differ from the value it was compared with, but they are equal."), 1);
			return false;
		}
		return true;
	}
	/** Strings differ when they differ other than in case. */
	bool TestNotEqual(const TCHAR* What, const FString& Actual, const FString& Expected);
	bool TestNotEqual(const TCHAR* What, const FString& Actual, const TCHAR* Expected) { return TestNotEqual(What, Actual, FString(Expected)); }
	template <typename ValueType>
	bool TestNotEqual(const FString& What, const ValueType& Actual, const ValueType& Expected)
	{
		return TestNotEqual(*What, Actual, Expected);
	}

	bool TestTrue(const TCHAR* What, bool Value);
	bool TestTrue(const FString& What, bool Value) { return TestTrue(*What, Value); }
	bool TestFalse(const TCHAR* What, bool Value);
	bool TestFalse(const FString& What, bool Value) { return TestFalse(*What, Value); }

	template <typename ValueType>
	bool TestNull(const TCHAR* What, const ValueType* Pointer)
	{
		return ReportNull(What, Pointer == nullptr, true);
	}
	template <typename ValueType>
	bool TestNull(const FString& What, const ValueType* Pointer)
	{
		return TestNull(*What, Pointer);
	}
	template <typename ValueType>
	bool TestNotNull(const TCHAR* What, const ValueType* Pointer)
	{
		return ReportNull(What, Pointer == nullptr, false);
	}
	template <typename ValueType>
	bool TestNotNull(const FString& What, const ValueType* Pointer)
	{
		return TestNotNull(*What, Pointer);
	}

	template <typename ValueType>
	bool TestValid(const TCHAR* Description, const TSharedPtr<ValueType>& SharedPointer)
	{
		return ReportValid(Description, SharedPointer.IsValid(), true);
	}
	template <typename ValueType>
	bool TestValid(const FString& Description, const TSharedPtr<ValueType>& SharedPointer)
	{
		return TestValid(*Description, SharedPointer);
	}
	template <typename ValueType>
	bool TestInvalid(const TCHAR* Description, const TSharedPtr<ValueType>& SharedPointer)
	{
		return ReportValid(Description, SharedPointer.IsValid(), false);
	}
	template <typename ValueType>
	bool TestInvalid(const FString& Description, const TSharedPtr<ValueType>& SharedPointer)
	{
		return TestInvalid(*Description, SharedPointer);
	}

protected:
	/** The dotted name given to the test, e.g. "Trellic.Trellic.TRLSettings". */
	virtual FString GetBeautifiedTestName() const = 0;

private:
	friend struct FAutomationTestFrameworkAccess;

	template <typename ValueType>
	static FString FormatInequality(const TCHAR* What, const ValueType& Actual, const ValueType& Expected)
	{
		if constexpr (std::is_same_v<ValueType, bool>)
		{
			return FormatValues(What, Actual ? TEXT("true") : TEXT("false"), Expected ? TEXT("true") : TEXT("false"));
		}
		else if constexpr (std::is_enum_v<ValueType>)
		{
			return FormatValues(What, FString::FromInt(static_cast<int32>(Actual)), FString::FromInt(static_cast<int32>(Expected)));
		}
		else if constexpr (requires { LexToString(Actual); })
		{
			return FormatValues(What, FString(LexToString(Actual)), FString(LexToString(Expected)));
		}
		else
		{
			return FString(TEXT("Expected '")) + What + TEXT("' to be equal to the expected value, but it was not.");
		}
	}
	static FString FormatValues(const TCHAR* What, const FString& Actual, const FString& Expected);
	bool CompareStrings(const TCHAR* What, FStringView Actual, FStringView Expected, ESearchCase::Type SearchCase);
	bool ReportNull(const TCHAR* What, bool bIsNull, bool bExpectNull);
	bool ReportValid(const TCHAR* Description, bool bIsValid, bool bExpectValid);

	struct FExpectedMessage;
	struct FRunState;

	FString TestName;
	bool bComplexTask = false;
	std::unique_ptr<FRunState> RunState;
};

/** A spec: Define() describes behaviour with Describe/It, and every It is a case of its own. */
class FAutomationSpecBase : public FAutomationTestBase, public TSharedFromThis<FAutomationSpecBase>
{
public:
	FAutomationSpecBase(const FString& InName, const bool bInComplexTask);
	~FAutomationSpecBase() override;

	bool RunTest(const FString& InParameters) override;
	void GetTests(TArray<FString>& OutBeautifiedNames, TArray<FString>& OutTestCommands) const override;
	using FAutomationTestBase::GetTestSourceFileLine;
	using FAutomationTestBase::GetTestSourceFileName;
	FString GetTestSourceFileName(const FString& InTestName) const override;
	int32 GetTestSourceFileLine(const FString& InTestName) const override;
	bool IsStressTest() const { return false; }

	/** Groups the declarations made by DoWork under InDescription, which prefixes each of their It names. */
	void Describe(const FString& InDescription, TFunction<void()> DoWork);
	/** A disabled Describe: nothing inside it runs. */
	void xDescribe(const FString& InDescription, TFunction<void()> DoWork);
	/** One case: BeforeEach of the enclosing scopes (outermost first), DoWork, then their AfterEach. */
	void It(const FString& InDescription, TFunction<void()> DoWork);
	/** A disabled It. */
	void xIt(const FString& InDescription, TFunction<void()> DoWork);
	/** Runs before every It of the enclosing scope and of the scopes within it. */
	void BeforeEach(TFunction<void()> DoWork);
	/** Runs after every It of the enclosing scope and of the scopes within it, even when the It failed. */
	void AfterEach(TFunction<void()> DoWork);

protected:
	/** Declares this spec's scopes and cases; called once, before the cases are listed or run. */
	virtual void Define() = 0;

private:
	struct FScope;
	struct FCase;
	void EnsureDefinitions() const;

	mutable bool bHasBeenDefined = false;
	mutable std::vector<std::unique_ptr<FScope>> Scopes;
	mutable std::vector<FScope*> ScopeStack;
	mutable std::vector<std::unique_ptr<FCase>> Cases;
};

#define BEGIN_DEFINE_SPEC(TClass, PrettyName, TFlags)                                                                                                          \
	class TClass : public FAutomationSpecBase                                                                                                                  \
	{                                                                                                                                                          \
	public:                                                                                                                                                    \
		TClass(const FString& InName)                                                                                                                          \
		    : FAutomationSpecBase(InName, false)                                                                                                               \
		{                                                                                                                                                      \
			static_assert(!!((TFlags)&EAutomationTestFlags_ApplicationContextMask), "The test names no application context: it would never run.");             \
			static_assert(UE::Automation::HasOneFilter(TFlags), "The test must name exactly one filter flag.");                                                \
		}                                                                                                                                                      \
		EAutomationTestFlags GetTestFlags() const override { return TFlags; }                                                                                  \
		using FAutomationSpecBase::GetTestSourceFileName;                                                                                                      \
		FString GetTestSourceFileName() const override { return FString(__FILE__); }                                                                           \
		using FAutomationSpecBase::GetTestSourceFileLine;                                                                                                      \
		int32 GetTestSourceFileLine() const override { return __LINE__; }                                                                                      \
                                                                                                                                                               \
	protected:                                                                                                                                                 \
		FString GetBeautifiedTestName() const override { return FString(PrettyName); }                                                                         \
		void Define() override;

#define END_DEFINE_SPEC(TClass)                                                                                                                                \
	}                                                                                                                                                          \
	;                                                                                                                                                          \
	namespace                                                                                                                                                  \
	{                                                                                                                                                          \
		TClass TClass##AutomationSpecInstance(TEXT(#TClass));                                                                                                  \
	}

#define DEFINE_SPEC(TClass, PrettyName, TFlags)                                                                                                                \
	BEGIN_DEFINE_SPEC(TClass, PrettyName, TFlags)                                                                                                              \
	END_DEFINE_SPEC(TClass)

namespace UE::Automation
{
	constexpr bool HasOneFilter(EAutomationTestFlags Flags)
	{
		const uint64 Filter = static_cast<uint64>(Flags & EAutomationTestFlags_FilterMask);
		return Filter != 0 && (Filter & (Filter - 1)) == 0;
	}
} // namespace UE::Automation
