#include "Modules/ModuleManager.h"

#include "Logging/LogMacros.h"
#include <algorithm>

DEFINE_LOG_CATEGORY_STATIC(LogModuleManager, Log, All);

FModuleManager& FModuleManager::Get()
{
	// Never destroyed: modules that are still loaded at exit are left alone rather than shut down after
	// the globals they use are gone. A clean exit calls UnloadModulesAtShutdown.
	static FModuleManager* const Singleton = new FModuleManager();
	return *Singleton;
}

void FModuleManager::RegisterStaticallyLinkedModule(const FName InModuleName, const FInitializeStaticallyLinkedModule& InInitializerDelegate)
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	std::shared_ptr<FModuleInfo>& Info = Modules.FindOrAdd(InModuleName);
	if (!Info)
	{
		Info = std::make_shared<FModuleInfo>();
	}
	Info->Initializer = InInitializerDelegate;
}

bool FModuleManager::IsModuleLoaded(const FName InModuleName) const
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	const std::shared_ptr<FModuleInfo>* Info = Modules.Find(InModuleName);
	return Info != nullptr && (*Info)->Module != nullptr;
}

bool FModuleManager::ModuleExists(const TCHAR* ModuleName) const
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	return Modules.Contains(FName(ModuleName));
}

IModuleInterface* FModuleManager::LoadModule(const FName InModuleName, ELoadModuleFlags InLoadModuleFlags)
{
	std::shared_ptr<FModuleInfo> Info;
	{
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		if (const std::shared_ptr<FModuleInfo>* Found = Modules.Find(InModuleName))
		{
			Info = *Found;
		}
		if (Info == nullptr || !Info->Initializer.IsBound())
		{
			if ((static_cast<int32>(InLoadModuleFlags) & static_cast<int32>(ELoadModuleFlags::LogFailures)) != 0)
			{
				UE_LOG(LogModuleManager, Warning, TEXT("Unable to load module '%s': no module of that name is part of this program."),
				       *InModuleName.ToString());
			}
			return nullptr;
		}
		if (Info->Module != nullptr)
		{
			// Also reached when a module being started is asked for again by a module it loads.
			return Info->Module.get();
		}
		Info->Module.reset(Info->Initializer.Execute());
		Info->LoadOrder = 0;
	}

	// Outside the lock: start-up may take long, and other threads may ask which modules are loaded meanwhile.
	IModuleInterface* Module = Info->Module.get();
	Module->StartupModule();
	{
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		// Numbered once start-up is done, so that a module's dependencies (loaded from its StartupModule) come first.
		Info->LoadOrder = NextLoadOrder++;
	}
	ModulesChangedEvent.Broadcast(InModuleName, EModuleChangeReason::ModuleLoaded);
	return Module;
}

IModuleInterface& FModuleManager::LoadModuleChecked(const FName InModuleName)
{
	IModuleInterface* Module = LoadModule(InModuleName);
	if (Module == nullptr)
	{
		UE_LOG(LogModuleManager, Fatal, TEXT("Unable to load module '%s': no module of that name is part of this program."), *InModuleName.ToString());
	}
	return *Module;
}

IModuleInterface* FModuleManager::GetModule(const FName InModuleName)
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	const std::shared_ptr<FModuleInfo>* Info = Modules.Find(InModuleName);
	return Info != nullptr ? (*Info)->Module.get() : nullptr;
}

bool FModuleManager::UnloadModule(const FName InModuleName, bool /*bIsShutdown*/, bool /*bAllowUnloadCode*/)
{
	std::shared_ptr<FModuleInfo> Info;
	{
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		if (const std::shared_ptr<FModuleInfo>* Found = Modules.Find(InModuleName))
		{
			Info = *Found;
		}
		if (Info == nullptr || Info->Module == nullptr)
		{
			return false;
		}
	}

	// The module counts as loaded until its shutdown has run, as code it calls may ask.
	Info->Module->ShutdownModule();
	std::unique_ptr<IModuleInterface> Destroyed;
	{
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		Destroyed = std::move(Info->Module);
		Info->LoadOrder = 0;
	}
	Destroyed.reset();
	ModulesChangedEvent.Broadcast(InModuleName, EModuleChangeReason::ModuleUnloaded);
	return true;
}

void FModuleManager::UnloadModulesAtShutdown()
{
	TArray<FName> ToUnload;
	{
		std::lock_guard<std::recursive_mutex> Lock(Mutex);
		TArray<TPair<int32, FName>> Loaded;
		for (const auto& Pair : Modules)
		{
			if (Pair.Value->Module != nullptr && Pair.Value->Module->SupportsAutomaticShutdown())
			{
				Loaded.Add(TPair<int32, FName>{Pair.Value->LoadOrder, Pair.Key});
			}
		}
		Loaded.Sort([](const TPair<int32, FName>& A, const TPair<int32, FName>& B) {
			return A.Key > B.Key;
		});
		for (const TPair<int32, FName>& Entry : Loaded)
		{
			ToUnload.Add(Entry.Value);
		}
	}

	// Every module hears that shutdown is coming before the first one goes.
	for (const FName& Name : ToUnload)
	{
		if (IModuleInterface* Module = GetModule(Name))
		{
			Module->PreUnloadCallback();
		}
	}
	for (const FName& Name : ToUnload)
	{
		UnloadModule(Name, true);
	}
}

int32 FModuleManager::GetModuleCount() const
{
	return GetLoadedModuleNames().Num();
}

TArray<FName> FModuleManager::GetLoadedModuleNames() const
{
	std::lock_guard<std::recursive_mutex> Lock(Mutex);
	TArray<TPair<int32, FName>> Loaded;
	for (const auto& Pair : Modules)
	{
		if (Pair.Value->Module != nullptr && Pair.Value->LoadOrder > 0)
		{
			Loaded.Add(TPair<int32, FName>{Pair.Value->LoadOrder, Pair.Key});
		}
	}
	Loaded.Sort([](const TPair<int32, FName>& A, const TPair<int32, FName>& B) {
		return A.Key < B.Key;
	});
	TArray<FName> Names;
	for (const TPair<int32, FName>& Entry : Loaded)
	{
		Names.Add(Entry.Value);
	}
	return Names;
}
