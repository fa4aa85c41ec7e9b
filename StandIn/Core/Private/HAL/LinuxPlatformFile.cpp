#include "HAL/PlatformFileManager.h"
#include "HAL/UnixFileSystem.h"

#include "Misc/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
	using namespace UE::StandIn::FileSystem;

	// Bytes of folder entries read at first: a few dozen names. Each further read of the same folder asks for twice
	// as many, up to what readdir reads, so a long listing takes few reads and a walk that stops early reads little.
	constexpr size_t FirstDirectoryReadSize = 1024;
	constexpr size_t MaxDirectoryReadSize = 32 * 1024;

	bool StatPath(const TCHAR* Path, struct stat& OutStat)
	{
		return stat(ToNativePath(Path).c_str(), &OutStat) == 0;
	}

	// Whether a listed entry is a folder; a link counts as what it points to.
	bool IsDirectoryEntry(int FolderDescriptor, const struct dirent64& Entry)
	{
		if (Entry.d_type != DT_UNKNOWN && Entry.d_type != DT_LNK)
		{
			return Entry.d_type == DT_DIR;
		}
		struct stat Target;
		return fstatat(FolderDescriptor, Entry.d_name, &Target, 0) == 0 && S_ISDIR(Target.st_mode);
	}

	// Empties and removes a folder without following links: a link inside is removed, never what it points to.
	// Path names the folder only for the write faults, which need whole paths.
	bool RemoveTree(int ParentDescriptor, const char* Name, const std::string& Path)
	{
		const int Descriptor = openat(ParentDescriptor, Name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
		if (Descriptor < 0)
		{
			return false;
		}
		DIR* Handle = fdopendir(Descriptor);
		if (!Handle)
		{
			close(Descriptor);
			return false;
		}
		bool bAllRemoved = true;
		while (const dirent* Entry = readdir(Handle))
		{
			const std::string_view EntryName(Entry->d_name);
			if (EntryName == "." || EntryName == "..")
			{
				continue;
			}
			bool bIsDirectory = Entry->d_type == DT_DIR;
			if (Entry->d_type == DT_UNKNOWN)
			{
				struct stat EntryStat;
				bIsDirectory = fstatat(Descriptor, Entry->d_name, &EntryStat, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(EntryStat.st_mode);
			}
			const std::string EntryPath = HasWriteFaults() ? Path + "/" + Entry->d_name : std::string();
			const bool bRemoved = bIsDirectory ? RemoveTree(Descriptor, Entry->d_name, EntryPath)
			                                   : !IsRefusedByFault(EntryPath, EPathChange::Remove) && unlinkat(Descriptor, Entry->d_name, 0) == 0;
			bAllRemoved = bAllRemoved && bRemoved;
		}
		closedir(Handle);
		return bAllRemoved && !IsRefusedByFault(Path, EPathChange::Remove) && unlinkat(ParentDescriptor, Name, AT_REMOVEDIR) == 0;
	}

	FDateTime ToDateTime(const struct timespec& Time)
	{
		return FDateTime::FromUnixTimestamp(Time.tv_sec) + FTimespan(Time.tv_nsec / 100);
	}

	FFileStatData ToStatData(const struct stat& FileStat)
	{
		FFileStatData StatData;
		StatData.CreationTime = ToDateTime(FileStat.st_ctim);
		StatData.AccessTime = ToDateTime(FileStat.st_atim);
		StatData.ModificationTime = ToDateTime(FileStat.st_mtim);
		StatData.bIsDirectory = S_ISDIR(FileStat.st_mode);
		StatData.FileSize = StatData.bIsDirectory ? -1 : static_cast<int64>(FileStat.st_size);
		StatData.bIsReadOnly = IsReadOnlyMode(FileStat.st_mode);
		StatData.bIsValid = true;
		return StatData;
	}

	class FLinuxPlatformFile final : public IPlatformFile
	{
	public:
		using IPlatformFile::IterateDirectory;
		using IPlatformFile::IterateDirectoryStat;

		bool FileExists(const TCHAR* Filename) override
		{
			struct stat FileStat;
			return StatPath(Filename, FileStat) && S_ISREG(FileStat.st_mode);
		}

		int64 FileSize(const TCHAR* Filename) override
		{
			struct stat FileStat;
			return StatPath(Filename, FileStat) && S_ISREG(FileStat.st_mode) ? static_cast<int64>(FileStat.st_size) : -1;
		}

		bool DeleteFile(const TCHAR* Filename) override
		{
			const std::string Native = ToNativePath(Filename);
			return FileExists(Filename) && !IsRefusedByFault(Native, EPathChange::Remove) && unlink(Native.c_str()) == 0;
		}

		bool IsReadOnly(const TCHAR* Filename) override
		{
			struct stat FileStat;
			return StatPath(Filename, FileStat) && IsReadOnlyMode(FileStat.st_mode);
		}

		bool MoveFile(const TCHAR* To, const TCHAR* From) override
		{
			const std::string NativeFrom = ToNativePath(From);
			const std::string NativeTo = ToNativePath(To);
			if (IsRefusedByFault(NativeTo, EPathChange::Write) || IsRefusedByFault(NativeFrom, EPathChange::Remove))
			{
				return false;
			}
			if (rename(NativeFrom.c_str(), NativeTo.c_str()) == 0)
			{
				return true;
			}
			if (errno != EXDEV)
			{
				return false;
			}
			// Another file system: copy, then remove the original once the copy is whole.
			if (DirectoryExists(From))
			{
				return CopyDirectoryTree(To, From, true) && DeleteDirectoryRecursively(From);
			}
			return CopyRegularFile(NativeFrom, NativeTo, true, nullptr) == ECopyOutcome::Copied && unlink(NativeFrom.c_str()) == 0;
		}

		bool SetReadOnly(const TCHAR* Filename, bool bNewReadOnlyValue) override
		{
			struct stat FileStat;
			if (!StatPath(Filename, FileStat))
			{
				return false;
			}
			const mode_t Permissions = FileStat.st_mode & 07777;
			const mode_t NewPermissions = bNewReadOnlyValue ? (Permissions & ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH)) : (Permissions | S_IWUSR);
			const std::string Native = ToNativePath(Filename);
			return !IsRefusedByFault(Native, EPathChange::Remove) && chmod(Native.c_str(), NewPermissions) == 0;
		}

		FDateTime GetTimeStamp(const TCHAR* Filename) override
		{
			struct stat FileStat;
			if (!StatPath(Filename, FileStat))
			{
				return FDateTime::MinValue();
			}
			return ToDateTime(FileStat.st_mtim);
		}

		bool DirectoryExists(const TCHAR* Directory) override
		{
			struct stat DirectoryStat;
			return StatPath(Directory, DirectoryStat) && S_ISDIR(DirectoryStat.st_mode);
		}

		bool CreateDirectory(const TCHAR* Directory) override
		{
			// A folder that is there already needs nothing written, whatever the file system's state.
			if (DirectoryExists(Directory))
			{
				return true;
			}
			const std::string Native = ToNativePath(Directory);
			if (IsRefusedByFault(Native, EPathChange::Write))
			{
				return false;
			}
			return mkdir(Native.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(Directory));
		}

		bool DeleteDirectory(const TCHAR* Directory) override
		{
			const std::string Native = ToNativePath(Directory);
			return !IsRefusedByFault(Native, EPathChange::Remove) && rmdir(Native.c_str()) == 0;
		}

		// Entries go to the visitor as the file system lists them, a few at first: readdir would fetch 32 KiB of a
		// large folder before the first entry, so a visitor that stops early would still pay for the whole folder.
		bool IterateDirectory(const TCHAR* Directory, FDirectoryVisitor& Visitor) override
		{
			return ListFolder(Directory, [&Visitor](const FString& Path, int FolderDescriptor, const struct dirent64& Entry) {
				return Visitor.Visit(*Path, IsDirectoryEntry(FolderDescriptor, Entry));
			});
		}

		// Stats each entry through the folder's own handle, so no path is converted or looked up again.
		bool IterateDirectoryStat(const TCHAR* Directory, FDirectoryStatVisitor& Visitor) override
		{
			return ListFolder(Directory, [&Visitor](const FString& Path, int FolderDescriptor, const struct dirent64& Entry) {
				struct stat EntryStat;
				FFileStatData StatData;
				if (fstatat(FolderDescriptor, Entry.d_name, &EntryStat, 0) == 0)
				{
					StatData = ToStatData(EntryStat);
				}
				return Visitor.Visit(*Path, StatData);
			});
		}

		bool CopyFile(const TCHAR* To, const TCHAR* From, EPlatformFileRead, EPlatformFileWrite) override
		{
			if (IsReadOnly(To))
			{
				return false;
			}
			return CopyRegularFile(ToNativePath(From), ToNativePath(To), true, nullptr) == ECopyOutcome::Copied;
		}

		// Folder by folder through open handles: a tree of thousands of files is copied without building, converting
		// and looking up each file's path, which otherwise costs as much as copying a small file's bytes.
		bool CopyDirectoryTree(const TCHAR* DestinationDirectory, const TCHAR* Source, bool bOverwriteAllExisting) override
		{
			return DirectoryExists(Source) && CreateDirectoryTree(DestinationDirectory) &&
			       CopyFolderContents(ToNativePath(Source), ToNativePath(DestinationDirectory), bOverwriteAllExisting);
		}

		ESymlinkResult IsSymlink(const TCHAR* Filename) override
		{
			struct stat LinkStat;
			return lstat(ToNativePath(Filename).c_str(), &LinkStat) == 0 && S_ISLNK(LinkStat.st_mode) ? ESymlinkResult::Symlink : ESymlinkResult::NonSymlink;
		}

		bool DeleteDirectoryRecursively(const TCHAR* Directory) override
		{
			if (!DirectoryExists(Directory))
			{
				return true;
			}
			const std::string Native = ToNativePath(Directory);
			struct stat LinkStat;
			if (lstat(Native.c_str(), &LinkStat) == 0 && S_ISLNK(LinkStat.st_mode))
			{
				// A link to a folder is removed itself; the folder it points to stays.
				return !IsRefusedByFault(Native, EPathChange::Remove) && unlink(Native.c_str()) == 0;
			}
			return RemoveTree(AT_FDCWD, Native.c_str(), Native) || !DirectoryExists(Directory);
		}

	private:
		/** Lists the folder, handing each entry but "." and ".." to Visit with its path. @return false when it could not be read or Visit stopped */
		template <typename VisitType>
		static bool ListFolder(const TCHAR* Directory, VisitType&& Visit)
		{
			const int Descriptor = open(ToNativePath(Directory).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
			if (Descriptor < 0)
			{
				return false;
			}
			// One path for every entry, cut back to the folder each time: a large folder costs no allocation per name.
			FString Path(Directory);
			Path /= TEXT("");
			const int32 FolderLength = Path.Len();
			alignas(struct dirent64) char Buffer[MaxDirectoryReadSize];
			size_t ReadSize = FirstDirectoryReadSize;
			bool bContinue = true;
			while (bContinue)
			{
				const ssize_t Count = getdents64(Descriptor, Buffer, ReadSize);
				ReadSize = std::min(ReadSize * 2, MaxDirectoryReadSize);
				if (Count <= 0)
				{
					bContinue = Count == 0;
					break;
				}
				for (ssize_t Offset = 0; bContinue && Offset < Count;)
				{
					const struct dirent64& Entry = *reinterpret_cast<const struct dirent64*>(Buffer + Offset);
					Offset += Entry.d_reclen;
					const std::string_view Name(Entry.d_name);
					if (Name != "." && Name != "..")
					{
						Path.LeftInline(FolderLength);
						Path.AppendChars(reinterpret_cast<const UTF8CHAR*>(Name.data()), static_cast<int32>(Name.size()));
						bContinue = Visit(Path, Descriptor, Entry);
					}
				}
			}
			close(Descriptor);
			return bContinue;
		}
	};
} // namespace

FPlatformFileManager& FPlatformFileManager::Get()
{
	static FPlatformFileManager Manager;
	return Manager;
}

IPlatformFile& FPlatformFileManager::GetPlatformFile()
{
	static FLinuxPlatformFile PlatformFile;
	return PlatformFile;
}
