#include "CoreMinimal.h"

#include <gtest/gtest.h>
#include <limits>

#define LOCTEXT_NAMESPACE "TextTests"

namespace
{
	std::u16string Str(const FText& Value)
	{
		return Value.ToString().ToStdString();
	}

	std::u16string Str(const TOptional<FString>& Value)
	{
		return Value.IsSet() ? Value.GetValue().ToStdString() : u"<unset>";
	}
} // namespace

TEST(FText, LocalisedTextsCarryNamespaceKeyAndSource)
{
	const FText Loc = LOCTEXT("Greeting", "Hello");
	EXPECT_EQ(Str(Loc), u"Hello");
	EXPECT_EQ(Str(FTextInspector::GetNamespace(Loc)), u"TextTests");
	EXPECT_EQ(Str(FTextInspector::GetKey(Loc)), u"Greeting");
	EXPECT_EQ(FTextInspector::GetSourceString(Loc)->ToStdString(), u"Hello");
	EXPECT_TRUE(Loc.ShouldGatherForLocalization());

	const FText Ns = NSLOCTEXT("TRLEditorMenu", "ModCreated", "Created '{0}'.");
	EXPECT_EQ(Str(FTextInspector::GetNamespace(Ns)), u"TRLEditorMenu");
	EXPECT_EQ(Str(FTextInspector::GetKey(Ns)), u"ModCreated");

	const FText Plain = FText::FromString(TEXT("Caf\u00e9"));
	EXPECT_FALSE(FTextInspector::GetNamespace(Plain).IsSet());
	EXPECT_FALSE(FTextInspector::GetKey(Plain).IsSet());
	EXPECT_EQ(FTextInspector::GetSourceString(Plain)->ToStdString(), u"Caf\u00e9");
	EXPECT_FALSE(Plain.ShouldGatherForLocalization());

	const FText Invariant = INVTEXT("fixed");
	EXPECT_TRUE(Invariant.IsCultureInvariant());
	EXPECT_FALSE(FTextInspector::GetKey(Invariant).IsSet());
	EXPECT_EQ(Str(FText::FromName(FName(TEXT("MyMod")))), u"MyMod");
	EXPECT_EQ(Str(FText::FromName(FName())), u"None");

	// Copies share what they hold until one is changed; the change is the copy's alone.
	const FText Original = LOCTEXT("Shared", "Shared");
	const FText Changed = FText::AsCultureInvariant(Original);
	EXPECT_TRUE(Changed.IsCultureInvariant());
	EXPECT_FALSE(Original.IsCultureInvariant());
	EXPECT_EQ(FTextInspector::GetKey(Original).Get(FString()).ToStdString(), u"Shared");
}

TEST(FText, EmptinessAndComparison)
{
	EXPECT_TRUE(FText::GetEmpty().IsEmpty());
	EXPECT_TRUE(FText().IsEmpty());
	EXPECT_FALSE(FText::FromString(TEXT(" ")).IsEmpty());
	EXPECT_TRUE(FText::FromString(TEXT(" \t\u3000")).IsEmptyOrWhitespace());
	EXPECT_FALSE(FText::FromString(TEXT(" x ")).IsEmptyOrWhitespace());
	EXPECT_EQ(Str(FText::TrimPrecedingAndTrailing(FText::FromString(TEXT("  My Mod \n")))), u"My Mod");

	const FText Lower = FText::FromString(TEXT("mymod"));
	const FText Upper = FText::FromString(TEXT("MyMod"));
	EXPECT_FALSE(Lower.EqualTo(Upper));
	EXPECT_TRUE(Lower.EqualTo(Upper, ETextComparisonLevel::Primary));
	EXPECT_TRUE(Lower.EqualToCaseIgnored(Upper));
	// Texts compare by what they display, whatever their origin.
	EXPECT_TRUE(LOCTEXT("Same", "mymod").EqualTo(Lower));
}

TEST(FTextFormat, OrderedArgumentsAreInsertedAsPlainStrings)
{
	const FText Pattern = LOCTEXT("Update", "Upload a new version of {0} to Workshop item {1}.");
	const FText Result = FText::Format(Pattern, FText::FromString(TEXT("MyMod")), FText::FromString(TEXT("123")));
	EXPECT_EQ(Str(Result), u"Upload a new version of MyMod to Workshop item 123.");

	// The argument's own braces are not formatted again.
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Quoted", "'{0}'"), FText::FromString(TEXT("{1}")))), u"'{1}'");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Twice", "{0} and {0}"), FText::FromString(TEXT("a")))), u"a and a");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Reversed", "{1}{0}"), FText::FromString(TEXT("a")), FText::FromString(TEXT("b")))), u"ba");

	FFormatOrderedArguments Arguments;
	Arguments.Add(FText::FromString(TEXT("x")));
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Array", "<{0}>"), Arguments)), u"<x>");
	EXPECT_EQ(Str(FText::Format(FTextFormat::FromString(TEXT("{0}")), FText::GetEmpty())), u"");
}

