#include "Misc/Paths.h"

#include "HAL/FileManager.h"
#include "HAL/PlatformProcess.h"
#include "Misc/Char.h"

#include "StandIn/EngineDir.h"
#include <mutex>

namespace
{
	bool IsSeparator(TCHAR Char)
	{
		return Char == TEXT('/') || Char == TEXT('\\');
	}

	int32 FindLastSeparator(const FString& Path)
	{
		for (int32 Index = Path.Len() - 1; Index >= 0; --Index)
		{
			if (IsSeparator(Path[Index]))
			{
				return Index;
			}
		}
		return INDEX_NONE;
	}

	// The position of the dot that starts the extension of the last segment, or INDEX_NONE.
	int32 FindExtensionDot(const FString& Path, bool bAllowCompound)
	{
		const int32 SegmentStart = FindLastSeparator(Path) + 1;
		int32 Dot = INDEX_NONE;
		for (int32 Index = Path.Len() - 1; Index >= SegmentStart; --Index)
		{
			if (Path[Index] == TEXT('.'))
			{
				Dot = Index;
				if (!bAllowCompound)
				{
					break;
				}
			}
		}
		return Dot;
	}

	FString WithTrailingSlash(FString Path)
	{
		FPaths::NormalizeFilename(Path);
		if (!Path.IsEmpty() && !Path.EndsWith(TEXT("/"), ESearchCase::CaseSensitive))
		{
			Path.AppendChar(TEXT('/'));
		}
		return Path;
	}

	FString DefaultEngineDir()
	{
#ifdef UE_STANDIN_ENGINE_DIR
		return WithTrailingSlash(FString::FromUtf8(UE_STANDIN_ENGINE_DIR));
#else
		return FPaths::ConvertRelativePathToFull(FString(FPlatformProcess::BaseDir()) / TEXT("../Engine/"));
#endif
	}

	struct FPathState
	{
		std::mutex Mutex;
		FString ProjectFilePath;
		FString EngineDir = DefaultEngineDir();
		FString SavedDir;
	};

	FPathState& GetState()
	{
		static FPathState State;
		return State;
	}

	// Whether [Start, End) of Path is the segment ".." (a name such as "..a" is not).
	bool IsParentSegment(const FString& Path, int32 Start)
	{
		const int32 End = Start + 2;
		return End <= Path.Len() && Path[Start] == TEXT('.') && Path[Start + 1] == TEXT('.') && (Start == 0 || Path[Start - 1] == TEXT('/')) &&
		       (End == Path.Len() || Path[End] == TEXT('/'));
	}

	bool IsSkippableSegment(const FString& Path, int32 Start, int32 End)
	{
		return Start == End || (End - Start == 1 && Path[Start] == TEXT('.'));
	}

	int32 FindLastSlashBetween(const FString& Path, int32 Floor, int32 Before)
	{
		for (int32 Index = Before - 1; Index >= Floor; --Index)
		{
			if (Path[Index] == TEXT('/'))
			{
				return Index;
			}
		}
		return INDEX_NONE;
	}

	// Drops every "./" that starts a segment.
	bool IsCurrentDirectorySegment(const FString& Path, int32 Index)
	{
		return (Index == 0 || Path[Index - 1] == TEXT('/')) && Path[Index] == TEXT('.') && Index + 1 < Path.Len() && Path[Index + 1] == TEXT('/');
	}

	void RemoveCurrentDirectorySegments(FString& Path)
	{
		// Most paths have no "./" at all, and are left as they are without being copied.
		int32 First = 0;
		while (First < Path.Len() && !IsCurrentDirectorySegment(Path, First))
		{
			++First;
		}
		if (First == Path.Len())
		{
			return;
		}
		FString Result;
		Result.Reserve(Path.Len());
		for (int32 Index = 0; Index < Path.Len(); ++Index)
		{
			if (IsCurrentDirectorySegment(Path, Index))
			{
				++Index;
				continue;
			}
			Result.AppendChar(Path[Index]);
		}
		Path = MoveTemp(Result);
	}

