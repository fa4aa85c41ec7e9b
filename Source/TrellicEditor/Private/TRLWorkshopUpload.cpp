// Copyright Trellic contributors. All Rights Reserved.

#include "TRLWorkshopUpload.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "Framework/Notifications/NotificationManager.h"
#include "GenericPlatform/GenericPlatformFile.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Math/UnrealMathUtility.h"
#include "Misc/DateTime.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLJobEvents.h"
#include "TRLJsonText.h"
#include "TRLModPackager.h"
#include "TRLScopedNotificationOverride.h"
#include "TRLSettings.h"
#include "Trellic.h"
#include "UObject/Class.h"
#include "UObject/Package.h"
#include "Widgets/Notifications/SNotificationList.h"

#define LOCTEXT_NAMESPACE "TRLWorkshopUpload"

UTRLWorkshopUpload* UTRLWorkshopUpload::ActiveUpload = nullptr;
FText UTRLWorkshopUpload::LastFailureReason;

FTRLScopedNotificationOverride* FTRLScopedNotificationOverride::Innermost = nullptr;

TSharedPtr<SNotificationItem> FTRLScopedNotificationOverride::AddNotification(const FNotificationInfo& Info)
{
	if (const FTRLAddNotification* Override = Get())
	{
		return (*Override)(Info);
	}
	return FSlateNotificationManager::Get().AddNotification(Info);
}

namespace TRLWorkshopUpload
{
	const TCHAR* const RecordFileName = TEXT("workshop.json");

	/** Seconds the finished notification stays before it fades out. */
	constexpr float NotificationExpireSeconds = 6.0f;

	/** Seconds between two looks at the upload's progress. */
	constexpr float ProgressTickSeconds = 0.5f;

	FString GetVisibilityWord(ETRLWorkshopVisibility Visibility)
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

	/** @return the visibility a word names, or nothing for a word outside the list. */
	TOptional<ETRLWorkshopVisibility> ParseVisibilityWord(const FString& Word)
	{
		if (Word.Equals(TEXT("public"), ESearchCase::IgnoreCase))
		{
			return ETRLWorkshopVisibility::Public;
		}
		if (Word.Equals(TEXT("unlisted"), ESearchCase::IgnoreCase))
		{
			return ETRLWorkshopVisibility::Unlisted;
		}
		if (Word.Equals(TEXT("private"), ESearchCase::IgnoreCase))
		{
			return ETRLWorkshopVisibility::Private;
		}
		if (Word.Equals(TEXT("friends"), ESearchCase::IgnoreCase) || Word.Equals(TEXT("friendsonly"), ESearchCase::IgnoreCase))
		{
			return ETRLWorkshopVisibility::FriendsOnly;
		}
		return {};
	}

	/** @return the mod's record parsed; null when the path is empty or the file cannot be read as a JSON object. */
	TSharedPtr<FJsonObject> LoadRecord(const FString& ModDescriptorPath)
	{
		const FString RecordPath = UTRLWorkshopUpload::GetWorkshopRecordPath(ModDescriptorPath);
		return RecordPath.IsEmpty() ? nullptr : FTRLJsonText::LoadJsonFile(RecordPath);
	}

	/** Counts the files below a folder without listing them, since a payload holds thousands; or stops at the first. */
	class FFileCounter final : public IPlatformFile::FDirectoryVisitor
	{
	public:
		explicit FFileCounter(bool bInStopAtFirst)
		    : bStopAtFirst(bInStopAtFirst)
		{
		}

		virtual bool Visit(const TCHAR* /*FilenameOrDirectory*/, bool bIsDirectory) override
		{
			NumFiles += bIsDirectory ? 0 : 1;
			return !bStopAtFirst || NumFiles == 0;
		}

		int32 NumFiles = 0;

	private:
		bool bStopAtFirst;
	};

	/** @return the number of files anywhere below Folder; 0 when it does not exist */
	int32 CountFiles(const FString& Folder)
	{
		FFileCounter Counter(false);
		IFileManager::Get().IterateDirectoryRecursively(*Folder, Counter);
		return Counter.NumFiles;
	}

