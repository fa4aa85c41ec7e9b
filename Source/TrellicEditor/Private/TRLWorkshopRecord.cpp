// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopRecord.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "HAL/FileManager.h"
#include "Misc/DateTime.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLJsonText.h"
#include "TRLSafeFiles.h"
#include "TRLSettings.h"
#include "Trellic.h"

namespace TRLWorkshopRecord
{
	const TCHAR* const FileName = TEXT("workshop.json");
	const TCHAR* const ItemIdKey = TEXT("ItemId");

	/** 2^53: a double holds every whole number below it, and a longer number may have lost digits as it was read. */
	constexpr double FirstInexactNumber = 9007199254740992.0;
} // namespace TRLWorkshopRecord

FTRLWorkshopRecord::FTRLWorkshopRecord(const FString& ModDescriptorPath)
    : Path(GetPathOf(ModDescriptorPath))
{
	if (Path.IsEmpty())
	{
		return;
	}
	Object = FTRLJsonText::LoadJsonFile(Path);
	const TSharedPtr<FJsonValue> Value = Object.IsValid() ? Object->TryGetField(TRLWorkshopRecord::ItemIdKey) : nullptr;
	if (!Value.IsValid() || Value->Type == EJson::String)
	{
		if (Value.IsValid())
		{
			Value->TryGetString(ItemId);
		}
		return;
	}
	if (Value->Type != EJson::Number)
	{
		ItemIdForm = EItemIdForm::NotAnId;
		return;
	}
	const double Number = Value->AsNumber();
	if (Number >= TRLWorkshopRecord::FirstInexactNumber || Number <= -TRLWorkshopRecord::FirstInexactNumber)
	{
		ItemIdForm = EItemIdForm::InexactNumber;
		return;
	}
	ItemIdForm = EItemIdForm::Number;
	// A whole number is written with its digits alone; any other is no item id, and the publisher says so.
	const uint64 Whole = Number >= 1.0 ? static_cast<uint64>(Number) : 0;
	if (Whole != 0 && static_cast<double>(Whole) == Number)
	{
		ItemId = LexToString(Whole);
	}
	else
	{
		Value->TryGetString(ItemId);
	}
}

FString FTRLWorkshopRecord::GetPathOf(const FString& ModDescriptorPath)
{
	return ModDescriptorPath.IsEmpty() ? FString() : FPaths::GetPath(ModDescriptorPath) / TRLWorkshopRecord::FileName;
}

FString FTRLWorkshopRecord::DescribeItemIdType() const
{
	const TSharedPtr<FJsonValue> Value = Object.IsValid() ? Object->TryGetField(TRLWorkshopRecord::ItemIdKey) : nullptr;
	switch (Value.IsValid() ? Value->Type : EJson::String)
	{
		case EJson::Number:
			return TEXT("a number");
		case EJson::Null:
			return TEXT("null");
		case EJson::Boolean:
			return TEXT("a boolean");
		case EJson::Array:
			return TEXT("an array");
		case EJson::Object:
			return TEXT("an object");
		default:
			return FString();
	}
}

ETRLWorkshopVisibility FTRLWorkshopRecord::GetVisibility() const
{
	// The project's default is read first, so that every outcome below falls back to the same value.
	const ETRLWorkshopVisibility Default = UTRLSettings::GetWorkshopDefaultVisibility();

	FString Word;
	if (!Object.IsValid() || !Object->TryGetStringField(TEXT("Visibility"), Word) || Word.IsEmpty())
	{
		return Default;
	}
	Word.TrimStartAndEndInline();
	ETRLWorkshopVisibility Visibility = Default;
	if (LexTryParseString(Visibility, *Word))
	{
		return Visibility;
	}
	UE_LOG(LogTrellic, Warning, TEXT("'%s' asks for visibility '%s', which is not one of public/unlisted/friends/private. Using the project default instead."),
	       *Path, *Word);
	return Default;
}

bool FTRLWorkshopRecord::ShouldSyncDescription() const
{
	bool bSync = true;
	if (Object.IsValid())
	{
		Object->TryGetBoolField(TEXT("SyncDescription"), bSync);
	}
	return bSync;
}

bool FTRLWorkshopRecord::Write(const FString& ModDescriptorPath, const FString& ItemId, ETRLWorkshopVisibility Visibility)
{
	if (ItemId.IsEmpty())
	{
		return true;
	}
	const FString RecordPath = GetPathOf(ModDescriptorPath);
	IFileManager& FileManager = IFileManager::Get();
	bool bCanWrite = true;
	TSharedPtr<FJsonObject> Record;
	if (FTRLSafeFiles::IsLink(RecordPath))
	{
		// What is saved to a link lands where it points, which may be anywhere on the machine.
		bCanWrite = false;
		UE_LOG(LogTrellic, Warning, TEXT("'%s' is a symbolic link, and a Workshop record is never written through one. Replace it with the file itself."),
		       *RecordPath);
	}
	else
	{
		// Keys the modder added by hand ("SyncDescription" among them) stay, in their place. A record that cannot be
		// read is kept beside the new one rather than lost; one that cannot even be kept is not replaced.
		Record = FTRLJsonText::LoadJsonFile(RecordPath);
		if (!Record.IsValid() && FileManager.FileExists(*RecordPath))
		{
			const FString KeptPath = FTRLSafeFiles::FindFreePath(RecordPath, TEXT(".bak"));
			bCanWrite = FileManager.Copy(*KeptPath, *RecordPath) == COPY_OK;
			if (bCanWrite)
			{
				UE_LOG(LogTrellic, Warning, TEXT("'%s' could not be read as a Workshop record. It is kept as '%s', and a new record is written."), *RecordPath,
				       *KeptPath);
			}
		}
	}
	if (!Record.IsValid())
	{
		Record = MakeShared<FJsonObject>();
	}
	Record->SetStringField(TRLWorkshopRecord::ItemIdKey, ItemId);
	Record->SetStringField(TEXT("Mod"), FPaths::GetBaseFilename(ModDescriptorPath));
	Record->SetStringField(TEXT("LastUploaded"), FDateTime::UtcNow().ToIso8601());
	Record->SetStringField(TEXT("Visibility"), LexToString(Visibility));

	if (bCanWrite && FFileHelper::SaveStringToFile(FTRLJsonText::ToString(Record.ToSharedRef()), *RecordPath))
	{
		UE_LOG(LogTrellic, Log, TEXT("Workshop item %s recorded in '%s'."), *ItemId, *RecordPath);
		return true;
	}
	UE_LOG(LogTrellic, Error, TEXT("Could not write '%s'. Keep Workshop item id %s safe, or the next upload will create a duplicate."), *RecordPath, *ItemId);
	return false;
}
