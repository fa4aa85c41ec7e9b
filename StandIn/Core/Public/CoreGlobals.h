// The engine's process-wide state: the log, the editor and commandlet flags, the project name, the game thread.
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

DECLARE_LOG_CATEGORY_EXTERN(LogTemp, Log, All);
