// IFileManager: the file operations that engine code calls, on top of the platform's file layer.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "GenericPlatform/GenericPlatformFile.h"
#include "Misc/DateTime.h"

enum EFileWrite
{
	FILEWRITE_None = 0x00,
	FILEWRITE_NoFail = 0x01,
	FILEWRITE_NoReplaceExisting = 0x02,
	FILEWRITE_EvenIfReadOnly = 0x04,
	FILEWRITE_Append = 0x08,
	FILEWRITE_AllowRead = 0x10,
	FILEWRITE_Silent = 0x20,
};

enum EFileRead
{
	FILEREAD_None = 0x00,
	FILEREAD_NoFail = 0x01,
	FILEREAD_Silent = 0x02,
	FILEREAD_AllowWrite = 0x04,
};

enum ECopyResult
{
	COPY_OK = 0x00,
	COPY_Fail = 0x01,
	COPY_Canceled = 0x02,
};

class FArchive;

/** Told how far a copy has come; returning false cancels it. */
struct FCopyProgress
{
	virtual ~FCopyProgress() = default;
	/** @param Fraction 0 at the start, 1 when done. @return false to cancel the copy. */
	virtual bool Poll(float Fraction) = 0;
};

class IFileManager
{
public:
	virtual ~IFileManager() = default;

	/** @return the program's file manager. */
	static IFileManager& Get();

	/** @return true when Filename names an existing file; a folder is not a file. */
	virtual bool FileExists(const TCHAR* Filename) = 0;
	/** @return true when InDirectory names an existing folder. */
	virtual bool DirectoryExists(const TCHAR* InDirectory) = 0;
	/** Creates the folder, and with Tree every missing parent. @return true when the folder exists afterwards. */
	virtual bool MakeDirectory(const TCHAR* Path, bool Tree = false) = 0;
	/**
	 * Deletes an empty folder, or with Tree the folder and everything in it.
	 * @return true when it was deleted, or when it did not exist and RequireExists is false.
	 */
	virtual bool DeleteDirectory(const TCHAR* Path, bool RequireExists = false, bool Tree = false) = 0;
	/**
	 * Deletes a file; a read-only file only with EvenReadOnly.
	 * @return true when it was deleted, or when it did not exist and RequireExists is false.
	 */
	virtual bool Delete(const TCHAR* Filename, bool RequireExists = false, bool EvenReadOnly = false, bool Quiet = false) = 0;
	/**
	 * Copies the file Src to Dest (destination first), creating Dest's folder. Without Replace an existing Dest
	 * fails the copy; a read-only Dest is replaced only with EvenIfReadOnly. The copy is read-only only when
	 * Attributes asks to keep the source's permissions.
	 * @return COPY_OK, COPY_Fail, or COPY_Canceled when Progress asked to stop (Dest is then left as it was).
	 */
	virtual uint32 Copy(const TCHAR* Dest, const TCHAR* Src, bool Replace = true, bool EvenIfReadOnly = false, bool Attributes = false,
	                    FCopyProgress* Progress = nullptr, EFileRead ReadFlags = FILEREAD_None, EFileWrite WriteFlags = FILEWRITE_None) = 0;
	/**
	 * Moves a file or a folder to Dest (destination first), creating Dest's folder. Without Replace an existing
	 * Dest fails the move. @return true on success.
	 */
	virtual bool Move(const TCHAR* Dest, const TCHAR* Src, bool Replace = true, bool EvenIfReadOnly = false, bool Attributes = false,
	                  bool bDoNotRetryOrError = false) = 0;

	/**
	 * Appends to FileNames the bare names (no folder) of the entries of one folder that match the last segment
	 * of Filename: a folder, "/", and a pattern such as "*" or "*.uplugin" ("*" matches any run of characters,
	 * "?" one character; case is ignored). Files and/or folders are listed, the new ones in name order ignoring case.
	 */
	virtual void FindFiles(TArray<FString>& FileNames, const TCHAR* Filename, bool Files, bool Directories) = 0;
	/** Appends the bare names of the files of Directory that have the extension ("txt", ".txt", "*.txt"; none = all). */
	virtual void FindFiles(TArray<FString>& FoundFiles, const TCHAR* Directory, const TCHAR* FileExtension = nullptr) = 0;
	/**
	 * Finds the entries whose names match Filename in StartDirectory and all its sub-folders.
	 * Results are StartDirectory joined with the path below it; a folder's matches come before its sub-folders', and
	 * each folder's in name order ignoring case.
	 */
	virtual void FindFilesRecursive(TArray<FString>& FileNames, const TCHAR* StartDirectory, const TCHAR* Filename, bool Files, bool Directories,
	                                bool bClearFileNames = true) = 0;
	/**
	 * Visits the entries of one folder in the file system's order, each as it is read.
	 * @return false when the folder could not be read or the visitor stopped.
	 */
	virtual bool IterateDirectory(const TCHAR* Directory, IPlatformFile::FDirectoryVisitor& Visitor) = 0;
	/** Visits the entries of a tree, each folder before its contents. @return as IterateDirectory. */
	virtual bool IterateDirectoryRecursively(const TCHAR* Directory, IPlatformFile::FDirectoryVisitor& Visitor) = 0;

	/** @return the size of the file in bytes, or INDEX_NONE when there is no such file. */
	virtual int64 FileSize(const TCHAR* Filename) = 0;
	/** @return the time of the file's last change in UTC, or FDateTime::MinValue() when there is no such file. */
	virtual FDateTime GetTimeStamp(const TCHAR* Path) = 0;
	/** @return true when the file exists and carries no write permission. */
	virtual bool IsReadOnly(const TCHAR* Filename) = 0;
	/** @return a reader of the whole file, which the caller deletes; null when the file cannot be read. */
	virtual FArchive* CreateFileReader(const TCHAR* Filename, uint32 ReadFlags = FILEREAD_None) = 0;
};
