#include "UatProcess.h"

#include "StandIn/ChildProcess.h"
#include "StandIn/UatRunControlProtocol.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace UE::UATHelper
{
	namespace
	{
		UE::StandIn::FUatRunControl& GetNextRunControl()
		{
			static UE::StandIn::FUatRunControl Control;
			return Control;
		}

		/** The held children, oldest first (game thread only). */
		std::vector<FUatProcess*>& GetHeldProcesses()
		{
			static std::vector<FUatProcess*> Held;
			return Held;
		}

		// This run's control, as the variables the tool reads; any the editor inherited itself are not passed on.
		TMap<FString, FString> MakeControlVariables(const UE::StandIn::FUatRunControl& Control)
		{
			TMap<FString, FString> Variables;
			if (Control.bHold)
			{
				Variables.Add(FString::FromUtf8(UatRunControlProtocol::HoldFdVariable), FString::Printf(TEXT("%d"), UatRunControlProtocol::HoldFdInTool));
			}
			if (Control.ExitCode.IsSet())
			{
				Variables.Add(FString::FromUtf8(UatRunControlProtocol::ExitCodeVariable), FString::Printf(TEXT("%d"), Control.ExitCode.GetValue()));
			}
			if (Control.bCrash)
			{
				Variables.Add(FString::FromUtf8(UatRunControlProtocol::CrashVariable), TEXT("1"));
			}
			if (!Control.StageFault.IsEmpty())
			{
				Variables.Add(FString::FromUtf8(UatRunControlProtocol::StageVariable), Control.StageFault);
			}
			return Variables;
		}
	} // namespace

	UE::StandIn::FUatRunControl TakeNextUatRunControl()
	{
		UE::StandIn::FUatRunControl Control = GetNextRunControl();
		GetNextRunControl() = UE::StandIn::FUatRunControl();
		return Control;
	}

	FUatProcess::~FUatProcess()
	{
		Terminate();
		ForgetHold();
		if (OutputFd >= 0)
		{
			close(OutputFd);
		}
	}

	bool FUatProcess::Start(const FString& Program, const TArray<FString>& Arguments, const UE::StandIn::FUatRunControl& Control, FString& OutError)
	{
		// The hold socket's child end is moved above the standard descriptors, so that placing those cannot overwrite it.
		int HoldPair[2] = {-1, -1};
		int ChildHoldFd = -1;
		if (Control.bHold)
		{
			if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, HoldPair) != 0)
			{
				OutError = FString(std::strerror(errno));
				return false;
			}
			ChildHoldFd = fcntl(HoldPair[1], F_DUPFD_CLOEXEC, UatRunControlProtocol::HoldFdInTool + 1);
			const int DupError = errno;
			close(HoldPair[1]);
			if (ChildHoldFd < 0)
			{
				OutError = FString(std::strerror(DupError));
				close(HoldPair[0]);
				return false;
			}
		}

		UE::StandIn::FChildProcessOptions Options;
		Options.SetVariables = MakeControlVariables(Control);
		Options.DropVariablesStartingWith = FString::FromUtf8(UatRunControlProtocol::VariablePrefix);
		Options.InheritedFd = ChildHoldFd;
		Options.InheritedFdNumber = UatRunControlProtocol::HoldFdInTool;
		UE::StandIn::FChildProcess Child;
		const bool bStarted = UE::StandIn::StartChildProcess(Program, Arguments, Options, Child, OutError);
		if (ChildHoldFd >= 0)
		{
			close(ChildHoldFd);
		}
		if (!bStarted)
		{
			if (Control.bHold)
			{
				close(HoldPair[0]);
			}
			ChildId = -1;
			return false;
		}

		ChildId = Child.ProcessId;
		OutputFd = Child.OutputFd;
		fcntl(OutputFd, F_SETFL, fcntl(OutputFd, F_GETFL) | O_NONBLOCK);
		if (Control.bHold)
		{
			HoldFd = HoldPair[0];
			GetHeldProcesses().push_back(this);
		}
		return true;
	}

	bool FUatProcess::ReleaseOldestHeld()
	{
		std::vector<FUatProcess*>& Held = GetHeldProcesses();
		while (!Held.empty())
		{
			FUatProcess* const Process = Held.front();
			// A child that has ended (even if not yet reaped) has closed its end: the write fails, without SIGPIPE.
			const char Release = 'R';
			const bool bReleased = send(Process->HoldFd, &Release, 1, MSG_NOSIGNAL) == 1;
			Process->ForgetHold();
			if (bReleased)
			{
				return true;
			}
		}
		return false;
	}

	void FUatProcess::ForgetHold()
	{
		if (HoldFd >= 0)
		{
			close(HoldFd);
			HoldFd = -1;
			std::vector<FUatProcess*>& Held = GetHeldProcesses();
			Held.erase(std::remove(Held.begin(), Held.end(), this), Held.end());
		}
	}

	void FUatProcess::ReadAvailable()
	{
		if (OutputFd < 0)
		{
			return;
		}
		char Buffer[4096];
		for (;;)
		{
			const ssize_t Count = read(OutputFd, Buffer, sizeof(Buffer));
			if (Count > 0)
			{
				Pending.append(Buffer, static_cast<size_t>(Count));
			}
			else if (Count < 0 && errno == EINTR)
			{
				continue;
			}
			else
			{
				// End of output (every writer has closed it) or nothing more for now.
				if (Count == 0)
				{
					close(OutputFd);
					OutputFd = -1;
				}
				return;
			}
		}
	}

	void FUatProcess::TakeLines(TArray<FString>& OutLines, bool bFlushPartial)
	{
		size_t Start = 0;
		for (size_t End = Pending.find('\n'); End != std::string::npos; End = Pending.find('\n', Start))
		{
			size_t LineEnd = End;
			if (LineEnd > Start && Pending[LineEnd - 1] == '\r')
			{
				--LineEnd;
			}
			OutLines.Add(FString::FromUtf8(std::string_view(Pending).substr(Start, LineEnd - Start)));
			Start = End + 1;
		}
		Pending.erase(0, Start);
		if (bFlushPartial && !Pending.empty())
		{
			OutLines.Add(FString::FromUtf8(Pending));
			Pending.clear();
		}
	}

	void FUatProcess::ReadLines(TArray<FString>& OutLines)
	{
		ReadAvailable();
		TakeLines(OutLines, bEnded);
	}

	bool FUatProcess::HasEnded(FString& OutResult)
	{
		if (ChildId <= 0)
		{
			return false;
		}
		int Status = 0;
		const pid_t Waited = waitpid(ChildId, &Status, WNOHANG);
		if (Waited == -1 && errno == ECHILD)
		{
			// Someone else reaped it: it has ended, but how is lost.
			bEnded = true;
			ForgetHold();
			OutResult = FString(TEXT("Failed (exit status lost)"));
			return true;
		}
		if (Waited != ChildId)
		{
			return false;
		}
		// Whatever the child wrote before it ended is already in the pipe.
		bEnded = true;
		ForgetHold();
		if (WIFEXITED(Status))
		{
			const int ExitCode = WEXITSTATUS(Status);
			OutResult = ExitCode == 0 ? FString(TEXT("Completed")) : FString(TEXT("Failed with exit code ")) + FString::FromInt(ExitCode);
		}
		else if (WIFSIGNALED(Status))
		{
			OutResult = FString(TEXT("Killed by signal ")) + FString::FromInt(WTERMSIG(Status));
		}
		else
		{
			OutResult = FString(TEXT("Failed"));
		}
		return true;
	}

	void FUatProcess::Terminate()
	{
		if (ChildId > 0 && !bEnded)
		{
			Kill();
			int Status = 0;
			while (waitpid(ChildId, &Status, 0) == -1 && errno == EINTR)
			{
			}
			bEnded = true;
		}
		ForgetHold();
	}

	void FUatProcess::Kill()
	{
		if (ChildId > 0 && !bEnded)
		{
			kill(ChildId, SIGKILL);
		}
	}
} // namespace UE::UATHelper

namespace UE::StandIn
{
	bool SetNextUatRun(const FUatRunControl& Control)
	{
		if (Control.ExitCode.IsSet() && (Control.bCrash || Control.ExitCode.GetValue() < 0 || Control.ExitCode.GetValue() > 255))
		{
			return false;
		}
		const bool bKnownFault =
		    std::any_of(std::begin(UatRunControlProtocol::StageFaults), std::end(UatRunControlProtocol::StageFaults), [&Control](const char* Fault) {
			    return Control.StageFault.Equals(FString::FromUtf8(Fault));
		    });
		if (!Control.StageFault.IsEmpty() && !bKnownFault)
		{
			return false;
		}
		UE::UATHelper::GetNextRunControl() = Control;
		return true;
	}

	bool ReleaseHeldUatRun()
	{
		return UE::UATHelper::FUatProcess::ReleaseOldestHeld();
	}
} // namespace UE::StandIn
