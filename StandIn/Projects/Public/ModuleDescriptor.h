// When in the engine's start-up a module is loaded.
#pragma once

#include "CoreTypes.h"

namespace ELoadingPhase
{
	enum Type
	{
		EarliestPossible,
		PostConfigInit,
		PostSplashScreen,
		PreEarlyLoadingScreen,
		PreLoadingScreen,
		PreDefault,
		Default,
		PostDefault,
		PostEngineInit,
		None,
		Max,
	};
} // namespace ELoadingPhase
