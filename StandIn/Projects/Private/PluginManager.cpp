#include "Interfaces/IPluginManager.h"

#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "StandIn/PluginMountFailure.h"

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Internationalization/Internationalization.h"
#include "Logging/LogMacros.h"
#include "StandIn/ContentRoots.h"

#define LOCTEXT_NAMESPACE "PluginManager"

DEFINE_LOG_CATEGORY_STATIC(LogPluginManager, Log, All);

namespace
{
	class FPlugin final : public IPlugin
	{
	public:
		FPlugin(FString InName, FString InDescriptorFileName, FPluginDescriptor InDescriptor)
		    : Name(MoveTemp(InName))
		    , DescriptorFileName(MoveTemp(InDescriptorFileName))
		    , Descriptor(MoveTemp(InDescriptor))
		{
		}

		const FString& GetName() const override { return Name; }
		const FString& GetFriendlyName() const override { return Descriptor.FriendlyName.IsEmpty() ? Name : Descriptor.FriendlyName; }
		const FString& GetDescriptorFileName() const override { return DescriptorFileName; }
		FString GetBaseDir() const override { return FPaths::GetPath(DescriptorFileName); }
		FString GetContentDir() const override { return GetBaseDir() / TEXT("Content"); }
		FString GetMountedAssetPath() const override { return FString(TEXT("/")) + Name + TEXT("/"); }
		EPluginType GetType() const override { return EPluginType::External; }
		bool IsEnabled() const override { return bMounted; }
		bool IsMounted() const override { return bMounted; }
		bool CanContainContent() const override { return Descriptor.bCanContainContent; }
		const FPluginDescriptor& GetDescriptor() const override { return Descriptor; }

		void SetDescriptor(FPluginDescriptor InDescriptor) { Descriptor = MoveTemp(InDescriptor); }
		void SetMounted(bool bInMounted) { bMounted = bInMounted; }

	private:
		FString Name;
		FString DescriptorFileName;
		FPluginDescriptor Descriptor;
		bool bMounted = false;
	};

	// Folders compare as the file system sees them here: separators normalised, trailing "/" ignored.
	FString NormalizeFolder(const FString& Folder)
	{
		FString Result = FPaths::ConvertRelativePathToFull(Folder);
		while (Result.Len() > 1 && Result.EndsWith(TEXT("/")))
		{
			Result.LeftChopInline(1);
		}
		return Result;
	}

	class FPluginManager final : public IPluginManager
	{
	public:
		bool AddToPluginsList(const FString& PluginFilename, FText* OutFailReason) override
		{
			const FString FullPath = FPaths::ConvertRelativePathToFull(PluginFilename);
			FPluginDescriptor Descriptor;
			FText Reason;
			if (!Descriptor.Load(FullPath, &Reason))
			{
				return RefuseToAdd(FullPath, Reason, OutFailReason);
			}

			const FString Name = FPaths::GetBaseFilename(FullPath);
			if (const TSharedPtr<FPlugin> Existing = FindKnown(Name))
			{
				if (!Existing->GetDescriptorFileName().Equals(FullPath, ESearchCase::CaseSensitive))
				{
					return RefuseToAdd(FullPath,
					                   FText::Format(LOCTEXT("NameTaken", "A plug-in named '{0}' is already known from '{1}'; a plug-in name must be unique."),
					                                 FText::FromString(Name), FText::FromString(Existing->GetDescriptorFileName())),
					                   OutFailReason);
				}
				// The same descriptor again: take what it says now.
				Existing->SetDescriptor(MoveTemp(Descriptor));
				return true;
			}
			Plugins.Add(MakeShared<FPlugin>(Name, FullPath, MoveTemp(Descriptor)));
			return true;
		}

		TSharedPtr<IPlugin> FindPlugin(const FStringView Name) override { return FindKnown(Name); }

		TSharedPtr<IPlugin> FindPlugin(const ANSICHAR* Name) override { return FindKnown(FString(Name)); }

		TArray<TSharedRef<IPlugin>> GetDiscoveredPlugins() override
		{
			TArray<TSharedRef<IPlugin>> Discovered;
			for (const TSharedPtr<FPlugin>& Plugin : Plugins)
			{
				Discovered.Add(Plugin.ToSharedRef());
			}
			return Discovered;
		}

