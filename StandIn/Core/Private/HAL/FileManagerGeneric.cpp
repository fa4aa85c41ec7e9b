#include "HAL/FileManager.h"

#include "HAL/PlatformFileManager.h"
#include "HAL/UnixFileSystem.h"
#include "Misc/Char.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Serialization/Archive.h"

#include <cstring>

namespace
{
	// "*" matches any run of characters, "?" any one; case is ignored.
	bool MatchesWildcard(FStringView Name, const FString& Pattern)
	{
		int32 NameIndex = 0;
		int32 PatternIndex = 0;
		int32 StarIndex = INDEX_NONE;
		int32 ResumeIndex = 0;
		while (NameIndex < Name.Len())
		{
			if (PatternIndex < Pattern.Len() && Pattern[PatternIndex] == TEXT('*'))
			{
				StarIndex = PatternIndex++;
				ResumeIndex = NameIndex;
			}
			else if (PatternIndex < Pattern.Len() &&
			         (Pattern[PatternIndex] == TEXT('?') || FChar::ToLower(Pattern[PatternIndex]) == FChar::ToLower(Name[NameIndex])))
			{
				++PatternIndex;
				++NameIndex;
			}
			else if (StarIndex != INDEX_NONE)
			{
				// Let the last "*" swallow one more character and try again from there.
				PatternIndex = StarIndex + 1;
				NameIndex = ++ResumeIndex;
			}
			else
			{
				return false;
			}
		}
		while (PatternIndex < Pattern.Len() && Pattern[PatternIndex] == TEXT('*'))
		{
			++PatternIndex;
		}
		return PatternIndex == Pattern.Len();
	}

	// Listings come in name order ignoring case, as the plug-in's home platform lists a folder, whatever order the
	// file system here walks it in. Names of one folder share their folder part, so whole paths sort the same way.
	void SortByName(TArray<FString>& Names)
	{
		Names.Sort([](const FString& A, const FString& B) {
			const int32 IgnoringCase = A.Compare(B, ESearchCase::IgnoreCase);
			return IgnoringCase != 0 ? IgnoringCase < 0 : A.Compare(B, ESearchCase::CaseSensitive) < 0;
		});
	}

	// The name after the last separator of a listed path, without copying the path first.
	const TCHAR* NameOf(const TCHAR* Path)
	{
		const TCHAR* Name = Path;
		for (const TCHAR* Char = Path; *Char; ++Char)
		{
			if (*Char == TEXT('/') || *Char == TEXT('\\'))
			{
				Name = Char + 1;
			}
		}
		return Name;
	}

	bool IsWanted(bool bIsDirectory, bool bFiles, bool bDirectories)
	{
		return bIsDirectory ? bDirectories : bFiles;
	}

	/** A file read whole when it is opened: what is read later cannot change under the reader. */
	class FFileReader final : public FArchive
	{
	public:
		explicit FFileReader(TArray<uint8>&& InBytes)
		    : Bytes(MoveTemp(InBytes))
		{
		}

		void Serialize(void* Data, int64 Length) override
		{
			if (Length < 0 || Length > Bytes.Num() - Position)
			{
				std::memset(Data, 0, static_cast<size_t>(Length > 0 ? Length : 0));
				Position = Bytes.Num();
				SetError();
				return;
			}
			std::memcpy(Data, Bytes.GetData() + Position, static_cast<size_t>(Length));
			Position += Length;
		}
		int64 Tell() override { return Position; }
		int64 TotalSize() override { return Bytes.Num(); }

	private:
		TArray<uint8> Bytes;
		int64 Position = 0;
	};

	class FFileManagerGeneric final : public IFileManager
	{
	public:
		explicit FFileManagerGeneric(IPlatformFile& InLowLevel)
		    : LowLevel(InLowLevel)
		{
		}

		bool FileExists(const TCHAR* Filename) override { return LowLevel.FileExists(Filename); }
		bool DirectoryExists(const TCHAR* InDirectory) override { return LowLevel.DirectoryExists(InDirectory); }