TEST(FTextFormat, AFormattedTextHasNoIdOfItsOwnAndNamesItsPatternInItsHistory)
{
	const FText Name = FText::Format(LOCTEXT("Quote", "'{0}'"), FText::FromString(TEXT("MyMod")));
	const FText Result = FText::Format(LOCTEXT("Created", "Created {0} in {1}."), Name, 3);
	EXPECT_EQ(Str(Result), u"Created 'MyMod' in 3.");
	EXPECT_FALSE(FTextInspector::GetNamespace(Result).IsSet());
	EXPECT_FALSE(FTextInspector::GetKey(Result).IsSet());
	EXPECT_FALSE(Result.ShouldGatherForLocalization());

	// The step that made the text comes first, then those that made its text arguments.
	TArray<FHistoricTextFormatData> History;
	FTextInspector::GetHistoricFormatData(Result, History);
	ASSERT_EQ(History.Num(), 2);
	EXPECT_TRUE(History[0].FormattedText.IdenticalTo(Result));
	EXPECT_EQ(Str(FTextInspector::GetNamespace(History[0].SourceFmt.GetSourceText())), u"TextTests");
	EXPECT_EQ(Str(FTextInspector::GetKey(History[0].SourceFmt.GetSourceText())), u"Created");
	EXPECT_EQ(History[0].SourceFmt.GetSourceString().ToStdString(), u"Created {0} in {1}.");
	EXPECT_TRUE(History[1].FormattedText.IdenticalTo(Name));
	EXPECT_FALSE(History[1].FormattedText.IdenticalTo(Result));
	EXPECT_EQ(Str(FTextInspector::GetKey(History[1].SourceFmt.GetSourceText())), u"Quote");

	// A copy is the same text with the same history; a text that only reads the same is neither.
	const FText Copy = Result;
	History.Empty();
	FTextInspector::GetHistoricFormatData(Copy, History);
	ASSERT_EQ(History.Num(), 2);
	EXPECT_TRUE(History[0].FormattedText.IdenticalTo(Result));
	EXPECT_FALSE(FText::FromString(Result.ToString()).IdenticalTo(Result));
	EXPECT_FALSE(FText::Format(LOCTEXT("Created", "Created {0} in {1}."), Name, 3).IdenticalTo(Result));

	// The history is appended to, and a text that was not formatted adds nothing.
	FTextInspector::GetHistoricFormatData(LOCTEXT("Plain", "Plain"), History);
	FTextInspector::GetHistoricFormatData(FText::FromString(TEXT("x")), History);
	EXPECT_EQ(History.Num(), 2);
}

TEST(FTextFormat, BracesThatNameNoArgumentStayAsWritten)
{
	const FText One = FText::FromString(TEXT("A"));
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Missing", "{0} {1} {2}"), One)), u"A {1} {2}");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Extra", "only {0}"), One, FText::FromString(TEXT("B")))), u"only A");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Names", "{Name} {} { 0 } {-1} {0x}"), One)), u"{Name} {} { 0 } {-1} {0x}");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Unbalanced", "{0 {0} {0"), One)), u"{0 A {0");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Nested", "{{0}}"), One)), u"{A}");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("LeadingZero", "{00}"), One)), u"A");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Huge", "{99999999999999999999}"), One)), u"{99999999999999999999}");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Escaped", "`{0} is `` {0}"), One)), u"{0} is ` A");
}

TEST(FTextFormat, NumbersAreWrittenAsAsNumber)
{
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Percent", "{0}% uploaded"), 13)), u"13% uploaded");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Mixed", "{0} {1} {2} {3}"), 1234567, uint64(18000000000000000000ull), 2.5f, -1234.5678)),
	          u"1,234,567 18,000,000,000,000,000,000 2.5 -1,234.568");
	EXPECT_EQ(Str(FText::Format(LOCTEXT("Small", "{0} {1}"), int16(-7), uint8(200))), u"-7 200");
}