	// Whether a path holds a backslash, or a segment that starts with "." and so may be "." or "..": most paths hold
	// neither, and one look at them spares the passes that would change nothing.
	bool NeedsNormalising(const FString& Path)
	{
		for (int32 Index = 0; Index < Path.Len(); ++Index)
		{
			const TCHAR Char = Path[Index];
			if (Char == TEXT('\\') || (Char == TEXT('.') && (Index == 0 || Path[Index - 1] == TEXT('/'))))
			{
				return true;
			}
		}
		return false;
	}

	// Separators as "/", and "." and ".." segments collapsed; a path that needs none of it is given back untouched.
	FString NormaliseFullPath(FString&& Full)
	{
		if (!NeedsNormalising(Full))
		{
			return MoveTemp(Full);
		}
		FPaths::NormalizeFilename(Full);
		FPaths::CollapseRelativeDirectories(Full);
		if (Full.IsEmpty())
		{
			// Collapsing "/a/.." leaves nothing; the root is what remains of an absolute path.
			Full = TEXT("/");
		}
		return MoveTemp(Full);
	}

	FString RemoveDuplicateSlashes(const FString& Path)
	{
		FString Result;
		Result.Reserve(Path.Len());
		for (const TCHAR Char : Path)
		{
			if (Char != TEXT('/') || Result.IsEmpty() || Result[Result.Len() - 1] != TEXT('/'))
			{
				Result.AppendChar(Char);
			}
		}
		return Result;
	}
} // namespace

FString FPaths::ProjectDir()
{
	FString ProjectFile = GetProjectFilePath();
	if (ProjectFile.IsEmpty())
	{
		return FString(FPlatformProcess::BaseDir());
	}
	const FString Folder = GetPath(ProjectFile);
	if (Folder.IsEmpty())
	{
		// "/Game.uproject" lies in the root; a bare "Game.uproject" in the program's folder.
		return ProjectFile.StartsWith(TEXT("/"), ESearchCase::CaseSensitive) ? FString(TEXT("/")) : FString(TEXT("./"));
	}
	return Folder + TEXT("/");
}

FString FPaths::ProjectConfigDir()
{
	return ProjectDir() + TEXT("Config/");
}

const FString& FPaths::ProjectSavedDir()
{
	const FString Current = ProjectDir() + TEXT("Saved/");
	FPathState& State = GetState();
	std::lock_guard<std::mutex> Lock(State.Mutex);
	if (!State.SavedDir.Equals(Current))
	{
		State.SavedDir = Current;
	}
	return State.SavedDir;
}

FString FPaths::EngineDir()
{
	FPathState& State = GetState();
	std::lock_guard<std::mutex> Lock(State.Mutex);
	return State.EngineDir;
}

FString FPaths::GetProjectFilePath()
{
	FPathState& State = GetState();
	std::lock_guard<std::mutex> Lock(State.Mutex);
	return State.ProjectFilePath;
}

void FPaths::SetProjectFilePath(const FString& NewGameProjectFilePath)
{
	FString Normalized = NewGameProjectFilePath;
	NormalizeFilename(Normalized);
	FPathState& State = GetState();
	std::lock_guard<std::mutex> Lock(State.Mutex);
	State.ProjectFilePath = MoveTemp(Normalized);
}

FString FPaths::GetExtension(const FString& InPath, UE::Paths::EFlags Flags)
{
	const FString Filename = GetCleanFilename(InPath);
	const int32 Dot = FindExtensionDot(Filename, (Flags & UE::Paths::AllowCompoundExtension) != 0);
	if (Dot == INDEX_NONE)
	{
		return FString();
	}
	return Filename.Mid((Flags & UE::Paths::IncludeDot) != 0 ? Dot : Dot + 1);
}

FString FPaths::GetExtension(const FString& InPath, bool bIncludeDot)
{
	return GetExtension(InPath, bIncludeDot ? UE::Paths::IncludeDot : UE::Paths::None);
}

FString FPaths::GetCleanFilename(const FString& InPath)
{
	return InPath.Mid(FindLastSeparator(InPath) + 1);
}

FString FPaths::GetBaseFilename(const FString& InPath, bool bRemovePath)
{
	FString Result = bRemovePath ? GetCleanFilename(InPath) : InPath;
	const int32 Dot = FindExtensionDot(Result, false);
	if (Dot != INDEX_NONE)
	{
		Result.LeftInline(Dot);
	}
	return Result;
}

