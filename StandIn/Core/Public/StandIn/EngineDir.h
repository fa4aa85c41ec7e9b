// Stand-in only: where the host's engine folder is, so that FPaths::EngineDir() answers it.
#pragma once

#include "Containers/UnrealString.h"

namespace UE::StandIn
{
	/** Where the engine's folder is: the host's --engine-dir. A trailing "/" is added when missing. */
	void SetEngineDir(const FString& NewEngineDir);
} // namespace UE::StandIn
