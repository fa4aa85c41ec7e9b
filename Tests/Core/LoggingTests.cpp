#include "Containers/Ticker.h"
#include "CoreMinimal.h"
#include "Misc/OutputDeviceRedirector.h"
#include "StandIn/OutputDeviceCapture.h"
#include "StandIn/OutputDeviceStdErr.h"

#include "StandIn/LogCategories.h"
#include <gtest/gtest.h>
#include <thread>

DECLARE_LOG_CATEGORY_EXTERN(LogLoggingTests, Log, All);
DEFINE_LOG_CATEGORY(LogLoggingTests);
DEFINE_LOG_CATEGORY_STATIC(LogCompiledToWarning, Log, Warning);

using UE::StandIn::FCapturedLogLine;
using UE::StandIn::FOutputDeviceCapture;

namespace
{
	int32 GEvaluations = 0;

	int32 CountEvaluation()
	{
		return ++GEvaluations;
	}

	// Restores a category's verbosity when a test ends, whatever it set.
	struct FVerbosityGuard
	{
		explicit FVerbosityGuard(FLogCategoryBase& InCategory)
		    : Category(InCategory)
		    , Saved(InCategory.GetVerbosity())
		{
		}
		~FVerbosityGuard() { Category.SetVerbosity(Saved); }

		FLogCategoryBase& Category;
		ELogVerbosity::Type Saved;
	};
} // namespace

TEST(UE_LOG, FormatsTheLineAndRecordsCategoryAndVerbosity)
{
	FOutputDeviceCapture Capture;
	UE_LOG(LogLoggingTests, Warning, TEXT("Mod '%s' has %d assets"), TEXT("Orcs"), 3);
	UE_LOG(LogTemp, Log, TEXT("plain"));

	const TArray<FCapturedLogLine> Lines = Capture.GetLines();
	ASSERT_EQ(Lines.Num(), 2);
	EXPECT_EQ(Lines[0].Category, FName(TEXT("LogLoggingTests")));
	EXPECT_EQ(Lines[0].Verbosity, ELogVerbosity::Warning);
	EXPECT_EQ(Lines[0].Message.ToStdString(), u"Mod 'Orcs' has 3 assets");
	EXPECT_EQ(Lines[1].Category, FName(TEXT("LogTemp")));
	EXPECT_EQ(Lines[1].Verbosity, ELogVerbosity::Log);
	EXPECT_EQ(Capture.GetLines(ELogVerbosity::Warning).Num(), 1);
	EXPECT_TRUE(Capture.Contains(TEXT("Orcs")));
	EXPECT_FALSE(Capture.Contains(TEXT("orcs")));

	Capture.Clear();
	EXPECT_EQ(Capture.Num(), 0);
}

TEST(UE_LOG, SuppressedLinesDoNotEvaluateTheirArguments)
{
	FVerbosityGuard Guard(LogLoggingTests);
	FOutputDeviceCapture Capture;
	GEvaluations = 0;

	UE_LOG(LogLoggingTests, Verbose, TEXT("%d"), CountEvaluation());
	EXPECT_EQ(GEvaluations, 0);
	EXPECT_EQ(Capture.Num(), 0);

	UE_LOG(LogLoggingTests, Display, TEXT("%d"), CountEvaluation());
	EXPECT_EQ(GEvaluations, 1);

	// Compiled out: nothing is evaluated whatever the run-time verbosity says.
	LogCompiledToWarning.SetVerbosity(ELogVerbosity::All);
	UE_LOG(LogCompiledToWarning, Log, TEXT("%d"), CountEvaluation());
	UE_CLOG(CountEvaluation() > 0, LogLoggingTests, Verbose, TEXT("conditional"));
	EXPECT_EQ(GEvaluations, 1);
	EXPECT_EQ(Capture.Num(), 1);
}

