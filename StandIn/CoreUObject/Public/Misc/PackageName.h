// FPackageName: the table of content roots ("/Game/", "/MyPlugin/") and the folders on disk they stand for.
#pragma once

#include "Containers/Array.h"
#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Templates/RefCounting.h"

namespace UE::PackageName
{
	/** One registered content root and the folder on disk that holds its packages. */
	class IMountPoint : public FRefCountBase
	{
	public:
		/** The long-package root, with a leading and a trailing "/", e.g. "/MyMod/". */
		virtual const FString& GetRootPath() const = 0;
		/** The folder on disk, ending in "/". */
		virtual const FString& GetContentPath() const = 0;
	};
} // namespace UE::PackageName

class FPackageName
{
public:
	/**
	 * Mounts RootPath on ContentPath, in front of any earlier mount of the same root.
	 * @param RootPath the content root, e.g. "/MyMod/" (a missing trailing "/" is added)
	 * @param ContentPath the folder on disk, e.g. ".../MyMod/Content/"
	 * @return the mount point, or null when RootPath is not a valid root ("/Name/") or ContentPath is empty
	 */
	static TRefCountPtr<UE::PackageName::IMountPoint> RegisterMountPoint(const FString& RootPath, const FString& ContentPath);
	/** Mounts a mount point made earlier, in front of any earlier mount of its root. */
	static void RegisterMountPoint(const TRefCountPtr<UE::PackageName::IMountPoint>& MountPoint);
	/** Removes the mount of RootPath on ContentPath; other folders mounted on the same root stay. */
	static void UnRegisterMountPoint(const FString& RootPath, const FString& ContentPath);
	/** True when RootPath ("/Name/" or "/Name") is one of the engine's roots or has been registered. */
	static bool MountPointExists(FStringView RootPath);
	static bool MountPointExists(const FString& RootPath) { return MountPointExists(FStringView(RootPath)); }
	static bool MountPointExists(const TCHAR* RootPath) { return MountPointExists(FStringView(RootPath)); }
	/** The folder that InPackageRoot stands for (the most recent mount), or the empty string when it has none. */
	static FString GetContentPathForPackageRoot(FStringView InPackageRoot);
};