FString FPaths::GetPath(const FString& InPath)
{
	const int32 Separator = FindLastSeparator(InPath);
	return Separator == INDEX_NONE ? FString() : InPath.Left(Separator);
}

bool FPaths::FileExists(const FString& InPath)
{
	return IFileManager::Get().FileExists(*InPath);
}

bool FPaths::IsRelative(const FString& InPath)
{
	const int32 Length = InPath.Len();
	if (Length == 0)
	{
		return true;
	}
	if (InPath[0] == TEXT('/'))
	{
		return false;
	}
	if (Length >= 2 && InPath[0] == TEXT('\\') && InPath[1] == TEXT('\\'))
	{
		return false;
	}
	const bool bDriveLetter = Length >= 2 && InPath[1] == TEXT(':') && FChar::IsAlpha(InPath[0]);
	return !bDriveLetter;
}

bool FPaths::IsSamePath(const FString& PathA, const FString& PathB)
{
	// A trailing separator names the same folder; case matters on this platform's file system.
	auto Canonical = [](const FString& Path) {
		FString Result = RemoveDuplicateSlashes(ConvertRelativePathToFull(Path));
		if (Result.Len() > 1 && Result.EndsWith(TEXT("/"), ESearchCase::CaseSensitive))
		{
			Result.LeftChopInline(1);
		}
		return Result;
	};
	return Canonical(PathA).Equals(Canonical(PathB), ESearchCase::CaseSensitive);
}

bool FPaths::IsUnderDirectory(const FString& InPath, const FString& InDirectory)
{
	const FString Path = RemoveDuplicateSlashes(ConvertRelativePathToFull(InPath));
	FString Directory = RemoveDuplicateSlashes(ConvertRelativePathToFull(InDirectory));
	if (Directory.EndsWith(TEXT("/"), ESearchCase::CaseSensitive))
	{
		Directory.LeftChopInline(1);
	}
	// Whole folder names only: "/a/bc" is not under "/a/b".
	return Path.StartsWith(Directory, ESearchCase::CaseSensitive) && (Path.Len() == Directory.Len() || Path[Directory.Len()] == TEXT('/'));
}

void FPaths::NormalizeFilename(FString& InPath)
{
	InPath.ReplaceCharInline(TEXT('\\'), TEXT('/'));
}

void FPaths::NormalizeDirectoryName(FString& InPath)
{
	NormalizeFilename(InPath);
	if (InPath.EndsWith(TEXT("/"), ESearchCase::CaseSensitive) && !InPath.EndsWith(TEXT("//"), ESearchCase::CaseSensitive) &&
	    !InPath.EndsWith(TEXT(":/"), ESearchCase::CaseSensitive))
	{
		InPath.LeftChopInline(1);
	}
}

