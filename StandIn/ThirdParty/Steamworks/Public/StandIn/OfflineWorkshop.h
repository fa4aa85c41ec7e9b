// Stand-in only: where the offline Workshop keeps its items, and how a host or a test steers its next request.
// The SDK here answers every Workshop call from a folder on this machine; nothing goes to Steam.
#pragma once

#include "steam/isteamremotestorage.h"
#include "steam/steamclientpublic.h"
#include <string>
#include <utility>
#include <vector>

namespace UE::StandIn
{
	/** @return "<ProjectDir>/Saved/OfflineWorkshop": where a host keeps the offline Workshop of the project it opened */
	std::string MakeDefaultOfflineWorkshopFolder(const std::string& ProjectDir);

	/**
	 * Keeps the offline Workshop's items in Folder from now on (made when the first item is). A host calls this at
	 * start-up; until then, and after it is called with an empty folder, the items live in "Saved/OfflineWorkshop"
	 * under the working folder.
	 */
	void SetOfflineWorkshopFolder(const std::string& Folder);

	/** @return the folder the offline Workshop keeps its items in, absolute */
	std::string GetOfflineWorkshopFolder();

	/** The app id that SteamUtils()->GetAppID() answers and that new items belong to. */
	void SetOfflineWorkshopAppId(AppId_t AppId);

	/** Copies content at most this many bytes a second, so that a person can watch the progress; 0 copies at full speed. */
	void SetOfflineWorkshopBandwidth(uint64 BytesPerSecond);

	/** Whether the account has accepted the Workshop legal agreement; until it has, every result says it must. */
	void SetOfflineWorkshopLegalAgreementAccepted(bool bAccepted);

	/**
	 * Makes the next submitted update pause once Fraction of its content's bytes are uploaded, until
	 * ReleaseOfflineWorkshopHold. While it waits, GetItemUpdateProgress answers k_EItemUpdateStatusUploadingContent
	 * and exactly that fraction: bytes processed over bytes total, both scaled when the content is too small to land
	 * on it. The fraction keeps six decimals.
	 * @return false, changing nothing, when Fraction is outside 0 to 1
	 */
	bool HoldNextOfflineWorkshopUpdateAt(double Fraction);

	/** Waits up to TimeoutSeconds for an update to pause at its hold. @return true once one waits there */
	bool WaitForOfflineWorkshopHold(double TimeoutSeconds);

	/** Lets a paused update go on. @return false when none was paused */
	bool ReleaseOfflineWorkshopHold();

	/**
	 * Makes the next request find the Steam client not running: the next SteamAPI_InitEx fails, or, when the SDK is
	 * initialised already, the next SteamAPI_IsSteamRunning answers false.
	 */
	void RefuseNextOfflineWorkshopRequest();

	/**
	 * Makes the next request fail with Result. With bAfterCreate the next CreateItem still makes its item and the
	 * next SubmitItemUpdate fails; without it the next CreateItem or SubmitItemUpdate, whichever comes first, fails.
	 */
	void FailNextOfflineWorkshopRequest(EResult Result, bool bAfterCreate);

	/** Makes the next AddDependency answer Result, changing nothing. */
	void FailNextOfflineWorkshopAddDependency(EResult Result);

	/** Makes the next RemoveDependency answer Result, changing nothing. */
	void FailNextOfflineWorkshopRemoveDependency(EResult Result);

	/** Makes the next details query answer Result, with no items. */
	void FailNextOfflineWorkshopDetailsQuery(EResult Result);

	/** Makes the next AddItemKeyValueTag or RemoveItemKeyValueTags answer false, as Steam does when it refuses one. */
	void RefuseNextOfflineWorkshopKeyValueTag();

	/** Makes the next AddItemPreviewFile or RemoveItemPreview answer false, as Steam does when it refuses one. */
	void RefuseNextOfflineWorkshopPreview();

	/**
	 * Finds an EResult by the SDK's name for it, such as "k_EResultAccessDenied", among those that the Workshop's
	 * calls document and the failures of a connection or a disk. @return false for any other name
	 */
	bool FindOfflineWorkshopResult(const std::string& Name, EResult& OutResult);

	/** Forgets every control that has not applied yet, and restores the default bandwidth and legal agreement. */
	void ResetOfflineWorkshopControls();

	/** One item of the offline Workshop, as a listing shows it. */
	struct FOfflineWorkshopItem
	{
		PublishedFileId_t Id = 0;
		std::string Title;
		std::string Description;
		std::vector<std::string> Tags;
		/** "public", "friends", "private" or "unlisted". */
		std::string Visibility;
		/** The stored preview's file name; empty when the item has none. */
		std::string PreviewFileName;
		/** Every change note submitted, oldest first. */
		std::vector<std::string> ChangeNotes;
		/** The content's files, relative to the content folder with "/" between folders, sorted. */
		std::vector<std::string> ContentFiles;
		/** The items this one requires, in the order they were added. */
		std::vector<PublishedFileId_t> Children;
		/** Key-value tags, key and value, in the order they were added; a key may hold several values. */
		std::vector<std::pair<std::string, std::string>> KeyValueTags;
		/** The file names of the extra previews shown beside the preview, in order. */
		std::vector<std::string> ExtraPreviewFileNames;
	};

	/** @return every item of the offline Workshop, oldest first */
	std::vector<FOfflineWorkshopItem> ListOfflineWorkshopItems();
} // namespace UE::StandIn