		bool MakeDirectory(const TCHAR* Path, bool Tree) override { return Tree ? LowLevel.CreateDirectoryTree(Path) : LowLevel.CreateDirectory(Path); }

		bool DeleteDirectory(const TCHAR* Path, bool RequireExists, bool Tree) override
		{
			if (!LowLevel.DirectoryExists(Path))
			{
				return !RequireExists;
			}
			return Tree ? LowLevel.DeleteDirectoryRecursively(Path) : LowLevel.DeleteDirectory(Path);
		}

		bool Delete(const TCHAR* Filename, bool RequireExists, bool EvenReadOnly, bool) override
		{
			if (!LowLevel.FileExists(Filename))
			{
				return !RequireExists;
			}
			if (LowLevel.IsReadOnly(Filename) && !EvenReadOnly)
			{
				return false;
			}
			return LowLevel.DeleteFile(Filename);
		}

		uint32 Copy(const TCHAR* Dest, const TCHAR* Src, bool Replace, bool EvenIfReadOnly, bool Attributes, FCopyProgress* Progress, EFileRead,
		            EFileWrite) override
		{
			if (!LowLevel.FileExists(Src) || LowLevel.DirectoryExists(Dest))
			{
				return COPY_Fail;
			}
			if (LowLevel.FileExists(Dest) && (!Replace || (LowLevel.IsReadOnly(Dest) && !EvenIfReadOnly)))
			{
				return COPY_Fail;
			}
			const std::string NativeDest = UE::StandIn::FileSystem::ToNativePath(Dest);
			if (!LowLevel.CreateDirectoryTree(*FPaths::GetPath(FString::FromUtf8(NativeDest))))
			{
				return COPY_Fail;
			}
			TFunction<bool(float)> OnProgress;
			if (Progress)
			{
				OnProgress = [Progress](float Fraction) {
					return Progress->Poll(Fraction);
				};
			}
			switch (UE::StandIn::FileSystem::CopyRegularFile(UE::StandIn::FileSystem::ToNativePath(Src), NativeDest, Attributes, OnProgress))
			{
				case UE::StandIn::FileSystem::ECopyOutcome::Copied:
					return COPY_OK;
				case UE::StandIn::FileSystem::ECopyOutcome::Canceled:
					return COPY_Canceled;
				default:
					return COPY_Fail;
			}
		}

		bool Move(const TCHAR* Dest, const TCHAR* Src, bool Replace, bool EvenIfReadOnly, bool, bool) override
		{
			if (!LowLevel.FileExists(Src) && !LowLevel.DirectoryExists(Src))
			{
				return false;
			}
			if (LowLevel.FileExists(Dest) && (!Replace || (LowLevel.IsReadOnly(Dest) && !EvenIfReadOnly)))
			{
				return false;
			}
			const FString FullDest = FPaths::ConvertRelativePathToFull(FString(Dest));
			return LowLevel.CreateDirectoryTree(*FPaths::GetPath(FullDest)) && LowLevel.MoveFile(Dest, Src);
		}

		void FindFiles(TArray<FString>& FileNames, const TCHAR* Filename, bool Files, bool Directories) override
		{
			// The search is cut in place into the folder, after its pattern is taken: this runs for every folder listed.
			FString Folder(Filename ? Filename : TEXT(""));
			FPaths::NormalizeFilename(Folder);
			int32 Separator = INDEX_NONE;
			Folder.FindLastChar(TEXT('/'), Separator);
			FString Pattern(FStringView(*Folder + Separator + 1, Folder.Len() - Separator - 1));
			if (Pattern == TEXT("*.*"))
			{
				// "*.*" means every name, with or without a dot.
				Pattern = TEXT("*");
			}
			Folder.LeftInline(Separator == 0 ? 1 : Separator);
			TArray<FString> Found;
			LowLevel.IterateDirectory(*Folder, [&](const TCHAR* Entry, bool bIsDirectory) {
				if (IsWanted(bIsDirectory, Files, Directories))
				{
					// Only a name that matches is copied.
					const FStringView Name(NameOf(Entry));
					if (MatchesWildcard(Name, Pattern))
					{
						Found.Add(FString(Name));
					}
				}
				return true;
			});
			SortByName(Found);
			FileNames.Append(MoveTemp(Found));
		}

