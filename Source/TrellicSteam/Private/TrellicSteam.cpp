// Copyright Trellic contributors. All Rights Reserved.

#include "TrellicSteamModule.h"

#include "Modules/ModuleManager.h"
#include "SteamSharedModule.h"
#include "TRLSteamWorkshopService.h"

FTrellicSteamModule& FTrellicSteamModule::Get()
{
	return FModuleManager::LoadModuleChecked<FTrellicSteamModule>(TEXT("TrellicSteam"));
}

void FTrellicSteamModule::ShutdownModule()
{
	for (const TSharedRef<FTRLSteamCallSlot>& Slot : CallSlots)
	{
		Slot->CancelCalls();
	}
	SteamClient.Reset();
}

ETRLSteamConnection FTrellicSteamModule::ConnectSteam()
{
	if (!SteamClient.IsValid())
	{
		FSteamSharedModule* SteamShared = FModuleManager::LoadModulePtr<FSteamSharedModule>(TEXT("SteamShared"));
		if (!SteamShared)
		{
			return ETRLSteamConnection::NoSteamShared;
		}
		// Kept only once it works, so that the next request tries again after Steam is started or the app id is set.
		TSharedPtr<FSteamClientInstanceHandler> Obtained = SteamShared->ObtainSteamClientInstanceHandle();
		if (!Obtained.IsValid() || !Obtained->IsInitialized())
		{
			return ETRLSteamConnection::NotRunning;
		}
		SteamClient = MoveTemp(Obtained);
	}
	return SteamAPI_IsSteamRunning() && SteamUGC() && SteamUtils() ? ETRLSteamConnection::Ready : ETRLSteamConnection::NotRunning;
}

TSharedRef<FTRLSteamCallSlot> FTrellicSteamModule::BorrowCallSlot()
{
	for (const TSharedRef<FTRLSteamCallSlot>& Slot : CallSlots)
	{
		if (Slot.GetSharedReferenceCount() == 1)
		{
			return Slot;
		}
	}
	return CallSlots.Add_GetRef(MakeShared<FTRLSteamCallSlot>());
}

IMPLEMENT_MODULE(FTrellicSteamModule, TrellicSteam)
