#include "GenericPlatform/GenericPlatformFile.h"

#include "Misc/Paths.h"

namespace
{
	class FFunctionVisitor : public IPlatformFile::FDirectoryVisitor
	{
	public:
		explicit FFunctionVisitor(IPlatformFile::FDirectoryVisitorFunc& InFunction)
		    : Function(InFunction)
		{
		}
		bool Visit(const TCHAR* FilenameOrDirectory, bool bIsDirectory) override { return Function(FilenameOrDirectory, bIsDirectory); }

	private:
		IPlatformFile::FDirectoryVisitorFunc& Function;
	};

	class FFunctionStatVisitor : public IPlatformFile::FDirectoryStatVisitor
	{
	public:
		explicit FFunctionStatVisitor(IPlatformFile::FDirectoryStatVisitorFunc& InFunction)
		    : Function(InFunction)
		{
		}
		bool Visit(const TCHAR* FilenameOrDirectory, const FFileStatData& StatData) override { return Function(FilenameOrDirectory, StatData); }

	private:
		IPlatformFile::FDirectoryStatVisitorFunc& Function;
	};

	// Passes every entry on and walks into each folder right after visiting it.
	class FRecursiveVisitor : public IPlatformFile::FDirectoryVisitor
	{
	public:
		FRecursiveVisitor(IPlatformFile& InPlatformFile, IPlatformFile::FDirectoryVisitor& InVisitor)
		    : PlatformFile(InPlatformFile)
		    , Visitor(InVisitor)
		{
		}
		bool Visit(const TCHAR* FilenameOrDirectory, bool bIsDirectory) override
		{
			if (!Visitor.Visit(FilenameOrDirectory, bIsDirectory))
			{
				return false;
			}
			return !bIsDirectory || PlatformFile.IterateDirectory(FilenameOrDirectory, *this);
		}

	private:
		IPlatformFile& PlatformFile;
		IPlatformFile::FDirectoryVisitor& Visitor;
	};
} // namespace

bool IPlatformFile::IterateDirectory(const TCHAR* Directory, FDirectoryVisitorFunc Visitor)
{
	FFunctionVisitor Adapter(Visitor);
	return IterateDirectory(Directory, Adapter);
}

bool IPlatformFile::IterateDirectoryStat(const TCHAR* Directory, FDirectoryStatVisitorFunc Visitor)
{
	FFunctionStatVisitor Adapter(Visitor);
	return IterateDirectoryStat(Directory, Adapter);
}

bool IPlatformFile::IterateDirectoryRecursively(const TCHAR* Directory, FDirectoryVisitor& Visitor)
{
	FRecursiveVisitor Recursive(*this, Visitor);
	return IterateDirectory(Directory, Recursive);
}

bool IPlatformFile::IterateDirectoryRecursively(const TCHAR* Directory, FDirectoryVisitorFunc Visitor)
{
	FFunctionVisitor Adapter(Visitor);
	return IterateDirectoryRecursively(Directory, Adapter);
}

bool IPlatformFile::CopyDirectoryTree(const TCHAR* DestinationDirectory, const TCHAR* Source, bool bOverwriteAllExisting)
{
	FString DestinationRoot(DestinationDirectory);
	FPaths::NormalizeDirectoryName(DestinationRoot);
	FString SourceRoot(Source);
	FPaths::NormalizeDirectoryName(SourceRoot);
	if (!DirectoryExists(*SourceRoot) || !CreateDirectoryTree(*DestinationRoot))
	{
		return false;
	}

	// Every entry is visited as SourceRoot joined with its path below it; the same path goes below DestinationRoot.
	// The first copy that fails ends the walk.
	const int32 SourcePrefixLength = (SourceRoot / TEXT("")).Len();
	return IterateDirectoryRecursively(*SourceRoot, [&](const TCHAR* Entry, bool bIsDirectory) {
		const FString Target = DestinationRoot / FString(Entry).Mid(SourcePrefixLength);
		if (bIsDirectory)
		{
			return CreateDirectoryTree(*Target);
		}
		if (bOverwriteAllExisting && IsReadOnly(*Target))
		{
			SetReadOnly(*Target, false);
		}
		return CopyFile(*Target, Entry);
	});
}

bool IPlatformFile::CreateDirectoryTree(const TCHAR* Directory)
{
	const FString Full = FPaths::ConvertRelativePathToFull(FString(Directory));
	if (DirectoryExists(*Full))
	{
		return true;
	}
	// Create each missing level from the top down; a level that exists as a file stops it.
	for (int32 Index = 1; Index <= Full.Len(); ++Index)
	{
		if (Index == Full.Len() || Full[Index] == TEXT('/'))
		{
			const FString Level = Full.Left(Index);
			if (!DirectoryExists(*Level) && !CreateDirectory(*Level))
			{
				return false;
			}
		}
	}
	return DirectoryExists(*Full);
}

bool IPlatformFile::DeleteDirectoryRecursively(const TCHAR* Directory)
{
	TArray<FString> Folders;
	IterateDirectoryRecursively(Directory, [&](const TCHAR* Entry, bool bIsDirectory) {
		if (bIsDirectory)
		{
			Folders.Add(FString(Entry));
		}
		else
		{
			DeleteFile(Entry);
		}
		return true;
	});
	// Folders were found parents first, so the reverse order empties each before deleting it.
	for (int32 Index = Folders.Num() - 1; Index >= 0; --Index)
	{
		DeleteDirectory(*Folders[Index]);
	}
	DeleteDirectory(Directory);
	return !DirectoryExists(Directory);
}