bool FPaths::CollapseRelativeDirectories(FString& InPath, bool bCollapseAllPossible)
{
	bool bCollapsedAll = true;
	// Everything before Floor is a ".." that could not go and stays as written.
	int32 Floor = 0;
	for (;;)
	{
		int32 ParentStart = INDEX_NONE;
		for (int32 Index = Floor; Index + 1 < InPath.Len(); ++Index)
		{
			if (IsParentSegment(InPath, Index))
			{
				ParentStart = Index;
				break;
			}
		}
		if (ParentStart == INDEX_NONE)
		{
			break;
		}
		const int32 ParentEnd = ParentStart + 2;
		const int32 SeparatorBefore = ParentStart - 1;

		// The ".." takes the nearest real folder before it, with the "." and empty segments in between.
		int32 RemoveFrom = INDEX_NONE;
		if (SeparatorBefore >= Floor)
		{
			int32 SegmentEnd = SeparatorBefore;
			for (;;)
			{
				const int32 Slash = FindLastSlashBetween(InPath, Floor, SegmentEnd);
				const int32 SegmentStart = Slash == INDEX_NONE ? Floor : Slash + 1;
				if (Slash != INDEX_NONE && IsSkippableSegment(InPath, SegmentStart, SegmentEnd))
				{
					SegmentEnd = Slash;
					continue;
				}
				// Nothing at all before the first separator is the root, which no ".." climbs over.
				const bool bAtRoot = Slash == INDEX_NONE && SegmentStart == SegmentEnd;
				RemoveFrom = bAtRoot ? INDEX_NONE : (Slash == INDEX_NONE ? Floor : Slash);
				break;
			}
			for (int32 Index = RemoveFrom; RemoveFrom != INDEX_NONE && Index < SeparatorBefore; ++Index)
			{
				if (InPath[Index] == TEXT(':'))
				{
					// A drive letter cannot be climbed over.
					RemoveFrom = INDEX_NONE;
					break;
				}
			}
		}

		if (RemoveFrom == INDEX_NONE)
		{
			if (!bCollapseAllPossible)
			{
				return false;
			}
			bCollapsedAll = false;
			Floor = ParentEnd + 1;
			continue;
		}
		int32 RemoveTo = ParentEnd;
		if (RemoveFrom == Floor && Floor > 0 && RemoveTo < InPath.Len())
		{
			// Behind a kept "..", the folder goes with the separator after its "..".
			++RemoveTo;
		}
		InPath = InPath.Left(RemoveFrom) + InPath.Mid(RemoveTo);
	}
	RemoveCurrentDirectorySegments(InPath);
	return bCollapsedAll;
}

bool FPaths::MakePathRelativeTo(FString& InPath, const TCHAR* InRelativeTo)
{
	const FString Target = ConvertRelativePathToFull(InPath);
	const FString Source = GetPath(ConvertRelativePathToFull(FString(InRelativeTo)));

	TArray<FString> TargetParts;
	Target.ParseIntoArray(TargetParts, TEXT("/"), true);
	TArray<FString> SourceParts;
	Source.ParseIntoArray(SourceParts, TEXT("/"), true);

	auto DriveOf = [](const TArray<FString>& Parts) -> TCHAR {
		return Parts.Num() > 0 && Parts[0].Len() >= 2 && Parts[0][1] == TEXT(':') ? FChar::ToUpper(Parts[0][0]) : TCHAR(0);
	};
	const TCHAR TargetDrive = DriveOf(TargetParts);
	const TCHAR SourceDrive = DriveOf(SourceParts);
	if (TargetDrive != 0 && SourceDrive != 0 && TargetDrive != SourceDrive)
	{
		return false;
	}

	// Folder names compare ignoring case, as FString's equality does.
	int32 Common = 0;
	while (Common < TargetParts.Num() && Common < SourceParts.Num() && TargetParts[Common] == SourceParts[Common])
	{
		++Common;
	}
	FString Result;
	for (int32 Index = Common; Index < SourceParts.Num(); ++Index)
	{
		Result += TEXT("../");
	}
	for (int32 Index = Common; Index < TargetParts.Num(); ++Index)
	{
		Result += TargetParts[Index];
		if (Index + 1 < TargetParts.Num())
		{
			Result.AppendChar(TEXT('/'));
		}
	}
	InPath = MoveTemp(Result);
	return true;
}

FString FPaths::ConvertRelativePathToFull(const FString& InPath)
{
	return ConvertRelativePathToFull(FString(InPath));
}

FString FPaths::ConvertRelativePathToFull(FString&& InPath)
{
	// An absolute path needs no base: it is taken as it is, and only normalised.
	return IsRelative(InPath) ? ConvertRelativePathToFull(FString(FPlatformProcess::BaseDir()), InPath) : NormaliseFullPath(MoveTemp(InPath));
}

FString FPaths::ConvertRelativePathToFull(const FString& BasePath, const FString& InPath)
{
	FString Full;
	if (IsRelative(InPath))
	{
		Full = BasePath;
	}
	Full /= InPath;
	return NormaliseFullPath(MoveTemp(Full));
}

namespace UE::StandIn
{
	void SetEngineDir(const FString& NewEngineDir)
	{
		FString Normalized = WithTrailingSlash(NewEngineDir);
		FPathState& State = GetState();
		std::lock_guard<std::mutex> Lock(State.Mutex);
		State.EngineDir = MoveTemp(Normalized);
	}
} // namespace UE::StandIn
