// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopVisibility.h"

const TCHAR* LexToString(ETRLWorkshopVisibility Visibility)
{
	switch (Visibility)
	{
		case ETRLWorkshopVisibility::FriendsOnly:
			return TEXT("friends");
		case ETRLWorkshopVisibility::Private:
			return TEXT("private");
		case ETRLWorkshopVisibility::Unlisted:
			return TEXT("unlisted");
		default:
			return TEXT("public");
	}
}

bool LexTryParseString(ETRLWorkshopVisibility& OutVisibility, const TCHAR* Word)
{
	const FString Text(Word);
	const TPair<const TCHAR*, ETRLWorkshopVisibility> Words[] = {{TEXT("public"), ETRLWorkshopVisibility::Public},
	                                                             {TEXT("unlisted"), ETRLWorkshopVisibility::Unlisted},
	                                                             {TEXT("private"), ETRLWorkshopVisibility::Private},
	                                                             {TEXT("friends"), ETRLWorkshopVisibility::FriendsOnly},
	                                                             // The value's own name, which a modder may well write.
	                                                             {TEXT("friendsonly"), ETRLWorkshopVisibility::FriendsOnly}};
	for (const TPair<const TCHAR*, ETRLWorkshopVisibility>& Entry : Words)
	{
		if (Text.Equals(Entry.Key, ESearchCase::IgnoreCase))
		{
			OutVisibility = Entry.Value;
			return true;
		}
	}
	return false;
}
