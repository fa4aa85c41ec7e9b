#include "RunControl.h"

#include "StandIn/UatRunControlProtocol.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <poll.h>
#include <unistd.h>

namespace AutomationTool
{
	namespace
	{
		// How often a held tool looks at its parent while it waits.
		constexpr int HoldPollMilliseconds = 100;

		std::optional<int> ReadIntVariable(const char* Name)
		{
			const char* Text = std::getenv(Name);
			if (Text == nullptr)
			{
				return std::nullopt;
			}
			const char* const End = Text + std::strlen(Text);
			int Value = 0;
			const std::from_chars_result Parsed = std::from_chars(Text, End, Value);
			if (Parsed.ec != std::errc() || Parsed.ptr != End)
			{
				return std::nullopt;
			}
			return Value;
		}
	} // namespace

	void PrintLine(const std::string& Line)
	{
		std::fputs(Line.c_str(), stdout);
		std::fputc('\n', stdout);
		std::fflush(stdout);
	}

	void PrintWarning(const std::string& Text)
	{
		PrintLine("WARNING: " + Text);
	}

	std::string CountText(size_t Count, const char* One, const char* Many)
	{
		return std::to_string(Count) + " " + (Count == 1 ? One : Many);
	}

	FRunControl FRunControl::FromEnvironment()
	{
		FRunControl Control;
		Control.ParentId = static_cast<int>(getppid());
		Control.HoldFd = ReadIntVariable(UatRunControlProtocol::HoldFdVariable).value_or(-1);
		const std::optional<int> ExitCode = ReadIntVariable(UatRunControlProtocol::ExitCodeVariable);
		if (ExitCode && *ExitCode >= 0 && *ExitCode <= 255)
		{
			Control.ForcedExitCode = ExitCode;
		}
		Control.bCrash = ReadIntVariable(UatRunControlProtocol::CrashVariable).value_or(0) != 0;
		if (const char* Fault = std::getenv(UatRunControlProtocol::StageVariable))
		{
			// In the order of the protocol's list; a name it does not list stages nothing wrong.
			constexpr EStageFault Faults[] = {EStageFault::Nothing, EStageFault::EmptyPak, EStageFault::NoDescriptor, EStageFault::BaseAssets,
			                                  EStageFault::IoStore};
			static_assert(std::size(Faults) == std::size(UatRunControlProtocol::StageFaults));
			for (size_t Index = 0; Index < std::size(Faults); ++Index)
			{
				if (std::strcmp(Fault, UatRunControlProtocol::StageFaults[Index]) == 0)
				{
					Control.StageFault = Faults[Index];
				}
			}
		}
		return Control;
	}

	void FRunControl::WaitWhileHeld()
	{
		if (HoldFd < 0)
		{
			return;
		}
		PrintLine("Simulation control: held before any work, waiting to be released.");
		for (;;)
		{
			CheckParent();
			pollfd Poll{HoldFd, POLLIN, 0};
			const int Ready = poll(&Poll, 1, HoldPollMilliseconds);
			if (Ready == 0 || (Ready < 0 && errno == EINTR))
			{
				continue;
			}
			char Byte = 0;
			ssize_t Count = 0;
			do
			{
				Count = read(HoldFd, &Byte, 1);
			} while (Count < 0 && errno == EINTR);
			close(HoldFd);
			HoldFd = -1;
			if (Count != 1)
			{
				// The helper's end closed without a release: the process that held this run is gone.
				EndBecauseParentIsGone();
			}
			PrintLine("Simulation control: released.");
			return;
		}
	}

	void FRunControl::Step(const std::string& Line) const
	{
		CheckParent();
		PrintLine(Line);
	}

	void FRunControl::CheckParent() const
	{
		if (static_cast<int>(getppid()) != ParentId)
		{
			EndBecauseParentIsGone();
		}
	}

	void FRunControl::ReachCrashPoint() const
	{
		CheckParent();
		if (bCrash)
		{
			PrintLine("Simulation control: killing the tool part-way through its work.");
			std::raise(SIGKILL);
		}
	}

	void FRunControl::EndBecauseParentIsGone()
	{
		// Nobody may read this any more; the write fails quietly since SIGPIPE is ignored.
		PrintLine("The process that started this tool has ended; stopping.");
		std::_Exit(ExitCodeParentGone);
	}
} // namespace AutomationTool
