#include "HostInterrupt.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		volatile sig_atomic_t GInterruptRequested = 0;
		struct sigaction GPreviousAction = {};
		// Written once by the handler, so that poll wakes whichever thread the signal reached.
		int GWakePipe[2] = {-1, -1};

		void HandleInterrupt(int)
		{
			if (GInterruptRequested != 0)
			{
				// A second Ctrl-C ends a host that did not come back from the first.
				signal(SIGINT, SIG_DFL);
				raise(SIGINT);
				return;
			}
			GInterruptRequested = 1;
			const int SavedErrno = errno;
			const char Byte = 1;
			[[maybe_unused]] const ssize_t Written = write(GWakePipe[1], &Byte, 1);
			errno = SavedErrno;
		}

		void DrainWakePipe()
		{
			char Bytes[16];
			while (read(GWakePipe[0], Bytes, sizeof(Bytes)) > 0)
			{
			}
		}
	} // namespace

	FScopedInterruptHandler::FScopedInterruptHandler()
	{
		if (GWakePipe[0] < 0 && pipe2(GWakePipe, O_CLOEXEC | O_NONBLOCK) != 0)
		{
			GWakePipe[0] = GWakePipe[1] = -1;
		}
		DrainWakePipe();
		GInterruptRequested = 0;
		struct sigaction Action = {};
		Action.sa_handler = &HandleInterrupt;
		sigemptyset(&Action.sa_mask);
		// Other code's system calls go on; a wait for input wakes through the pipe.
		Action.sa_flags = SA_RESTART;
		sigaction(SIGINT, &Action, &GPreviousAction);
	}

	FScopedInterruptHandler::~FScopedInterruptHandler()
	{
		sigaction(SIGINT, &GPreviousAction, nullptr);
	}

	bool IsInterruptRequested()
	{
		return GInterruptRequested != 0;
	}

	int GetInterruptFd()
	{
		return GWakePipe[0];
	}

	FInterruptibleInputBuffer::FInterruptibleInputBuffer(int InFd)
	    : Fd(InFd)
	{
		setg(Buffer, Buffer, Buffer);
	}

	FInterruptibleInputBuffer::~FInterruptibleInputBuffer()
	{
		if (Fd > STDIN_FILENO)
		{
			close(Fd);
		}
	}

	FInterruptibleInputBuffer::int_type FInterruptibleInputBuffer::underflow()
	{
		while (!IsInterruptRequested())
		{
			pollfd Polled[2] = {{Fd, POLLIN, 0}, {GetInterruptFd(), POLLIN, 0}};
			if (poll(Polled, GetInterruptFd() >= 0 ? 2 : 1, -1) < 0 && errno != EINTR)
			{
				return traits_type::eof();
			}
			if (Polled[0].revents == 0)
			{
				continue;
			}
			const ssize_t Count = read(Fd, Buffer, sizeof(Buffer));
			if (Count > 0)
			{
				setg(Buffer, Buffer, Buffer + Count);
				return traits_type::to_int_type(Buffer[0]);
			}
			if (Count == 0 || (errno != EINTR && errno != EAGAIN))
			{
				return traits_type::eof();
			}
		}
		return traits_type::eof();
	}
} // namespace UE::StandIn::EditorHost