TEST(UE_LOG, RuntimeVerbosityChangesWhatIsPrinted)
{
	FVerbosityGuard Guard(LogLoggingTests);
	FVerbosityGuard CompiledGuard(LogCompiledToWarning);
	FOutputDeviceCapture Capture;

	EXPECT_EQ(LogLoggingTests.GetVerbosity(), ELogVerbosity::Log);
	EXPECT_TRUE(UE_LOG_ACTIVE(LogLoggingTests, Log));
	EXPECT_FALSE(UE_LOG_ACTIVE(LogLoggingTests, Verbose));

	LogLoggingTests.SetVerbosity(ELogVerbosity::VeryVerbose);
	EXPECT_TRUE(UE_LOG_ACTIVE(LogLoggingTests, VeryVerbose));
	UE_LOG(LogLoggingTests, VeryVerbose, TEXT("detail"));

	LogLoggingTests.SetVerbosity(ELogVerbosity::Error);
	EXPECT_TRUE(LogLoggingTests.IsSuppressed(ELogVerbosity::Warning));
	EXPECT_FALSE(LogLoggingTests.IsSuppressed(ELogVerbosity::Error));
	UE_LOG(LogLoggingTests, Warning, TEXT("hidden"));
	UE_LOG(LogLoggingTests, Error, TEXT("shown"));

	// Fatal is never suppressed, even with logging off.
	LogLoggingTests.SetVerbosity(ELogVerbosity::NoLogging);
	EXPECT_FALSE(LogLoggingTests.IsSuppressed(ELogVerbosity::Fatal));
	EXPECT_TRUE(LogLoggingTests.IsSuppressed(ELogVerbosity::Error));

	// A category cannot be made more verbose than it was compiled.
	LogCompiledToWarning.SetVerbosity(ELogVerbosity::VeryVerbose);
	EXPECT_EQ(LogCompiledToWarning.GetVerbosity(), ELogVerbosity::Warning);
	EXPECT_FALSE(UE_LOG_ACTIVE(LogCompiledToWarning, Display));

	const TArray<FCapturedLogLine> Lines = Capture.GetLines();
	ASSERT_EQ(Lines.Num(), 2);
	EXPECT_EQ(Lines[0].Message.ToStdString(), u"detail");
	EXPECT_EQ(Lines[1].Message.ToStdString(), u"shown");
}

TEST(UE_LOGDeathTest, FatalPrintsTheLineAndStops)
{
	EXPECT_DEATH(UE_LOG(LogLoggingTests, Fatal, TEXT("cannot go on: %s"), TEXT("reason")), "LogLoggingTests: Fatal: cannot go on: reason");
}

TEST(FOutputDeviceRedirector, DetachedDevicesReceiveNothing)
{
	FOutputDeviceCapture Detached(false);
	EXPECT_FALSE(GLog->IsRedirectingTo(&Detached));
	{
		FOutputDeviceCapture Attached;
		EXPECT_TRUE(GLog->IsRedirectingTo(&Attached));
		GLog->AddOutputDevice(&Detached);
		GLog->RemoveOutputDevice(&Detached);
		UE_LOG(LogTemp, Display, TEXT("one"));
		EXPECT_EQ(Attached.Num(), 1);
	}
	EXPECT_EQ(Detached.Num(), 0);

	// A device that detaches itself while a line is handed out does not break the delivery to the others.
	class FSelfRemoving : public FOutputDevice
	{
	public:
		void Serialize(const TCHAR*, ELogVerbosity::Type, const FName&) override
		{
			++Count;
			GLog->RemoveOutputDevice(this);
		}
		bool CanBeUsedOnMultipleThreads() const override { return true; }
		int32 Count = 0;
	};
	FSelfRemoving SelfRemoving;
	GLog->AddOutputDevice(&SelfRemoving);
	FOutputDeviceCapture After;
	UE_LOG(LogTemp, Display, TEXT("two"));
	UE_LOG(LogTemp, Display, TEXT("three"));
	EXPECT_EQ(SelfRemoving.Count, 1);
	EXPECT_EQ(After.Num(), 2);
}

