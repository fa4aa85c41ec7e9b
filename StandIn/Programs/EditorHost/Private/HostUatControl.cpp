#include "HostUatControl.h"

#include "StandIn/UatRunControlProtocol.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>

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

	bool IsStageFault(const FString& Name)
	{
		for (const char* Fault : UatRunControlProtocol::StageFaults)
		{
			if (Name.Equals(FString::FromUtf8(Fault), ESearchCase::CaseSensitive))
			{
				return true;
			}
		}
		return false;
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
		// In the order of the protocol's list.
		const TCHAR* const Staged[] = {
		    TEXT("completes but stages nothing"), TEXT("completes but stages an empty pak"), TEXT("completes but stages a pak without the mod's descriptor"),
		    TEXT("completes but stages a pak that also holds the base release's assets"), TEXT("stages its assets in an IoStore container beside its pak")};
		static_assert(std::size(Staged) == std::size(UatRunControlProtocol::StageFaults));
		for (size_t Index = 0; Index < std::size(Staged); ++Index)
		{
			if (Control.StageFault.Equals(FString::FromUtf8(UatRunControlProtocol::StageFaults[Index]), ESearchCase::CaseSensitive))
			{
				Run += FString(TEXT("; a mod's cook ")) + Staged[Index];
			}
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