		void FindFiles(TArray<FString>& FoundFiles, const TCHAR* Directory, const TCHAR* FileExtension) override
		{
			if (!Directory || !*Directory)
			{
				return;
			}
			FString Folder(Directory);
			FPaths::NormalizeDirectoryName(Folder);
			FString Pattern(FileExtension ? FileExtension : TEXT(""));
			if (!Pattern.Contains(TEXT("*")))
			{
				if (Pattern.IsEmpty())
				{
					Pattern = TEXT("*");
				}
				else
				{
					Pattern = (Pattern.StartsWith(TEXT("."), ESearchCase::CaseSensitive) ? FString(TEXT("*")) : FString(TEXT("*."))) + Pattern;
				}
			}
			FindFiles(FoundFiles, *(Folder / Pattern), true, false);
		}

		void FindFilesRecursive(TArray<FString>& FileNames, const TCHAR* StartDirectory, const TCHAR* Filename, bool Files, bool Directories,
		                        bool bClearFileNames) override
		{
			if (bClearFileNames)
			{
				FileNames.Empty();
			}
			FString Pattern(Filename ? Filename : TEXT("*"));
			if (Pattern == TEXT("*.*"))
			{
				Pattern = TEXT("*");
			}
			FindFilesBelow(FileNames, FString(StartDirectory), Pattern, Files, Directories);
		}

		bool IterateDirectory(const TCHAR* Directory, IPlatformFile::FDirectoryVisitor& Visitor) override
		{
			return LowLevel.IterateDirectory(Directory, Visitor);
		}

		bool IterateDirectoryRecursively(const TCHAR* Directory, IPlatformFile::FDirectoryVisitor& Visitor) override
		{
			return LowLevel.IterateDirectoryRecursively(Directory, Visitor);
		}

		int64 FileSize(const TCHAR* Filename) override
		{
			const int64 Size = LowLevel.FileSize(Filename);
			return Size < 0 ? static_cast<int64>(INDEX_NONE) : Size;
		}

		FDateTime GetTimeStamp(const TCHAR* Path) override { return LowLevel.GetTimeStamp(Path); }
		bool IsReadOnly(const TCHAR* Filename) override { return LowLevel.IsReadOnly(Filename); }

		FArchive* CreateFileReader(const TCHAR* Filename, uint32) override
		{
			TArray<uint8> Bytes;
			return LowLevel.FileExists(Filename) && FFileHelper::LoadFileToArray(Bytes, Filename) ? new FFileReader(MoveTemp(Bytes)) : nullptr;
		}

	private:
		// One listing per folder serves both the matches and the sub-folders to walk next.
		void FindFilesBelow(TArray<FString>& FileNames, const FString& Folder, const FString& Pattern, bool Files, bool Directories)
		{
			TArray<FString> Found;
			TArray<FString> SubFolders;
			LowLevel.IterateDirectory(*Folder, [&](const TCHAR* Entry, bool bIsDirectory) {
				const FString Path(Entry);
				if (IsWanted(bIsDirectory, Files, Directories) && MatchesWildcard(FPaths::GetCleanFilename(Path), Pattern))
				{
					Found.Add(Path);
				}
				if (bIsDirectory)
				{
					SubFolders.Add(Path);
				}
				return true;
			});
			SortByName(Found);
			FileNames.Append(MoveTemp(Found));
			SortByName(SubFolders);
			for (const FString& SubFolder : SubFolders)
			{
				FindFilesBelow(FileNames, SubFolder, Pattern, Files, Directories);
			}
		}

		IPlatformFile& LowLevel;
	};
} // namespace

IFileManager& IFileManager::Get()
{
	static FFileManagerGeneric Manager(FPlatformFileManager::Get().GetPlatformFile());
	return Manager;
}
