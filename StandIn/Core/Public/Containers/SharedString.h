// TSharedString: an immutable, reference-counted string that is cheap to copy. Unlike FString, it compares and
// hashes case-sensitively, which makes it the key type for maps whose keys must keep their case (JSON fields).
#pragma once

#include "Containers/StringView.h"
#include "CoreTypes.h"
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace UE
{
	template <typename CharType>
	class TSharedString
	{
	public:
		using ElementType = CharType;

		/** An empty string, for returning a reference to one. */
		static const TSharedString Empty;

		TSharedString() = default;
		/** Allocates a copy of the string and refers to it. */
		TSharedString(TStringView<CharType> String)
		    : Text(String.IsEmpty() ? nullptr : std::make_shared<const std::basic_string<CharType>>(String.GetData(), static_cast<size_t>(String.Len())))
		{
		}
		TSharedString(const CharType* String)
		    : TSharedString(TStringView<CharType>(String))
		{
		}

		/** The characters, null-terminated; never null. */
		const CharType* operator*() const { return Text ? Text->c_str() : &NullChar; }
		int32 Len() const { return Text ? static_cast<int32>(Text->size()) : 0; }
		bool IsEmpty() const { return Len() == 0; }
		void Reset() { Text.reset(); }

		TStringView<CharType> ToView() const { return TStringView<CharType>(**this, Len()); }
		operator TStringView<CharType>() const { return ToView(); }

		friend bool operator==(const TSharedString& Lhs, const TSharedString& Rhs) { return Lhs.ToStdView() == Rhs.ToStdView(); }
		friend bool operator!=(const TSharedString& Lhs, const TSharedString& Rhs) { return !(Lhs == Rhs); }
		friend bool operator==(const TSharedString& Lhs, const CharType* Rhs) { return Lhs.ToStdView() == TStringView<CharType>(Rhs).ToStdView(); }
		friend bool operator<(const TSharedString& Lhs, const TSharedString& Rhs) { return Lhs.ToStdView() < Rhs.ToStdView(); }
		friend uint32 GetTypeHash(const TSharedString& String)
		{
			return static_cast<uint32>(std::hash<std::basic_string_view<CharType>>{}(String.ToStdView()));
		}

	private:
		std::basic_string_view<CharType> ToStdView() const { return Text ? std::basic_string_view<CharType>(*Text) : std::basic_string_view<CharType>(); }

		static constexpr CharType NullChar{};
		std::shared_ptr<const std::basic_string<CharType>> Text;
	};

	template <typename CharType>
	const TSharedString<CharType> TSharedString<CharType>::Empty;

	using FSharedString = TSharedString<TCHAR>;
	using FAnsiSharedString = TSharedString<ANSICHAR>;
	using FUtf8SharedString = TSharedString<UTF8CHAR>;
} // namespace UE
