// The engine's process-wide state: the log, the editor flag, the project name, the game thread.
#pragma once

#include "CoreTypes.h"
#include "Logging/LogMacros.h"

class FOutputDeviceRedirector;

/** Where log lines go; attach devices to it with AddOutputDevice. */
extern FOutputDeviceRedirector* GLog;

/** True: the program is the editor. */
extern bool GIsEditor;

/** The running project's name, as FApp::GetProjectName returns it; empty until a project is open. */
extern TCHAR GInternalProjectName[64];

/** @return true on the thread that started the program. */
bool IsInGameThread();

DECLARE_LOG_CATEGORY_EXTERN(LogTemp, Log, All);
