// FBase64: bytes as Base64 text (RFC 4648) and back.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"

enum class EBase64Mode : uint8
{
	/** The alphabet with "+" and "/", padded with "=". */
	Standard,
	/** The alphabet safe in URLs and file names, with "-" and "_", padded with "=". */
	UrlSafe,
};

struct FBase64
{
	/**
	 * Encodes bytes as Base64 text, padded to a multiple of four characters.
	 * @return the text; empty for no bytes
	 */
	static FString Encode(const TArray<uint8>& Source, EBase64Mode Mode = EBase64Mode::Standard);

	/**
	 * Decodes Base64 text into bytes.
	 * @param OutDest receives the bytes (emptied first)
	 * @return false when the text is not Base64 of the mode's alphabet: a length that is not a multiple of four, a
	 *         character outside the alphabet, or padding anywhere but at the end
	 */
	static bool Decode(const FString& Source, TArray<uint8>& OutDest, EBase64Mode Mode = EBase64Mode::Standard);
};