	/** @return true when a file lies anywhere below Folder */
	bool HasFiles(const FString& Folder)
	{
		FFileCounter Counter(true);
		IFileManager::Get().IterateDirectoryRecursively(*Folder, Counter);
		return Counter.NumFiles > 0;
	}

	/** Title, description and tags as the descriptor gives them; the mod name as title when it gives none. */
	struct FItemText
	{
		FString Title;
		FString Description;
		TArray<FString> Tags;
	};

	FItemText ReadItemText(const FString& DescriptorPath, const FString& ModName)
	{
		FItemText Text;
		Text.Title = ModName;
		const TSharedPtr<FJsonObject> Descriptor = FTRLJsonText::LoadJsonFile(DescriptorPath);
		if (!Descriptor.IsValid())
		{
			return Text;
		}
		FString FriendlyName;
		if (Descriptor->TryGetStringField(TEXT("FriendlyName"), FriendlyName) && !FriendlyName.IsEmpty())
		{
			Text.Title = FriendlyName;
		}
		Descriptor->TryGetStringField(TEXT("Description"), Text.Description);
		const TArray<TSharedPtr<FJsonValue>>* Tags = nullptr;
		if (Descriptor->TryGetArrayField(TEXT("TRLTags"), Tags))
		{
			for (const TSharedPtr<FJsonValue>& Tag : *Tags)
			{
				FString TagText;
				if (Tag.IsValid() && Tag->TryGetString(TagText) && !TagText.IsEmpty())
				{
					Text.Tags.Add(TagText);
				}
			}
		}
		return Text;
	}

	/** @return the fraction as a percentage, halves rounded up; INDEX_NONE while nothing is known (0 or less). */
	int32 ToPercent(float Progress)
	{
		// A publisher that overshoots shows it rather than hiding it.
		return Progress <= 0.0f ? INDEX_NONE : FMath::FloorToInt32(static_cast<double>(Progress) * 100.0 + 0.5);
	}
} // namespace TRLWorkshopUpload

FString UTRLWorkshopUpload::GetWorkshopRecordPath(const FString& ModDescriptorPath)
{
	if (ModDescriptorPath.IsEmpty())
	{
		return FString();
	}
	return FPaths::GetPath(ModDescriptorPath) / TRLWorkshopUpload::RecordFileName;
}

FString UTRLWorkshopUpload::GetRecordedItemId(const FString& ModDescriptorPath)
{
	FString ItemId;
	if (const TSharedPtr<FJsonObject> Record = TRLWorkshopUpload::LoadRecord(ModDescriptorPath))
	{
		Record->TryGetStringField(TEXT("ItemId"), ItemId);
	}
	return ItemId;
}

bool UTRLWorkshopUpload::ShouldSyncDescription(const FString& ModDescriptorPath)
{
	bool bSync = true;
	if (const TSharedPtr<FJsonObject> Record = TRLWorkshopUpload::LoadRecord(ModDescriptorPath))
	{
		Record->TryGetBoolField(TEXT("SyncDescription"), bSync);
	}
	return bSync;
}

ETRLWorkshopVisibility UTRLWorkshopUpload::GetRecordedVisibility(const FString& ModDescriptorPath)
{
	// The project's default is read first, so that every outcome below falls back to the same value.
	const UTRLSettings* Settings = UTRLSettings::Get();
	const ETRLWorkshopVisibility Default = Settings ? Settings->WorkshopDefaultVisibility : ETRLWorkshopVisibility::Public;

	const TSharedPtr<FJsonObject> Record = TRLWorkshopUpload::LoadRecord(ModDescriptorPath);
	FString Word;
	if (!Record.IsValid() || !Record->TryGetStringField(TEXT("Visibility"), Word) || Word.IsEmpty())
	{
		return Default;
	}
	Word.TrimStartAndEndInline();
	if (const TOptional<ETRLWorkshopVisibility> Visibility = TRLWorkshopUpload::ParseVisibilityWord(Word))
	{
		return Visibility.GetValue();
	}
	UE_LOG(LogTrellic, Warning, TEXT("'%s' asks for visibility '%s', which is not one of public/unlisted/friends/private. Using the project default instead."),
	       *GetWorkshopRecordPath(ModDescriptorPath), *Word);
	return Default;
}

