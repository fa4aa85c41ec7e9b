#include "HAL/UnixFileSystem.h"

#include "Containers/UnrealString.h"
#include "Misc/Paths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
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
		// just the same when the write does not finish.
		class FTemporaryFile
		{
		public:
			explicit FTemporaryFile(const std::string& Target, bool bNewTargetInPlace = false)
			{
				if (bNewTargetInPlace)
				{
					Descriptor = open(Target.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
					if (Descriptor >= 0 || errno != EEXIST)
					{
						Path = Descriptor >= 0 ? Target : std::string();
						bIsTarget = Descriptor >= 0;
						return;
					}
				}
				const size_t Slash = Target.rfind('/');
				Path = (Slash == std::string::npos ? std::string(".") : Target.substr(0, Slash)) + "/.~write-XXXXXX";
				Descriptor = mkostemp(Path.data(), O_CLOEXEC);
				if (Descriptor < 0)
				{
					Path.clear();
				}
			}
			~FTemporaryFile()
			{
				Close();
				if (!Path.empty())
				{
					unlink(Path.c_str());
				}
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
				if (!Close() || (!bIsTarget && rename(Path.c_str(), Target.c_str()) != 0))
				{
					return false;
				}
				Path.clear();
				return true;
			}

		private:
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
					close(Descriptor);
				}
			}
			FDescriptor(const FDescriptor&) = delete;
			FDescriptor& operator=(const FDescriptor&) = delete;
			int Get() const { return Descriptor; }

		private:
			int Descriptor;
		};
	} // namespace

	std::string ToNativePath(const TCHAR* Path)
	{
		return FPaths::ConvertRelativePathToFull(FString(Path ? Path : TEXT(""))).ToUtf8();
	}

	ECopyOutcome CopyRegularFile(const std::string& From, const std::string& To, bool bKeepPermissions, const TFunction<bool(float)>& Progress)
	{
		// Without O_NONBLOCK a pipe would wait here for a writer; the check below refuses anything but a regular file.
		const FDescriptor In(open(From.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
		struct stat SourceStat;
		if (In.Get() < 0 || fstat(In.Get(), &SourceStat) != 0 || !S_ISREG(SourceStat.st_mode))
		{
			return ECopyOutcome::Failed;
		}
		// A copy that replaces a file does so whole; a new one is written in place, as a copy tool does, since a
		// file system spends about as long on a rename as on a small file's bytes.
		FTemporaryFile Temporary(To, true);
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

	bool WriteWholeFile(const std::string& Path, const void* Data, size_t Size, bool bAppend)
	{
		struct stat Existing;
		const bool bExists = stat(Path.c_str(), &Existing) == 0;
		if (bExists && !S_ISREG(Existing.st_mode))
		{
			return false;
		}
		FTemporaryFile Temporary(Path);
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
