// Stand-in only: how the UAT helper stand-in tells the automation tool how its next run should end, so that every end
// of a job can be tried. The helper and the stand-in automation tool both include this header, which needs nothing of
// the engine's; nothing else reads these variables.
//
// The helper sets the variables in the environment of that one child only (and removes any it inherited itself):
//   TRELLIC_UAT_HOLD_FD=<fd>   the tool prints its first lines, then waits, touching nothing, until it reads one
//                              byte from that inherited socket. End of file instead of a byte means that the
//                              helper's process is gone, and the tool ends.
//   TRELLIC_UAT_EXIT_CODE=<n>  the tool ends with exit code n (0 to 255) without doing the work (after any hold).
//   TRELLIC_UAT_CRASH=1        the tool kills itself with SIGKILL part-way through its work.
//   TRELLIC_UAT_STAGE=<fault>  a mod's cook finishes as it would, but stages what that fault says (below), or stages
//                              its assets in an IoStore container beside the pak ("iostore").
#pragma once

namespace UatRunControlProtocol
{
	/** The prefix of every variable; the helper removes inherited ones so that a control reaches one run only. */
	inline constexpr const char* VariablePrefix = "TRELLIC_UAT_";
	inline constexpr const char* HoldFdVariable = "TRELLIC_UAT_HOLD_FD";
	inline constexpr const char* ExitCodeVariable = "TRELLIC_UAT_EXIT_CODE";
	inline constexpr const char* CrashVariable = "TRELLIC_UAT_CRASH";
	inline constexpr const char* StageVariable = "TRELLIC_UAT_STAGE";

	/**
	 * How a mod's cook can stage a broken build and still end "Completed", as the engine's cooker may: no pak at all, a
	 * pak with no entry, a pak without the plug-in's descriptor, and a pak that also holds the base release's assets.
	 * Last, no fault: the layout of a project that uses IoStore, its assets in a container beside a pak that keeps the
	 * rest.
	 */
	inline constexpr const char* StageFaults[] = {"nothing", "empty-pak", "no-descriptor", "base-assets", "iostore"};

	/** The descriptor number at which the helper hands the hold socket to the tool. */
	inline constexpr int HoldFdInTool = 3;
} // namespace UatRunControlProtocol
