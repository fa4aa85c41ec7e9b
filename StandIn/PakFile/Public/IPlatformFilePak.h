// FPakFile: reads what a pak file holds, as the engine's PakFile module does; here over the simulated cook's own
// format (StandIn/SimulatedPak.h), which the engine's pak format is not.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "GenericPlatform/GenericPlatformFile.h"
#include "Templates/RefCounting.h"

/** A pak file opened for reading its index. Lives through TRefCountPtr: made with new, never deleted directly. */
class FPakFile : public FRefCountBase
{
public:
	/**
	 * Opens the pak and reads its index.
	 * @param LowerLevel the platform file under the pak layer
	 * @param Filename the pak file
	 * @param bIsSigned whether the pak must carry a signature; the simulated cook signs nothing
	 * @param bLoadIndex whether to read the index now
	 */
	FPakFile(IPlatformFile* LowerLevel, const TCHAR* Filename, bool bIsSigned, bool bLoadIndex = true);

	/** @return true when the file was read and is a whole pak. */
	bool IsValid() const { return bIsValid; }

	/** @return the pak file's path as it was opened. */
	const FString& GetFilename() const { return PakFilename; }

	/** @return the folder every entry's path is relative to, ending in "/". */
	const FString& GetMountPoint() const { return MountPoint; }

	/** @return how many files the pak holds. */
	int32 GetNumFiles() const { return Filenames.Num(); }

	/** Visits the files of the pak whose names are known, in the order of its index. */
	class FFilenameIterator
	{
	public:
		explicit FFilenameIterator(const FPakFile& InPakFile, bool bInIncludeDeleted = false);

		FFilenameIterator& operator++()
		{
			++Index;
			return *this;
		}
		explicit operator bool() const { return Index < PakFile.Filenames.Num(); }
		bool operator!() const { return !static_cast<bool>(*this); }

		/** @return the current file's path, relative to the mount point. */
		const FString& Filename() const { return PakFile.Filenames[Index]; }

	private:
		const FPakFile& PakFile;
		int32 Index = 0;
	};

private:
	~FPakFile() override = default;

	FString PakFilename;
	FString MountPoint;
	TArray<FString> Filenames;
	bool bIsValid = false;
};
