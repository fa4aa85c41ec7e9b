// Specs for the runner program test: one that passes, one that fails, one whose name holds filter syntax.
#include "Misc/AutomationTest.h"

#include "Logging/LogMacros.h"

#if WITH_DEV_AUTOMATION_TESTS

DEFINE_LOG_CATEGORY_STATIC(LogSampleSpec, Log, All);

BEGIN_DEFINE_SPEC(FSampleSpec, "Trellic.Sample.Counter", EAutomationTestFlags::EditorContext | EAutomationTestFlags::EngineFilter)
	int32 Counter = 0;
END_DEFINE_SPEC(FSampleSpec)

void FSampleSpec::Define()
{
	Describe("Increment", [this]() {
		BeforeEach([this]() {
			Counter = 1;
		});

		It("adds one", [this]() {
			TestEqual(TEXT("Counter"), Counter + 1, 2);
		});

		It("is expected to fail", [this]() {
			TestEqual(TEXT("Counter after increment"), Counter + 1, 3);
		});

		It("logs an unexpected error", [this]() {
			UE_LOG(LogSampleSpec, Error, TEXT("Sample failure %d"), Counter);
		});

		It("keeps a-name:with*syntax", [this]() {
			TestTrue(TEXT("Counter is set"), Counter == 1);
		});
	});
}

#endif