FString UTRLWorkshopUpload::BuildUploadPayload(const FString& ModDescriptorPath, FText& OutError)
{
	const FString DescriptorPath = FPaths::ConvertRelativePathToFull(ModDescriptorPath);
	const FString ModRoot = FPaths::GetPath(DescriptorPath);
	const FString ModName = FPaths::GetBaseFilename(DescriptorPath);

	const FString StagingFolder = UTRLModPackager::GetModStagingDirectory(DescriptorPath);
	if (StagingFolder.IsEmpty() || !TRLWorkshopUpload::HasFiles(StagingFolder))
	{
		OutError =
		    FText::Format(LOCTEXT("NotPackaged", "'{0}' has not been packaged yet, so there is nothing to upload. Run Tools > Trellic > Package Mod first."),
		                  FText::FromString(ModName));
		return FString();
	}

	// Built afresh every time, so that nothing left from an earlier upload reaches subscribers.
	const FString PayloadFolder = ModRoot / TEXT("Saved") / TEXT("WorkshopUpload");
	IFileManager& FileManager = IFileManager::Get();
	FileManager.DeleteDirectory(*PayloadFolder, false, true);
	if (!FileManager.MakeDirectory(*PayloadFolder, true))
	{
		OutError = FText::Format(LOCTEXT("NoPayloadDir", "Could not create '{0}'."), FText::FromString(PayloadFolder));
		return FString();
	}

	if (!FPlatformFileManager::Get().GetPlatformFile().CopyDirectoryTree(*PayloadFolder, *StagingFolder, true))
	{
		OutError = FText::Format(LOCTEXT("CopyStagingFailed", "Could not copy the packaged mod from '{0}'."), FText::FromString(StagingFolder));
		return FString();
	}

	// The mod loader finds a mod in a Workshop item by its descriptor, which the cook does not stage.
	const FString DescriptorFileName = FPaths::GetCleanFilename(DescriptorPath);
	if (FileManager.Copy(*(PayloadFolder / DescriptorFileName), *DescriptorPath) != COPY_OK)
	{
		OutError = FText::Format(LOCTEXT("CopyDescriptorFailed", "Could not copy '{0}' into the upload folder."), FText::FromString(DescriptorFileName));
		return FString();
	}

	UE_LOG(LogTrellic, Log, TEXT("Upload payload assembled in '%s' (%d file(s))."), *PayloadFolder, TRLWorkshopUpload::CountFiles(PayloadFolder));
	return PayloadFolder;
}

FString UTRLWorkshopUpload::FindPreviewImage(const FString& ModDescriptorPath)
{
	// Without a descriptor there is no mod folder to look in, and the working folder is not one.
	if (ModDescriptorPath.IsEmpty())
	{
		return FString();
	}
	const FString ModRoot = FPaths::GetPath(ModDescriptorPath);
	for (const FString& Candidate : {ModRoot / TEXT("preview.png"), ModRoot / TEXT("preview.jpg"), ModRoot / TEXT("Resources") / TEXT("Icon128.png")})
	{
		if (IFileManager::Get().FileExists(*Candidate))
		{
			return FPaths::ConvertRelativePathToFull(Candidate);
		}
	}
	return FString();
}

