#include "HostPlugin.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
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

	namespace
	{
		/** @return the name of a reflected class of PluginModules with a static function of that name; empty when none has one. */
		FString FindPluginClassWith(const TArray<FName>& PluginModules, const TCHAR* FunctionName)
		{
			// A module's reflected classes live in its script package, "/Script/<Module>".
			for (TObjectIterator<UClass> It; It; ++It)
			{
				const UFunction* Query = It->FindFunctionByName(FunctionName);
				const bool bInPlugin = PluginModules.ContainsByPredicate([&It](const FName& Module) {
					return It->GetPathName().StartsWith(FString::Printf(TEXT("/Script/%s."), *Module.ToString()), ESearchCase::CaseSensitive);
				});
				if (Query && bInPlugin && Query->HasAnyFunctionFlags(FUNC_Static))
				{
					return It->GetName();
				}
			}
			return FString();
		}

		/** Calls a query of the plug-in. @return false when no class of PluginModules offers it, or the call is refused */
		bool CallPluginQuery(const TArray<FName>& PluginModules, const TCHAR* FunctionName, const TSharedPtr<FJsonValue>& Args,
		                     TSharedPtr<FJsonValue>& OutReturn, TSharedRef<FJsonObject>& OutOutputs)
		{
			const FString ClassName = FindPluginClassWith(PluginModules, FunctionName);
			FString Error;
			return !ClassName.IsEmpty() && CallReflectedFunction(ClassName, FunctionName, Args, OutReturn, OutOutputs, Error) && OutReturn.IsValid();
		}
	} // namespace

	FString GetModsRoot(const TArray<FName>& PluginModules)
	{
		TSharedPtr<FJsonValue> Return;
		TSharedRef<FJsonObject> Outputs = MakeShared<FJsonObject>();
		FString Root;
		return CallPluginQuery(PluginModules, TEXT("GetLocalModsRoot"), nullptr, Return, Outputs) && Return->TryGetString(Root) ? Root : FString();
	}

	TArray<FModBuildState> ListModBuildStates(const TArray<FName>& PluginModules)
	{
		TArray<FModBuildState> Mods;
		TSharedPtr<FJsonValue> Descriptors;
		TSharedRef<FJsonObject> Unused = MakeShared<FJsonObject>();
		const TArray<TSharedPtr<FJsonValue>>* List = nullptr;
		if (!CallPluginQuery(PluginModules, TEXT("GetLocalModDescriptors"), nullptr, Descriptors, Unused) || !Descriptors->TryGetArray(List))
		{
			return Mods;
		}
		for (const TSharedPtr<FJsonValue>& Descriptor : *List)
		{
			FModBuildState& Mod = Mods.Emplace_GetRef();
			Mod.Descriptor = Descriptor->AsString();
			Mod.Name = FPaths::GetBaseFilename(Mod.Descriptor);
			const TSharedRef<FJsonObject> Args = MakeShared<FJsonObject>();
			Args->SetStringField(TEXT("ModDescriptorPath"), Mod.Descriptor);
			TSharedPtr<FJsonValue> State;
			TSharedRef<FJsonObject> Outputs = MakeShared<FJsonObject>();
			const TArray<TSharedPtr<FJsonValue>>* Reasons = nullptr;
			if (CallPluginQuery(PluginModules, TEXT("GetBuildState"), MakeShared<FJsonValueObject>(Args), State, Outputs) &&
			    Outputs->TryGetArrayField(TEXT("OutReasons"), Reasons))
			{
				Mod.State = State->AsString();
				for (const TSharedPtr<FJsonValue>& Reason : *Reasons)
				{
					// A text arrives as its string with its namespace and key.
					Mod.Reasons.Add(Reason->AsObject()->GetStringField(TEXT("string")));
				}
			}
		}
		return Mods;
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
