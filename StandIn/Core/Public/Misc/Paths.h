// FPaths: the well-known folders of the engine and the project, and string arithmetic on paths.
// Both "/" and "\" separate folders on input; results use "/".
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/PathTypes.h"

class FPaths
{
public:
	/** The project's folder with a trailing "/": the folder of the project file (relative when that path is). */
	static FString ProjectDir();
	/** ProjectDir() + "Config/". */
	static FString ProjectConfigDir();
	/** ProjectDir() + "Saved/". */
	static const FString& ProjectSavedDir();
	/** The engine's folder with a trailing "/". */
	static FString EngineDir();

	/** @return the path of the project file as it was set (it may be relative); empty when none is set. */
	static FString GetProjectFilePath();
	/** Sets the project file; ProjectDir() and the folders under it follow it. "\" become "/". */
	static void SetProjectFilePath(const FString& NewGameProjectFilePath);

	/** @return the part after the last dot of the file name ("" when there is none), without the dot unless asked. */
	static FString GetExtension(const FString& InPath, UE::Paths::EFlags Flags = UE::Paths::EFlags::None);
	/** @return the last extension of the file name, with its dot when bIncludeDot. */
	static FString GetExtension(const FString& InPath, bool bIncludeDot);
	/** @return the part after the last separator: the file name with its extension. */
	static FString GetCleanFilename(const FString& InPath);
	/** @return the file name without its extension; with bRemovePath false the folder part stays in front. */
	static FString GetBaseFilename(const FString& InPath, bool bRemovePath = true);
	/** @return everything before the last separator, without it; empty when there is no separator. */
	static FString GetPath(const FString& InPath);

	/** @return true when the path names an existing file (not a folder). */
	static bool FileExists(const FString& InPath);
	/** @return false for a path that starts at a root: "/", "\\", or a drive letter followed by ":". */
	static bool IsRelative(const FString& InPath);
	/** @return true when both paths, made absolute, name the same place. */
	static bool IsSamePath(const FString& PathA, const FString& PathB);
	/** @return true when InPath, made absolute, is InDirectory made absolute or lies anywhere below it. */
	static bool IsUnderDirectory(const FString& InPath, const FString& InDirectory);

	/** Turns every "\" into "/". */
	static void NormalizeFilename(FString& InPath);
	/** Turns every "\" into "/" and drops one trailing "/" (but keeps "//" and "X:/"). */
	static void NormalizeDirectoryName(FString& InPath);
	/**
	 * Removes "." segments and every ".." segment together with the folder before it.
	 * @return false when a ".." climbs above the start of the path or over a drive letter; the path may then be
	 *         partly collapsed. With bCollapseAllPossible, every ".." that can go goes before false is returned.
	 */
	static bool CollapseRelativeDirectories(FString& InPath, bool bCollapseAllPossible = false);
	/**
	 * Rewrites InPath relative to the folder part of InRelativeTo (pass a folder with a trailing "/"),
	 * both made absolute first; folder names compare ignoring case, and ".." segments climb where needed.
	 * @return false, leaving InPath unchanged, when the two are on different drives.
	 */
	static bool MakePathRelativeTo(FString& InPath, const TCHAR* InRelativeTo);
	/** @return the absolute form of InPath: a relative path is taken from the program's folder, "\" become "/", "." and ".." collapse. */
	static FString ConvertRelativePathToFull(const FString& InPath);
	static FString ConvertRelativePathToFull(FString&& InPath);
	/** @return the absolute form of InPath, a relative path being taken from BasePath. */
	static FString ConvertRelativePathToFull(const FString& BasePath, const FString& InPath);
};
