#include "HostUatControl.h"

#include <cstdio>
#include <cstdlib>

namespace UE::StandIn::EditorHost
{
	bool ControlNextUatRun(const FUatRunControl& Control, FString& OutError)
	{
		if (!UE::StandIn::SetNextUatRun(Control))
		{
			OutError = TEXT("An exit code is a whole number from 0 to 255, and a run cannot both end with one and crash.");
			return false;
		}
		return true;
	}

	bool ReleaseHeldRun(FString& OutError)
	{
		if (!UE::StandIn::ReleaseHeldUatRun())
		{
			OutError = TEXT("No automation tool run is held.");
			return false;
		}
		return true;
	}

	FString DescribeUatRunControl(const FUatRunControl& Control)
	{
		FString End;
		if (Control.ExitCode.IsSet())
		{
			End = FString::Printf(TEXT("exit code %d, without doing its work"), Control.ExitCode.GetValue());
		}
		else if (Control.bCrash)
		{
			End = TEXT("killed part-way through its work");
		}
		FString Run;
		if (!Control.bHold)
		{
			Run = End.IsEmpty() ? FString(TEXT("a normal run")) : End;
		}
		else
		{
			Run = End.IsEmpty() ? FString(TEXT("held until released")) : FString(TEXT("held until released, then ")) + End;
		}
		return Control.bCallBackOnWorkerThread ? Run + TEXT("; its end called back from a worker thread") : Run;
	}

	void CrashHost()
	{
		std::fflush(stdout);
		std::fflush(stderr);
		std::_Exit(CrashExitCode);
	}
} // namespace UE::StandIn::EditorHost
