#include "CoreMinimal.h"

#include <gtest/gtest.h>
#include <limits>

namespace
{
	std::u16string Str(const FString& Value)
	{
		return Value.ToStdString();
	}

	enum class ETestState : uint8
	{
		Idle = 3,
	};

	// The checker itself, so that formats that must not compile are proven here without a failing build.
	template <typename... Types>
	consteval bool FormatAccepts(const TCHAR* Format)
	{
		const UE::Core::Private::FPrintfArgType ArgTypes[] = {UE::Core::Private::PrintfArgTypeOf<Types>()..., UE::Core::Private::FPrintfArgType{}};
		return UE::Core::Private::FindPrintfFormatError(Format, ArgTypes) == UE::Core::Private::EPrintfFormatError::None;
	}
} // namespace

TEST(Printf, StringsTakeTcharPointers)
{
	const FString Name(TEXT("MyMod"));
	EXPECT_EQ(Str(FString::Printf(TEXT("Mod '%s' mounted"), *Name)), u"Mod 'MyMod' mounted");
	EXPECT_EQ(Str(FString::Printf(TEXT("[%8s][%-8s][%.2s]"), TEXT("ab"), TEXT("ab"), TEXT("abcdef"))), u"[      ab][ab      ][ab]");
	EXPECT_EQ(Str(FString::Printf(TEXT("%s|%s"), TEXT(""), static_cast<const TCHAR*>(nullptr))), u"|(null)");
	EXPECT_EQ(Str(FString::Printf(TEXT("%s"), TEXT("Caf\u00e9 \U0001F600"))), u"Caf\u00e9 \U0001F600");
	EXPECT_EQ(Str(FString::Printf(TEXT("no arguments, 100%%"))), u"no arguments, 100%");
}

TEST(Printf, IntegersFollowTheCLibrary)
{
	EXPECT_EQ(Str(FString::Printf(TEXT("%d %i %u"), -42, 7, 4000000000u)), u"-42 7 4000000000");
	EXPECT_EQ(Str(FString::Printf(TEXT("%lld %llu %ld"), int64(-9000000000), uint64(18000000000000000000ull), int64(5))),
	          u"-9000000000 18000000000000000000 5");
	EXPECT_EQ(Str(FString::Printf(TEXT("%x %X %08x %#x"), 255, 255, 48879, 16)), u"ff FF 0000beef 0x10");
	EXPECT_EQ(Str(FString::Printf(TEXT("[%5d][%-5d][%05d][%+d][% d]"), 42, 42, -42, 42, 42)), u"[   42][42   ][-0042][+42][ 42]");
	EXPECT_EQ(Str(FString::Printf(TEXT("%d %u"), ETestState::Idle, true)), u"3 1");
	// An int32 for %lld widens, and %u of a negative int reads it as unsigned, as C does.
	EXPECT_EQ(Str(FString::Printf(TEXT("%lld %u"), int32(-5), -1)), u"-5 4294967295");
	EXPECT_EQ(Str(FString::Printf(TEXT("%*d|%-*d|"), 4, 7, 3, 1)), u"   7|1  |");
}

TEST(Printf, CharactersAreUtf16Units)
{
	EXPECT_EQ(Str(FString::Printf(TEXT("%c%c"), TEXT('A'), TCHAR(0x00E9))), u"A\u00e9");
	EXPECT_EQ(Str(FString::Printf(TEXT("[%3c][%-3c]"), TEXT('x'), TEXT('y'))), u"[  x][y  ]");
}

TEST(Printf, FloatsRoundAsTheCLibrary)
{
	EXPECT_EQ(Str(FString::Printf(TEXT("%.0f %.0f %.0f %.0f"), 12.6, 12.4, 0.5, 2.5)), u"13 12 0 2");
	EXPECT_EQ(Str(FString::Printf(TEXT("%f %.2f %.2f"), 1.5f, 3.14159, -0.005)), u"1.500000 3.14 -0.01");
	EXPECT_EQ(Str(FString::Printf(TEXT("%.17g"), 0.1)), u"0.10000000000000001");
	EXPECT_EQ(Str(FString::Printf(TEXT("%.17g %g %g"), 1.0, 100000.0, 1e20)), u"1 100000 1e+20");
	EXPECT_EQ(Str(FString::Printf(TEXT("%e %.2E"), 12345.678, 0.000123)), u"1.234568e+04 1.23E-04");
	EXPECT_EQ(Str(FString::Printf(TEXT("[%8.2f][%-8.1f][%08.3f][%+.1f]"), 3.14159, 2.5, -1.5, 2.0)), u"[    3.14][2.5     ][-001.500][+2.0]");
}

