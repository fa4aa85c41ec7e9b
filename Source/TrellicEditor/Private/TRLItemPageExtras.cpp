// Copyright Trellic contributors. All Rights Reserved.

#include "TRLItemPageExtras.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "HAL/FileManager.h"
#include "Misc/Paths.h"
#include "TRLCookRecord.h"
#include "TRLLocalModProvider.h"
#include "TRLSafeFiles.h"
#include "TRLWorkshopRecord.h"
#include "Trellic.h"

const TCHAR* const FTRLItemPageExtras::BaseReleaseTag = TEXT("TRLBaseRelease");
const TCHAR* const FTRLItemPageExtras::ModApiVersionTag = TEXT("TRLModApiVersion");

namespace TRLItemPageExtras
{
	const TCHAR* const RequiredModsKey = TEXT("TRLRequiredMods");

	/** @return the item id recorded for the local mod Name, as Steam writes ids; empty when it is no local mod or has none */
	FString FindRecordedItem(const FString& Name, FString& OutModName)
	{
		FString Descriptor;
		FText NotFound;
		uint64 ItemId = 0;
		if (!UTRLLocalModProvider::FindModNamed(Name, Descriptor, NotFound) ||
		    !UTRLWorkshopPublisher::ParseItemId(FTRLWorkshopRecord(Descriptor).GetItemId(), ItemId))
		{
			return FString();
		}
		OutModName = FPaths::GetBaseFilename(Descriptor);
		return LexToString(ItemId);
	}

	bool IsScreenshotName(const FString& FileName)
	{
		const FString Extension = FPaths::GetExtension(FileName);
		for (const TCHAR* Known : {TEXT("png"), TEXT("jpg"), TEXT("jpeg"), TEXT("gif")})
		{
			if (Extension.Equals(Known, ESearchCase::IgnoreCase))
			{
				return true;
			}
		}
		return false;
	}

	/** Name order as a person reads it, whatever the file system listed: capitals aside, then with them. */
	void SortByFileName(TArray<FString>& Paths)
	{
		Paths.Sort([](const FString& Left, const FString& Right) {
			const FString LeftName = FPaths::GetCleanFilename(Left);
			const FString RightName = FPaths::GetCleanFilename(Right);
			const int32 Order = LeftName.Compare(RightName, ESearchCase::IgnoreCase);
			return Order != 0 ? Order < 0 : LeftName.Compare(RightName, ESearchCase::CaseSensitive) < 0;
		});
	}

	FString JoinFileNames(const TArray<FString>& Paths)
	{
		TArray<FString> Names;
		for (const FString& Path : Paths)
		{
			Names.Add(FPaths::GetCleanFilename(Path));
		}
		return FString::Join(Names, TEXT(", "));
	}
} // namespace TRLItemPageExtras

FTRLItemPageExtras::FRequiredMods FTRLItemPageExtras::ReadRequiredMods(const FString& DescriptorPath, const TSharedPtr<FJsonObject>& Descriptor)
{
	using namespace TRLItemPageExtras;
	FRequiredMods Required;
	const FString ModName = FPaths::GetBaseFilename(DescriptorPath);
	const TSharedPtr<FJsonValue> List = Descriptor.IsValid() ? Descriptor->TryGetField(RequiredModsKey) : nullptr;
	if (!List.IsValid())
	{
		return Required;
	}
	const TArray<TSharedPtr<FJsonValue>>* Names = nullptr;
	if (List->Type != EJson::Array || !List->TryGetArray(Names))
	{
		Required.Warnings.Add(FString::Printf(TEXT("'%s' has TRLRequiredMods that is not a list, so the required items of its Workshop item were left as "
		                                           "they are. Write it as a list of mod names, such as [\"OtherMod\"]."),
		                                      *ModName));
		return Required;
	}
	Required.bListed = true;
	TArray<FString> Seen;
	for (const TSharedPtr<FJsonValue>& Value : *Names)
	{
		FString Name;
		if (!Value.IsValid() || Value->Type != EJson::String || !Value->TryGetString(Name) || Name.IsEmpty())
		{
			Required.Warnings.Add(FString::Printf(TEXT("'%s' has an entry in TRLRequiredMods that is not a mod's name, so it was left out. Write each "
			                                           "required mod's name in quotes, such as \"OtherMod\"."),
			                                      *ModName));
			continue;
		}
		// Mod names ignore case, as the engine's plug-in names do: one mod written twice is required once.
		if (Seen.ContainsByPredicate([&Name](const FString& Earlier) {
			    return Earlier.Equals(Name, ESearchCase::IgnoreCase);
		    }))
		{
			continue;
		}
		Seen.Add(Name);
		if (Name.Equals(ModName, ESearchCase::IgnoreCase))
		{
			Required.Warnings.Add(
			    FString::Printf(TEXT("'%s' lists itself in TRLRequiredMods. A mod cannot require itself, so that entry was left out."), *ModName));
			continue;
		}
		FString RequiredModName;
		const FString ItemId = FindRecordedItem(Name, RequiredModName);
		if (ItemId.IsEmpty())
		{
			Required.WithoutItem.Add(Name);
			Required.Warnings.Add(
			    FString::Printf(TEXT("'%s' requires '%s', which has no Workshop item yet. Upload '%s' first, or its page will not list it as required."),
			                    *ModName, *Name, *Name));
			continue;
		}
		if (!Required.Items.ContainsByPredicate([&ItemId](const FTRLRequiredWorkshopItem& Item) {
			    return Item.ItemId == ItemId;
		    }))
		{
			Required.Items.Add({ItemId, RequiredModName});
		}
	}
	return Required;
}

