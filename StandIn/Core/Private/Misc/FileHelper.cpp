#include "Misc/FileHelper.h"

#include "HAL/UnixFileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
	using EEncodingOptions = FFileHelper::EEncodingOptions;

	bool ReadWholeFile(const TCHAR* Filename, std::string& OutBytes)
	{
		if (!Filename || !*Filename)
		{
			return false;
		}
		const int Descriptor = open(UE::StandIn::FileSystem::ToNativePath(Filename).c_str(), O_RDONLY | O_CLOEXEC);
		if (Descriptor < 0)
		{
			return false;
		}
		struct stat FileStat;
		bool bRead = fstat(Descriptor, &FileStat) == 0 && S_ISREG(FileStat.st_mode);
		if (bRead)
		{
			OutBytes.reserve(static_cast<size_t>(FileStat.st_size));
			char Buffer[1 << 16];
			for (;;)
			{
				const ssize_t Count = read(Descriptor, Buffer, sizeof(Buffer));
				if (Count < 0 && errno == EINTR)
				{
					continue;
				}
				if (Count <= 0)
				{
					bRead = Count == 0;
					break;
				}
				OutBytes.append(Buffer, static_cast<size_t>(Count));
			}
		}
		close(Descriptor);
		return bRead;
	}

	FString DecodeUtf16(const std::string& Bytes, size_t Offset, bool bBigEndian)
	{
		std::u16string Units;
		Units.reserve((Bytes.size() - Offset) / 2);
		// A last odd byte is no whole code unit and is dropped.
		for (size_t Index = Offset; Index + 1 < Bytes.size(); Index += 2)
		{
			const char16_t First = static_cast<unsigned char>(Bytes[Index]);
			const char16_t Second = static_cast<unsigned char>(Bytes[Index + 1]);
			Units.push_back(bBigEndian ? static_cast<char16_t>((First << 8) | Second) : static_cast<char16_t>((Second << 8) | First));
		}
		return FString(MoveTemp(Units));
	}

	bool StartsWithBytes(const std::string& Bytes, std::string_view Mark)
	{
		return Bytes.compare(0, Mark.size(), Mark) == 0;
	}

	FString DecodeText(const std::string& Bytes)
	{
		if (StartsWithBytes(Bytes, "\xFF\xFE"))
		{
			return DecodeUtf16(Bytes, 2, false);
		}
		if (StartsWithBytes(Bytes, "\xFE\xFF"))
		{
			return DecodeUtf16(Bytes, 2, true);
		}
		if (StartsWithBytes(Bytes, "\xEF\xBB\xBF"))
		{
			return FString::FromUtf8(std::string_view(Bytes).substr(3));
		}
		return FString::FromUtf8(Bytes);
	}

	bool IsPureAnsi(FStringView Text)
	{
		for (const TCHAR Char : Text)
		{
			if (Char >= 0x80)
			{
				return false;
			}
		}
		return true;
	}

	std::string EncodeText(FStringView Text, EEncodingOptions Encoding)
	{
		if (Encoding == EEncodingOptions::AutoDetect)
		{
			Encoding = IsPureAnsi(Text) ? EEncodingOptions::ForceAnsi : EEncodingOptions::ForceUnicode;
		}
		std::string Bytes;
		switch (Encoding)
		{
			case EEncodingOptions::ForceAnsi:
				Bytes.reserve(static_cast<size_t>(Text.Len()));
				for (const TCHAR Char : Text)
				{
					Bytes.push_back(Char < 0x80 ? static_cast<char>(Char) : '?');
				}
				break;
			case EEncodingOptions::ForceUnicode:
				Bytes.reserve(2 + 2 * static_cast<size_t>(Text.Len()));
				Bytes.append("\xFF\xFE");
				for (const TCHAR Char : Text)
				{
					Bytes.push_back(static_cast<char>(Char & 0xFF));
					Bytes.push_back(static_cast<char>(Char >> 8));
				}
				break;
			case EEncodingOptions::ForceUTF8:
			case EEncodingOptions::ForceUTF8WithoutBOM:
			{
				if (Encoding == EEncodingOptions::ForceUTF8)
				{
					Bytes = "\xEF\xBB\xBF";
				}
				const FTCHARToUTF8 Converted(Text);
				Bytes.append(Converted.Get(), static_cast<size_t>(Converted.Length()));
				break;
			}
			default:
				break;
		}
		return Bytes;
	}

	bool SaveBytes(const std::string& Bytes, const TCHAR* Filename, IFileManager* FileManager, uint32 WriteFlags)
	{
		if (!Filename || !*Filename || !FileManager)
		{
			return false;
		}
		// Each refusal leaves the error that opening the file would have given, for the platform's last error.
		if (FileManager->FileExists(Filename))
		{
			if ((WriteFlags & FILEWRITE_NoReplaceExisting) != 0)
			{
				errno = EEXIST;
				return false;
			}
			// Refused here even for root, as the engine's platforms refuse a read-only file, with the error they give.
			if ((WriteFlags & FILEWRITE_EvenIfReadOnly) == 0 && FileManager->IsReadOnly(Filename))
			{
				errno = EACCES;
				return false;
			}
		}
		const bool bAppend = (WriteFlags & FILEWRITE_Append) != 0;
		return UE::StandIn::FileSystem::WriteWholeFile(UE::StandIn::FileSystem::ToNativePath(Filename), Bytes.data(), Bytes.size(), bAppend);
	}
} // namespace

