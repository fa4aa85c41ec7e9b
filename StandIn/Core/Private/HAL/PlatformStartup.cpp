#include "Misc/AssertionMacros.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace
{
	// Character classification (iswalnum and friends) follows the locale; every program that links Core
	// classifies UTF-16 code units the same way, whatever the environment says. It runs before the
	// program's own static initialisers, so that none of them classifies under the "C" locale.
	__attribute__((constructor(101))) void SelectCharacterTypeLocale()
	{
		if (!std::setlocale(LC_CTYPE, "C.UTF-8"))
		{
			std::setlocale(LC_CTYPE, "C.utf8");
		}
	}
} // namespace

namespace UE::Assert::Private
{
	void ReportFailedCheck(const char* Expression, const char* File, int Line, const char* Message)
	{
		std::fprintf(stderr, "Assertion failed: %s [%s:%d]%s%s\n", Expression, File, Line, Message ? " " : "", Message ? Message : "");
		std::fflush(stderr);
		std::abort();
	}

	bool ReportFailedEnsure(const char* Expression, const char* File, int Line)
	{
		std::fprintf(stderr, "Ensure condition failed: %s [%s:%d]\n", Expression, File, Line);
		return false;
	}
} // namespace UE::Assert::Private