TArray<FString> FTRLItemPageExtras::FindScreenshots(const FString& DescriptorPath, TArray<FString>& OutWarnings)
{
	using namespace TRLItemPageExtras;
	const FString ModName = FPaths::GetBaseFilename(DescriptorPath);
	const FString ModRoot = FPaths::GetPath(DescriptorPath);
	const FString Folder = ModRoot / TEXT("Resources") / TEXT("Screenshots");
	// A link would show whatever it points to, on a page every player sees.
	const FString Link = FTRLSafeFiles::FindLinkBelow(ModRoot, Folder);
	if (!Link.IsEmpty())
	{
		OutWarnings.Add(FString::Printf(TEXT("'%s' reaches its screenshots through the symbolic link '%s', which the upload never follows, so the "
		                                     "screenshots of its Workshop item were left as they are. Put the images themselves in '%s'."),
		                                *ModName, *Link, *Folder));
		return {};
	}
	if (!IFileManager::Get().DirectoryExists(*Folder))
	{
		return {};
	}

	TArray<FString> Images;
	TArray<FString> LeftOut;
	FTRLSafeFiles::WalkWithoutLinks(Folder, [&](const FString& Path, FTRLSafeFiles::EEntry Entry) {
		if (!FPaths::GetPath(Path).Equals(Folder, ESearchCase::CaseSensitive))
		{
			return true;
		}
		const FString Name = FPaths::GetCleanFilename(Path);
		switch (Entry)
		{
			case FTRLSafeFiles::EEntry::File:
				if (IsScreenshotName(Name))
				{
					Images.Add(Path);
				}
				else
				{
					LeftOut.Add(Name + TEXT(" (not a PNG, JPG or GIF image)"));
				}
				break;
			case FTRLSafeFiles::EEntry::Folder:
				LeftOut.Add(Name + TEXT(" (a folder)"));
				break;
			case FTRLSafeFiles::EEntry::Link:
				LeftOut.Add(Name + TEXT(" (a symbolic link, never followed)"));
				break;
			case FTRLSafeFiles::EEntry::Unlisted:
				break;
		}
		return true;
	});
	if (!LeftOut.IsEmpty())
	{
		LeftOut.Sort();
		OutWarnings.Add(FString::Printf(TEXT("'%s' keeps in '%s' what its Workshop item cannot show as a screenshot, so it was left out: %s. Only PNG, "
		                                     "JPG and GIF files directly in that folder are shown; convert or move the rest."),
		                                *ModName, *Folder, *FString::Join(LeftOut, TEXT(", "))));
	}
	SortByFileName(Images);
	if (Images.Num() > MaxScreenshots)
	{
		const TArray<FString> Extra(Images.GetData() + MaxScreenshots, Images.Num() - MaxScreenshots);
		OutWarnings.Add(FString::Printf(TEXT("'%s' has %d screenshots in '%s'; a Workshop item shows at most %d, so the first %d in name order go up and "
		                                     "these were left out: %s. Keep the %d to show, named in the order they should appear."),
		                                *ModName, Images.Num(), *Folder, MaxScreenshots, MaxScreenshots, *JoinFileNames(Extra), MaxScreenshots));
		Images.SetNum(MaxScreenshots);
	}
	return Images;
}

TMap<FString, FString> FTRLItemPageExtras::ReadVersionTags(const FString& DescriptorPath, const TSharedPtr<FJsonObject>& Descriptor)
{
	TMap<FString, FString> Tags;
	const TOptional<FTRLCookRecord> Record = FTRLCookRecord::Load(FTRLCookRecord::GetRecordPath(DescriptorPath));
	if (Record.IsSet() && !Record->ReleaseVersion.IsEmpty())
	{
		Tags.Add(BaseReleaseTag, Record->ReleaseVersion);
	}
	// Read as the game's mod loader reads it, a 32-bit whole number, so that a game's query names it by the same digits.
	int32 Version = 0;
	if (Descriptor.IsValid() && Descriptor->TryGetNumberField(TEXT("ModApiVersion"), Version))
	{
		Tags.Add(ModApiVersionTag, FString::FromInt(Version));
	}
	return Tags;
}

FTRLWorkshopRequestExtras FTRLItemPageExtras::Read(const FString& DescriptorPath, const TSharedPtr<FJsonObject>& Descriptor)
{
	FTRLWorkshopRequestExtras Extras;
	FRequiredMods Required = ReadRequiredMods(DescriptorPath, Descriptor);
	if (Required.bListed)
	{
		Extras.RequiredItems = MoveTemp(Required.Items);
	}
	TArray<FString> Warnings = MoveTemp(Required.Warnings);
	Extras.ExtraPreviewPaths = FindScreenshots(DescriptorPath, Warnings);
	for (const FString& Warning : Warnings)
	{
		UE_LOG(LogTrellic, Warning, TEXT("%s"), *Warning);
	}
	Extras.KeyValueTags = ReadVersionTags(DescriptorPath, Descriptor);
	return Extras;
}
