// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * The Workshop item that a running upload has made and its mod's workshop.json does not record yet. Steam makes the
 * item minutes before the upload ends and the record is written; an editor that dies in between would leave the item
 * unrecorded, and the next upload would make a duplicate. So the id is kept at once in the project's
 * Saved/Trellic/PendingWorkshopItem.json, naming the mod by its descriptor's path inside the project, and the next
 * start writes it into the mod's record. Game thread only.
 */
class FTRLPendingWorkshopItem
{
public:
	/**
	 * Keeps ItemId for the mod until Forget. A kept item that was left behind is dealt with first, as at start-up.
	 * @param ModDescriptorPath the descriptor's absolute path
	 * @return false, with a Warning that names the item, when it could not be kept
	 */
	static bool Keep(const FString& ModDescriptorPath, const FString& ItemId);

	/** Drops the kept item once its mod's record holds it; a file that keeps another item stays. */
	static void Forget(const FString& ItemId);

	/**
	 * Writes a kept item whose upload never finished into its mod's record, with a Warning. A kept file that cannot be
	 * read, that names a path leading out of the project (once its ".." are collapsed, or through a symbolic link), a
	 * mod that is gone, or a record holding another item, is set aside with a Warning, and nothing it names is read or
	 * written. Without a kept file it does nothing.
	 */
	static void RecordLeftBehind();

	/** @return where the kept item of the project that the module works on lies, whether or not it exists */
	static FString GetPath();
};
