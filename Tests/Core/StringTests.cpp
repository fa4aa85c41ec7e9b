#include "CoreMinimal.h"

#include <gtest/gtest.h>

TEST(FString, EqualityIgnoresCaseButEqualsDoesNot)
{
	const FString Lower(TEXT("mymod"));
	const FString Mixed(TEXT("MyMod"));
	EXPECT_TRUE(Lower == Mixed);
	EXPECT_FALSE(Lower.Equals(Mixed));
	EXPECT_TRUE(Lower.Equals(Mixed, ESearchCase::IgnoreCase));
}

TEST(FString, PathAppendAddsOneSeparator)
{
	EXPECT_EQ((FString(TEXT("a")) / TEXT("b")).ToStdString(), u"a/b");
	EXPECT_EQ((FString(TEXT("a/")) / TEXT("b")).ToStdString(), u"a/b");
	EXPECT_EQ((FString(TEXT("a\\")) / TEXT("b")).ToStdString(), u"a\\b");
	EXPECT_EQ((FString(TEXT("a")) / TEXT("")).ToStdString(), u"a/");
	EXPECT_EQ((FString(TEXT("")) / TEXT("b")).ToStdString(), u"b");
	EXPECT_EQ((FString(TEXT("a")) / TEXT("/b")).ToStdString(), u"a/b");
}

TEST(FString, Utf8RoundTripKeepsSupplementaryCharacters)
{
	const FString Original(TEXT("Caf\u00e9 \U0001F600"));
	EXPECT_EQ(FString::FromUtf8(Original.ToUtf8()).ToStdString(), Original.ToStdString());
	EXPECT_EQ(Original.Len(), 7);
}
