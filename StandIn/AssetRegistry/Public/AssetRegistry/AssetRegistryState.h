// FAssetRegistryState: a saved asset registry, such as a base release's AssetRegistry.bin, loaded to be asked what
// it holds; here over the simulated cook's own format (StandIn/SimulatedAssetRegistry.h).
#pragma once

#include "AssetRegistry/AssetData.h"
#include "Containers/Map.h"
#include "CoreTypes.h"
#include "UObject/NameTypes.h"

class FArchive;

/** The versions of the saved registry format. */
struct FAssetRegistryVersion
{
	enum Type
	{
		LatestVersion = 0
	};
};

/** What a load keeps of a saved registry. */
struct FAssetRegistryLoadOptions
{
	FAssetRegistryLoadOptions() = default;

	bool bLoadDependencies = true;
	bool bLoadPackageData = true;
};

class FAssetRegistryState
{
public:
	FAssetRegistryState() = default;

	/**
	 * Replaces what the state holds by the registry read from Ar.
	 * @return false, leaving the state empty, when Ar does not hold a whole registry
	 */
	bool Load(FArchive& Ar, const FAssetRegistryLoadOptions& Options = FAssetRegistryLoadOptions(), FAssetRegistryVersion::Type* OutVersion = nullptr);

	/** @return the package's data; null when the registry does not hold the package (names compare ignoring case) */
	const FAssetPackageData* GetAssetPackageData(FName PackageName) const;

private:
	TMap<FName, FAssetPackageData> CachedPackageData;
};
