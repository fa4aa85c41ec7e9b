// UE_LOG and the macros that declare and define log categories.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Logging/LogCategory.h"
#include "Logging/LogVerbosity.h"
#include <type_traits>

/** Lines more verbose than this are compiled out in every category. */
#ifndef COMPILED_IN_MINIMUM_VERBOSITY
#define COMPILED_IN_MINIMUM_VERBOSITY VeryVerbose
#endif

namespace UE::Logging::Private
{
	/** Sends one formatted line to GLog. */
	void LogLine(const FLogCategoryBase& Category, ELogVerbosity::Type Verbosity, const FString& Message);

	/** Sends a Fatal line to GLog, flushes every device and stops the program. */
	[[noreturn]] void LogFatal(const FLogCategoryBase& Category, const FString& Message);

	template <typename CategoryType>
	inline constexpr ELogVerbosity::Type TCompileTimeVerbosity = std::remove_cvref_t<CategoryType>::CompileTimeVerbosity;

	/** Notes, beside a category's definition, which module's code defines it (see StandIn/LogCategories.h). */
	struct FDefiningModule
	{
		FDefiningModule(const FLogCategoryBase& Category, const ANSICHAR* ModuleName);
	};
} // namespace UE::Logging::Private

// The build names each module's code (UE_MODULE_NAME); code outside any module defines its categories for none.
#ifdef UE_MODULE_NAME
#define UE_LOG_DEFINING_MODULE_NAME UE_MODULE_NAME
#else
#define UE_LOG_DEFINING_MODULE_NAME ""
#endif

// True if lines of this verbosity are compiled in for the category (a constant expression).
#define UE_LOG_COMPILED_IN(CategoryName, Verbosity)                                                                                                            \
	((ELogVerbosity::Verbosity & ELogVerbosity::VerbosityMask) <= ELogVerbosity::COMPILED_IN_MINIMUM_VERBOSITY &&                                              \
	 (ELogVerbosity::Verbosity & ELogVerbosity::VerbosityMask) <= ::UE::Logging::Private::TCompileTimeVerbosity<decltype(CategoryName)>)

/** True if the category logs at that verbosity now (compiled in and not suppressed at run time). */
#define UE_LOG_ACTIVE(CategoryName, Verbosity) (UE_LOG_COMPILED_IN(CategoryName, Verbosity) && !CategoryName.IsSuppressed(ELogVerbosity::Verbosity))

/**
 * Logs a printf-style line (Format is a TEXT() literal; %s takes a const TCHAR*). The arguments are evaluated
 * only when the line is printed. A Fatal line stops the program.
 */
#define UE_LOG(CategoryName, Verbosity, Format, ...)                                                                                                           \
	do                                                                                                                                                         \
	{                                                                                                                                                          \
		if constexpr (UE_LOG_COMPILED_IN(CategoryName, Verbosity))                                                                                             \
		{                                                                                                                                                      \
			if constexpr ((ELogVerbosity::Verbosity & ELogVerbosity::VerbosityMask) == ELogVerbosity::Fatal)                                                   \
			{                                                                                                                                                  \
				::UE::Logging::Private::LogFatal(CategoryName, FString::Printf(Format __VA_OPT__(, ) __VA_ARGS__));                                            \
			}                                                                                                                                                  \
			else if (!CategoryName.IsSuppressed(ELogVerbosity::Verbosity))                                                                                     \
			{                                                                                                                                                  \
				::UE::Logging::Private::LogLine(CategoryName, ELogVerbosity::Verbosity, FString::Printf(Format __VA_OPT__(, ) __VA_ARGS__));                   \
			}                                                                                                                                                  \
		}                                                                                                                                                      \
	} while (false)

/** UE_LOG when Condition holds; Condition is evaluated only if the line could be printed. */
#define UE_CLOG(Condition, CategoryName, Verbosity, Format, ...)                                                                                               \
	do                                                                                                                                                         \
	{                                                                                                                                                          \
		if (UE_LOG_ACTIVE(CategoryName, Verbosity) && (Condition))                                                                                             \
		{                                                                                                                                                      \
			UE_LOG(CategoryName, Verbosity, Format __VA_OPT__(, ) __VA_ARGS__);                                                                                \
		}                                                                                                                                                      \
	} while (false)

/** Declares a category defined elsewhere with DEFINE_LOG_CATEGORY; may be prefixed with a module's export macro. */
#define DECLARE_LOG_CATEGORY_EXTERN(CategoryName, DefaultVerbosity, CompileTimeVerbosity)                                                                      \
	extern struct FLogCategory##CategoryName : public ::FLogCategory<ELogVerbosity::DefaultVerbosity, ELogVerbosity::CompileTimeVerbosity>                     \
	{                                                                                                                                                          \
		FLogCategory##CategoryName()                                                                                                                           \
		    : FLogCategory(TEXT(#CategoryName))                                                                                                                \
		{                                                                                                                                                      \
		}                                                                                                                                                      \
	} CategoryName

/** Defines a category declared with DECLARE_LOG_CATEGORY_EXTERN, in one .cpp. */
#define DEFINE_LOG_CATEGORY(CategoryName)                                                                                                                      \
	FLogCategory##CategoryName CategoryName;                                                                                                                   \
	static const ::UE::Logging::Private::FDefiningModule CategoryName##DefiningModule(CategoryName, UE_LOG_DEFINING_MODULE_NAME)

/** Declares and defines a category private to one .cpp. */
#define DEFINE_LOG_CATEGORY_STATIC(CategoryName, DefaultVerbosity, CompileTimeVerbosity)                                                                       \
	static struct FLogCategory##CategoryName : public ::FLogCategory<ELogVerbosity::DefaultVerbosity, ELogVerbosity::CompileTimeVerbosity>                     \
	{                                                                                                                                                          \
		FLogCategory##CategoryName()                                                                                                                           \
		    : FLogCategory(TEXT(#CategoryName))                                                                                                                \
		{                                                                                                                                                      \
		}                                                                                                                                                      \
	} CategoryName;                                                                                                                                            \
	static const ::UE::Logging::Private::FDefiningModule CategoryName##DefiningModule(CategoryName, UE_LOG_DEFINING_MODULE_NAME)
