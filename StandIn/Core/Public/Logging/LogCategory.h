// A log category: a name and the verbosity below which its lines are printed, changeable while running.
#pragma once

#include "CoreTypes.h"
#include "Logging/LogVerbosity.h"
#include "UObject/NameTypes.h"
#include <atomic>

/** The run-time state of one log category. */
struct FLogCategoryBase
{
	FLogCategoryBase(const TCHAR* CategoryName, ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity);
	~FLogCategoryBase();

	FLogCategoryBase(const FLogCategoryBase&) = delete;
	FLogCategoryBase& operator=(const FLogCategoryBase&) = delete;

	/** @return true if a line of this verbosity is not printed now. Fatal is never suppressed. */
	bool IsSuppressed(ELogVerbosity::Type VerbosityLevel) const
	{
		const ELogVerbosity::Type Level = static_cast<ELogVerbosity::Type>(VerbosityLevel & ELogVerbosity::VerbosityMask);
		return Level != ELogVerbosity::Fatal && Level > Verbosity.load(std::memory_order_relaxed);
	}

	const FName& GetCategoryName() const { return CategoryName; }

	/** @return the most verbose level printed now. */
	ELogVerbosity::Type GetVerbosity() const { return Verbosity.load(std::memory_order_relaxed); }

	/** Sets the most verbose level printed, capped at what was compiled in. */
	void SetVerbosity(ELogVerbosity::Type NewVerbosity);

	/** @return the most verbose level compiled in. */
	ELogVerbosity::Type GetCompileTimeVerbosity() const { return CompileTimeVerbosity; }

	/** @return the verbosity the category started with. */
	ELogVerbosity::Type GetDefaultVerbosity() const { return DefaultVerbosity; }

private:
	// Relaxed atomic: another thread may change it while lines are being logged.
	std::atomic<ELogVerbosity::Type> Verbosity;
	ELogVerbosity::Type DefaultVerbosity;
	ELogVerbosity::Type CompileTimeVerbosity;
	FName CategoryName;
};

/** A category with its verbosities fixed at compile time, so that UE_LOG can drop lines above CompileTimeVerbosity entirely. */
template <ELogVerbosity::Type InDefaultVerbosity, ELogVerbosity::Type InCompileTimeVerbosity>
struct FLogCategory : public FLogCategoryBase
{
	static_assert((InDefaultVerbosity & ELogVerbosity::VerbosityMask) < ELogVerbosity::NumVerbosity, "Bogus default verbosity.");
	static_assert(InCompileTimeVerbosity < ELogVerbosity::NumVerbosity, "Bogus compile-time verbosity.");

	static constexpr ELogVerbosity::Type CompileTimeVerbosity = InCompileTimeVerbosity;

	explicit FLogCategory(const TCHAR* InCategoryName)
	    : FLogCategoryBase(InCategoryName, InDefaultVerbosity, InCompileTimeVerbosity)
	{
	}
};
