// Copyright Trellic contributors. All Rights Reserved.

#include "TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

#include "Interfaces/IPluginManager.h"
#include "TRLModMount.h"

void TRLTest::UnmountMod(const FString& ModName)
{
	if (FTRLModMount::IsMounted(ModName))
	{
		FText Reason;
		IPluginManager::Get().UnmountExplicitlyLoadedPlugin(ModName, &Reason);
	}
}

#endif
