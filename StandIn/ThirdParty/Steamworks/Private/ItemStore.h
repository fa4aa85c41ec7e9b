// How the offline Workshop keeps an item on disk: a folder named after the item's id holding item.txt (its
// fields, one "key=value" line each), content/ (the files of the last update), preview/ (the preview image) and
// extra-previews/ (the images shown beside it).
#pragma once

#include "steam/isteamremotestorage.h"
#include "steam/isteamugc.h"
#include <filesystem>
#include <string>
#include <vector>

namespace OfflineWorkshop
{
	/** An extra preview: its file keeps a number in front of the name it came with, as two may share a name. */
	struct FExtraPreview
	{
		EItemPreviewType Type = k_EItemPreviewType_Image;
		/** The file's name in extra-previews/: "<number>-<FileName>". */
		std::string StoredName;
		/** The name of the file it was made from. */
		std::string FileName;
	};

	struct FItemRecord
	{
		PublishedFileId_t Id = 0;
		AppId_t AppId = 0;
		/** When the item was made, for listing items oldest first. */
		uint64 CreatedTicks = 0;
		std::string Title;
		std::string Description;
		std::vector<std::string> Tags;
		// Steam keeps a new item hidden until an update says otherwise.
		ERemoteStoragePublishedFileVisibility Visibility = k_ERemoteStoragePublishedFileVisibilityPrivate;
		std::string PreviewFileName;
		std::vector<std::string> ChangeNotes;
		/** The items this one requires, in the order they were added. */
		std::vector<PublishedFileId_t> Children;
		/** Key-value tags in the order they were added; a key may hold several values. */
		std::vector<std::pair<std::string, std::string>> KeyValueTags;
		std::vector<FExtraPreview> ExtraPreviews;
	};

	/** The folder of item Id under Root. */
	std::filesystem::path GetItemFolder(const std::filesystem::path& Root, PublishedFileId_t Id);

	/** @return false when the folder holds no readable item.txt */
	bool ReadItemRecord(const std::filesystem::path& ItemFolder, FItemRecord& OutRecord);

	/** Replaces item.txt, written whole to a temporary file first. @return false when it could not be written */
	bool WriteItemRecord(const std::filesystem::path& ItemFolder, const FItemRecord& Record);

	/** @return the files under Folder, relative with "/" between folders, sorted; empty when Folder does not exist */
	std::vector<std::string> ListRelativeFiles(const std::filesystem::path& Folder);

	/** @return "public", "friends", "private" or "unlisted" */
	const char* GetVisibilityWord(ERemoteStoragePublishedFileVisibility Visibility);
} // namespace OfflineWorkshop
