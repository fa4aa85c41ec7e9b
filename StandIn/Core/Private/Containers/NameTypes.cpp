#include "UObject/NameTypes.h"

#include "Misc/Char.h"
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace
{
	/** Every name made so far; names are made on any thread, and the table lives as long as the program. */
	class FNameTable
	{
	public:
		static FNameTable& Get()
		{
			// Never destroyed: names are still read by objects that outlive every static.
			static FNameTable* const Table = new FNameTable();
			return *Table;
		}

		/** @return the comparison and display numbers of Name; (0, 0) for the empty name and "None" in any case. */
		std::pair<uint32, uint32> FindOrAdd(FStringView Name)
		{
			if (Name.IsEmpty() || FString(Name).Equals(FString(TEXT("None")), ESearchCase::IgnoreCase))
			{
				return {0, 0};
			}
			const std::u16string_view Spelling(reinterpret_cast<const char16_t*>(Name.GetData()), static_cast<size_t>(Name.Len()));
			const std::lock_guard<std::mutex> Lock(Mutex);
			if (const auto Found = Spellings.find(Spelling); Found != Spellings.end())
			{
				return Found->second;
			}
			std::u16string Folded(Spelling);
			for (char16_t& Char : Folded)
			{
				Char = static_cast<char16_t>(FChar::ToLower(static_cast<TCHAR>(Char)));
			}
			const uint32 Comparison = Comparisons.try_emplace(std::move(Folded), static_cast<uint32>(Comparisons.size() + 1)).first->second;
			DisplayStrings.emplace_back(Name);
			const std::pair<uint32, uint32> Indices(Comparison, static_cast<uint32>(DisplayStrings.size()));
			Spellings.emplace(std::u16string(Spelling), Indices);
			return Indices;
		}

		FString GetDisplayString(uint32 DisplayIndex)
		{
			const std::lock_guard<std::mutex> Lock(Mutex);
			return DisplayStrings[DisplayIndex - 1];
		}

	private:
		// Looks spellings up by view, so that finding a name already made copies nothing.
		struct FSpellingHash
		{
			using is_transparent = void;
			size_t operator()(std::u16string_view Spelling) const { return std::hash<std::u16string_view>()(Spelling); }
		};

		std::mutex Mutex;
		std::unordered_map<std::u16string, std::pair<uint32, uint32>, FSpellingHash, std::equal_to<>> Spellings;
		std::unordered_map<std::u16string, uint32> Comparisons;
		std::deque<FString> DisplayStrings;
	};
} // namespace

FName::FName(FStringView Name, int32)
{
	const std::pair<uint32, uint32> Indices = FNameTable::Get().FindOrAdd(Name);
	ComparisonIndex = Indices.first;
	DisplayIndex = Indices.second;
}

FName::FName(const TCHAR* Name, EFindName)
    : FName(FStringView(Name ? Name : TEXT("")), 0)
{
}

FName::FName(const ANSICHAR* Name, EFindName)
    : FName(FStringView(FString(Name)), 0)
{
}

FName::FName(const UTF8CHAR* Name, EFindName)
    : FName(FStringView(FString(Name)), 0)
{
}

FName::FName(int32 Len, const TCHAR* Name, EFindName)
    : FName(FStringView(Name, Len), 0)
{
}

FName::FName(const FString& Name, EFindName)
    : FName(FStringView(Name), 0)
{
}

FName::FName(FStringView Name, EFindName)
    : FName(Name, 0)
{
}

FString FName::ToString() const
{
	return DisplayIndex == 0 ? FString(TEXT("None")) : FNameTable::Get().GetDisplayString(DisplayIndex);
}
