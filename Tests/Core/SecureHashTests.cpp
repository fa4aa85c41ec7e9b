#include "Misc/SecureHash.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
	FString Sha1Of(const std::string& Bytes)
	{
		return FSHA1::HashBuffer(Bytes.data(), Bytes.size()).ToString();
	}
} // namespace

// The digests of FIPS 180-4's examples, and lengths either side of where the padding needs a second block.
TEST(SecureHash, HashBufferGivesTheStandardDigests)
{
	EXPECT_EQ(Sha1Of(""), FString(TEXT("DA39A3EE5E6B4B0D3255BFEF95601890AFD80709")));
	EXPECT_EQ(Sha1Of("abc"), FString(TEXT("A9993E364706816ABA3E25717850C26C9CD0D89D")));
	EXPECT_EQ(Sha1Of("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"), FString(TEXT("84983E441C3BD26EBAAE4AA1F95129E5E54670F1")));
	EXPECT_EQ(Sha1Of(std::string(1000000, 'a')), FString(TEXT("34AA973CD4C4DAA4F61EEB2BDBAD27316534016F")));
	EXPECT_EQ(Sha1Of(std::string(55, 'a')), FString(TEXT("C1C8BBDC22796E28C0E15163D20899B65621D65A")));
	EXPECT_EQ(Sha1Of(std::string(56, 'a')), FString(TEXT("C2DB330F6083854C99D4B5BFB6E8F29F201BE699")));
	EXPECT_EQ(Sha1Of(std::string(64, 'a')), FString(TEXT("0098BA824B5C16427BD7A1122A5A442A25EC644D")));
	// A zero byte counts: hashing stops at the size given, never at a terminator.
	EXPECT_TRUE(FSHA1::HashBuffer("\0", 1) != FSHA1::HashBuffer("", 0));
}
