// UCommandlet::ParseCommandLine: how a commandlet reads the switches it is given.
#include "Commandlets/Commandlet.h"

#include <gtest/gtest.h>

TEST(Commandlet, ParseCommandLineSeparatesSwitchesFromTokensAndKeepsQuotedBlanksTogether)
{
	TArray<FString> Tokens;
	TArray<FString> Switches;
	TMap<FString, FString> Params;
	UCommandlet::ParseCommandLine(TEXT(" -Mod=My -Json  -ChangeNote=\"Fixed the bridge\" loose \"quoted token\" -Empty= "), Tokens, Switches, Params);

	EXPECT_EQ(Tokens, (TArray<FString>{TEXT("loose"), TEXT("quoted token")}));
	EXPECT_EQ(Switches, (TArray<FString>{TEXT("Mod=My"), TEXT("Json"), TEXT("ChangeNote=\"Fixed the bridge\""), TEXT("Empty=")}));
	ASSERT_EQ(Params.Num(), 3);
	EXPECT_TRUE(Params.FindRef(TEXT("ChangeNote")).Equals(TEXT("Fixed the bridge"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Params.FindRef(TEXT("mod")).Equals(TEXT("My"), ESearchCase::CaseSensitive)) << "Keys are found in any case.";
	EXPECT_TRUE(Params.Contains(TEXT("Empty")));
	EXPECT_TRUE(Params.FindRef(TEXT("Empty")).IsEmpty());
}

TEST(Commandlet, ParseCommandLineTakesATokenStartingWithASlashAsASwitch)
{
	TArray<FString> Tokens;
	TArray<FString> Switches;
	TMap<FString, FString> Params;
	UCommandlet::ParseCommandLine(TEXT("/Package /Mod=My Game.uproject"), Tokens, Switches, Params);

	EXPECT_EQ(Tokens, (TArray<FString>{TEXT("Game.uproject")}));
	EXPECT_EQ(Switches, (TArray<FString>{TEXT("Package"), TEXT("Mod=My")}));
	EXPECT_TRUE(Params.FindRef(TEXT("Mod")).Equals(TEXT("My"), ESearchCase::CaseSensitive));
}
