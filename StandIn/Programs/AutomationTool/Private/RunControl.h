// What every step of a run goes through: its output lines, the controls that choose how the run ends (see
// StandIn/UatRunControlProtocol.h), and the watch on the process that started the tool, so that none is left behind.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace AutomationTool
{
	/** Exit codes: refused command line, failed build, parent gone. Success is 0. */
	inline constexpr int ExitCodeRefused = 1;
	inline constexpr int ExitCodeFailed = 2;
	inline constexpr int ExitCodeParentGone = 3;

	/** Writes one line to standard output and flushes it, so that whoever reads the tool sees progress as it happens. */
	void PrintLine(const std::string& Line);

	/** Prints "WARNING: " and the text. */
	void PrintWarning(const std::string& Text);

	/** "1 asset", "2 assets": the count and the word that fits it. */
	std::string CountText(size_t Count, const char* One, const char* Many);

	/** What a mod's cook stages wrongly when told to (StandIn/UatRunControlProtocol.h names them), or how else it stages. */
	enum class EStageFault
	{
		Nothing,
		EmptyPak,
		NoDescriptor,
		BaseAssets,
		/** No fault: the assets in an IoStore container beside the pak, as a project that uses IoStore stages them. */
		IoStore
	};

	class FRunControl
	{
	public:
		/** Reads the controls from the environment and remembers the parent process as it is now. */
		static FRunControl FromEnvironment();

		/** When the run is held, waits for the release; ends the tool when the parent goes away meanwhile. */
		void WaitWhileHeld();

		/** The exit code the run must end with without doing the work, when it was asked for. */
		std::optional<int> GetForcedExitCode() const { return ForcedExitCode; }

		/** A step of the work: prints the line, and ends the tool first when its parent has gone. */
		void Step(const std::string& Line) const;

		/** Ends the tool when its parent has gone (reparented processes see another parent). */
		void CheckParent() const;

		/** The fault a mod's cook was told to stage, when it was. */
		std::optional<EStageFault> GetStageFault() const { return StageFault; }

		/** Called once the work has begun and before its result is written: a crash control kills the tool here. */
		void ReachCrashPoint() const;

	private:
		[[noreturn]] static void EndBecauseParentIsGone();

		int ParentId = 0;
		int HoldFd = -1;
		std::optional<int> ForcedExitCode;
		bool bCrash = false;
		std::optional<EStageFault> StageFault;
	};
} // namespace AutomationTool
