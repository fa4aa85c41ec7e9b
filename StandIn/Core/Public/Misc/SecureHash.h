// FSHA1 and FSHAHash: the SHA-1 digest of a block of bytes.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

/** A SHA-1 digest. */
class FSHAHash
{
public:
	uint8 Hash[20] = {};

	/** @return the digest as 40 hexadecimal digits, in capitals. */
	FString ToString() const;

	friend bool operator==(const FSHAHash& A, const FSHAHash& B);
	friend bool operator!=(const FSHAHash& A, const FSHAHash& B) { return !(A == B); }
};

class FSHA1
{
public:
	/**
	 * Calculates the hash of a single block.
	 * @param Data the bytes to hash
	 * @param DataSize how many bytes Data holds
	 * @return the digest
	 */
	static FSHAHash HashBuffer(const void* Data, uint64 DataSize);
};
