// FFileHelper: whole-file reads and writes of text and bytes.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "HAL/FileManager.h"

struct FFileHelper
{
	enum class EHashOptions
	{
		None = 0,
		EnableVerify = 1 << 0,
		ErrorMissingHash = 1 << 1,
	};

	/** How text is written to disk. */
	enum class EEncodingOptions
	{
		/** One byte per character when every character is below U+0080, else UTF-16 LE with the mark FF FE. */
		AutoDetect,
		/** One byte per character; a character at or above U+0080 becomes "?". */
		ForceAnsi,
		/** UTF-16 LE with the mark FF FE. */
		ForceUnicode,
		/** UTF-8 with the mark EF BB BF. */
		ForceUTF8,
		/** UTF-8 without a mark. */
		ForceUTF8WithoutBOM,
	};

	/**
	 * Reads a whole text file: UTF-16 LE or BE after their byte-order marks, UTF-8 after its mark or without one.
	 * @return false when the file cannot be read (Result is then empty).
	 */
	static bool LoadFileToString(FString& Result, const TCHAR* Filename, EHashOptions VerifyFlags = EHashOptions::None, uint32 ReadFlags = 0);
	/** Reads a text file as LoadFileToString does and splits it into lines (at "\r\n", "\n" or "\r"). */
	static bool LoadFileToStringArray(TArray<FString>& Result, const TCHAR* Filename);
	/** Reads a whole file into Result. @return false when it cannot be read. */
	static bool LoadFileToArray(TArray<uint8>& Result, const TCHAR* Filename, uint32 Flags = 0);

	/**
	 * Writes the text to Filename in the chosen encoding, replacing the file only once the new contents are
	 * complete. WriteFlags take FILEWRITE_Append, FILEWRITE_NoReplaceExisting and FILEWRITE_EvenIfReadOnly.
	 * @return false when the file cannot be written (missing folder, a folder in the way, a read-only file,
	 *         an invalid name); the previous file is then left as it was.
	 */
	static bool SaveStringToFile(FStringView String, const TCHAR* Filename, EEncodingOptions EncodingOptions = EEncodingOptions::AutoDetect,
	                             IFileManager* FileManager = &IFileManager::Get(), uint32 WriteFlags = 0);
	/** Writes the bytes to Filename with the same guarantees as SaveStringToFile. */
	static bool SaveArrayToFile(const TArray<uint8>& Array, const TCHAR* Filename, IFileManager* FileManager = &IFileManager::Get(), uint32 WriteFlags = 0);
};
