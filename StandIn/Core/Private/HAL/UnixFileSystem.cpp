#include "HAL/UnixFileSystem.h"

#include "Containers/UnrealString.h"
#include "Misc/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <random>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <unistd.h>

namespace UE::StandIn::FileSystem
{
	namespace
	{
		// Read once, before any thread can race on umask's set-and-restore.
		const mode_t GProcessUmask = [] {
			const mode_t Mask = umask(0);
			umask(Mask);
			return Mask;
		}();

		// Keeps a temporary file beside its target and removes it unless it was renamed into place. With
		// bNewTargetInPlace a target that does not exist yet is written itself, saving the rename; it is removed
		// just the same when the write does not finish. Target is a name in the open folder Folder, or a path when
		// Folder is AT_FDCWD.
		class FTemporaryFile
		{
		public:
			FTemporaryFile(int InFolder, const std::string& Target, bool bNewTargetInPlace = false)
			    : Folder(InFolder)
			{
				if (bNewTargetInPlace)
				{
					Descriptor = openat(Folder, Target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
					if (Descriptor >= 0 || errno != EEXIST)
					{
						Path = Descriptor >= 0 ? Target : std::string();
						bIsTarget = Descriptor >= 0;
						return;
					}
				}
				const size_t Slash = Target.rfind('/');
				const std::string Prefix = (Slash == std::string::npos ? std::string() : Target.substr(0, Slash + 1)) + ".~write-";
				thread_local std::mt19937 Random{std::random_device{}()};
				static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
				for (int Attempt = 0; Attempt < 100 && Descriptor < 0; ++Attempt)
				{
					Path = Prefix;
					for (int Index = 0; Index < 6; ++Index)
					{
						Path += Letters[Random() % (sizeof(Letters) - 1)];
					}
					Descriptor = openat(Folder, Path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
					if (Descriptor < 0 && errno != EEXIST)
					{
						break;
					}
				}
				if (Descriptor < 0)
				{
					Path.clear();
				}
			}
			~FTemporaryFile()
			{
				// The error that ended the write stays the one the caller reads.
				const int SavedErrno = errno;
				Close();
				if (!Path.empty())
				{
					unlinkat(Folder, Path.c_str(), 0);
				}
				errno = SavedErrno;
			}
			FTemporaryFile(const FTemporaryFile&) = delete;
			FTemporaryFile& operator=(const FTemporaryFile&) = delete;

			bool IsOpen() const { return Descriptor >= 0; }
			int GetDescriptor() const { return Descriptor; }
			bool Close()
			{
				const bool bClosed = Descriptor < 0 || close(Descriptor) == 0;
				Descriptor = -1;
				return bClosed;
			}
			bool RenameOver(const std::string& Target)
			{
				if (!Close() || (!bIsTarget && renameat(Folder, Path.c_str(), Folder, Target.c_str()) != 0))
				{
					return false;
				}
				Path.clear();
				return true;
			}

		private:
			int Folder;
			std::string Path;
			int Descriptor = -1;
			bool bIsTarget = false;
		};

		bool WriteAll(int Descriptor, const char* Data, size_t Size)
		{
			while (Size > 0)
			{
				const ssize_t Written = write(Descriptor, Data, Size);
				if (Written < 0)
				{
					if (errno == EINTR)
					{
						continue;
					}
					return false;
				}
				Data += Written;
				Size -= static_cast<size_t>(Written);
			}
			return true;
		}

		// Moves up to Count bytes from In to Out in the kernel: copy_file_range, or sendfile where the file systems
		// do not allow it. Returns the bytes moved, 0 at the end of In, -1 on failure.
		ssize_t KernelCopy(int In, int Out, size_t Count, bool& bUseSendfile)
		{
			for (;;)
			{
				const ssize_t Copied = bUseSendfile ? sendfile(Out, In, nullptr, Count) : copy_file_range(In, nullptr, Out, nullptr, Count, 0);
				if (Copied >= 0)
				{
					return Copied;
				}
				if (errno == EINTR)
				{
					continue;
				}
				if (!bUseSendfile && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP || errno == EPERM))
				{
					bUseSendfile = true;
					continue;
				}
				return -1;
			}
		}

