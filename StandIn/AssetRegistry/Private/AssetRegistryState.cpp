#include "AssetRegistry/AssetRegistryState.h"

#include "Serialization/Archive.h"
#include "StandIn/SimulatedAssetRegistry.h"

#include <string>

bool FAssetRegistryState::Load(FArchive& Ar, const FAssetRegistryLoadOptions& /*Options*/, FAssetRegistryVersion::Type* OutVersion)
{
	CachedPackageData.Empty();
	std::string Bytes(static_cast<size_t>(Ar.TotalSize() - Ar.Tell()), '\0');
	Ar.Serialize(Bytes.data(), static_cast<int64>(Bytes.size()));
	std::set<std::string> PackageNames;
	if (Ar.IsError() || !UE::StandIn::SimulatedAssetRegistry::Parse(Bytes, PackageNames))
	{
		return false;
	}
	for (const std::string& PackageName : PackageNames)
	{
		CachedPackageData.Add(FName(FString::FromUtf8(PackageName)), FAssetPackageData());
	}
	if (OutVersion)
	{
		*OutVersion = FAssetRegistryVersion::LatestVersion;
	}
	return true;
}

const FAssetPackageData* FAssetRegistryState::GetAssetPackageData(FName PackageName) const
{
	return CachedPackageData.Find(PackageName);
}
