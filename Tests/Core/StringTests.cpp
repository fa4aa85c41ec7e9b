#include "CoreMinimal.h"

#include <cwctype>
#include <gtest/gtest.h>
#include <string>

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

namespace
{
	std::u16string Str(const FString& Value)
	{
		return Value.ToStdString();
	}

	std::u16string Joined(const TArray<FString>& Parts)
	{
		return FString::Join(Parts, TEXT("|")).ToStdString();
	}
} // namespace

TEST(FString, FindFromStartAndFromEndWithStartPosition)
{
	const FString Path(TEXT("a/b/a/b"));
	EXPECT_EQ(Path.Find(TEXT("A/")), 0);
	EXPECT_EQ(Path.Find(TEXT("A/"), ESearchCase::CaseSensitive), INDEX_NONE);
	EXPECT_EQ(Path.Find(TEXT("a"), ESearchCase::CaseSensitive, ESearchDir::FromStart, 1), 4);
	// A start past the end searches from the last character.
	EXPECT_EQ(Path.Find(TEXT("b"), ESearchCase::CaseSensitive, ESearchDir::FromStart, 100), 6);
	EXPECT_EQ(Path.Find(TEXT("b"), ESearchCase::CaseSensitive, ESearchDir::FromStart, -5), 2);
	EXPECT_EQ(Path.Find(TEXT("/"), ESearchCase::IgnoreCase, ESearchDir::FromEnd), 5);
	// From the end, a match must end at or before StartPosition.
	EXPECT_EQ(Path.Find(TEXT("a/b"), ESearchCase::IgnoreCase, ESearchDir::FromEnd, 7), 4);
	EXPECT_EQ(Path.Find(TEXT("a/b"), ESearchCase::IgnoreCase, ESearchDir::FromEnd, 6), 0);
	EXPECT_EQ(Path.Find(TEXT("a/b"), ESearchCase::IgnoreCase, ESearchDir::FromEnd, 2), INDEX_NONE);
	EXPECT_EQ(Path.Find(TEXT("A/B"), ESearchCase::IgnoreCase, ESearchDir::FromEnd, 1000), 4);
	EXPECT_EQ(Path.Find(TEXT("a/b/a/b/"), ESearchCase::IgnoreCase, ESearchDir::FromEnd), INDEX_NONE);
	EXPECT_EQ(FString().Find(TEXT("x"), ESearchCase::IgnoreCase, ESearchDir::FromStart, 3), INDEX_NONE);

	int32 Index = 0;
	EXPECT_TRUE(Path.FindLastChar(TEXT('a'), Index));
	EXPECT_EQ(Index, 4);
	EXPECT_FALSE(Path.FindChar(TEXT('z'), Index));
	EXPECT_EQ(Index, INDEX_NONE);
}

TEST(FString, SubstringsClampTheirArguments)
{
	const FString Word(TEXT("abcdef"));
	EXPECT_EQ(Str(Word.Mid(2, 2)), u"cd");
	EXPECT_EQ(Str(Word.Mid(4)), u"ef");
	EXPECT_EQ(Str(Word.Mid(-2, 3)), u"a");
	EXPECT_EQ(Str(Word.Mid(-5, 2)), u"");
	EXPECT_EQ(Str(Word.Mid(2, -1)), u"");
	EXPECT_EQ(Str(Word.Mid(10, 2)), u"");
	EXPECT_EQ(Str(Word.Mid(1, INT32_MAX)), u"bcdef");
	EXPECT_EQ(Str(Word.Left(-1)), u"");
	EXPECT_EQ(Str(Word.Left(10)), u"abcdef");
	EXPECT_EQ(Str(Word.LeftChop(2)), u"abcd");
	EXPECT_EQ(Str(Word.LeftChop(10)), u"");
	EXPECT_EQ(Str(Word.Right(2)), u"ef");
	EXPECT_EQ(Str(Word.Right(-2)), u"");
	EXPECT_EQ(Str(Word.RightChop(4)), u"ef");
	EXPECT_EQ(Str(Word.RightChop(-1)), u"abcdef");
}

