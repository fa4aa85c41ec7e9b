// ISteamUGC: creating and updating Steam Workshop items.
#pragma once

#include "steam/isteamremotestorage.h"
#include "steam/steam_api_common.h"
#include "steam/steamclientpublic.h"

/** The version of ISteamUGC that these headers declare. */
#define STEAMUGC_INTERFACE_VERSION "STEAMUGC_INTERFACE_VERSION018"

/** One update of one item, from StartItemUpdate until its SubmitItemUpdate has answered. */
typedef uint64 UGCUpdateHandle_t;
const UGCUpdateHandle_t k_UGCUpdateHandleInvalid = 0xffffffffffffffffull;

/** Where a submitted update is; k_EItemUpdateStatusInvalid once it has ended or for an unknown handle. */
enum EItemUpdateStatus
{
	k_EItemUpdateStatusInvalid = 0,
	k_EItemUpdateStatusPreparingConfig = 1,
	k_EItemUpdateStatusPreparingContent = 2,
	k_EItemUpdateStatusUploadingContent = 3,
	k_EItemUpdateStatusUploadingPreviewFile = 4,
	k_EItemUpdateStatusCommittingChanges = 5,
};

#if defined(VALVE_CALLBACK_PACK_SMALL)
#pragma pack(push, 4)
#elif defined(VALVE_CALLBACK_PACK_LARGE)
#pragma pack(push, 8)
#endif

/** The answer to CreateItem. */
struct CreateItemResult_t
{
	enum
	{
		k_iCallback = k_iSteamUGCCallbacks + 3
	};
	EResult m_eResult;
	/** The new item; k_PublishedFileIdInvalid when none was made. */
	PublishedFileId_t m_nPublishedFileId;
	/** The account must accept the Workshop legal agreement before the item can be seen. */
	bool m_bUserNeedsToAcceptWorkshopLegalAgreement;
};

/** The answer to SubmitItemUpdate. */
struct SubmitItemUpdateResult_t
{
	enum
	{
		k_iCallback = k_iSteamUGCCallbacks + 4
	};
	EResult m_eResult;
	/** The account must accept the Workshop legal agreement before the item can be seen. */
	bool m_bUserNeedsToAcceptWorkshopLegalAgreement;
	PublishedFileId_t m_nPublishedFileId;
};

#pragma pack(pop)

/** The Workshop calls for user-generated content, reached through SteamUGC(). */
class ISteamUGC
{
public:
	/** Creates an empty item of the consumer app; the answer is a CreateItemResult_t. */
	virtual SteamAPICall_t CreateItem(AppId_t nConsumerAppId, EWorkshopFileType eFileType) = 0;

	/** Starts an update of an item; the Set calls below fill it, SubmitItemUpdate sends it. */
	virtual UGCUpdateHandle_t StartItemUpdate(AppId_t nConsumerAppId, PublishedFileId_t nPublishedFileID) = 0;

	/** @return false for an unknown handle or a title over k_cchPublishedDocumentTitleMax - 1 bytes of UTF-8 */
	virtual bool SetItemTitle(UGCUpdateHandle_t handle, const char* pchTitle) = 0;

	/** @return false for an unknown handle or a description over k_cchPublishedDocumentDescriptionMax - 1 bytes of UTF-8 */
	virtual bool SetItemDescription(UGCUpdateHandle_t handle, const char* pchDescription) = 0;

	/** @return false for an unknown handle */
	virtual bool SetItemVisibility(UGCUpdateHandle_t handle, ERemoteStoragePublishedFileVisibility eVisibility) = 0;

	/**
	 * Replaces the item's tags. A tag holds 1 to 255 printable ASCII characters (isprint), none of them a comma.
	 * @return false for an unknown handle or a tag that breaks those rules
	 */
	virtual bool SetItemTags(UGCUpdateHandle_t updateHandle, const SteamParamStringArray_t* pTags, bool bAllowAdminTags = false) = 0;

	/** The folder whose files become the item's content, absolute. @return false for an unknown handle */
	virtual bool SetItemContent(UGCUpdateHandle_t handle, const char* pszContentFolder) = 0;

	/**
	 * The image shown for the item, absolute; it must be under 1 MB. Its size is checked when the update is submitted.
	 * @return false for an unknown handle
	 */
	virtual bool SetItemPreview(UGCUpdateHandle_t handle, const char* pszPreviewFile) = 0;

	/**
	 * Sends the update with its change note (may be null); the answer is a SubmitItemUpdateResult_t, which says
	 * k_EResultInvalidParam for a preview under 16 bytes and k_EResultLimitExceeded for one too large.
	 */
	virtual SteamAPICall_t SubmitItemUpdate(UGCUpdateHandle_t handle, const char* pchChangeNote) = 0;

	/**
	 * Where a submitted update is, with the bytes processed so far and the bytes in all of its current stage (both 0
	 * while unknown): each stage counts its own bytes, so the total changes from one stage to the next.
	 */
	virtual EItemUpdateStatus GetItemUpdateProgress(UGCUpdateHandle_t handle, uint64* punBytesProcessed, uint64* punBytesTotal) = 0;

protected:
	~ISteamUGC() = default;
};

/** The Workshop calls; null until SteamAPI_InitEx has succeeded and after SteamAPI_Shutdown. */
inline ISteamUGC* SteamUGC()
{
	return static_cast<ISteamUGC*>(SteamInternal_FindOrCreateUserInterface(SteamAPI_GetHSteamUser(), STEAMUGC_INTERFACE_VERSION));
}
