// Workshop items as files: their ids, file types, visibilities and the limits of their texts.
#pragma once

#include "steam/steamtypes.h"

/** A Workshop item. */
typedef uint64 PublishedFileId_t;
const PublishedFileId_t k_PublishedFileIdInvalid = 0;

/** Bytes of UTF-8 in an item's title, the terminating null included: a title holds at most 128. */
const uint32 k_cchPublishedDocumentTitleMax = 128 + 1;
/** Bytes of UTF-8 in an item's description, the terminating null included. */
const uint32 k_cchPublishedDocumentDescriptionMax = 8000;
/** Bytes of UTF-8 in the change note of an update, the terminating null included. */
const uint32 k_cchPublishedDocumentChangeDescriptionMax = 8000;

/** Who can see a Workshop item. */
enum ERemoteStoragePublishedFileVisibility
{
	k_ERemoteStoragePublishedFileVisibilityPublic = 0,
	k_ERemoteStoragePublishedFileVisibilityFriendsOnly = 1,
	k_ERemoteStoragePublishedFileVisibilityPrivate = 2,
	k_ERemoteStoragePublishedFileVisibilityUnlisted = 3,
};

/** What kind of Workshop item a call creates. */
enum EWorkshopFileType
{
	k_EWorkshopFileTypeFirst = 0,
	/** An item that players subscribe to, such as a mod. */
	k_EWorkshopFileTypeCommunity = 0,
	k_EWorkshopFileTypeMicrotransaction = 1,
	k_EWorkshopFileTypeCollection = 2,
};

/** A list of strings handed to the SDK, such as an item's tags. */
struct SteamParamStringArray_t
{
	const char** m_ppStrings;
	int32 m_nNumStrings;
};
