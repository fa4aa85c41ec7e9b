// check/verify/ensure: programmer errors stop the program with the expression and place; ensure only reports.
#pragma once

#include "CoreTypes.h"

namespace UE::Assert::Private
{
	[[noreturn]] void ReportFailedCheck(const char* Expression, const char* File, int Line, const char* Message);
	bool ReportFailedEnsure(const char* Expression, const char* File, int Line);
} // namespace UE::Assert::Private

#define check(expr) ((expr) ? (void)0 : ::UE::Assert::Private::ReportFailedCheck(#expr, __FILE__, __LINE__, nullptr))
#define checkf(expr, ...) ((expr) ? (void)0 : ::UE::Assert::Private::ReportFailedCheck(#expr, __FILE__, __LINE__, "checkf"))
#define checkNoEntry() ::UE::Assert::Private::ReportFailedCheck("Enclosing block should never be called", __FILE__, __LINE__, nullptr)
#define checkSlow(expr) check(expr)
#define verify(expr) check(expr)
#define verifyf(expr, ...) check(expr)
#define ensure(expr) ((expr) || ::UE::Assert::Private::ReportFailedEnsure(#expr, __FILE__, __LINE__))
#define ensureMsgf(expr, ...) ensure(expr)
#define ensureAlways(expr) ensure(expr)
#define unimplemented() ::UE::Assert::Private::ReportFailedCheck("Unimplemented function called", __FILE__, __LINE__, nullptr)
