// Workshop file types, visibilities and the limits of a published item's texts.
#pragma once

#include "steam/steamtypes.h"

/** Characters in an item's title, the terminating null included. */
const uint32 k_cchPublishedDocumentTitleMax = 128 + 1;
/** Characters in an item's description. */
const uint32 k_cchPublishedDocumentDescriptionMax = 8000;
/** Characters in the change note of an update. */
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
