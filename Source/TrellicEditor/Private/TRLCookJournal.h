// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Misc/Optional.h"

/**
 * A record on disk of what a cook's preparation changes in the project, written before the first byte changes: each
 * file's path, its exact bytes from before (or that it did not exist) and a SHA-1 of the bytes the preparation writes.
 * A mod cook runs for minutes and the changes it needs must not outlive it; the packager keeps the previous texts in
 * memory, which dies with the editor, so this record lets the next start put back what a dead editor left prepared.
 * It lies in the project's Saved folder, as Trellic/PendingCook.json. Game thread only.
 */
class FTRLCookJournal
{
public:
	/** A file that a preparation is about to change, with the text it will write; unset when it leaves the file alone. */
	struct FPlannedFile
	{
		FString Path;
		TOptional<FString> PreparedText;
	};

	/**
	 * Records the files before anything changes, reading each one's bytes as they are now. A record found where this
	 * one goes is dealt with first, as at start-up, and never replaced.
	 * @param ModName the mod being cooked, named in what a later start reports
	 * @return false, with a Warning, when the record could not be written; the caller must then change nothing
	 */
	static bool Begin(const FString& ModName, const TArray<FPlannedFile>& Files);

	/**
	 * Removes this editor's record once none of its files holds what the preparation wrote any more. A file that still
	 * does is named in a Warning, and the record stays for the next cook or start to put it back.
	 */
	static void End();

	/**
	 * Puts back what a cook left prepared when its editor ended: a file that still holds exactly what the preparation
	 * wrote gets its bytes from before (or is removed when it did not exist); a file changed since is left alone, with a
	 * ".trellic-backup" copy of its bytes from before beside it and a Warning. One Log line names what was put back. A
	 * record that cannot be read is set aside, never deleted. Without a record it does nothing.
	 */
	static void RestoreLeftBehind();

	/** @return where the record of the project that packaging works on lies, whether or not it exists. */
	static FString GetJournalPath();
};
