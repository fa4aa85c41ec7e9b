#include "Misc/PackageName.h"

#include "Misc/Paths.h"

#include "StandIn/ContentRoots.h"
#include <mutex>

namespace
{
	class FMountPoint final : public UE::PackageName::IMountPoint
	{
	public:
		FMountPoint(FString InRootPath, FString InContentPath)
		    : RootPath(MoveTemp(InRootPath))
		    , ContentPath(MoveTemp(InContentPath))
		{
		}
		const FString& GetRootPath() const override { return RootPath; }
		const FString& GetContentPath() const override { return ContentPath; }

	private:
		FString RootPath;
		FString ContentPath;
	};

	// Mounts in the order they were made; a later mount of a root hides the earlier ones until it is removed.
	struct FMountTable
	{
		std::mutex Mutex;
		TArray<TRefCountPtr<UE::PackageName::IMountPoint>> MountPoints;
	};

	FMountTable& GetMountTable()
	{
		static FMountTable Table;
		return Table;
	}

	// "/Name" and "/Name/" name the same root.
	FString NormalizeRootPath(FStringView RootPath)
	{
		FString Root(RootPath);
		if (!Root.IsEmpty() && !Root.EndsWith(TEXT("/")))
		{
			Root += TEXT("/");
		}
		return Root;
	}

	bool IsValidRootPath(const FString& Root)
	{
		return Root.Len() >= 3 && Root.StartsWith(TEXT("/")) && !Root.Contains(TEXT("//")) && !Root.Contains(TEXT("\\")) && !Root.Contains(TEXT(" "));
	}

	FString NormalizeContentPath(const FString& ContentPath)
	{
		FString Path = ContentPath.Replace(TEXT("\\"), TEXT("/"));
		if (!Path.IsEmpty() && !Path.EndsWith(TEXT("/")))
		{
			Path += TEXT("/");
		}
		return Path;
	}

	// The folder of an engine root that has one on disk; the project and engine folders can change while
	// the program runs (the host opens a project), so they are asked for each time.
	FString GetEngineRootContentPath(const FString& Root)
	{
		if (Root.Equals(TEXT("/Game/"), ESearchCase::IgnoreCase))
		{
			return NormalizeContentPath(FPaths::ProjectDir() / TEXT("Content"));
		}
		if (Root.Equals(TEXT("/Engine/"), ESearchCase::IgnoreCase))
		{
			return NormalizeContentPath(FPaths::EngineDir() / TEXT("Content"));
		}
		if (Root.Equals(TEXT("/Config/"), ESearchCase::IgnoreCase))
		{
			return NormalizeContentPath(FPaths::ProjectConfigDir());
		}
		return FString();
	}
} // namespace

TRefCountPtr<UE::PackageName::IMountPoint> FPackageName::RegisterMountPoint(const FString& RootPath, const FString& ContentPath)
{
	FString Root = NormalizeRootPath(RootPath);
	if (!IsValidRootPath(Root) || ContentPath.IsEmpty())
	{
		return TRefCountPtr<UE::PackageName::IMountPoint>();
	}
	TRefCountPtr<UE::PackageName::IMountPoint> MountPoint(new FMountPoint(MoveTemp(Root), NormalizeContentPath(ContentPath)));
	RegisterMountPoint(MountPoint);
	return MountPoint;
}

void FPackageName::RegisterMountPoint(const TRefCountPtr<UE::PackageName::IMountPoint>& MountPoint)
{
	if (!MountPoint.IsValid())
	{
		return;
	}
	FMountTable& Table = GetMountTable();
	const std::lock_guard<std::mutex> Lock(Table.Mutex);
	// Mounting the same folder again moves it to the front instead of stacking a copy.
	for (int32 Index = Table.MountPoints.Num() - 1; Index >= 0; --Index)
	{
		const UE::PackageName::IMountPoint& Existing = *Table.MountPoints[Index];
		if (Existing.GetRootPath().Equals(MountPoint->GetRootPath(), ESearchCase::IgnoreCase) && Existing.GetContentPath() == MountPoint->GetContentPath())
		{
			Table.MountPoints.RemoveAt(Index);
		}
	}
	Table.MountPoints.Add(MountPoint);
}

void FPackageName::UnRegisterMountPoint(const FString& RootPath, const FString& ContentPath)
{
	const FString Root = NormalizeRootPath(RootPath);
	const FString Content = NormalizeContentPath(ContentPath);
	FMountTable& Table = GetMountTable();
	const std::lock_guard<std::mutex> Lock(Table.Mutex);
	for (int32 Index = Table.MountPoints.Num() - 1; Index >= 0; --Index)
	{
		const UE::PackageName::IMountPoint& Existing = *Table.MountPoints[Index];
		if (Existing.GetRootPath().Equals(Root, ESearchCase::IgnoreCase) && Existing.GetContentPath() == Content)
		{
			Table.MountPoints.RemoveAt(Index);
		}
	}
}

bool FPackageName::MountPointExists(FStringView RootPath)
{
	if (UE::StandIn::IsEngineContentRoot(RootPath))
	{
		return true;
	}
	const FString Root = NormalizeRootPath(RootPath);
	FMountTable& Table = GetMountTable();
	const std::lock_guard<std::mutex> Lock(Table.Mutex);
	for (const TRefCountPtr<UE::PackageName::IMountPoint>& MountPoint : Table.MountPoints)
	{
		if (MountPoint->GetRootPath().Equals(Root, ESearchCase::IgnoreCase))
		{
			return true;
		}
	}
	return false;
}

FString FPackageName::GetContentPathForPackageRoot(FStringView InPackageRoot)
{
	const FString Root = NormalizeRootPath(InPackageRoot);
	{
		FMountTable& Table = GetMountTable();
		const std::lock_guard<std::mutex> Lock(Table.Mutex);
		for (int32 Index = Table.MountPoints.Num() - 1; Index >= 0; --Index)
		{
			if (Table.MountPoints[Index]->GetRootPath().Equals(Root, ESearchCase::IgnoreCase))
			{
				return Table.MountPoints[Index]->GetContentPath();
			}
		}
	}
	return GetEngineRootContentPath(Root);
}

namespace UE::StandIn
{
	const TArray<FString>& GetEngineContentRoots()
	{
		static const TArray<FString> Roots = {TEXT("/Game/"), TEXT("/Engine/"), TEXT("/Script/"), TEXT("/Temp/"), TEXT("/Memory/"), TEXT("/Config/")};
		return Roots;
	}

	bool IsEngineContentRoot(FStringView RootPath)
	{
		const FString Root = NormalizeRootPath(RootPath);
		for (const FString& EngineRoot : GetEngineContentRoots())
		{
			if (EngineRoot.Equals(Root, ESearchCase::IgnoreCase))
			{
				return true;
			}
		}
		return false;
	}

	TArray<FContentRootEntry> GetRegisteredContentRoots()
	{
		TArray<FContentRootEntry> Entries;
		for (const FString& EngineRoot : GetEngineContentRoots())
		{
			Entries.Add({EngineRoot, GetEngineRootContentPath(EngineRoot)});
		}
		FMountTable& Table = GetMountTable();
		const std::lock_guard<std::mutex> Lock(Table.Mutex);
		for (const TRefCountPtr<UE::PackageName::IMountPoint>& MountPoint : Table.MountPoints)
		{
			Entries.Add({MountPoint->GetRootPath(), MountPoint->GetContentPath()});
		}
		return Entries;
	}
} // namespace UE::StandIn