TEST(FOutputDeviceRedirector, HandsLinesToASingleThreadDeviceOnlyWhenFlushedOrOnTheNextTick)
{
	// Records, as the engine's default device is, without saying it may be used on several threads.
	class FSingleThreadDevice : public FOutputDevice
	{
	public:
		void Serialize(const TCHAR* V, ELogVerbosity::Type Verbosity, const FName& Category) override
		{
			Lines.Add(FString(V));
			Verbosities.Add(Verbosity);
			Categories.Add(Category);
			bAllOnThisThread = bAllOnThisThread && std::this_thread::get_id() == ThreadId;
		}
		TArray<FString> Lines;
		TArray<ELogVerbosity::Type> Verbosities;
		TArray<FName> Categories;
		std::thread::id ThreadId = std::this_thread::get_id();
		bool bAllOnThisThread = true;
	};
	FSingleThreadDevice Device;
	FOutputDeviceCapture Capture;
	GLog->AddOutputDevice(&Device);

	UE_LOG(LogLoggingTests, Warning, TEXT("first"));
	EXPECT_EQ(Capture.Num(), 1);
	EXPECT_EQ(Device.Lines.Num(), 0);
	GLog->Flush();
	ASSERT_EQ(Device.Lines.Num(), 1);
	EXPECT_EQ(Device.Lines[0].ToStdString(), u"first");
	EXPECT_EQ(Device.Verbosities[0], ELogVerbosity::Warning);
	EXPECT_EQ(Device.Categories[0], FName(TEXT("LogLoggingTests")));

	// Lines from another thread reach the capture at once, and the device later, on the thread that ticks.
	std::thread Worker([]() {
		UE_LOG(LogLoggingTests, Log, TEXT("second"));
	});
	Worker.join();
	UE_LOG(LogLoggingTests, Log, TEXT("third"));
	EXPECT_EQ(Capture.Num(), 3);
	EXPECT_EQ(Device.Lines.Num(), 1);
	FTSTicker::GetCoreTicker().Tick(0.0f);
	EXPECT_EQ(FString::Join(Device.Lines, TEXT(",")).ToStdString(), u"first,second,third");
	EXPECT_TRUE(Device.bAllOnThisThread);

	// A device detached while lines wait for it gets none of them.
	UE_LOG(LogLoggingTests, Log, TEXT("fourth"));
	GLog->RemoveOutputDevice(&Device);
	GLog->Flush();
	FTSTicker::GetCoreTicker().Tick(0.0f);
	EXPECT_EQ(Device.Lines.Num(), 3);
	EXPECT_EQ(Capture.Num(), 4);
}

TEST(FOutputDeviceStdErr, FormatsAsTheEngineConsole)
{
	using UE::StandIn::FOutputDeviceStdErr;
	EXPECT_EQ(FOutputDeviceStdErr::FormatLogLine(TEXT("text"), ELogVerbosity::Warning, FName(TEXT("LogTemp"))).ToStdString(), u"LogTemp: Warning: text");
	EXPECT_EQ(FOutputDeviceStdErr::FormatLogLine(TEXT("text"), ELogVerbosity::Display, FName(TEXT("LogTemp"))).ToStdString(), u"LogTemp: Display: text");
	EXPECT_EQ(FOutputDeviceStdErr::FormatLogLine(TEXT("text"), ELogVerbosity::Log, FName(TEXT("LogTemp"))).ToStdString(), u"LogTemp: text");
	EXPECT_EQ(FOutputDeviceStdErr::FormatLogLine(TEXT("text"), ELogVerbosity::Error, FName()).ToStdString(), u"Error: text");
	EXPECT_TRUE(GLog->IsRedirectingTo(UE::StandIn::GetStdErrOutputDevice()));
}

TEST(ELogVerbosity, NamesRoundTrip)
{
	for (uint8 Level = ELogVerbosity::NoLogging; Level <= ELogVerbosity::VeryVerbose; ++Level)
	{
		const ELogVerbosity::Type Verbosity = static_cast<ELogVerbosity::Type>(Level);
		EXPECT_EQ(ParseLogVerbosityFromString(ToString(Verbosity)), Verbosity);
	}
	EXPECT_EQ(FString(ToString(ELogVerbosity::Warning)).ToStdString(), u"Warning");
	EXPECT_EQ(ParseLogVerbosityFromString(TEXT("verbose")), ELogVerbosity::Verbose);
	EXPECT_EQ(ParseLogVerbosityFromString(TEXT("nonsense")), ELogVerbosity::Log);
}

DEFINE_LOG_CATEGORY_STATIC(LogRegistryProbe, Log, All);

TEST(LogCategoryRegistry, FindsLiveCategoriesByNameIgnoringCase)
{
	FLogCategoryBase* Found = UE::StandIn::FindLogCategory(FName(TEXT("logregistryprobe")));
	ASSERT_EQ(Found, &LogRegistryProbe);
	Found->SetVerbosity(ELogVerbosity::Warning);
	EXPECT_FALSE(UE_LOG_ACTIVE(LogRegistryProbe, Log));
	EXPECT_EQ(UE::StandIn::FindLogCategory(FName(TEXT("LogNoSuchCategory"))), nullptr);
}

TEST(LogCategoryRegistry, KnowsTheModuleWhoseCodeDefinesACategory)
{
	const TArray<FName> CoreCategories = UE::StandIn::GetLogCategoriesDefinedBy(FName(TEXT("Core")));
	EXPECT_TRUE(CoreCategories.Contains(FName(TEXT("LogConfig"))));
	// A test's code is no module's.
	EXPECT_FALSE(CoreCategories.Contains(FName(TEXT("LogRegistryProbe"))));
	EXPECT_TRUE(UE::StandIn::GetLogCategoriesDefinedBy(FName()).Contains(FName(TEXT("LogRegistryProbe"))));
}
