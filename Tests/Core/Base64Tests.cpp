#include "Misc/Base64.h"

#include <gtest/gtest.h>

namespace
{
	TArray<uint8> BytesOf(const char* Text)
	{
		TArray<uint8> Bytes;
		for (const char* Char = Text; *Char; ++Char)
		{
			Bytes.Add(static_cast<uint8>(*Char));
		}
		return Bytes;
	}
} // namespace

// RFC 4648's test vectors, both ways.
TEST(Base64, EncodesAndDecodesTheStandardVectors)
{
	const std::pair<const char*, const TCHAR*> Vectors[] = {{"", TEXT("")},
	                                                        {"f", TEXT("Zg==")},
	                                                        {"fo", TEXT("Zm8=")},
	                                                        {"foo", TEXT("Zm9v")},
	                                                        {"foob", TEXT("Zm9vYg==")},
	                                                        {"fooba", TEXT("Zm9vYmE=")},
	                                                        {"foobar", TEXT("Zm9vYmFy")}};
	for (const std::pair<const char*, const TCHAR*>& Vector : Vectors)
	{
		EXPECT_EQ(FBase64::Encode(BytesOf(Vector.first)), FString(Vector.second)) << Vector.first;
		TArray<uint8> Decoded = {1, 2, 3};
		EXPECT_TRUE(FBase64::Decode(Vector.second, Decoded)) << Vector.first;
		EXPECT_TRUE(Decoded == BytesOf(Vector.first)) << Vector.first;
	}
}

TEST(Base64, KeepsEveryByteValueAndUsesTheUrlSafeAlphabetOnlyWhenAsked)
{
	TArray<uint8> All;
	for (int32 Value = 0; Value < 256; ++Value)
	{
		All.Add(static_cast<uint8>(Value));
	}
	const FString Standard = FBase64::Encode(All);
	const FString UrlSafe = FBase64::Encode(All, EBase64Mode::UrlSafe);
	EXPECT_TRUE(Standard.Contains(TEXT("+")) && Standard.Contains(TEXT("/")));
	EXPECT_FALSE(UrlSafe.Contains(TEXT("+")) || UrlSafe.Contains(TEXT("/")));
	EXPECT_EQ(UrlSafe, Standard.Replace(TEXT("+"), TEXT("-")).Replace(TEXT("/"), TEXT("_")));

	TArray<uint8> Decoded;
	ASSERT_TRUE(FBase64::Decode(Standard, Decoded));
	EXPECT_TRUE(Decoded == All);
	ASSERT_TRUE(FBase64::Decode(UrlSafe, Decoded, EBase64Mode::UrlSafe));
	EXPECT_TRUE(Decoded == All);
	EXPECT_FALSE(FBase64::Decode(UrlSafe, Decoded));
}

TEST(Base64, RefusesTextThatIsNotBase64AndLeavesNothingDecoded)
{
	for (const TCHAR* Text : {TEXT("Zm9"), TEXT("Zm9v\n"), TEXT("Zm 9v"), TEXT("Z==="), TEXT("Zg=v"), TEXT("Zg==Zm9v"), TEXT("Zm9*"), TEXT("=m9v")})
	{
		TArray<uint8> Decoded = {1};
		EXPECT_FALSE(FBase64::Decode(Text, Decoded)) << FString(Text).ToUtf8();
		EXPECT_TRUE(Decoded.IsEmpty()) << FString(Text).ToUtf8();
	}
}
