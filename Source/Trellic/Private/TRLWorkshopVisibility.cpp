// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopVisibility.h"

namespace TRLWorkshopVisibility
{
	struct FWord
	{
		const TCHAR* Word;
		ETRLWorkshopVisibility Visibility;
	};

	// Each value's first word is the one a record is written with.
	const FWord Words[] = {
	    {TEXT("public"), ETRLWorkshopVisibility::Public},
	    {TEXT("friends"), ETRLWorkshopVisibility::FriendsOnly},
	    // The value's own name, which a modder may well write.
	    {TEXT("friendsonly"), ETRLWorkshopVisibility::FriendsOnly},
	    {TEXT("private"), ETRLWorkshopVisibility::Private},
	    {TEXT("unlisted"), ETRLWorkshopVisibility::Unlisted},
	};
} // namespace TRLWorkshopVisibility

const TCHAR* LexToString(ETRLWorkshopVisibility Visibility)
{
	for (const TRLWorkshopVisibility::FWord& Entry : TRLWorkshopVisibility::Words)
	{
		if (Entry.Visibility == Visibility)
		{
			return Entry.Word;
		}
	}
	return TRLWorkshopVisibility::Words[0].Word;
}

bool LexTryParseString(ETRLWorkshopVisibility& OutVisibility, const TCHAR* Word)
{
	const FString Text(Word);
	for (const TRLWorkshopVisibility::FWord& Entry : TRLWorkshopVisibility::Words)
	{
		if (Text.Equals(Entry.Word, ESearchCase::IgnoreCase))
		{
			OutVisibility = Entry.Visibility;
			return true;
		}
	}
	return false;
}
