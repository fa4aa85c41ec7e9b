// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Templates/Function.h"

/**
 * File steps that what a project holds cannot turn against the machine it is opened on: a walk that never enters a
 * symbolic link, a path read from a file that cannot lead out of the folder it belongs to, and a free name beside a
 * file, so that keeping a copy overwrites nothing. Game thread only.
 */
struct FTRLSafeFiles
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
	using FVisitor = TFunction<bool(const FString& Path, EEntry Entry)>;

	/**
	 * Visits everything below Folder, each folder before what it holds, without going into a symbolic link: a link to
	 * a folder outside, or to one of the folders above it, is told as a link and nothing more.
	 * @return false when the visitor stopped the walk
	 */
	static bool WalkWithoutLinks(const FString& Folder, const FVisitor& Visit);

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
};
