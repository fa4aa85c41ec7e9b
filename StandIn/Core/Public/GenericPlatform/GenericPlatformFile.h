// IPlatformFile: the lowest layer of file access, one implementation per platform.
// Relative paths are taken from the program's folder (FPlatformProcess::BaseDir), as in the engine.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Misc/DateTime.h"
#include "Templates/Function.h"

enum class EPlatformFileRead : uint8
{
	None = 0x0,
	AllowWrite = 0x01,
};

enum class EPlatformFileWrite : uint8
{
	None = 0x0,
	AllowRead = 0x01,
};

/** What a file's stat says about it; bIsValid is false when there was nothing to stat. */
struct FFileStatData
{
	FFileStatData() = default;

	FDateTime CreationTime = FDateTime::MinValue();
	FDateTime AccessTime = FDateTime::MinValue();
	/** The time of the last change in UTC. */
	FDateTime ModificationTime = FDateTime::MinValue();
	/** The size in bytes; -1 for a folder. */
	int64 FileSize = -1;
	bool bIsDirectory = false;
	bool bIsReadOnly = false;
	bool bIsValid = false;
};

/** What IPlatformFile::IsSymlink found; a platform that cannot tell answers Unimplemented. */
enum class ESymlinkResult : int8
{
	Unimplemented = -1,
	NonSymlink = 0,
	Symlink = 1,
};

class IPlatformFile
{
public:
	/** Receives each entry of a folder walk. */
	class FDirectoryVisitor
	{
	public:
		virtual ~FDirectoryVisitor() = default;
		/**
		 * @param FilenameOrDirectory the folder that was walked joined with the entry's name
		 * @return false to stop the walk at once
		 */
		virtual bool Visit(const TCHAR* FilenameOrDirectory, bool bIsDirectory) = 0;
	};
	/** A callable visitor: (FilenameOrDirectory, bIsDirectory) -> false to stop. */
	using FDirectoryVisitorFunc = TFunction<bool(const TCHAR*, bool)>;

	/** Receives each entry of a folder walk with what a stat of it says (a link's is its target's). */
	class FDirectoryStatVisitor
	{
	public:
		virtual ~FDirectoryStatVisitor() = default;
		/** @return false to stop the walk at once */
		virtual bool Visit(const TCHAR* FilenameOrDirectory, const FFileStatData& StatData) = 0;
	};
	using FDirectoryStatVisitorFunc = TFunction<bool(const TCHAR*, const FFileStatData&)>;

	virtual ~IPlatformFile() = default;

	/** @return true when Filename names an existing file (a folder is not a file). */
	virtual bool FileExists(const TCHAR* Filename) = 0;
	/** @return the size in bytes, or -1 when there is no such file. */
	virtual int64 FileSize(const TCHAR* Filename) = 0;
	/** @return true when the file was deleted. */
	virtual bool DeleteFile(const TCHAR* Filename) = 0;
	/** @return true when the file exists and carries no write permission at all. */
	virtual bool IsReadOnly(const TCHAR* Filename) = 0;
	/** Renames a file or a folder, replacing a file at To. @return true on success. */
	virtual bool MoveFile(const TCHAR* To, const TCHAR* From) = 0;
	/** Removes (true) or restores (false) the write permission of the file. */
	virtual bool SetReadOnly(const TCHAR* Filename, bool bNewReadOnlyValue) = 0;
	/** @return the time of the last change in UTC, or FDateTime::MinValue() when there is no such file. */
	virtual FDateTime GetTimeStamp(const TCHAR* Filename) = 0;
	/** @return true when Directory names an existing folder. */
	virtual bool DirectoryExists(const TCHAR* Directory) = 0;
	/** @return whether the path itself is a symbolic link (never what it points to); NonSymlink when nothing is there. */
	virtual ESymlinkResult IsSymlink(const TCHAR* Filename) = 0;
	/** Creates one folder whose parent exists. @return true when the folder exists afterwards. */
	virtual bool CreateDirectory(const TCHAR* Directory) = 0;
	/** Deletes an empty folder. @return true when it was deleted. */
	virtual bool DeleteDirectory(const TCHAR* Directory) = 0;
	/**
	 * Visits every entry of the folder (not its sub-folders), in the order the file system lists them, each as it is
	 * read, so that a visitor that stops early pays only for what it saw.
	 * @return false when the folder could not be read or the visitor stopped the walk.
	 */
	virtual bool IterateDirectory(const TCHAR* Directory, FDirectoryVisitor& Visitor) = 0;
	virtual bool IterateDirectory(const TCHAR* Directory, FDirectoryVisitorFunc Visitor);
	/**
	 * Visits every entry of the folder (not its sub-folders) as IterateDirectory does, with its stat data: one pass
	 * for the names, sizes and times of a folder.
	 * @return false when the folder could not be read or the visitor stopped the walk.
	 */
	virtual bool IterateDirectoryStat(const TCHAR* Directory, FDirectoryStatVisitor& Visitor) = 0;
	virtual bool IterateDirectoryStat(const TCHAR* Directory, FDirectoryStatVisitorFunc Visitor);
	/** Visits every entry of the tree, each folder before its contents. @return as IterateDirectory. */
	virtual bool IterateDirectoryRecursively(const TCHAR* Directory, FDirectoryVisitor& Visitor);
	virtual bool IterateDirectoryRecursively(const TCHAR* Directory, FDirectoryVisitorFunc Visitor);

	/**
	 * Copies a file with the kernel's copy; the destination is replaced only once the copy is complete,
	 * and a read-only destination is not replaced. @return true on success.
	 */
	virtual bool CopyFile(const TCHAR* To, const TCHAR* From, EPlatformFileRead ReadFlags = EPlatformFileRead::None,
	                      EPlatformFileWrite WriteFlags = EPlatformFileWrite::None) = 0;
	/**
	 * Copies the contents of Source (files and sub-folders) into DestinationDirectory, creating it.
	 * With bOverwriteAllExisting, read-only files in the way are replaced too.
	 * @return true when the source exists and every copy succeeded.
	 */
	virtual bool CopyDirectoryTree(const TCHAR* DestinationDirectory, const TCHAR* Source, bool bOverwriteAllExisting);
	/** Creates the folder and every missing parent. @return true when the folder exists afterwards. */
	virtual bool CreateDirectoryTree(const TCHAR* Directory);
	/** Deletes the folder and everything in it. @return true when the folder no longer exists. */
	virtual bool DeleteDirectoryRecursively(const TCHAR* Directory);
};