TEST(FTextAsNumber, GroupsThousandsInEnUs)
{
	EXPECT_EQ(Str(FText::AsNumber(0)), u"0");
	EXPECT_EQ(Str(FText::AsNumber(999)), u"999");
	EXPECT_EQ(Str(FText::AsNumber(1000)), u"1,000");
	EXPECT_EQ(Str(FText::AsNumber(-1234567)), u"-1,234,567");
	EXPECT_EQ(Str(FText::AsNumber(std::numeric_limits<int64>::min())), u"-9,223,372,036,854,775,808");
	EXPECT_EQ(Str(FText::AsNumber(std::numeric_limits<uint64>::max())), u"18,446,744,073,709,551,615");
	EXPECT_EQ(Str(FText::AsNumber(1234567.0)), u"1,234,567");
	EXPECT_EQ(Str(FText::AsNumber(1234, &FNumberFormattingOptions::DefaultNoGrouping())), u"1234");
}

TEST(FTextAsNumber, RoundsHalfToEvenAtThreeFractionalDigits)
{
	EXPECT_EQ(Str(FText::AsNumber(0.5)), u"0.5");
	EXPECT_EQ(Str(FText::AsNumber(1.23456)), u"1.235");
	EXPECT_EQ(Str(FText::AsNumber(0.0625)), u"0.062");
	EXPECT_EQ(Str(FText::AsNumber(0.1875)), u"0.188");
	EXPECT_EQ(Str(FText::AsNumber(999.9996)), u"1,000");
	EXPECT_EQ(Str(FText::AsNumber(-0.0001)), u"0");
	EXPECT_EQ(Str(FText::AsNumber(0.1f)), u"0.1");
	EXPECT_EQ(Str(FText::AsNumber(1e20)), u"100,000,000,000,000,000,000");

	FNumberFormattingOptions WholeNumbers;
	WholeNumbers.SetMaximumFractionalDigits(0);
	EXPECT_EQ(Str(FText::AsNumber(2.5, &WholeNumbers)), u"2");
	EXPECT_EQ(Str(FText::AsNumber(3.5, &WholeNumbers)), u"4");
	EXPECT_EQ(Str(FText::AsNumber(-2.5, &WholeNumbers)), u"-2");
	WholeNumbers.SetRoundingMode(ERoundingMode::HalfFromZero);
	EXPECT_EQ(Str(FText::AsNumber(2.5, &WholeNumbers)), u"3");
	EXPECT_EQ(Str(FText::AsNumber(-2.5, &WholeNumbers)), u"-3");
	WholeNumbers.SetRoundingMode(ERoundingMode::ToNegativeInfinity);
	EXPECT_EQ(Str(FText::AsNumber(-2.1, &WholeNumbers)), u"-3");
	EXPECT_EQ(Str(FText::AsNumber(2.9, &WholeNumbers)), u"2");
}

TEST(FTextAsNumber, HonoursDigitCountsAndSign)
{
	FNumberFormattingOptions Options;
	Options.SetMinimumFractionalDigits(2).SetMinimumIntegralDigits(3).SetAlwaysSign(true);
	EXPECT_EQ(Str(FText::AsNumber(5, &Options)), u"+005.00");
	EXPECT_EQ(Str(FText::AsNumber(1.5, &Options)), u"+001.50");
	EXPECT_EQ(Str(FText::AsNumber(-1.23456, &Options)), u"-001.235");
	EXPECT_EQ(Str(FText::AsNumber(std::numeric_limits<double>::quiet_NaN())), u"NaN");
}

TEST(FText, BuildingTextsFromOtherTexts)
{
	TArray<FText> Parts;
	Parts.Add(FText::FromString(TEXT("a")));
	Parts.Add(FText::FromString("b"));
	Parts.Add(FText::FromStringView(FStringView(TEXT("cde"), 1)));
	EXPECT_EQ(Str(FText::Join(INVTEXT(", "), Parts)), u"a, b, c");
	EXPECT_EQ(Str(FText::Join(INVTEXT(", "), TArray<FText>())), u"");

	EXPECT_EQ(Str(FText::TrimPreceding(FText::FromString(TEXT("  x  ")))), u"x  ");
	EXPECT_EQ(Str(FText::TrimTrailing(FText::FromString(TEXT("  x  ")))), u"  x");
	EXPECT_EQ(Str(LOCTEXT("Shout", "Hello").ToUpper()), u"HELLO");

	const FText Original = LOCTEXT("Same", "Same");
	const FText Copy = Original;
	EXPECT_TRUE(Copy.IdenticalTo(Original));
	EXPECT_FALSE(FText::FromString(TEXT("Same")).IdenticalTo(Original));
}

#undef LOCTEXT_NAMESPACE