void UTRLWorkshopUpload::Preflight(const FString& ModDescriptorPath)
{
	const FString DescriptorPath = FPaths::ConvertRelativePathToFull(ModDescriptorPath);
	const FString ModName = FPaths::GetBaseFilename(DescriptorPath);

	if (FindPreviewImage(DescriptorPath).IsEmpty())
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("'%s' has no preview image. Put a square preview.png (under 1 MB) next to the .uplugin, or the Workshop tile stays blank."), *ModName);
	}

	const TSharedPtr<FJsonObject> Descriptor = FTRLJsonText::LoadJsonFile(DescriptorPath);
	if (!Descriptor.IsValid())
	{
		return;
	}

	FString Description;
	if (!Descriptor->TryGetStringField(TEXT("Description"), Description) || Description.IsEmpty())
	{
		UE_LOG(LogTrellic, Warning, TEXT("'%s' has an empty Description. That text IS the Workshop page - fill it in the .uplugin."), *ModName);
	}

	const TArray<TSharedPtr<FJsonValue>>* Tags = nullptr;
	if (!Descriptor->TryGetArrayField(TEXT("TRLTags"), Tags) || Tags->IsEmpty())
	{
		UE_LOG(LogTrellic, Warning, TEXT("'%s' has no TRLTags. Nobody will find the mod by browsing - add a couple to the .uplugin."), *ModName);
	}

	// A mod shipped with it false would run for every player, switched on or not.
	bool bExplicitlyLoaded = true;
	if (!Descriptor->TryGetBoolField(TEXT("ExplicitlyLoaded"), bExplicitlyLoaded) || bExplicitlyLoaded)
	{
		return;
	}
	Descriptor->SetBoolField(TEXT("ExplicitlyLoaded"), true);
	const FString Text = FTRLJsonText::Write(Descriptor.ToSharedRef());
	if (!Text.IsEmpty() && FFileHelper::SaveStringToFile(Text, *DescriptorPath))
	{
		UE_LOG(LogTrellic, Log,
		       TEXT("'%s' had ExplicitlyLoaded=false (left over from opening the mod for editing). Set back to true before upload, so the mod only runs when "
		            "the player switches it on."),
		       *ModName);
	}
	else
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("'%s' has ExplicitlyLoaded=false and could not be corrected. The mod would load for every player without being switched on - fix the "
		            ".uplugin by hand."),
		       *ModName);
	}
}

bool UTRLWorkshopUpload::IsUploadInProgress()
{
	return ActiveUpload != nullptr;
}

