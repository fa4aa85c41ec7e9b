// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "TRLWorkshopService.h"

THIRD_PARTY_INCLUDES_START
#include "steam/steam_api.h"
THIRD_PARTY_INCLUDES_END

class FSteamClientInstanceHandler;

/**
 * The Workshop on Steam, through the Steamworks SDK: the engine's Steam Shared module initialises the client API for
 * the request, ISteamUGC creates and updates the item, and each EResult becomes a result and a message.
 */
class FTRLSteamWorkshopService final : public ITRLWorkshopService
{
public:
	FTRLSteamWorkshopService() = default;
	virtual ~FTRLSteamWorkshopService() override;

	virtual ETRLWorkshopResult CheckUpdate(const FTRLWorkshopItemUpdate& Update, FText& OutMessage) const override;
	virtual ETRLWorkshopResult Connect(FText& OutMessage) override;
	virtual void Disconnect() override;
	virtual void CreateItem(FTRLOnWorkshopAnswer OnAnswer) override;
	virtual void SubmitItemUpdate(uint64 ItemId, const FTRLWorkshopItemUpdate& Update, FTRLOnWorkshopAnswer OnAnswer) override;
	virtual float GetUpdateProgress() const override;
	virtual void RunCallbacks() override;

	/**
	 * What Steam's answer means for the person: the result and a message that says what to do.
	 * @param bUserNeedsToAcceptLegalAgreement the answer's (or the item creation's) legal agreement flag
	 * @param ItemId the item the answer is about, named in the message; 0 when none was made
	 */
	static FTRLWorkshopAnswer MakeAnswer(EResult Result, bool bUserNeedsToAcceptLegalAgreement, PublishedFileId_t ItemId);

private:
	struct FArrivedAnswer
	{
		FTRLOnWorkshopAnswer Delegate;
		FTRLWorkshopAnswer Answer;
	};

	void HandleItemCreated(CreateItemResult_t* Result, bool bIOFailure);
	void HandleItemSubmitted(SubmitItemUpdateResult_t* Result, bool bIOFailure);
	void Arrive(FTRLOnWorkshopAnswer& Delegate, const FTRLWorkshopAnswer& Answer);

	TSharedPtr<FSteamClientInstanceHandler> SteamClient;
	AppId_t AppId = k_uAppIdInvalid;
	UGCUpdateHandle_t UpdateHandle = k_UGCUpdateHandleInvalid;
	PublishedFileId_t SubmittedItemId = k_PublishedFileIdInvalid;
	/** Set when CreateItem said so; Steam may not repeat it in the update's answer. */
	bool bLegalAgreementPending = false;
	FTRLOnWorkshopAnswer OnItemCreated;
	FTRLOnWorkshopAnswer OnItemSubmitted;
	CCallResult<FTRLSteamWorkshopService, CreateItemResult_t> CreateItemCall;
	CCallResult<FTRLSteamWorkshopService, SubmitItemUpdateResult_t> SubmitItemUpdateCall;

	// Another system may pump Steam's callbacks on a thread of its own, so answers wait here for RunCallbacks.
	mutable FCriticalSection ArrivedLock;
	TArray<FArrivedAnswer> Arrived;
};
