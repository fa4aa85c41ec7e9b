// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "HAL/CriticalSection.h"
#include "TRLWorkshopService.h"

THIRD_PARTY_INCLUDES_START
#include "steam/steam_api.h"
THIRD_PARTY_INCLUDES_END

class FTRLSteamWorkshopService;

/**
 * What Steam delivers one request's answers to. Steam may deliver on any thread that pumps its callbacks, even after the
 * request has ended, so the module keeps every slot and lends it to one request after another. An answer is handled
 * under the slot's lock, and a request changes what an answer touches, and ends, under that same lock.
 */
class FTRLSteamCallSlot
{
public:
	/** Stops waiting for both answers. */
	void CancelCalls();

private:
	friend FTRLSteamWorkshopService;

	void HandleItemCreated(CreateItemResult_t* Result, bool bIOFailure);
	void HandleItemSubmitted(SubmitItemUpdateResult_t* Result, bool bIOFailure);
	void HandleQueryCompleted(SteamUGCQueryCompleted_t* Result, bool bIOFailure);
	void HandleDependencyAdded(AddUGCDependencyResult_t* Result, bool bIOFailure);
	void HandleDependencyRemoved(RemoveUGCDependencyResult_t* Result, bool bIOFailure);

	FCriticalSection Lock;
	/** The request answers go to; null while none runs. */
	FTRLSteamWorkshopService* Service = nullptr;
	CCallResult<FTRLSteamCallSlot, CreateItemResult_t> CreateItemCall;
	CCallResult<FTRLSteamCallSlot, SubmitItemUpdateResult_t> SubmitItemUpdateCall;
	CCallResult<FTRLSteamCallSlot, SteamUGCQueryCompleted_t> QueryCall;
	CCallResult<FTRLSteamCallSlot, AddUGCDependencyResult_t> AddDependencyCall;
	CCallResult<FTRLSteamCallSlot, RemoveUGCDependencyResult_t> RemoveDependencyCall;
};

/**
 * The Workshop on Steam, through the Steamworks SDK: the Steam module keeps the SDK initialised, ISteamUGC creates and
 * updates the item, and each EResult becomes a result and a message for the call that returned it.
 */
class FTRLSteamWorkshopService final : public ITRLWorkshopService
{
public:
	/** The Steam call whose answer is explained: Steam gives the same result different meanings from each. */
	enum class ECall : uint8
	{
		CreateItem,
		SubmitItemUpdate
	};

	FTRLSteamWorkshopService();
	virtual ~FTRLSteamWorkshopService() override;

	virtual ETRLWorkshopResult Connect(FText& OutMessage) override;
	virtual void Disconnect() override;
	virtual void CreateItem(FTRLOnWorkshopAnswer OnAnswer) override;
	virtual void SubmitItemUpdate(uint64 ItemId, const FTRLWorkshopItemUpdate& Update, FTRLOnWorkshopAnswer OnAnswer) override;
	virtual void QueryItemDetails(uint64 ItemId, FTRLOnWorkshopDetails OnAnswer) override;
	virtual void AddDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer) override;
	virtual void RemoveDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer) override;
	virtual float GetUpdateProgress() const override;
	virtual void RunCallbacks() override;

	/**
	 * What Steam's answer to Call means for the person: the result and a message that says what to do.
	 * @param bUserNeedsToAcceptLegalAgreement the answer's (or the item creation's) legal agreement flag
	 * @param ItemId the item the answer is about, named in the message; 0 when none was made
	 * @param AppId the game the request was for, named where Steam's answer may be about its Workshop settings
	 */
	static FTRLWorkshopAnswer MakeAnswer(ECall Call, EResult Result, bool bUserNeedsToAcceptLegalAgreement, PublishedFileId_t ItemId, AppId_t AppId);

	/**
	 * Where an update is within the whole of it, from 0 to 1. GetItemUpdateProgress counts each stage's bytes afresh
	 * against that stage's own total; each stage has its share of the whole, in Steam's order, so a later stage never
	 * reads less than an earlier one. An unknown status reads 0.
	 */
	static float GetUpdateFraction(EItemUpdateStatus Status, uint64 BytesProcessed, uint64 BytesTotal);

private:
	friend FTRLSteamCallSlot;

	struct FArrivedAnswer
	{
		FTRLOnWorkshopAnswer Delegate;
		FTRLOnWorkshopDetails DetailsDelegate;
		FTRLWorkshopAnswer Answer;
		FTRLWorkshopItemDetails Details;
	};

	// Called by the slot with its lock held, on whichever thread pumps Steam's callbacks.
	void HandleItemCreated(CreateItemResult_t* Result, bool bIOFailure);
	void HandleItemSubmitted(SubmitItemUpdateResult_t* Result, bool bIOFailure);
	void HandleQueryCompleted(SteamUGCQueryCompleted_t* Result, bool bIOFailure);
	void HandleDependencyChanged(const TCHAR* Call, EResult Code, PublishedFileId_t ChildId);
	/** Keeps the answer until RunCallbacks hands it over, taking the delegate so that it is called once. */
	void QueueAnswer(FTRLOnWorkshopAnswer& Delegate, const FTRLWorkshopAnswer& Answer);
	/** Reads the one item that the answered query holds. @return k_EResultOK, or why the item could not be read */
	EResult ReadItemDetails(ISteamUGC& UGC, FTRLWorkshopItemDetails& OutDetails) const;
	/** Sets the update's key-value tags and extra previews; what Steam refuses is a Warning, and the update goes on. */
	void SetExtras(ISteamUGC& UGC, UGCUpdateHandle_t Handle, uint64 ItemId, const FTRLWorkshopItemUpdate& Update);

	/** Where answers are delivered; borrowed from the Steam module for as long as this service lives. */
	TSharedRef<FTRLSteamCallSlot> Slot;

	// Everything below is read and written under Slot->Lock, as a handler may run on another thread.
	bool bConnected = false;
	AppId_t AppId = k_uAppIdInvalid;
	UGCUpdateHandle_t UpdateHandle = k_UGCUpdateHandleInvalid;
	PublishedFileId_t SubmittedItemId = k_PublishedFileIdInvalid;
	/** Set when CreateItem said so; Steam may not repeat it in the update's answer. */
	bool bLegalAgreementPending = false;
	FTRLOnWorkshopAnswer OnItemCreated;
	FTRLOnWorkshopAnswer OnItemSubmitted;
	FTRLOnWorkshopDetails OnDetailsRead;
	FTRLOnWorkshopAnswer OnDependencyChanged;
	/** The query waiting for its answer, released once it is read or the request ends. */
	UGCQueryHandle_t QueryHandle = k_UGCQueryHandleInvalid;
	/** Answers wait here for RunCallbacks, which hands them over on the thread the publisher runs on. */
	TArray<FArrivedAnswer> Arrived;
	/** The highest fraction reported for the running update, so that what is reported never goes back. */
	mutable float ReportedProgress = 0.0f;
};
