// The localisation macros: LOCTEXT (with LOCTEXT_NAMESPACE defined first), NSLOCTEXT and INVTEXT.
// They take narrow string literals and widen them with TEXT(), as the engine's do.
#pragma once

#include "Internationalization/Text.h"

/** The text system's entry points; the stand-in knows one culture, "en-US", and has no translations. */
class FInternationalization
{
public:
	static FInternationalization& Get();
	static bool IsAvailable() { return true; }

	/** The name of the current culture. */
	FString GetCurrentCultureName() const;

	/** Used by the LOCTEXT family: a localisable text with its namespace and key. */
	static FText ForUseOnlyByLocMacroAndGraphNodeTextLiterals_CreateText(const TCHAR* InTextLiteral, const TCHAR* InNamespace, const TCHAR* InKey)
	{
		return FText::MakeLocalized(InTextLiteral, InNamespace, InKey);
	}
};

#define LOCTEXT(InKey, InTextLiteral)                                                                                                                          \
	FInternationalization::ForUseOnlyByLocMacroAndGraphNodeTextLiterals_CreateText(TEXT(InTextLiteral), TEXT(LOCTEXT_NAMESPACE), TEXT(InKey))
#define NSLOCTEXT(InNamespace, InKey, InTextLiteral)                                                                                                           \
	FInternationalization::ForUseOnlyByLocMacroAndGraphNodeTextLiterals_CreateText(TEXT(InTextLiteral), TEXT(InNamespace), TEXT(InKey))
#define INVTEXT(InTextLiteral) FText::AsCultureInvariant(TEXT(InTextLiteral))