TEST(FString, ParseIntoArrayCullsOnlyEmptyParts)
{
	TArray<FString> Parts;
	EXPECT_EQ(FString(TEXT(",a,,b,")).ParseIntoArray(Parts, TEXT(","), true), 2);
	EXPECT_EQ(Joined(Parts), u"a|b");
	EXPECT_EQ(FString(TEXT(",a,,b,")).ParseIntoArray(Parts, TEXT(","), false), 5);
	EXPECT_EQ(Joined(Parts), u"|a||b|");
	EXPECT_EQ(FString(TEXT(" , ")).ParseIntoArray(Parts, TEXT(","), true), 2);
	EXPECT_EQ(FString(TEXT("a::b")).ParseIntoArray(Parts, TEXT("::")), 2);
	EXPECT_EQ(Joined(Parts), u"a|b");
	// Delimiters are matched case-sensitively.
	EXPECT_EQ(FString(TEXT("aXbxc")).ParseIntoArray(Parts, TEXT("x")), 2);
	// Nothing to split, or nothing to split by, yields no parts even when empty parts are kept.
	Parts.Add(FString(TEXT("stale")));
	EXPECT_EQ(FString().ParseIntoArray(Parts, TEXT(","), false), 0);
	EXPECT_EQ(Parts.Num(), 0);
	EXPECT_EQ(FString(TEXT("abc")).ParseIntoArray(Parts, TEXT(""), false), 0);
}

