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
	/** The last change, in milliseconds since 1970-01-01 UTC: exact in a JSON number. */
	int64 ModifiedMs = 0;

	bool operator==(const FTRLFileFingerprint& Other) const { return Size == Other.Size && ModifiedMs == Other.ModifiedMs; }
	bool operator!=(const FTRLFileFingerprint& Other) const { return !(*this == Other); }
};

/**
 * What a mod's staged build was made from: the mod, the base release it was cooked against and that release's
 * registry file, the platform, the configuration, when the cook started, its descriptor's SHA-1 and every file under
 * its Content folder, and whether the build passed the check made after the cook. Taken when the cook starts and
 * written when it completes, beside the staging folder (never inside it, so it never goes to the Workshop); a cook that
 * fails or is cancelled leaves none, so a half-staged folder is never taken for a build. Game thread only.
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
	/** Every file under the mod's Content folder, by its path below that folder. */
	TMap<FString, FTRLFileFingerprint> Content;
	bool bPassedCheck = false;
	/** Why the build failed the check, one sentence each; empty when it passed. */
	TArray<FString> CheckFailures;

	/**
	 * Takes what a cook of the mod would be made from now, changing nothing: before the cook's preparation changes the
	 * descriptor. Reads the settings the cook's command line uses.
	 * @param DescriptorPath the mod's descriptor, absolute
	 */
	static FTRLCookRecord Take(const FString& DescriptorPath);

	/** Removes the record of the mod's previous build, whose staged files the cook about to start replaces. */
	void Begin() const;

	/**
	 * Ends the record of a cook. A completed one has its staged paks checked and the record written beside them; any
	 * other end removes the record.
	 * @return the first reason the build is not usable: a failed check or a record that could not be written, each
	 *         already logged as an Error; empty when the build passed or the cook did not complete
	 */
	FString End(bool bCookCompleted);

	/** @return where the record of the mod's build lies: beside its staging folder; empty when it has none. */
	static FString GetRecordPath(const FString& DescriptorPath);

	/** @return the record of the mod's build; unset when there is none or it cannot be read. */
	static TOptional<FTRLCookRecord> Load(const FString& RecordPath);

	/** @return the fingerprint of every file below ContentFolder, links left out, by path below it; one listing. */
	static TMap<FString, FTRLFileFingerprint> FingerprintFolder(const FString& ContentFolder);

	/** @return the file's fingerprint; Size -1 when it does not exist. */
	static FTRLFileFingerprint FingerprintFile(const FString& Path);

	/** @return the SHA-1 of the file's bytes; empty when it cannot be read. */
	static FString HashFile(const FString& Path);

	/** @return the record in the module's JSON text form. */
	FString ToText() const;

	/** Writes the record beside its place and moves it there, so that it is whole or not there. @return false with OutReason */
	bool Save(const FString& RecordPath, FString& OutReason) const;
};
