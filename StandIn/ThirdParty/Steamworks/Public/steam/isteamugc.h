// ISteamUGC: creating, updating and querying Steam Workshop items.
#pragma once

#include "steam/isteamremotestorage.h"
#include "steam/steam_api_common.h"
#include "steam/steamclientpublic.h"

/** The version of ISteamUGC that these headers declare. */
#define STEAMUGC_INTERFACE_VERSION "STEAMUGC_INTERFACE_VERSION018"

/** One update of one item, from StartItemUpdate until its SubmitItemUpdate has answered. */
typedef uint64 UGCUpdateHandle_t;
const UGCUpdateHandle_t k_UGCUpdateHandleInvalid = 0xffffffffffffffffull;

/** One query of items, from its Create... call until ReleaseQueryUGCRequest. */
typedef uint64 UGCQueryHandle_t;
const UGCQueryHandle_t k_UGCQueryHandleInvalid = 0xffffffffffffffffull;

/** What an item's extra preview is. */
enum EItemPreviewType
{
	/** An image file, such as a PNG, JPG or GIF, that the item's page shows beside its preview. */
	k_EItemPreviewType_Image = 0,
	/** A YouTube video id; AddItemPreviewFile does not take it. */
	k_EItemPreviewType_YouTubeVideo = 1,
	/** A Sketchfab model id; AddItemPreviewFile does not take it. */
	k_EItemPreviewType_Sketchfab = 2,
	k_EItemPreviewType_EnvironmentMap_HorizontalCross = 3,
	k_EItemPreviewType_EnvironmentMap_LatLong = 4,
	k_EItemPreviewType_ReservedMax = 255,
};

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

/** The answer to SendQueryUGCRequest; the items' details are read with the GetQueryUGC... calls until the query is released. */
struct SteamUGCQueryCompleted_t
{
	enum
	{
		k_iCallback = k_iSteamUGCCallbacks + 1
	};
	UGCQueryHandle_t m_handle;
	EResult m_eResult;
	uint32 m_unNumResultsReturned;
	uint32 m_unTotalMatchingResults;
	/** The answer came from the client's cache rather than from the Workshop. */
	bool m_bCachedData;
};

/** The answer to AddDependency. */
struct AddUGCDependencyResult_t
{
	enum
	{
		k_iCallback = k_iSteamUGCCallbacks + 12
	};
	EResult m_eResult;
	PublishedFileId_t m_nPublishedFileId;
	PublishedFileId_t m_nChildPublishedFileId;
};

/** The answer to RemoveDependency. */
struct RemoveUGCDependencyResult_t
{
	enum
	{
		k_iCallback = k_iSteamUGCCallbacks + 13
	};
	EResult m_eResult;
	PublishedFileId_t m_nPublishedFileId;
	PublishedFileId_t m_nChildPublishedFileId;
};

#pragma pack(pop)

