#include "IPlatformFilePak.h"

#include "StandIn/SimulatedPak.h"

namespace
{
	/** @return the folder that every path lies in, ending in "/"; "/" when they share none. */
	FString FindCommonFolder(const TArray<FString>& Paths)
	{
		if (Paths.IsEmpty())
		{
			return TEXT("/");
		}
		int32 Length = Paths[0].Len();
		for (const FString& Path : Paths)
		{
			int32 Same = 0;
			while (Same < Length && Same < Path.Len() && Path[Same] == Paths[0][Same])
			{
				++Same;
			}
			Length = Same;
		}
		// Only whole folder names: "Mod/ContentA" and "Mod/ContentB" share "Mod/", not "Mod/Content".
		const FString Common = Paths[0].Left(Length);
		const int32 LastSlash = Common.Find(TEXT("/"), ESearchCase::CaseSensitive, ESearchDir::FromEnd);
		return LastSlash == INDEX_NONE ? FString(TEXT("/")) : Common.Left(LastSlash + 1);
	}
} // namespace

FPakFile::FPakFile(IPlatformFile* /*LowerLevel*/, const TCHAR* Filename, bool /*bIsSigned*/, bool bLoadIndex)
    : PakFilename(Filename)
{
	std::vector<UE::StandIn::SimulatedPak::FPakEntry> Entries;
	std::string Error;
	if (!UE::StandIn::SimulatedPak::ReadPakEntries(std::filesystem::path(PakFilename.ToUtf8()), Entries, Error))
	{
		return;
	}
	bIsValid = true;
	if (!bLoadIndex)
	{
		return;
	}
	TArray<FString> Paths;
	for (const UE::StandIn::SimulatedPak::FPakEntry& Entry : Entries)
	{
		Paths.Add(FString::FromUtf8(Entry.Path));
	}
	// As the pak tool does: the mount point is the folder all entries share, and each name is relative to it.
	MountPoint = FindCommonFolder(Paths);
	const int32 Skip = MountPoint == TEXT("/") ? 0 : MountPoint.Len();
	for (const FString& Path : Paths)
	{
		Filenames.Add(Path.Mid(Skip));
	}
}

FPakFile::FFilenameIterator::FFilenameIterator(const FPakFile& InPakFile, bool /*bInIncludeDeleted*/)
    : PakFile(InPakFile)
{
}
