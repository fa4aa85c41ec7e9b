// FName: a case-insensitive name, as used for modules, menus, sections and reflected members.
// Each name keeps the spelling it was made with, as the editor's case-preserving names do. As in the engine, a name
// is two numbers into a table of names: one that every spelling of the name shares, for comparing, and one for the
// spelling, for showing; so names are copied and compared without touching their text.
#pragma once

#include "Containers/UnrealString.h"
#include "CoreTypes.h"

enum EFindName
{
	FNAME_Find,
	FNAME_Add
};

enum EName
{
	NAME_None = 0
};

class FName
{
public:
	FName() = default;
	FName(EName) {}
	FName(const TCHAR* Name, EFindName FindType = FNAME_Add);
	FName(const ANSICHAR* Name, EFindName FindType = FNAME_Add);
	FName(const UTF8CHAR* Name, EFindName FindType = FNAME_Add);
	FName(int32 Len, const TCHAR* Name, EFindName FindType = FNAME_Add);
	explicit FName(const FString& Name, EFindName FindType = FNAME_Add);
	explicit FName(FStringView Name, EFindName FindType = FNAME_Add);

	FString ToString() const;
	void ToString(FString& Out) const { Out = ToString(); }
	void AppendString(FString& Out) const { Out += ToString(); }
	FString GetPlainNameString() const { return ToString(); }
	bool IsNone() const { return ComparisonIndex == 0; }
	bool IsValid() const { return true; }
	bool IsEqual(const FName& Other) const { return ComparisonIndex == Other.ComparisonIndex; }

	bool operator==(const FName& Other) const { return IsEqual(Other); }
	bool operator!=(const FName& Other) const { return !IsEqual(Other); }
	bool operator==(EName) const { return IsNone(); }
	bool operator!=(EName) const { return !IsNone(); }
	bool LexicalLess(const FName& Other) const { return ToString().Compare(Other.ToString(), ESearchCase::IgnoreCase) < 0; }
	bool operator<(const FName& Other) const { return LexicalLess(Other); }

	friend uint32 GetTypeHash(const FName& Name) { return Name.ComparisonIndex; }

private:
	explicit FName(FStringView Name, int32);

	// Both 0 for the empty name, whose text is "None", as in the engine.
	uint32 ComparisonIndex = 0;
	uint32 DisplayIndex = 0;
};

inline FString LexToString(const FName& Name)
{
	return Name.ToString();
}
