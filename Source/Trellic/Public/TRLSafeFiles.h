// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "GenericPlatform/GenericPlatformFile.h"
#include "Templates/Function.h"

/**
 * File steps that what a project holds cannot turn against the machine it is opened on: a walk that never enters a
 * symbolic link, a path read from a file that cannot lead out of the folder it belongs to, and a free name beside a
 * file, so that keeping a copy or setting a file aside overwrites nothing. Every module of the plug-in walks and sets
 * files aside through these alone. Game thread only.
 */
struct TRELLIC_API FTRLSafeFiles
{
	/** What a walk found at a path. */
	enum class EEntry : uint8
	{
		File,
		Folder,
		/** A symbolic link, to a file or a folder: never entered. */
		Link,
		/** A folder that could not be listed, told after it was told as a Folder (or first, for the walk's own). */
		Unlisted
	};

	/** Told each entry of a walk with its absolute path. @return false to stop the walk */
	using FVisitor = TFunctionRef<bool(const FString& Path, EEntry Entry)>;

	/**
	 * Visits everything below Folder, each folder before what it holds, without going into a symbolic link: a link to
	 * a folder outside, or to one of the folders above it, is told as a link and nothing more. A search that followed
	 * one could leave the project, or go round a loop until the path is too long.
	 * @return false when the visitor stopped the walk
	 */
	static bool WalkWithoutLinks(const FString& Folder, FVisitor Visit);

	/**
	 * Whether a file lies anywhere below Folder, links neither counted nor entered. The walk stops at the first one, so
	 * a folder of many thousand files costs no more than one.
	 * @param IsWanted asked of each file's path; only a file it accepts counts
	 * @return false also when Folder does not exist
	 */
	static bool ContainsFile(const FString& Folder, TFunctionRef<bool(FStringView Path)> IsWanted);

	/** Which entries a stat walk asks whether they are symbolic links, beside what their folder's listing says. */
	enum class ELinkCheck : uint8
	{
		/** Every entry, files too: a link to a file is told as a Link. One more look at the disk for each file. */
		FoldersAndFiles,
		/**
		 * Only the folders about to be entered, which is what keeps the walk inside: a link to a file is told as the
		 * File the listing shows, its stat data being what the platform's listing says of it. Only for a listing that
		 * is compared whole with an earlier one, so that a link there reads as a change and never as a file.
		 */
		FoldersOnly
	};

	/** Told each entry of a stat walk: its absolute path, what it is and what its folder's listing says of it. @return false to stop the walk */
	using FStatVisitor = TFunctionRef<bool(const TCHAR* Path, EEntry Entry, const FFileStatData& StatData)>;

	/**
	 * Visits everything below Folder with its size and times from the same pass over its folder, so that fingerprinting
	 * a folder costs one listing. A folder is told before what it holds; a link to a folder is told as a Link and
	 * never entered. A folder that cannot be listed is left out.
	 * @param Links which entries are asked whether they are links
	 * @return false when Visit stopped the walk
	 */
	static bool WalkWithStat(const FString& Folder, ELinkCheck Links, FStatVisitor Visit);

	/** @return whether any file lies below Folder, as ContainsFile with every file wanted */
	static bool ContainsFile(const FString& Folder);

	/** @return true when Path is a symbolic link, to anything or to nothing */
	static bool IsLink(const FString& Path);

	/**
	 * @param Base an absolute folder
	 * @param Path an absolute path below Base
	 * @return the first of Path's folders below Base, or Path itself, that is a symbolic link; empty when none is, or
	 *         when Path does not lie below Base
	 */
	static FString FindLinkBelow(const FString& Base, const FString& Path);

	/**
	 * Resolves a relative path read from a file against the folder it belongs to.
	 * @param Base an absolute folder
	 * @param OutPath the absolute path, set only on success
	 * @return false when RelativePath is absolute or empty, leaves Base once its ".." are collapsed, or passes through a
	 *         symbolic link below Base
	 */
	static bool ResolveInside(const FString& Base, const FString& RelativePath, FString& OutPath);

	/** @return Stem followed by Suffix, or by ".2", ".3", ... and Suffix when that name is taken by a file, a folder or a link */
	static FString FindFreePath(const FString& Stem, const TCHAR* Suffix);

	/**
	 * Moves a file that cannot be used out of the way, beside where it was and under a name that overwrites nothing,
	 * so that what it holds is kept for the user rather than lost.
	 * @return where the file now lies: Path followed by ".set-aside" (or by a number and ".set-aside" when that name is
	 *         taken), or Path itself when it could not be moved
	 */
	static FString SetAside(const FString& Path);

	/** Deletes a file, and then its folder when nothing else is left in it, so that finished work leaves no trace. */
	static void DeleteWithEmptyFolder(const FString& Path);
};
