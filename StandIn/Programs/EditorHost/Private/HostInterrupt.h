// Ctrl-C in every mode of the host: it only asks the run to end, so that the modules are shut down as on any other way
// out. A second Ctrl-C ends a host that does not come back from the first, as a terminal expects.
#pragma once

#include <streambuf>

namespace UE::StandIn::EditorHost
{
	/** Catches Ctrl-C (SIGINT) for as long as it lives, then puts the former handler back. One at a time. */
	class FScopedInterruptHandler
	{
	public:
		FScopedInterruptHandler();
		~FScopedInterruptHandler();

		FScopedInterruptHandler(const FScopedInterruptHandler&) = delete;
		FScopedInterruptHandler& operator=(const FScopedInterruptHandler&) = delete;
	};

	/** @return true once Ctrl-C was pressed while a handler is installed (until the next one is installed). */
	bool IsInterruptRequested();

	/** @return a descriptor that becomes readable at Ctrl-C, so that a wait for input wakes up; -1 when there is none. */
	int GetInterruptFd();

	/**
	 * Reads a descriptor for an input stream, and ends the stream at Ctrl-C as at the end of the input: a blocking
	 * read would not come back from Ctrl-C, which may reach any of the host's threads.
	 */
	class FInterruptibleInputBuffer : public std::streambuf
	{
	public:
		/** Reads InFd, which it closes at the end unless it is standard input. */
		explicit FInterruptibleInputBuffer(int InFd);
		~FInterruptibleInputBuffer() override;

		FInterruptibleInputBuffer(const FInterruptibleInputBuffer&) = delete;
		FInterruptibleInputBuffer& operator=(const FInterruptibleInputBuffer&) = delete;

	protected:
		int_type underflow() override;

	private:
		int Fd;
		char Buffer[4096];
	};
} // namespace UE::StandIn::EditorHost
