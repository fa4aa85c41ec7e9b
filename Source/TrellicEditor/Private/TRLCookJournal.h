// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Misc/Optional.h"

/**
 * A record on disk of what a cook's preparation changes in the project, written before the first byte changes: each
 * file's path relative to the project, its exact bytes from before (or that it did not exist) and a SHA-1 of the
 * bytes the preparation writes. A mod cook runs for minutes and its changes must not outlive it; this record lets the
 * next start put back what a dead editor left prepared. It lies in the project's Saved folder, as
 * Trellic/PendingCook.json, and may name only two kinds of file: a mod descriptor in the mods folder, and the
 * project's Config/DefaultGame.ini. A record that names anything else, or a path that leaves the project (through
 * ".." or a symbolic link), came from somewhere else and is set aside whole: nothing outside the project is ever read,
 * written or deleted because of it. Game thread only.
 */
class FTRLCookJournal
{
public:
	/** A file that a preparation is about to change, absolute, with the bytes it will write; unset when it leaves the file alone. */
	struct FPlannedFile
	{
		FString Path;
		TOptional<TArray<uint8>> PreparedBytes;
	};

	/** One file as the journal keeps it. */
	struct FFile
	{
		/** Relative to the project folder, as the record holds it. */
		FString RelativePath;
		/** Absolute, inside the project. */
		FString Path;
		bool bExisted = false;
		TArray<uint8> OriginalBytes;
		FString PreparedHash;
	};

	/**
	 * Records the files before anything changes, reading each one's bytes as they are now. A record found where this
	 * one goes is dealt with first, as at start-up, and never replaced.
	 * @param ModName the mod being cooked, named in what a later start reports
	 * @param OutReason set when no record was written, to why and what to do, for a Warning
	 * @return the journal of this cook; unset when it could not be written, and the caller must then change nothing
	 */
	static TOptional<FTRLCookJournal> Begin(const FString& ModName, const TArray<FPlannedFile>& Files, FString& OutReason);

	/** @return the files as recorded, in the order Begin was given them. */
	const TArray<FFile>& GetFiles() const { return Files; }

	/**
	 * Removes the record once none of its files holds what the preparation wrote any more. A file that still does is
	 * named in a Warning, and the record stays for the next cook or start to put it back.
	 * @return true when the record is gone; false when it stays for a file still as prepared
	 */
	bool End() const;

	/**
	 * Puts back what a cook left prepared when its editor ended, in the project being opened: a file that still holds
	 * exactly what the preparation wrote gets its bytes from before (or is removed when it did not exist); a file
	 * changed or deleted since is left as it is, with a ".trellic-backup" copy of its bytes from before beside it and a
	 * Warning. One Log line names what was put back. A record that cannot be read, or that names a file it may not,
	 * is set aside whole with a Warning, never deleted. Without a record it does nothing.
	 */
	static void RestoreLeftBehind();

	/** @return where the record of the project that packaging works on lies, whether or not it exists. */
	static FString GetJournalPath();

private:
	FTRLCookJournal(FString InJournalPath, TArray<FFile> InFiles)
	    : JournalPath(MoveTemp(InJournalPath))
	    , Files(MoveTemp(InFiles))
	{
	}

	FString JournalPath;
	TArray<FFile> Files;
};
