// An editor that holds its automation tool: starts one held run through the UAT helper and keeps ticking until it
// is killed. The test kills it to see that the orphaned tool ends on its own.

#include "IUATHelperModule.h"
#include "StandIn/UatRunControl.h"

#include "Containers/Ticker.h"

#include <chrono>
#include <thread>

int main(int ArgC, char** ArgV)
{
	if (ArgC != 2)
	{
		return 2;
	}
	UE::StandIn::FUatRunControl Control;
	Control.bHold = true;
	UE::StandIn::SetNextUatRun(Control);
	const FText Name = FText::FromString(TEXT("Held"));
	IUATHelperModule::Get().CreateUatTask(FString::FromUtf8(ArgV[1]), FText::FromString(TEXT("Win64")), Name, Name, nullptr);
	for (;;)
	{
		FTSTicker::GetCoreTicker().Tick(0.05f);
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
	}
}