TEST(FString, CaseRulesOfComparisonAndSearch)
{
	EXPECT_TRUE(FString(TEXT("Caf\u00c9")) == FString(TEXT("caf\u00e9")));
	EXPECT_TRUE(FString(TEXT("abc")) == TEXT("ABC"));
	EXPECT_TRUE(FString(TEXT("abc")) != TEXT("abd"));
	EXPECT_LT(FString(TEXT("apple")).Compare(FString(TEXT("Banana")), ESearchCase::IgnoreCase), 0);
	EXPECT_GT(FString(TEXT("apple")).Compare(FString(TEXT("Banana"))), 0);
	EXPECT_EQ(GetTypeHash(FString(TEXT("MyMod"))), GetTypeHash(FString(TEXT("MYMOD"))));

	const FString Name(TEXT("MyMod.uplugin"));
	EXPECT_TRUE(Name.EndsWith(TEXT(".UPLUGIN")));
	EXPECT_FALSE(Name.EndsWith(TEXT(".UPLUGIN"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Name.StartsWith(TEXT("mymod")));
	EXPECT_FALSE(Name.StartsWith(TEXT("")));
	EXPECT_FALSE(Name.EndsWith(TEXT("")));
	EXPECT_TRUE(Name.Contains(TEXT("MOD.")));
	EXPECT_EQ(Str(Name.Replace(TEXT("MOD"), TEXT("x"))), u"Myx.uplugin");
	EXPECT_EQ(Str(Name.Replace(TEXT("MOD"), TEXT("x"), ESearchCase::CaseSensitive)), u"MyMod.uplugin");
	EXPECT_EQ(Str(FString(TEXT("aaa")).Replace(TEXT("aa"), TEXT("b"))), u"ba");
	EXPECT_EQ(Str(Name.ToUpper()), u"MYMOD.UPLUGIN");

	FString Stem(Name);
	EXPECT_TRUE(Stem.RemoveFromEnd(TEXT(".UPlugin")));
	EXPECT_FALSE(Stem.RemoveFromEnd(TEXT(".uplugin")));
	EXPECT_FALSE(Stem.RemoveFromStart(TEXT("")));
	EXPECT_TRUE(Stem.RemoveFromStart(TEXT("my")));
	EXPECT_EQ(Str(Stem), u"Mod");
	EXPECT_EQ(Str(FString(TEXT("\u00c9T\u00c9")).ToLower()), u"\u00e9t\u00e9");
}

TEST(FString, TrimSplitAndNumericChecks)
{
	EXPECT_EQ(Str(FString(TEXT(" \t\r\n My Mod \u3000")).TrimStartAndEnd()), u"My Mod");
	EXPECT_EQ(Str(FString(TEXT("  ")).TrimStartAndEnd()), u"");

	FString Left;
	FString Right;
	EXPECT_TRUE(FString(TEXT("a.b.c")).Split(TEXT("."), &Left, &Right, ESearchCase::IgnoreCase, ESearchDir::FromEnd));
	EXPECT_EQ(Str(Left), u"a.b");
	EXPECT_EQ(Str(Right), u"c");
	EXPECT_FALSE(FString(TEXT("abc")).Split(TEXT("."), &Left, &Right));

	EXPECT_TRUE(FString(TEXT("-12.5")).IsNumeric());
	EXPECT_TRUE(FString(TEXT("+7")).IsNumeric());
	EXPECT_FALSE(FString(TEXT("1.2.3")).IsNumeric());
	EXPECT_FALSE(FString(TEXT("12a")).IsNumeric());
	EXPECT_FALSE(FString().IsNumeric());
}

TEST(FString, PathAppendFollowsTheEngineRules)
{
	EXPECT_EQ(Str(FString(TEXT("a/")) / TEXT("")), u"a/");
	EXPECT_EQ(Str(FString(TEXT("a\\")) / TEXT("")), u"a\\");
	EXPECT_EQ(Str(FString() / TEXT("")), u"");
	// Only "/" at the start of the appended part suppresses the separator.
	EXPECT_EQ(Str(FString(TEXT("a")) / TEXT("\\b")), u"a/\\b");
	EXPECT_EQ(Str(FString(TEXT("a/")) / TEXT("/b")), u"a//b");
	EXPECT_EQ(Str(TEXT("root") / FString(TEXT("Mods")) / TEXT("MyMod")), u"root/Mods/MyMod");

	FString Path(TEXT("x"));
	Path.PathAppend(TEXT("yz"), 1);
	EXPECT_EQ(Str(Path), u"x/y");
}

TEST(FString, Utf8ConversionsAtTheEdges)
{
	// Bytes of "é" and "😀", built by value so that the source file's encoding does not matter.
	const std::string Utf8 = "a\xC3\xA9\xF0\x9F\x98\x80";
	const FString Decoded = FString::FromUtf8(Utf8);
	EXPECT_EQ(Str(Decoded), u"a\u00e9\U0001F600");
	EXPECT_EQ(Decoded.ToUtf8(), Utf8);
	EXPECT_EQ(std::string(TCHAR_TO_UTF8(*Decoded)), Utf8);
	EXPECT_EQ(Str(FString(UTF8_TO_TCHAR(Utf8.c_str()))), u"a\u00e9\U0001F600");
	EXPECT_EQ(FUTF8ToTCHAR(Utf8.c_str(), 3).Length(), 2);

	// Narrow text is widened one byte per character.
	EXPECT_EQ(Str(FString("Caf\xE9")), u"Caf\u00e9");

	// Lone surrogates survive a round trip, each as its own three-byte sequence.
	const FString Lone(std::u16string{u'x', 0xD83D, u'y', 0xDE00});
	EXPECT_EQ(Lone.ToUtf8(), "x\xED\xA0\xBDy\xED\xB8\x80");
	EXPECT_EQ(Str(FString::FromUtf8(Lone.ToUtf8())), Str(Lone));

	// Malformed UTF-8 becomes U+FFFD per offending byte, never a crash or a lost character after it.
	EXPECT_EQ(Str(FString::FromUtf8("a\xFF"
	                                "b")),
	          u"a\uFFFDb");
	EXPECT_EQ(Str(FString::FromUtf8("\xE2\x82")), u"\uFFFD\uFFFD");
	EXPECT_EQ(Str(FString::FromUtf8("\xC0\x80")), u"\uFFFD\uFFFD");
	EXPECT_EQ(Str(FString::FromUtf8("\xF4\x90\x80\x80")), u"\uFFFD\uFFFD\uFFFD\uFFFD");
}

TEST(FString, BuildingAndEditing)
{
	FString Built;
	// Never null, even when empty.
	ASSERT_NE(*Built, nullptr);
	EXPECT_EQ(**Built, TEXT('\0'));
	Built += TEXT("ab");
	Built += TEXT('c');
	Built.Append(TEXT("defg"), 2);
	Built.Append(static_cast<const TCHAR*>(nullptr), 5);
	Built += FStringView(TEXT("xyz"), 1);
	EXPECT_EQ(Str(Built), u"abcdex");
	EXPECT_EQ(Str(Built + TEXT("!") + FString::Chr(TEXT('?'))), u"abcdex!?");
	EXPECT_EQ(Str(TEXT(">") + Built), u">abcdex");
	EXPECT_TRUE(Built.IsValidIndex(5));
	EXPECT_FALSE(Built.IsValidIndex(6));
	EXPECT_FALSE(Built.IsValidIndex(-1));

	FString Dashes(TEXT("a-b-c"));
	EXPECT_EQ(Dashes.ReplaceInline(TEXT("-"), TEXT("--")), 2);
	EXPECT_EQ(Str(Dashes), u"a--b--c");
	EXPECT_EQ(Dashes.ReplaceInline(TEXT(""), TEXT("x")), 0);
	Dashes.ReplaceCharInline(TEXT('-'), TEXT('_'));
	EXPECT_EQ(Str(Dashes), u"a__b__c");

	EXPECT_EQ(Str(FString::ChrN(3, TEXT('z'))), u"zzz");
	EXPECT_EQ(Str(FString::FromInt(-2147483647 - 1)), u"-2147483648");
	TArray<FString> Items;
	EXPECT_EQ(Str(FString::Join(Items, TEXT(", "))), u"");
	Items.Add(FString(TEXT("one")));
	Items.Add(FString());
	Items.Add(FString(TEXT("three")));
	EXPECT_EQ(Str(FString::Join(Items, TEXT(", "))), u"one, , three");
}

TEST(FStringView, ViewsShareTheStringRules)
{
	const FString Owner(TEXT("MyMod.uplugin"));
	const FStringView View(Owner);
	EXPECT_EQ(View.Len(), 13);
	EXPECT_TRUE(View == FStringView(TEXT("MYMOD.UPLUGIN")));
	EXPECT_FALSE(View.Equals(FStringView(TEXT("MYMOD.UPLUGIN"))));
	EXPECT_TRUE(View.StartsWith(TEXT("mymod")));
	EXPECT_TRUE(View.EndsWith(TEXT(".UPLUGIN")));
	EXPECT_FALSE(View.EndsWith(TEXT("x.uplugin.uplugin")));
	EXPECT_EQ(Str(FString(View.Mid(2, 3))), u"Mod");
	EXPECT_EQ(Str(FString(View.Left(100))), u"MyMod.uplugin");
	EXPECT_EQ(Str(FString(View.RightChop(6))), u"uplugin");
	EXPECT_EQ(Str(FString(View.LeftChop(8))), u"MyMod");
	EXPECT_TRUE(FStringView(static_cast<const TCHAR*>(nullptr)).IsEmpty());
}

TEST(FString, CutsBackInPlaceAndAppendsUtf8)
{
	FString Path(TEXT("/mods/"));
	Path.AppendChars(reinterpret_cast<const UTF8CHAR*>("Caf\xC3\xA9"), 5);
	EXPECT_EQ(Str(Path), u"/mods/Caf\u00e9");
	Path.LeftInline(6);
	EXPECT_EQ(Str(Path), u"/mods/");
	Path.LeftChopInline(1);
	EXPECT_EQ(Str(Path), u"/mods");
	Path.LeftInline(99);
	EXPECT_EQ(Str(Path), u"/mods");
	Path.LeftChopInline(99);
	EXPECT_TRUE(Path.IsEmpty());
}

TEST(FName, IgnoresCaseAndKnowsNone)
{
	EXPECT_EQ(FName(TEXT("MyMod")), FName(TEXT("mymod")));
	EXPECT_NE(FName(TEXT("MyMod")), FName(TEXT("MyMod2")));
	EXPECT_EQ(GetTypeHash(FName(TEXT("MyMod"))), GetTypeHash(FName("MYMOD")));
	EXPECT_EQ(Str(FName(TEXT("MyMod")).ToString()), u"MyMod");
	EXPECT_EQ(Str(FName(FString(TEXT("Keep Case"))).ToString()), u"Keep Case");
	// Each spelling of one name keeps its own.
	EXPECT_EQ(Str(FName(TEXT("MYMOD")).ToString()), u"MYMOD");
	EXPECT_EQ(Str(FName(TEXT("MyMod")).ToString()), u"MyMod");

	EXPECT_TRUE(FName().IsNone());
	EXPECT_EQ(FName(), NAME_None);
	EXPECT_EQ(Str(FName().ToString()), u"None");
	EXPECT_TRUE(FName(TEXT("")).IsNone());
	EXPECT_TRUE(FName(TEXT("none")).IsNone());
	EXPECT_EQ(FName(TEXT("NONE")), FName(NAME_None));
	EXPECT_FALSE(FName(TEXT("Nonexistent")).IsNone());
	EXPECT_TRUE(FName(TEXT("a")) < FName(TEXT("B")));
	EXPECT_EQ(FName(3, TEXT("abcdef")), FName(TEXT("ABC")));
}

TEST(FChar, ClassifiesUtf16UnitsAsTheCRuntimeDoes)
{
	// As the engine's TChar: every code unit is put to iswalnum and iswdigit, under the C.UTF-8 character type.
	for (uint32 Unit = 0; Unit <= 0xFFFF; ++Unit)
	{
		const TCHAR Char = static_cast<TCHAR>(Unit);
		ASSERT_EQ(FChar::IsAlnum(Char), std::iswalnum(Unit) != 0) << Unit;
		ASSERT_EQ(FChar::IsDigit(Char), std::iswdigit(Unit) != 0) << Unit;
		ASSERT_EQ(FChar::IsAlpha(Char), std::iswalpha(Unit) != 0) << Unit;
	}

	// What the plug-in's name rules rely on: letters of every script, no surrogate half, no punctuation.
	EXPECT_TRUE(FChar::IsAlnum(TEXT('\u00e9')));
	EXPECT_TRUE(FChar::IsAlnum(TEXT('\u4e2d')));
	EXPECT_TRUE(FChar::IsDigit(TEXT('7')));
	for (const TCHAR Char : {TEXT('_'), TEXT('-'), TEXT(' '), TEXT('.')})
	{
		EXPECT_FALSE(FChar::IsAlnum(Char)) << static_cast<int32>(Char);
	}
	for (const uint32 Surrogate : {0xD800u, 0xD83Du, 0xDBFFu, 0xDC00u, 0xDE00u, 0xDFFFu})
	{
		EXPECT_FALSE(FChar::IsAlnum(static_cast<TCHAR>(Surrogate))) << Surrogate;
		EXPECT_FALSE(FChar::IsDigit(static_cast<TCHAR>(Surrogate))) << Surrogate;
	}
	// glibc counts only the ASCII digits as digits; a digit of another script (ARABIC-INDIC DIGIT ZERO) is still a
	// letter-or-digit.
	EXPECT_FALSE(FChar::IsDigit(static_cast<TCHAR>(0x0660)));
	EXPECT_TRUE(FChar::IsAlnum(static_cast<TCHAR>(0x0660)));

	EXPECT_EQ(FChar::ToUpper(TEXT('\u00e9')), TEXT('\u00c9'));
	EXPECT_EQ(FChar::ToLower(static_cast<TCHAR>(0xD83D)), static_cast<TCHAR>(0xD83D));
	EXPECT_TRUE(FChar::IsWhitespace(TEXT('\u00a0')));
	EXPECT_FALSE(FChar::IsWhitespace(TEXT('\u200b')));
}
