// Copyright Trellic contributors. All Rights Reserved.

#include "TRLModMount.h"

#include "Interfaces/IPluginManager.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"

#define LOCTEXT_NAMESPACE "TRLModMount"

namespace TRLModMount
{
	FString ContentRootOf(const FString& ModName)
	{
		return FString::Printf(TEXT("/%s/"), *ModName);
	}
} // namespace TRLModMount

bool FTRLModMount::Mount(const FString& DescriptorPath, const FString& ModName, FText& OutError)
{
	IPluginManager& PluginManager = IPluginManager::Get();
	const FString ContentRoot = TRLModMount::ContentRootOf(ModName);

	TSharedPtr<IPlugin> Plugin = PluginManager.FindPlugin(ModName);
	if (Plugin.IsValid())
	{
		// The engine knows one plug-in per name, so a second folder with a mod of the same name can never be mounted.
		if (!FPaths::IsSamePath(Plugin->GetDescriptorFileName(), DescriptorPath))
		{
			OutError =
			    FText::Format(LOCTEXT("HeldByOtherMod", "Could not mount '{0}': its content root {1} belongs to the mod at '{2}'. Rename one of the two mods."),
			                  FText::FromString(ModName), FText::FromString(ContentRoot), FText::FromString(Plugin->GetDescriptorFileName()));
			return false;
		}
		if (Plugin->IsMounted())
		{
			return true;
		}
	}

	// Checked before the engine hears of the mod, so that a refused mod leaves nothing behind in the plug-in manager.
	if (FPackageName::MountPointExists(ContentRoot))
	{
		OutError = FText::Format(LOCTEXT("ContentRootInUse", "Could not mount '{0}': the engine already uses the content root {1}. Give the mod another name."),
		                         FText::FromString(ModName), FText::FromString(ContentRoot));
		return false;
	}

	if (!Plugin.IsValid())
	{
		FText FailReason;
		if (!PluginManager.AddToPluginsList(DescriptorPath, &FailReason))
		{
			OutError = FText::Format(LOCTEXT("UnreadableDescriptor", "Could not mount '{0}': its descriptor '{1}' could not be read. {2}"),
			                         FText::FromString(ModName), FText::FromString(DescriptorPath), FailReason);
			return false;
		}
	}

	if (!PluginManager.MountExplicitlyLoadedPlugin(ModName) || !IsMounted(ModName))
	{
		// The engine logs its own reason under LogPluginManager; a descriptor without these two flags is the usual one.
		OutError = FText::Format(LOCTEXT("MountRefused", "Could not mount '{0}': the engine refused to mount it, for the reason it logged under "
		                                                 "LogPluginManager. If the log gives none, check that the descriptor sets \"ExplicitlyLoaded\" and "
		                                                 "\"CanContainContent\" to true."),
		                         FText::FromString(ModName));
		return false;
	}
	return true;
}

bool FTRLModMount::IsMounted(const FString& ModName)
{
	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(ModName);
	return Plugin.IsValid() && Plugin->IsMounted();
}

FString FTRLModMount::GetMountPoint(const FString& ModName)
{
	const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(ModName);
	return Plugin.IsValid() ? Plugin->GetMountedAssetPath() : FString();
}

#undef LOCTEXT_NAMESPACE