		bool CopyContents(int In, int Out, off_t Size, const TFunction<bool(float)>& Progress, bool& bCanceled)
		{
			// Progress is reported per chunk; without a listener one call moves the whole file.
			const size_t Chunk = Progress ? size_t(16) << 20 : size_t(1) << 30;
			bool bUseSendfile = false;
			off_t Done = 0;
			for (;;)
			{
				const ssize_t Copied = KernelCopy(In, Out, Chunk, bUseSendfile);
				if (Copied < 0)
				{
					return false;
				}
				if (Copied == 0)
				{
					return true;
				}
				Done += Copied;
				if (Progress && !Progress(Size > 0 ? std::min(1.0f, static_cast<float>(Done) / static_cast<float>(Size)) : 1.0f))
				{
					bCanceled = true;
					return false;
				}
			}
		}

		class FDescriptor
		{
		public:
			explicit FDescriptor(int InDescriptor)
			    : Descriptor(InDescriptor)
			{
			}
			~FDescriptor()
			{
				if (Descriptor >= 0)
				{
					const int SavedErrno = errno;
					close(Descriptor);
					errno = SavedErrno;
				}
			}
			FDescriptor(const FDescriptor&) = delete;
			FDescriptor& operator=(const FDescriptor&) = delete;
			int Get() const { return Descriptor; }

		private:
			int Descriptor;
		};

