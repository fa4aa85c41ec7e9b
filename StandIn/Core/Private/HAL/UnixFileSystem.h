// The system calls behind the stand-in's file layer: paths in the file system's form, copies by the kernel,
// and writes that replace a file only once its new contents are complete.
#pragma once

#include "CoreTypes.h"
#include "Templates/Function.h"

#include <string>
#include <sys/stat.h>

namespace UE::StandIn::FileSystem
{
	/** The absolute UTF-8 path the kernel is given for an engine path (relative paths start at the program's folder). */
	std::string ToNativePath(const TCHAR* Path);

	/** Whether a file with these permissions counts as read-only: nobody may write it. */
	inline bool IsReadOnlyMode(mode_t Mode)
	{
		return (Mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
	}

	enum class ECopyOutcome
	{
		Copied,
		Failed,
		Canceled,
	};

	/**
	 * Copies the regular file From to To: cloned where the file system shares extents, else with the kernel's copy.
	 * An existing To is replaced through a temporary file beside it that is renamed over it at the end, and is left
	 * as it was on failure; a new To is written in place and removed on failure. With bKeepPermissions the copy gets
	 * From's permissions, otherwise From's with the owner's write permission added. Progress (optional) is told the
	 * fraction done after each chunk and cancels the copy by returning false.
	 */
	ECopyOutcome CopyRegularFile(const std::string& From, const std::string& To, bool bKeepPermissions, const TFunction<bool(float)>& Progress);

	/**
	 * Copies everything the folder From holds into the existing folder To, file by file as CopyRegularFile does,
	 * making the folders it needs; links count as what they point to. A read-only file in the way stops the copy
	 * unless bReplaceReadOnly. @return true when every entry was copied; false at the first that was not
	 */
	bool CopyFolderContents(const std::string& From, const std::string& To, bool bReplaceReadOnly);

	/** What a change does to a path: puts something there, or takes it away (a deletion, a move's source, a permission). */
	enum class EPathChange
	{
		Write,
		Remove,
	};

	/** @return whether any write fault is set (see StandIn/FileWriteFaults.h); cheap enough to ask before every write. */
	bool HasWriteFaults();

	/**
	 * Whether a write fault stops this change to Path (native, absolute). When one does, errno holds the error the
	 * system would have given, and the caller fails without touching Path.
	 */
	bool IsRefusedByFault(const std::string& Path, EPathChange Change);

	/**
	 * Writes Size bytes to Path through a temporary file beside it that is renamed over Path once complete.
	 * With bAppend the bytes follow the file's current contents. A replaced file keeps its permissions.
	 * @return false (Path untouched) on any failure.
	 */
	bool WriteWholeFile(const std::string& Path, const void* Data, size_t Size, bool bAppend);
} // namespace UE::StandIn::FileSystem
