// TStringView: a non-owning view of characters, as the engine's FStringView.
#pragma once

#include "Containers/StringFwd.h"
#include "Misc/Char.h"
#include <string_view>
#include <type_traits>

template <typename CharType>
class TStringView
{
public:
	using ElementType = CharType;

	constexpr TStringView() = default;
	constexpr TStringView(const CharType* InData)
	    : View(InData ? std::basic_string_view<CharType>(InData) : std::basic_string_view<CharType>())
	{
	}
	constexpr TStringView(const CharType* InData, int32 InLen)
	    : View(InData, static_cast<size_t>(InLen))
	{
	}
	constexpr TStringView(std::basic_string_view<CharType> InView)
	    : View(InView)
	{
	}
	// Any contiguous string of the same characters (FString, a string builder).
	template <typename StringType, typename = std::enable_if_t<std::is_same_v<
	                                   std::remove_cv_t<std::remove_pointer_t<decltype(std::declval<const StringType&>().GetCharData())>>, CharType>>>
	TStringView(const StringType& String)
	    : View(String.GetCharData(), static_cast<size_t>(String.Len()))
	{
	}

	constexpr const CharType* GetData() const { return View.data(); }
	constexpr int32 Len() const { return static_cast<int32>(View.size()); }
	constexpr bool IsEmpty() const { return View.empty(); }
	constexpr const CharType& operator[](int32 Index) const { return View[static_cast<size_t>(Index)]; }

	TStringView Left(int32 Count) const { return TStringView(View.substr(0, Clamp(Count))); }
	TStringView LeftChop(int32 Count) const { return Left(Len() - Count); }
	TStringView Right(int32 Count) const { return RightChop(Len() - Count); }
	TStringView RightChop(int32 Count) const { return TStringView(View.substr(Clamp(Count))); }
	TStringView Mid(int32 Start, int32 Count = INT32_MAX) const
	{
		const size_t From = Clamp(Start);
		return TStringView(View.substr(From, static_cast<size_t>(Count < 0 ? 0 : Count)));
	}

	bool Equals(TStringView Other, ESearchCase::Type SearchCase = ESearchCase::CaseSensitive) const
	{
		if (SearchCase == ESearchCase::CaseSensitive)
		{
			return View == Other.View;
		}
		if (View.size() != Other.View.size())
		{
			return false;
		}
		for (size_t Index = 0; Index < View.size(); ++Index)
		{
			if (FChar::ToLower(static_cast<TCHAR>(View[Index])) != FChar::ToLower(static_cast<TCHAR>(Other.View[Index])))
			{
				return false;
			}
		}
		return true;
	}
	bool StartsWith(TStringView Prefix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const
	{
		return Prefix.Len() <= Len() && Left(Prefix.Len()).Equals(Prefix, SearchCase);
	}
	bool EndsWith(TStringView Suffix, ESearchCase::Type SearchCase = ESearchCase::IgnoreCase) const
	{
		return Suffix.Len() <= Len() && Right(Suffix.Len()).Equals(Suffix, SearchCase);
	}

	// The engine compares views ignoring case.
	friend bool operator==(TStringView A, TStringView B) { return A.Equals(B, ESearchCase::IgnoreCase); }
	friend bool operator!=(TStringView A, TStringView B) { return !A.Equals(B, ESearchCase::IgnoreCase); }

	constexpr auto begin() const { return View.begin(); }
	constexpr auto end() const { return View.end(); }
	constexpr std::basic_string_view<CharType> ToStdView() const { return View; }

private:
	size_t Clamp(int32 Count) const { return Count < 0 ? 0 : (static_cast<size_t>(Count) > View.size() ? View.size() : static_cast<size_t>(Count)); }

	std::basic_string_view<CharType> View;
};