bool FFileHelper::LoadFileToString(FString& Result, const TCHAR* Filename, EHashOptions, uint32)
{
	Result.Empty();
	std::string Bytes;
	if (!ReadWholeFile(Filename, Bytes))
	{
		return false;
	}
	Result = DecodeText(Bytes);
	return true;
}

bool FFileHelper::LoadFileToStringArray(TArray<FString>& Result, const TCHAR* Filename)
{
	Result.Empty();
	FString Text;
	if (!LoadFileToString(Text, Filename))
	{
		return false;
	}
	FString Line;
	for (int32 Index = 0; Index < Text.Len(); ++Index)
	{
		const TCHAR Char = Text[Index];
		if (Char == TEXT('\r') || Char == TEXT('\n'))
		{
			if (Char == TEXT('\r') && Index + 1 < Text.Len() && Text[Index + 1] == TEXT('\n'))
			{
				++Index;
			}
			Result.Add(MoveTemp(Line));
			Line.Empty();
			continue;
		}
		Line.AppendChar(Char);
	}
	if (!Line.IsEmpty())
	{
		Result.Add(MoveTemp(Line));
	}
	return true;
}

bool FFileHelper::LoadFileToArray(TArray<uint8>& Result, const TCHAR* Filename, uint32)
{
	Result.Empty();
	std::string Bytes;
	if (!ReadWholeFile(Filename, Bytes))
	{
		return false;
	}
	Result.Append(reinterpret_cast<const uint8*>(Bytes.data()), static_cast<int32>(Bytes.size()));
	return true;
}

bool FFileHelper::SaveStringToFile(FStringView String, const TCHAR* Filename, EEncodingOptions EncodingOptions, IFileManager* FileManager, uint32 WriteFlags)
{
	return SaveBytes(EncodeText(String, EncodingOptions), Filename, FileManager, WriteFlags);
}

bool FFileHelper::SaveArrayToFile(const TArray<uint8>& Array, const TCHAR* Filename, IFileManager* FileManager, uint32 WriteFlags)
{
	const std::string Bytes = Array.IsEmpty() ? std::string() : std::string(reinterpret_cast<const char*>(Array.GetData()), static_cast<size_t>(Array.Num()));
	return SaveBytes(Bytes, Filename, FileManager, WriteFlags);
}