/** One item of a query's answer. The SDK's structure also holds the item's texts, owner, times and votes, which nothing here reads. */
struct SteamUGCDetails_t
{
	PublishedFileId_t m_nPublishedFileId;
	/** k_EResultOK, or why the item could not be read, such as k_EResultFileNotFound for one that does not exist. */
	EResult m_eResult;
	/** How many items this one requires; GetQueryUGCChildren lists them when the query asked for them. */
	uint32 m_unNumChildren;
};

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
	 * Removes every value of the key-value tag pchKey from the item, at most 100 keys in one update.
	 * @return false for an unknown handle or a 101st key
	 */
	virtual bool RemoveItemKeyValueTags(UGCUpdateHandle_t handle, const char* pchKey) = 0;

	/**
	 * Adds a value to the key-value tag pchKey; a key may hold several values. A key holds 1 to 255 ASCII letters,
	 * digits and underscores, a value at most 255 bytes; at most 100 are added in one update.
	 * @return false for an unknown handle, a key or value that breaks those rules, or a 101st tag
	 */
	virtual bool AddItemKeyValueTag(UGCUpdateHandle_t handle, const char* pchKey, const char* pchValue) = 0;

	/**
	 * Adds an extra preview, shown beside the item's preview: an image file (absolute) under 1 MB, such as a PNG,
	 * JPG or GIF, whose size is checked when the update is submitted. Videos and models are not added this way.
	 * @return false for an unknown handle, or a YouTube or Sketchfab type
	 */
	virtual bool AddItemPreviewFile(UGCUpdateHandle_t handle, const char* pszPreviewFile, EItemPreviewType type) = 0;

	/**
	 * Removes the item's extra preview at index, counted as the item's details list them before the update.
	 * @return false for an unknown handle
	 */
	virtual bool RemoveItemPreview(UGCUpdateHandle_t handle, uint32 index) = 0;

	/** Makes nChildPublishedFileID one of the items that nParentPublishedFileID requires; the answer is an AddUGCDependencyResult_t. */
	virtual SteamAPICall_t AddDependency(PublishedFileId_t nParentPublishedFileID, PublishedFileId_t nChildPublishedFileID) = 0;

	/** Takes nChildPublishedFileID off the items that nParentPublishedFileID requires; the answer is a RemoveUGCDependencyResult_t. */
	virtual SteamAPICall_t RemoveDependency(PublishedFileId_t nParentPublishedFileID, PublishedFileId_t nChildPublishedFileID) = 0;

	/**
	 * A query of the details of the given items, one result each, in their order; send it with SendQueryUGCRequest
	 * and release it with ReleaseQueryUGCRequest. @return k_UGCQueryHandleInvalid when no item is given
	 */
	virtual UGCQueryHandle_t CreateQueryUGCDetailsRequest(PublishedFileId_t* pvecPublishedFileID, uint32 unNumPublishedFileIDs) = 0;

	/** Whether the answer lists each item's children, the items it requires. @return false for an unknown or sent query */
	virtual bool SetReturnChildren(UGCQueryHandle_t handle, bool bReturnChildren) = 0;

	/** Whether the answer lists each item's extra previews. @return false for an unknown or sent query */
	virtual bool SetReturnAdditionalPreviews(UGCQueryHandle_t handle, bool bReturnAdditionalPreviews) = 0;

	/** How old an answer from the client's cache may be, in seconds; 0 asks the Workshop. @return false for an unknown or sent query */
	virtual bool SetAllowCachedResponse(UGCQueryHandle_t handle, uint32 unMaxAgeSeconds) = 0;

	/** Sends the query; the answer is a SteamUGCQueryCompleted_t. @return k_uAPICallInvalid for an unknown or sent query */
	virtual SteamAPICall_t SendQueryUGCRequest(UGCQueryHandle_t handle) = 0;

	/** The details of the answer's item at index. @return false before the answer, or for an index out of range */
	virtual bool GetQueryUGCResult(UGCQueryHandle_t handle, uint32 index, SteamUGCDetails_t* pDetails) = 0;

	/**
	 * The children of the answer's item at index, at most cMaxEntries of them (its m_unNumChildren is all of them).
	 * @return false before the answer, for an index out of range, or when the query did not ask for children
	 */
	virtual bool GetQueryUGCChildren(UGCQueryHandle_t handle, uint32 index, PublishedFileId_t* pvecPublishedFileID, uint32 cMaxEntries) = 0;

	/** @return how many extra previews the answer's item at index has; 0 when the query did not ask for them */
	virtual uint32 GetQueryUGCNumAdditionalPreviews(UGCQueryHandle_t handle, uint32 index) = 0;

	/**
	 * One extra preview of the answer's item at index: where it is (or the video's id), the name of the file it was
	 * made from, each cut to fit its buffer, and its type. @return false when there is no such preview
	 */
	virtual bool GetQueryUGCAdditionalPreview(UGCQueryHandle_t handle, uint32 index, uint32 previewIndex, char* pchURLOrVideoID, uint32 cchURLSize,
	                                          char* pchOriginalFileName, uint32 cchOriginalFileNameSize, EItemPreviewType* pPreviewType) = 0;

	/** Frees the query and its answer. @return false for an unknown query */
	virtual bool ReleaseQueryUGCRequest(UGCQueryHandle_t handle) = 0;

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
