#include "Logging/LogCategory.h"

#include "Containers/Map.h"
#include "Logging/LogMacros.h"
#include "Logging/LogVerbosity.h"
#include "Misc/OutputDeviceRedirector.h"
#include "StandIn/LogCategories.h"
#include <algorithm>
#include <cstdlib>

namespace
{
	const TCHAR* const VerbosityNames[] = {TEXT("NoLogging"), TEXT("Fatal"), TEXT("Error"),   TEXT("Warning"),
	                                       TEXT("Display"),   TEXT("Log"),   TEXT("Verbose"), TEXT("VeryVerbose")};

	// Built on first use: categories are globals constructed in no particular order.
	TMap<FName, FLogCategoryBase*>& GetCategoryRegistry()
	{
		static TMap<FName, FLogCategoryBase*> Registry;
		return Registry;
	}

	struct FCategoryModule
	{
		FName Category;
		FName Module;
	};

	// Built on first use, like the registry; written while globals are constructed and read long after.
	TArray<FCategoryModule>& GetDefiningModules()
	{
		static TArray<FCategoryModule> DefiningModules;
		return DefiningModules;
	}

	ELogVerbosity::Type Clamp(ELogVerbosity::Type Verbosity, ELogVerbosity::Type Limit)
	{
		return std::min<ELogVerbosity::Type>(static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask), Limit);
	}
} // namespace

const TCHAR* ToString(ELogVerbosity::Type Verbosity)
{
	const uint8 Level = Verbosity & ELogVerbosity::VerbosityMask;
	return Level < UE_ARRAY_COUNT(VerbosityNames) ? VerbosityNames[Level] : TEXT("Unknown");
}

ELogVerbosity::Type ParseLogVerbosityFromString(const FString& VerbosityString)
{
	for (uint8 Level = 0; Level < UE_ARRAY_COUNT(VerbosityNames); ++Level)
	{
		if (VerbosityString.Equals(VerbosityNames[Level], ESearchCase::IgnoreCase))
		{
			return static_cast<ELogVerbosity::Type>(Level);
		}
	}
	if (VerbosityString.Equals(TEXT("All"), ESearchCase::IgnoreCase))
	{
		return ELogVerbosity::All;
	}
	return ELogVerbosity::Log;
}

FLogCategoryBase::FLogCategoryBase(const TCHAR* InCategoryName, ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity)
    : Verbosity(Clamp(InDefaultVerbosity, InCompileTimeVerbosity))
    , DefaultVerbosity(Clamp(InDefaultVerbosity, InCompileTimeVerbosity))
    , CompileTimeVerbosity(InCompileTimeVerbosity)
    , CategoryName(InCategoryName)
{
	GetCategoryRegistry().Add(CategoryName, this);
}

FLogCategoryBase::~FLogCategoryBase()
{
	FLogCategoryBase** Registered = GetCategoryRegistry().Find(CategoryName);
	if (Registered && *Registered == this)
	{
		GetCategoryRegistry().Remove(CategoryName);
	}
}

FLogCategoryBase* UE::StandIn::FindLogCategory(const FName& InCategoryName)
{
	FLogCategoryBase** Registered = GetCategoryRegistry().Find(InCategoryName);
	return Registered ? *Registered : nullptr;
}

void FLogCategoryBase::SetVerbosity(ELogVerbosity::Type NewVerbosity)
{
	Verbosity.store(Clamp(NewVerbosity, CompileTimeVerbosity), std::memory_order_relaxed);
}

TArray<FName> UE::StandIn::GetLogCategoriesDefinedBy(const FName& ModuleName)
{
	TArray<FName> Categories;
	for (const FCategoryModule& Entry : GetDefiningModules())
	{
		if (Entry.Module == ModuleName)
		{
			Categories.Add(Entry.Category);
		}
	}
	return Categories;
}

namespace UE::Logging::Private
{
	FDefiningModule::FDefiningModule(const FLogCategoryBase& Category, const ANSICHAR* ModuleName)
	{
		GetDefiningModules().Add({Category.GetCategoryName(), FName(ModuleName)});
	}

	void LogLine(const FLogCategoryBase& Category, ELogVerbosity::Type Verbosity, const FString& Message)
	{
		// Not GLog: a line logged during static initialisation may come before GLog is set.
		FOutputDeviceRedirector::Get()->Serialize(*Message, Verbosity, Category.GetCategoryName());
	}

	void LogFatal(const FLogCategoryBase& Category, const FString& Message)
	{
		FOutputDeviceRedirector* Log = FOutputDeviceRedirector::Get();
		Log->Serialize(*Message, ELogVerbosity::Fatal, Category.GetCategoryName());
		Log->Flush();
		std::abort();
	}
} // namespace UE::Logging::Private
