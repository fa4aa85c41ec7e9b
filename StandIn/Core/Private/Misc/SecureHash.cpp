#include "Misc/SecureHash.h"

#include <cstring>

namespace
{
	uint32 RotateLeft(uint32 Value, int32 Bits)
	{
		return (Value << Bits) | (Value >> (32 - Bits));
	}

	/** Folds one 64-byte block into the running state (FIPS 180-4, section 6.1.2). */
	void ProcessBlock(uint32 (&State)[5], const uint8* Block)
	{
		uint32 Words[80];
		for (int32 Index = 0; Index < 16; ++Index)
		{
			Words[Index] =
			    (uint32(Block[Index * 4]) << 24) | (uint32(Block[Index * 4 + 1]) << 16) | (uint32(Block[Index * 4 + 2]) << 8) | uint32(Block[Index * 4 + 3]);
		}
		for (int32 Index = 16; Index < 80; ++Index)
		{
			Words[Index] = RotateLeft(Words[Index - 3] ^ Words[Index - 8] ^ Words[Index - 14] ^ Words[Index - 16], 1);
		}
		uint32 A = State[0];
		uint32 B = State[1];
		uint32 C = State[2];
		uint32 D = State[3];
		uint32 E = State[4];
		for (int32 Index = 0; Index < 80; ++Index)
		{
			uint32 Mixed = 0;
			uint32 Constant = 0;
			if (Index < 20)
			{
				Mixed = (B & C) | (~B & D);
				Constant = 0x5A827999u;
			}
			else if (Index < 40)
			{
				Mixed = B ^ C ^ D;
				Constant = 0x6ED9EBA1u;
			}
			else if (Index < 60)
			{
				Mixed = (B & C) | (B & D) | (C & D);
				Constant = 0x8F1BBCDCu;
			}
			else
			{
				Mixed = B ^ C ^ D;
				Constant = 0xCA62C1D6u;
			}
			const uint32 Next = RotateLeft(A, 5) + Mixed + E + Constant + Words[Index];
			E = D;
			D = C;
			C = RotateLeft(B, 30);
			B = A;
			A = Next;
		}
		State[0] += A;
		State[1] += B;
		State[2] += C;
		State[3] += D;
		State[4] += E;
	}
} // namespace

FString FSHAHash::ToString() const
{
	static const TCHAR Digits[] = TEXT("0123456789ABCDEF");
	FString Text;
	Text.Reserve(40);
	for (const uint8 Byte : Hash)
	{
		Text.AppendChar(Digits[Byte >> 4]);
		Text.AppendChar(Digits[Byte & 0x0F]);
	}
	return Text;
}

bool operator==(const FSHAHash& A, const FSHAHash& B)
{
	return std::memcmp(A.Hash, B.Hash, sizeof(A.Hash)) == 0;
}

FSHAHash FSHA1::HashBuffer(const void* Data, uint64 DataSize)
{
	uint32 State[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
	const uint8* Bytes = static_cast<const uint8*>(Data);
	uint64 Remaining = DataSize;
	while (Remaining >= 64)
	{
		ProcessBlock(State, Bytes);
		Bytes += 64;
		Remaining -= 64;
	}

	// The last bytes, a one bit, zeros, and the length in bits as a big-endian 64-bit number: one block or two.
	uint8 Tail[128] = {};
	if (Remaining > 0)
	{
		std::memcpy(Tail, Bytes, static_cast<size_t>(Remaining));
	}
	Tail[Remaining] = 0x80;
	const size_t TailSize = Remaining < 56 ? 64 : 128;
	const uint64 BitCount = DataSize * 8;
	for (int32 Index = 0; Index < 8; ++Index)
	{
		Tail[TailSize - 1 - Index] = static_cast<uint8>(BitCount >> (Index * 8));
	}
	for (size_t Offset = 0; Offset < TailSize; Offset += 64)
	{
		ProcessBlock(State, Tail + Offset);
	}

	FSHAHash Result;
	for (int32 Index = 0; Index < 5; ++Index)
	{
		Result.Hash[Index * 4] = static_cast<uint8>(State[Index] >> 24);
		Result.Hash[Index * 4 + 1] = static_cast<uint8>(State[Index] >> 16);
		Result.Hash[Index * 4 + 2] = static_cast<uint8>(State[Index] >> 8);
		Result.Hash[Index * 4 + 3] = static_cast<uint8>(State[Index]);
	}
	return Result;
}
