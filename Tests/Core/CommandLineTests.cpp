#include "Containers/UnrealString.h"
#include "Misc/CommandLine.h"
#include "Misc/Parse.h"

#include <gtest/gtest.h>

TEST(Parse, FindsASwitchOnlyAsAWordOfItsOwn)
{
	const TCHAR* Line = TEXT("\"/p/Game.uproject\" -Quiet /Log -NoSettingsHere -x-Trap \"-Quoted\"");
	EXPECT_TRUE(FParse::Param(Line, TEXT("Quiet")));
	EXPECT_TRUE(FParse::Param(Line, TEXT("quiet")));
	EXPECT_TRUE(FParse::Param(Line, TEXT("Log")));
	EXPECT_TRUE(FParse::Param(Line, TEXT("Quoted")));
	EXPECT_TRUE(FParse::Param(TEXT("-Last"), TEXT("Last")));

	// Part of a longer switch, inside a word, or inside a path is no switch.
	EXPECT_FALSE(FParse::Param(Line, TEXT("NoSettings")));
	EXPECT_FALSE(FParse::Param(Line, TEXT("Trap")));
	EXPECT_FALSE(FParse::Param(Line, TEXT("Game.uproject")));
	EXPECT_FALSE(FParse::Param(Line, TEXT("")));
	EXPECT_FALSE(FParse::Param(TEXT(""), TEXT("Quiet")));
	EXPECT_FALSE(FParse::Param(TEXT("-Qui"), TEXT("Quiet")));
}

TEST(CommandLine, KeepsWhatWasSetUntilTheNextSet)
{
	ASSERT_TRUE(FCommandLine::Set(TEXT("-A -B")));
	EXPECT_TRUE(FParse::Param(FCommandLine::Get(), TEXT("B")));
	EXPECT_FALSE(FCommandLine::Set(nullptr));
	EXPECT_TRUE(FString(FCommandLine::Get()).Equals(TEXT("-A -B"), ESearchCase::CaseSensitive));
	ASSERT_TRUE(FCommandLine::Set(TEXT("")));
	EXPECT_FALSE(FParse::Param(FCommandLine::Get(), TEXT("B")));
}