ETRLWorkshopResult UTRLWorkshopUpload::UploadMod(const FString& ModDescriptorPath, const FString& ChangeNote, FText& OutError)
{
	if (ActiveUpload)
	{
		OutError = LOCTEXT("UploadBusy", "An upload is already running. Wait for it to finish.");
		return ETRLWorkshopResult::Busy;
	}
	// The preflight would undo what the running cook needs in the descriptor, and the payload is not cooked yet.
	if (UTRLModPackager::IsBeingPackaged(ModDescriptorPath))
	{
		OutError = FText::Format(LOCTEXT("BeingPackaged", "'{0}' is being packaged. Wait for packaging to finish, then upload it."),
		                         FText::FromString(FPaths::GetBaseFilename(ModDescriptorPath)));
		return ETRLWorkshopResult::Busy;
	}

	const FString DescriptorPath = FPaths::ConvertRelativePathToFull(ModDescriptorPath);
	if (!IFileManager::Get().FileExists(*DescriptorPath))
	{
		OutError = FText::Format(LOCTEXT("NoDescriptor", "'{0}' does not exist."), FText::FromString(DescriptorPath));
		return ETRLWorkshopResult::InvalidMod;
	}
	const FString ModName = FPaths::GetBaseFilename(DescriptorPath);

	Preflight(DescriptorPath);
	const FString PayloadFolder = BuildUploadPayload(DescriptorPath, OutError);
	if (PayloadFolder.IsEmpty())
	{
		return ETRLWorkshopResult::InvalidMod;
	}
	const TRLWorkshopUpload::FItemText ItemText = TRLWorkshopUpload::ReadItemText(DescriptorPath, ModName);

	// From here until HandlePublishComplete the root set keeps the upload, and the upload keeps its publisher.
	UTRLWorkshopUpload* Upload = NewObject<UTRLWorkshopUpload>(GetTransientPackage());
	Upload->AddToRoot();
	Upload->ModDescriptorPath = DescriptorPath;
	Upload->ModName = ModName;
	Upload->Visibility = GetRecordedVisibility(DescriptorPath);
	UTRLWorkshopPublisher* Publisher = NewObject<UTRLWorkshopPublisher>(Upload);
	Upload->Publisher = Publisher;
	Publisher->OnPublishComplete.AddUniqueDynamic(Upload, &UTRLWorkshopUpload::HandlePublishComplete);
	ActiveUpload = Upload;

	FNotificationInfo Info(FText::Format(LOCTEXT("UploadStarted", "Uploading {0} to the Steam Workshop"), FText::FromString(ModName)));
	Info.ExpireDuration = TRLWorkshopUpload::NotificationExpireSeconds;
	Info.bFireAndForget = false;
	Upload->Notification = FTRLScopedNotificationOverride::AddNotification(Info);
	if (Upload->Notification.IsValid())
	{
		Upload->Notification->SetCompletionState(SNotificationItem::CS_Pending);
	}

	const FString PreviewImage = FindPreviewImage(DescriptorPath);
	const FString RecordedItemId = GetRecordedItemId(DescriptorPath);
	Upload->TickerHandle =
	    FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateUObject(Upload, &UTRLWorkshopUpload::TickProgress), TRLWorkshopUpload::ProgressTickSeconds);

	const FString Target = RecordedItemId.IsEmpty() ? FString(TEXT("new Workshop item")) : FString::Printf(TEXT("update to item %s"), *RecordedItemId);
	UE_LOG(LogTrellic, Log, TEXT("Uploading mod '%s' from '%s' (%s)."), *ModName, *PayloadFolder, *Target);
	const bool bSync = ShouldSyncDescription(DescriptorPath);
	UE_LOG(LogTrellic, Log, TEXT("Visibility: %s. Title and description from the descriptor: %s."),
	       *StaticEnum<ETRLWorkshopVisibility>()->GetNameStringByValue(static_cast<int64>(Upload->Visibility)),
	       bSync ? TEXT("yes") : TEXT("no, the Workshop page keeps its own"));

	// A refusal at the call is broadcast before the call returns, so the upload is taken down by then.
	ETRLWorkshopResult Result;
	if (RecordedItemId.IsEmpty())
	{
		Result = Publisher->PublishNewMod(PayloadFolder, PreviewImage, ItemText.Title, ItemText.Description, ItemText.Tags, Upload->Visibility);
	}
	else
	{
		const FString Note = ChangeNote.IsEmpty() ? FString(TEXT("Updated")) : ChangeNote;
		Result = bSync ? Publisher->UpdateExistingMod(RecordedItemId, PayloadFolder, PreviewImage, Note, Upload->Visibility, ItemText.Title,
		                                              ItemText.Description, ItemText.Tags)
		               : Publisher->UpdateExistingMod(RecordedItemId, PayloadFolder, PreviewImage, Note, Upload->Visibility, FString(), FString(), {});
	}
	if (Result != ETRLWorkshopResult::Success)
	{
		OutError = LastFailureReason;
	}
	return Result;
}

bool UTRLWorkshopUpload::TickProgress(float /*DeltaTime*/)
{
	if (!Publisher || !Notification.IsValid())
	{
		return true;
	}
	const int32 Percent = TRLWorkshopUpload::ToPercent(Publisher->GetUploadProgress());
	if (Percent == INDEX_NONE)
	{
		return true;
	}
	Notification->SetSubText(FText::Format(LOCTEXT("UploadProgress", "{0}% uploaded"), FText::AsNumber(Percent)));
	return true;
}