		TSharedPtr<IPlugin> FindPluginFromPath(const FString& PluginPath) override
		{
			// A file or folder on disk, or a package path under the plug-in's content root.
			const FString FullPath = NormalizeFolder(PluginPath);
			for (const TSharedPtr<FPlugin>& Plugin : Plugins)
			{
				const FString BaseDir = NormalizeFolder(Plugin->GetBaseDir());
				const bool bOnDisk =
				    FullPath.Equals(BaseDir, ESearchCase::CaseSensitive) || FullPath.StartsWith(BaseDir + TEXT("/"), ESearchCase::CaseSensitive);
				if (bOnDisk || PluginPath.StartsWith(Plugin->GetMountedAssetPath(), ESearchCase::IgnoreCase))
				{
					return Plugin;
				}
			}
			return nullptr;
		}

		bool MountExplicitlyLoadedPlugin_FromFileName(const FString& PluginFileName) override
		{
			LastMountFailReason = FText::GetEmpty();
			const FString FullPath = FPaths::ConvertRelativePathToFull(PluginFileName);
			const TSharedPtr<FPlugin>* Known = Plugins.FindByPredicate([&FullPath](const TSharedPtr<FPlugin>& Plugin) {
				return Plugin->GetDescriptorFileName().Equals(FullPath, ESearchCase::CaseSensitive);
			});
			if (!Known)
			{
				FText Reason;
				if (!AddToPluginsList(FullPath, &Reason))
				{
					return RefuseMount(FPaths::GetBaseFilename(FullPath), Reason);
				}
			}
			return MountExplicitlyLoadedPlugin(FPaths::GetBaseFilename(FullPath), ELoadingPhase::Max);
		}

		bool MountExplicitlyLoadedPlugin(const FString& PluginName, ELoadingPhase::Type /*MaxLoadingPhase*/) override
		{
			LastMountFailReason = FText::GetEmpty();
			const TSharedPtr<FPlugin> Plugin = FindKnown(PluginName);
			if (!Plugin.IsValid())
			{
				return RefuseMount(PluginName,
				                   FText::Format(LOCTEXT("UnknownPlugin", "No plug-in named '{0}' is known. Add its descriptor to the plug-in list first."),
				                                 FText::FromString(PluginName)));
			}
			if (!Plugin->GetDescriptor().bExplicitlyLoaded)
			{
				return RefuseMount(PluginName,
				                   FText::Format(LOCTEXT("NotExplicitlyLoaded", "The plug-in '{0}' is not explicitly loaded: only a plug-in whose descriptor "
				                                                                "says \"ExplicitlyLoaded\": true can be mounted on request."),
				                                 FText::FromString(Plugin->GetName())));
			}
			if (Plugin->IsMounted())
			{
				return true;
			}
			if (const FText* Refusal = MountRefusals.Find(Plugin->GetName()))
			{
				return RefuseMount(PluginName, *Refusal);
			}
			if (Plugin->CanContainContent())
			{
				FText Reason;
				if (!RegisterContentRoot(*Plugin, Reason))
				{
					return RefuseMount(PluginName, Reason);
				}
			}
			Plugin->SetMounted(true);
			UE_LOG(LogPluginManager, Log, TEXT("Mounted plug-in '%s' (%s)."), *Plugin->GetName(), *Plugin->GetDescriptorFileName());
			return true;
		}

		bool UnmountExplicitlyLoadedPlugin(const FString& PluginName, FText* OutReason) override
		{
			const TSharedPtr<FPlugin> Plugin = FindKnown(PluginName);
			if (!Plugin.IsValid())
			{
				return Refuse(FText::Format(LOCTEXT("UnmountUnknown", "No plug-in named '{0}' is known."), FText::FromString(PluginName)), OutReason);
			}
			if (!Plugin->GetDescriptor().bExplicitlyLoaded)
			{
				return Refuse(FText::Format(LOCTEXT("UnmountNotExplicit", "The plug-in '{0}' is not explicitly loaded and cannot be unmounted."),
				                            FText::FromString(Plugin->GetName())),
				              OutReason);
			}
			if (Plugin->IsMounted() && Plugin->CanContainContent())
			{
				FPackageName::UnRegisterMountPoint(Plugin->GetMountedAssetPath(), Plugin->GetContentDir());
			}
			Plugin->SetMounted(false);
			return true;
		}

