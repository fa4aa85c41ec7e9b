// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Misc/Optional.h"
#include "TRLCookJournal.h"

/**
 * What a mod's cook changes in the project, for as long as the cook runs: the mod's descriptor with ExplicitlyLoaded
 * off, and DefaultGame.ini listing the mod's content root under the packaging settings' DirectoriesToAlwaysCook.
 * Both files are recorded in the cook journal, with their bytes from before, before either changes; the restore puts
 * back exactly those bytes. The packager owns the one prepared cook of the running job. Game thread only.
 */
class FTRLPreparedCook
{
public:
	/**
	 * Prepares both files for the cook of one mod. A preparation that cannot finish leaves nothing changed.
	 * @param DescriptorPath the mod's descriptor, absolute
	 * @param ModName the mod's name, the descriptor's base file name
	 * @param OutReason set on failure to what stopped it, naming the file and saying what to do, for a Warning
	 * @return the prepared cook; null when nothing was left changed
	 */
	static TUniquePtr<FTRLPreparedCook> Prepare(const FString& DescriptorPath, const FString& ModName, FString& OutReason);

	/**
	 * Writes back the bytes from before into every file the preparation wrote, then lets the journal go once none of
	 * them holds what was prepared. Only the first call does anything.
	 * @return true when every file is as before and the journal is gone; false when a file still holds what was
	 *         prepared (named in a Warning, and put back at the next start), or when this is not the first call
	 */
	bool Restore();

	/** @return the descriptor prepared for the cook, absolute. */
	const FString& GetDescriptorPath() const { return DescriptorPath; }

	/**
	 * The descriptor as the cook needs it: an explicitly loaded plug-in is left out of the cook, so its content would
	 * never reach the archive.
	 * @return the text with "ExplicitlyLoaded" set to false (added when missing), in the module's JSON text form;
	 *         unset when the text is not a JSON object
	 */
	static TOptional<FString> WithExplicitlyLoadedOff(const FString& DescriptorText);

	/**
	 * DefaultGame.ini as the cook needs it: the cooker cooks a DLC's content only from the folders it is told to cook
	 * always. The line goes after every packaging settings header, or with a header of its own at the end.
	 * @return the text with the mod's content root listed; the text itself when it lists it already, in any case
	 */
	static FString WithContentRootListed(const FString& ConfigText, const FString& ModName);

private:
	FTRLPreparedCook(FString InDescriptorPath, FTRLCookJournal InJournal)
	    : DescriptorPath(MoveTemp(InDescriptorPath))
	    , Journal(MoveTemp(InJournal))
	{
	}

	FString DescriptorPath;
	FTRLCookJournal Journal;
	/** How many of the journal's files, in its order, the preparation has written (or tried to). */
	int32 WrittenCount = 0;
	bool bRestored = false;
};