void UTRLWorkshopUpload::HandlePublishComplete(ETRLWorkshopResult Result, const FString& ItemId, const FText& StatusMessage)
{
	if (TickerHandle.IsValid())
	{
		FTSTicker::RemoveTicker(TickerHandle);
		TickerHandle.Reset();
	}

	// An item that Steam made is recorded even when its upload failed, so that the next upload updates it.
	RecordItemId(ItemId);

	const bool bSuccess = Result == ETRLWorkshopResult::Success;
	LastFailureReason = bSuccess ? FText::GetEmpty() : StatusMessage;
	const FText Outcome =
	    bSuccess ? FText::Format(LOCTEXT("UploadDone", "{0} is on the Steam Workshop (item {1})."), FText::FromString(ModName), FText::FromString(ItemId))
	             : StatusMessage;
	FinishNotification(bSuccess, Outcome);
	if (bSuccess)
	{
		UE_LOG(LogTrellic, Log, TEXT("Mod '%s' published as Workshop item %s."), *ModName, *ItemId);
	}
	else
	{
		UE_LOG(LogTrellic, Error, TEXT("Uploading '%s' failed: %s"), *ModName, *StatusMessage.ToString());
	}

	if (Publisher)
	{
		Publisher->OnPublishComplete.RemoveDynamic(this, &UTRLWorkshopUpload::HandlePublishComplete);
		Publisher = nullptr;
	}
	if (ActiveUpload == this)
	{
		ActiveUpload = nullptr;
	}
	RemoveFromRoot();
	FTRLJobEvents::OnUploadEnded().Broadcast(bSuccess, ItemId, Outcome.ToString());
}

int32 UTRLWorkshopUpload::GetActiveUploadPercent()
{
	return ActiveUpload && ActiveUpload->Publisher ? TRLWorkshopUpload::ToPercent(ActiveUpload->Publisher->GetUploadProgress()) : INDEX_NONE;
}

void UTRLWorkshopUpload::FinishNotification(bool bSuccess, const FText& Message)
{
	if (!Notification.IsValid())
	{
		return;
	}
	Notification->SetText(Message);
	Notification->SetSubText(FText::GetEmpty());
	Notification->SetCompletionState(bSuccess ? SNotificationItem::CS_Success : SNotificationItem::CS_Fail);
	Notification->ExpireAndFadeout();
	Notification.Reset();
}

void UTRLWorkshopUpload::RecordItemId(const FString& ItemId) const
{
	if (ItemId.IsEmpty())
	{
		return;
	}
	const FString RecordPath = GetWorkshopRecordPath(ModDescriptorPath);

	// Keys the modder added by hand ("SyncDescription" among them) stay, in their place. A record that cannot be read
	// is kept beside the new one rather than lost; one that cannot even be kept is not replaced.
	TSharedPtr<FJsonObject> Record = FTRLJsonText::LoadJsonFile(RecordPath);
	bool bCanWrite = true;
	if (!Record.IsValid())
	{
		Record = MakeShared<FJsonObject>();
		if (IFileManager::Get().FileExists(*RecordPath))
		{
			const FString KeptPath = RecordPath + TEXT(".bak");
			bCanWrite = IFileManager::Get().Copy(*KeptPath, *RecordPath) == COPY_OK;
			if (bCanWrite)
			{
				UE_LOG(LogTrellic, Warning, TEXT("'%s' could not be read as a Workshop record. It is kept as '%s', and a new record is written."), *RecordPath,
				       *KeptPath);
			}
		}
	}
	Record->SetStringField(TEXT("ItemId"), ItemId);
	Record->SetStringField(TEXT("Mod"), ModName);
	Record->SetStringField(TEXT("LastUploaded"), FDateTime::UtcNow().ToIso8601());
	Record->SetStringField(TEXT("Visibility"), TRLWorkshopUpload::GetVisibilityWord(Visibility));

	if (bCanWrite && FFileHelper::SaveStringToFile(FTRLJsonText::Write(Record.ToSharedRef()), *RecordPath))
	{
		UE_LOG(LogTrellic, Log, TEXT("Workshop item %s recorded in '%s'."), *ItemId, *RecordPath);
	}
	else
	{
		UE_LOG(LogTrellic, Error, TEXT("Could not write '%s'. Keep Workshop item id %s safe, or the next upload will create a duplicate."), *RecordPath,
		       *ItemId);
	}
}

#undef LOCTEXT_NAMESPACE