		FText GetLastMountFailReason() const { return LastMountFailReason; }

		void AddMountRefusal(const FString& PluginName, const FText& Reason) { MountRefusals.Add(PluginName, Reason); }
		void ClearMountRefusals() { MountRefusals.Empty(); }

	private:
		TSharedPtr<FPlugin> FindKnown(FStringView Name) const
		{
			for (const TSharedPtr<FPlugin>& Plugin : Plugins)
			{
				if (FStringView(Plugin->GetName()).Equals(Name, ESearchCase::IgnoreCase))
				{
					return Plugin;
				}
			}
			return nullptr;
		}

		// A content root stands for one folder: the engine's own roots, and roots taken by another folder, are refused.
		bool RegisterContentRoot(const FPlugin& Plugin, FText& OutReason) const
		{
			const FString Root = Plugin.GetMountedAssetPath();
			const FText RootText = FText::FromString(Root);
			if (UE::StandIn::IsEngineContentRoot(Root))
			{
				OutReason = FText::Format(LOCTEXT("ReservedRoot", "The content root '{0}' is reserved by the engine. Rename the plug-in '{1}'."), RootText,
				                          FText::FromString(Plugin.GetName()));
				return false;
			}
			if (FPackageName::MountPointExists(Root))
			{
				const FString Existing = FPackageName::GetContentPathForPackageRoot(Root);
				if (!NormalizeFolder(Existing).Equals(NormalizeFolder(Plugin.GetContentDir()), ESearchCase::CaseSensitive))
				{
					OutReason = FText::Format(
					    LOCTEXT("TakenRoot", "The content root '{0}' is already registered to '{1}'. Unmount that folder or rename the plug-in '{2}'."),
					    RootText, FText::FromString(Existing), FText::FromString(Plugin.GetName()));
					return false;
				}
			}
			if (!FPackageName::RegisterMountPoint(Root, Plugin.GetContentDir()).IsValid())
			{
				OutReason = FText::Format(LOCTEXT("InvalidRoot", "'{0}' is not a valid content root. Rename the plug-in '{1}'."), RootText,
				                          FText::FromString(Plugin.GetName()));
				return false;
			}
			return true;
		}

		// The engine reports a plug-in it cannot take as an error, whoever asked for it and whatever they do next.
		static bool RefuseToAdd(const FString& PluginFilename, const FText& Reason, FText* OutFailReason)
		{
			UE_LOG(LogPluginManager, Error, TEXT("Failed to load plugin '%s': %s"), *PluginFilename, *Reason.ToString());
			if (OutFailReason)
			{
				*OutFailReason = Reason;
			}
			return false;
		}

		static bool Refuse(const FText& Reason, FText* OutReason)
		{
			UE_LOG(LogPluginManager, Warning, TEXT("%s"), *Reason.ToString());
			if (OutReason)
			{
				*OutReason = Reason;
			}
			return false;
		}

		bool RefuseMount(const FString& PluginName, const FText& Reason)
		{
			LastMountFailReason = Reason;
			UE_LOG(LogPluginManager, Warning, TEXT("Could not mount plug-in '%s': %s"), *PluginName, *Reason.ToString());
			return false;
		}

		TArray<TSharedPtr<FPlugin>> Plugins;
		FText LastMountFailReason;
		// Refusals asked for by name; string keys match in any case, as plug-in names do.
		TMap<FString, FText> MountRefusals;
	};

	FPluginManager& GetPluginManager()
	{
		static FPluginManager Manager;
		return Manager;
	}
} // namespace

IPluginManager& IPluginManager::Get()
{
	return GetPluginManager();
}

namespace UE::StandIn
{
	FText GetLastPluginMountFailReason()
	{
		return GetPluginManager().GetLastMountFailReason();
	}

	void RefusePluginMount(const FString& PluginName, const FText& Reason)
	{
		GetPluginManager().AddMountRefusal(PluginName, Reason);
	}

	void ClearPluginMountRefusals()
	{
		GetPluginManager().ClearMountRefusals();
	}
} // namespace UE::StandIn

#undef LOCTEXT_NAMESPACE