TEST(Printf, LongOutputIsNotTruncated)
{
	const FString Long = FString::ChrN(5000, TEXT('z'));
	EXPECT_EQ(FString::Printf(TEXT("<%s>"), *Long).Len(), 5002);
	EXPECT_EQ(FString::Printf(TEXT("%300.250f"), 1.0).Len(), 300);
}

TEST(Printf, FormatCheckerRefusesMismatchedArguments)
{
	static_assert(FormatAccepts<const TCHAR*, int32, double>(TEXT("%s %d %.2f")));
	static_assert(FormatAccepts<>(TEXT("100%%")));
	static_assert(FormatAccepts<int64, uint64>(TEXT("%lld %llu")));
	static_assert(!FormatAccepts<FString>(TEXT("%s")));
	static_assert(!FormatAccepts<const char*>(TEXT("%s")));
	static_assert(!FormatAccepts<int32>(TEXT("%s")));
	static_assert(!FormatAccepts<int64>(TEXT("%d")));
	static_assert(!FormatAccepts<double>(TEXT("%d")));
	static_assert(!FormatAccepts<int32>(TEXT("%f")));
	static_assert(!FormatAccepts<>(TEXT("%d")));
	static_assert(!FormatAccepts<int32, int32>(TEXT("%d")));
	static_assert(!FormatAccepts<int32>(TEXT("%q")));
	static_assert(!FormatAccepts<int32>(TEXT("%")));
	SUCCEED();
}

TEST(LexToString, NumbersAndBooleans)
{
	EXPECT_EQ(Str(LexToString(-12)), u"-12");
	EXPECT_EQ(Str(LexToString(uint64(18446744073709551615ull))), u"18446744073709551615");
	EXPECT_EQ(Str(LexToString(int64(-9000000000))), u"-9000000000");
	EXPECT_EQ(Str(LexToString(1.5f)), u"1.500000");
	EXPECT_EQ(Str(LexToString(true)), u"true");
	EXPECT_EQ(Str(LexToString(false)), u"false");
}

TEST(SanitizeFloat, KeepsTheShortestFixedForm)
{
	EXPECT_EQ(Str(FString::SanitizeFloat(1.0)), u"1.0");
	EXPECT_EQ(Str(FString::SanitizeFloat(0.25)), u"0.25");
	EXPECT_EQ(Str(FString::SanitizeFloat(-3.5)), u"-3.5");
	EXPECT_EQ(Str(FString::SanitizeFloat(2.0, 0)), u"2");
	EXPECT_EQ(Str(FString::SanitizeFloat(2.0, 3)), u"2.000");
	EXPECT_EQ(Str(FString::SanitizeFloat(1.0, 8)), u"1.00000000");
}

TEST(Printf, LengthModifiersNarrowAsTheCLibraryReadsThem)
{
	EXPECT_EQ(Str(FString::Printf(TEXT("%hd %hhd %hu"), 70000, 300, 70000)), u"4464 44 4464");
	EXPECT_EQ(Str(FString::Printf(TEXT("%o %lx %llX"), 8, uint64(0xABCDEF0123ull), int64(-1))), u"10 abcdef0123 FFFFFFFFFFFFFFFF");
	EXPECT_EQ(Str(FString::Printf(TEXT("%zu %ld"), SIZE_T(12), int64(-3))), u"12 -3");
	// A negative '*' width left-aligns; a negative '*' precision counts as none.
	EXPECT_EQ(Str(FString::Printf(TEXT("[%*d][%.*f][%.*f]"), -4, 7, 1, 2.25, -1, 2.25)), u"[7   ][2.2][2.250000]");
	EXPECT_EQ(Str(FString::Printf(TEXT("[%.*s]"), 3, TEXT("abcdef"))), u"[abc]");
}

TEST(Printf, PointersAndSpecialFloats)
{
	EXPECT_EQ(Str(FString::Printf(TEXT("%p"), nullptr)), u"(nil)");
	int Value = 0;
	EXPECT_TRUE(FString::Printf(TEXT("%p"), &Value).StartsWith(TEXT("0x")));
	EXPECT_EQ(Str(FString::Printf(TEXT("%f %f %.0f"), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
	                              std::numeric_limits<double>::quiet_NaN())),
	          u"inf -inf nan");
	EXPECT_EQ(Str(FString::Printf(TEXT("%.17g %.17g %.17g"), 2.0, 0.3, 1e-300)), u"2 0.29999999999999999 1e-300");
}
