// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Misc/DateTime.h"
#include "Misc/Optional.h"

/** Enough of a file to tell that it changed without reading it. */
struct FTRLFileFingerprint
{
	/** In bytes; -1 when there was no file. */
	int64 Size = -1;
	/** The last change, in milliseconds since 1970-01-01 UTC; -1 for a file that changed while its build was cooked. */
	int64 ModifiedMs = 0;

	bool operator==(const FTRLFileFingerprint& Other) const { return Size == Other.Size && ModifiedMs == Other.ModifiedMs; }
	bool operator!=(const FTRLFileFingerprint& Other) const { return !(*this == Other); }
};

/**
 * What a mod's staged build was made from: the mod, the base release it was cooked against and that release's
 * registry file, the platform, the configuration, when the cook started, its descriptor's SHA-1 and every file under
 * its Content folder, and whether the build passed the check made after the cook. Written when the cook completes,
 * beside the staging folder (never inside it, so it never goes to the Workshop); a cook that fails or is cancelled
 * leaves none, so a half-staged folder is never taken for a build. Game thread only.
 */
struct FTRLCookRecord
{
	/** The mod's descriptor, absolute; not written, since the record lies where the descriptor names it. */
	FString DescriptorPath;
	FString ModName;
	FString ReleaseVersion;
	/** The release's AssetRegistry.bin, absolute; empty when none was recorded. */
	FString RegistryPath;
	FTRLFileFingerprint Registry;
	FString Platform;
	FString Configuration;
	FDateTime CookStarted;
	FString DescriptorHash;
	/** Every file under the mod's Content folder, by its path below that folder; a loaded record fills it in ReadContent. */
	TMap<FString, FTRLFileFingerprint> Content;
	/** Content as the record holds it: a line "<size>\t<modified>\t<path>" a file, in path order. */
	FString ContentText;
	/** The digest of Content, which a state check compares before it reads Content at all. */
	FString ContentDigest;
	/**
	 * The digest of the Content folder's listing as it was when Content was taken from it (see ListingDigestOf); empty
	 * when Content is not what was listed, as when a file changed while the build was cooked.
	 */
	FString ListingDigest;
	bool bPassedCheck = false;
	/** Why the build failed the check, one sentence each; empty when it passed. */
	TArray<FString> CheckFailures;

	/**
	 * Takes what a cook of the mod starts from now, changing nothing: before the cook's preparation changes the
	 * descriptor. It reads no more than a few files, so that PackageMod stays within a frame; the Content folder is
	 * fingerprinted when the cook completes.
	 * @param DescriptorPath the mod's descriptor, absolute
	 */
	static FTRLCookRecord Take(const FString& DescriptorPath);

	/** Removes the record of the mod's previous build, whose staged files the cook about to start replaces. */
	void Begin() const;

	/**
	 * Ends the record of a cook. A completed one has its Content fingerprinted (a file changed since the cook started,
	 * or packed by it and deleted since, counts as changed), its staged paks checked, and the record written beside
	 * them; any other end removes the record.
	 * @return the first reason the build is not usable: a failed check or a record that could not be written, each
	 *         already logged as an Error; empty when the build passed or the cook did not complete
	 */
	FString End(bool bCookCompleted);

	/**
	 * Fingerprints every file below ContentFolder, links left out, as the record holds them, and takes the digest of
	 * its listing from the same pass.
	 */
	void FingerprintContent(const FString& ContentFolder);

	/** Sets Content, and the text and digest the record holds of it. */
	void SetContent(TMap<FString, FTRLFileFingerprint>&& NewContent);

	/** Reads ContentText into Content. @return false when the text is not a list of fingerprints */
	bool ReadContent();

	/** @return where the record of the mod's build lies: beside its staging folder; empty when it has none. */
	static FString GetRecordPath(const FString& DescriptorPath);

	/** @return the record of the mod's build; unset when there is none or it cannot be read. */
	static TOptional<FTRLCookRecord> Load(const FString& RecordPath);

	/**
	 * A digest of everything the listing of ContentFolder shows now: each entry's path, size and time, each folder's
	 * time, and the folder's own. It equals the record's ListingDigest only when nothing below the folder was added,
	 * removed, replaced or changed since, so Content is then what it was; any other answer needs FingerprintContent.
	 * One listing that asks only the folders it enters whether they are links, nothing kept per file: a link that took a
	 * file's place shows in its folder's time, though its own size and time may be the file's.
	 */
	static FString ListingDigestOf(const FString& ContentFolder);

	/** @return the file's fingerprint; Size -1 when it does not exist. */
	static FTRLFileFingerprint FingerprintFile(const FString& Path);

	/** @return the SHA-1 of the file's bytes; empty when it cannot be read. */
	static FString HashFile(const FString& Path);

	/** @return the record in the module's JSON text form. */
	FString ToText() const;

	/** Writes the record beside its place and moves it there, so that it is whole or not there. @return false with OutReason */
	bool Save(const FString& RecordPath, FString& OutReason) const;
};