		ECopyOutcome CopyFileAt(int FromFolder, const std::string& From, int ToFolder, const std::string& To, bool bKeepPermissions,
		                        const TFunction<bool(float)>& Progress)
		{
			// Without O_NONBLOCK a pipe would wait here for a writer; the check below refuses anything but a regular file.
			const FDescriptor In(openat(FromFolder, From.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
			struct stat SourceStat;
			if (In.Get() < 0 || fstat(In.Get(), &SourceStat) != 0 || !S_ISREG(SourceStat.st_mode))
			{
				return ECopyOutcome::Failed;
			}
			// A copy that replaces a file does so whole; a new one is written in place, as a copy tool does, since a
			// file system spends about as long on a rename as on a small file's bytes.
			FTemporaryFile Temporary(ToFolder, To, true);
			if (!Temporary.IsOpen())
			{
				return ECopyOutcome::Failed;
			}
			// A file system that shares extents (btrfs, XFS) clones the whole file at once; the others refuse, cheaply,
			// and the bytes are copied in the kernel instead.
			if (ioctl(Temporary.GetDescriptor(), FICLONE, In.Get()) == 0)
			{
				if (Progress && !Progress(1.0f))
				{
					return ECopyOutcome::Canceled;
				}
			}
			else
			{
				bool bCanceled = false;
				if (!CopyContents(In.Get(), Temporary.GetDescriptor(), SourceStat.st_size, Progress, bCanceled))
				{
					return bCanceled ? ECopyOutcome::Canceled : ECopyOutcome::Failed;
				}
			}
			const mode_t Mode = (SourceStat.st_mode & 07777) | (bKeepPermissions ? 0 : S_IWUSR);
			if (fchmod(Temporary.GetDescriptor(), Mode) != 0 || !Temporary.RenameOver(To))
			{
				return ECopyOutcome::Failed;
			}
			return ECopyOutcome::Copied;
		}

		// Both folders are open: each entry is named relative to them, so no path is built, converted or looked up
		// again for every file of a large tree. ToPath names To only for the write faults, which need whole paths.
		bool CopyFolderAt(int From, int To, const std::string& ToPath, bool bReplaceReadOnly)
		{
			const int ListDescriptor = openat(From, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
			DIR* Handle = ListDescriptor >= 0 ? fdopendir(ListDescriptor) : nullptr;
			if (!Handle)
			{
				if (ListDescriptor >= 0)
				{
					close(ListDescriptor);
				}
				return false;
			}
			bool bCopied = true;
			while (bCopied)
			{
				const dirent* Entry = readdir(Handle);
				if (!Entry)
				{
					break;
				}
				const std::string Name(Entry->d_name);
				if (Name == "." || Name == "..")
				{
					continue;
				}
				// A link counts as what it points to.
				bool bIsDirectory = Entry->d_type == DT_DIR;
				if (Entry->d_type == DT_UNKNOWN || Entry->d_type == DT_LNK)
				{
					struct stat Target;
					bIsDirectory = fstatat(From, Name.c_str(), &Target, 0) == 0 && S_ISDIR(Target.st_mode);
				}
				const std::string EntryPath = HasWriteFaults() ? ToPath + "/" + Name : std::string();
				if (bIsDirectory)
				{
					struct stat Existing;
					const bool bExists = fstatat(To, Name.c_str(), &Existing, 0) == 0 && S_ISDIR(Existing.st_mode);
					bCopied = bExists || (!IsRefusedByFault(EntryPath, EPathChange::Write) && (mkdirat(To, Name.c_str(), 0777) == 0 || errno == EEXIST));
					const FDescriptor SubFrom(bCopied ? openat(From, Name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
					const FDescriptor SubTo(bCopied ? openat(To, Name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
					bCopied = SubFrom.Get() >= 0 && SubTo.Get() >= 0 && CopyFolderAt(SubFrom.Get(), SubTo.Get(), EntryPath, bReplaceReadOnly);
					continue;
				}
				if (IsRefusedByFault(EntryPath, EPathChange::Write))
				{
					bCopied = false;
					break;
				}
				struct stat Existing;
				if (fstatat(To, Name.c_str(), &Existing, 0) == 0 && IsReadOnlyMode(Existing.st_mode))
				{
					bCopied = bReplaceReadOnly && fchmodat(To, Name.c_str(), (Existing.st_mode & 07777) | S_IWUSR, 0) == 0;
				}
				bCopied = bCopied && CopyFileAt(From, Name, To, Name, true, nullptr) == ECopyOutcome::Copied;
			}
			const int SavedErrno = errno;
			closedir(Handle);
			errno = SavedErrno;
			return bCopied;
		}
	} // namespace

	std::string ToNativePath(const TCHAR* Path)
	{
		return FPaths::ConvertRelativePathToFull(FString(Path ? Path : TEXT(""))).ToUtf8();
	}

	ECopyOutcome CopyRegularFile(const std::string& From, const std::string& To, bool bKeepPermissions, const TFunction<bool(float)>& Progress)
	{
		if (IsRefusedByFault(To, EPathChange::Write))
		{
			return ECopyOutcome::Failed;
		}
		return CopyFileAt(AT_FDCWD, From, AT_FDCWD, To, bKeepPermissions, Progress);
	}

	bool CopyFolderContents(const std::string& From, const std::string& To, bool bReplaceReadOnly)
	{
		const FDescriptor FromFolder(open(From.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
		const FDescriptor ToFolder(open(To.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
		return FromFolder.Get() >= 0 && ToFolder.Get() >= 0 && CopyFolderAt(FromFolder.Get(), ToFolder.Get(), To, bReplaceReadOnly);
	}

	bool WriteWholeFile(const std::string& Path, const void* Data, size_t Size, bool bAppend)
	{
		if (IsRefusedByFault(Path, EPathChange::Write))
		{
			return false;
		}
		struct stat Existing;
		const bool bExists = stat(Path.c_str(), &Existing) == 0;
		if (bExists && !S_ISREG(Existing.st_mode))
		{
			// What opening a folder for writing answers.
			errno = S_ISDIR(Existing.st_mode) ? EISDIR : EINVAL;
			return false;
		}
		FTemporaryFile Temporary(AT_FDCWD, Path);
		if (!Temporary.IsOpen())
		{
			return false;
		}
		if (bAppend && bExists)
		{
			const FDescriptor Old(open(Path.c_str(), O_RDONLY | O_CLOEXEC));
			bool bCanceled = false;
			if (Old.Get() < 0 || !CopyContents(Old.Get(), Temporary.GetDescriptor(), Existing.st_size, nullptr, bCanceled))
			{
				return false;
			}
		}
		const mode_t Mode = bExists ? (Existing.st_mode & 07777) : (0666 & ~GProcessUmask);
		return WriteAll(Temporary.GetDescriptor(), static_cast<const char*>(Data), Size) && fchmod(Temporary.GetDescriptor(), Mode) == 0 &&
		       Temporary.RenameOver(Path);
	}
} // namespace UE::StandIn::FileSystem
