#include "HostPlugin.h"

#include "Dom/JsonObject.h"
#include "HostCommandlet.h"
#include "HostEngine.h"
#include "Interfaces/IPluginManager.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "StandIn/LogCategories.h"
#include "UObject/Class.h"
#include "UObject/UObjectIterator.h"

namespace UE::StandIn::EditorHost
{
	FString GetPluginDescriptorFile(const FHostOptions& Options)
	{
		return Options.PluginFile.IsEmpty() ? FString(TEXT(TRL_PLUGIN_DESCRIPTOR)) : AbsoluteFromWorkingDirectory(Options.PluginFile);
	}

	bool FindPluginModules(const FString& DescriptorFile, TArray<FName>& OutModules, FString& OutError)
	{
		FText Reason;
		if (!IPluginManager::Get().AddToPluginsList(DescriptorFile, &Reason))
		{
			OutError = Reason.ToString();
			return false;
		}
		// The manager names a plug-in after its descriptor's file.
		const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(FPaths::GetBaseFilename(DescriptorFile));
		if (!Plugin.IsValid())
		{
			OutError = FString::Printf(TEXT("The plug-in manager does not know the plug-in of '%s'."), *DescriptorFile);
			return false;
		}
		const TArray<FModuleDescriptor>& Modules = Plugin->GetDescriptor().Modules;

		// The editor loads every plug-in's modules of one phase before the next phase starts; None is never loaded.
		TArray<FName> Ordered;
		for (int32 Phase = ELoadingPhase::EarliestPossible; Phase < ELoadingPhase::None; ++Phase)
		{
			for (const FModuleDescriptor& Module : Modules)
			{
				if (Module.LoadingPhase == Phase && Module.IsLoadedInCurrentConfiguration())
				{
					Ordered.Add(Module.Name);
				}
			}
		}
		for (const FName& Module : Ordered)
		{
			if (!FModuleManager::Get().ModuleExists(*Module.ToString()))
			{
				OutError = FString::Printf(TEXT("The plug-in '%s' (%s) lists the module '%s', which this program does not have. Build the module into the "
				                                "host, or take it out of the descriptor."),
				                           *Plugin->GetName(), *Plugin->GetDescriptorFileName(), *Module.ToString());
				return false;
			}
		}
		OutModules = MoveTemp(Ordered);
		return true;
	}

	FString MakeEngineCommandLine(const FHostOptions& Options)
	{
		// The runtime module reads this switch at start-up and then answers that it has no settings object; the
		// manager names a plug-in after its descriptor's file.
		TArray<FString> Switches;
		if (Options.bWithoutSettings)
		{
			Switches.Add(FString::Printf(TEXT("-%sWithoutSettings"), *FPaths::GetBaseFilename(GetPluginDescriptorFile(Options))));
		}
		if (!Options.Commandlet.IsEmpty())
		{
			Switches.Add(FString(TEXT("-run=")) + Options.Commandlet);
			Switches.Add(MakeCommandletParams(Options.CommandletArguments));
		}
		return FString::Join(Switches, TEXT(" "));
	}

	FString GetModsRoot(const TArray<FName>& PluginModules)
	{
		// A module's reflected classes live in its script package, "/Script/<Module>".
		for (TObjectIterator<UClass> It; It; ++It)
		{
			const UFunction* Query = It->FindFunctionByName(TEXT("GetLocalModsRoot"));
			const bool bInPlugin = PluginModules.ContainsByPredicate([&It](const FName& Module) {
				return It->GetPathName().StartsWith(FString::Printf(TEXT("/Script/%s."), *Module.ToString()), ESearchCase::CaseSensitive);
			});
			if (!Query || !bInPlugin || !Query->HasAnyFunctionFlags(FUNC_Static))
			{
				continue;
			}
			TSharedPtr<FJsonValue> Return;
			TSharedRef<FJsonObject> Outputs = MakeShared<FJsonObject>();
			FString Error;
			FString Root;
			if (CallReflectedFunction(It->GetName(), Query->GetName(), nullptr, Return, Outputs, Error) && Return.IsValid() && Return->TryGetString(Root))
			{
				return Root;
			}
		}
		return FString();
	}

	TSet<FName> FindPluginLogCategories(const TArray<FName>& PluginModules)
	{
		TSet<FName> Categories;
		for (const FName& Module : PluginModules)
		{
			for (const FName& Category : UE::StandIn::GetLogCategoriesDefinedBy(Module))
			{
				Categories.Add(Category);
			}
		}
		return Categories;
	}
} // namespace UE::StandIn::EditorHost
