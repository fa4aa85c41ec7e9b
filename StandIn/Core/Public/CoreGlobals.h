// The engine's process-wide state: the log, the editor and commandlet flags, the project name, the game thread, a
// request to exit.
#pragma once

#include "CoreTypes.h"
#include "Logging/LogMacros.h"

class FOutputDeviceRedirector;

/** Where log lines go; attach devices to it with AddOutputDevice. */
extern FOutputDeviceRedirector* GLog;

/** True: the program is the editor. */
extern bool GIsEditor;

/** True while the program runs a commandlet (-run=<Name>); set once at start-up, before any module loads. */
extern bool PRIVATE_GIsRunningCommandlet;

/** @return true when the program runs a commandlet: no Slate application, and no engine loop but what it pumps. */
inline bool IsRunningCommandlet()
{
	return PRIVATE_GIsRunningCommandlet;
}

/** The running project's name, as FApp::GetProjectName returns it; empty until a project is open. */
extern TCHAR GInternalProjectName[64];

/** @return true on the thread that started the program. */
bool IsInGameThread();

/** @return true once the engine was asked to exit (Ctrl-C, or RequestEngineExit): a loop of its own should end then. */
bool IsEngineExitRequested();

/** Asks the engine to exit as soon as it safely can; ReasonString says why, for the log. Any thread may ask. */
void RequestEngineExit(const TCHAR* ReasonString);
void RequestEngineExit(const FString& ReasonString);

DECLARE_LOG_CATEGORY_EXTERN(LogTemp, Log, All);
