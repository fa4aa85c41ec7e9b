// Copyright Trellic contributors. All Rights Reserved.

#include "TRLPendingWorkshopItem.h"

#include "Dom/JsonObject.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLJsonText.h"
#include "TRLProjectPaths.h"
#include "TRLSafeFiles.h"
#include "TRLWorkshopPublisher.h"
#include "TRLWorkshopRecord.h"
#include "Trellic.h"

namespace TRLPendingWorkshopItem
{
	/** The kept item as its file holds it: the mod's descriptor relative to the project, and the item id. */
	struct FKept
	{
		FString Mod;
		FString ItemId;
	};

	/** @return false when the file is missing, or is not a whole kept item */
	bool Read(const FString& Path, FKept& OutKept)
	{
		const TSharedPtr<FJsonObject> Object = FTRLJsonText::LoadJsonFile(Path);
		uint64 ItemId = 0;
		return Object.IsValid() && Object->TryGetStringField(TEXT("Mod"), OutKept.Mod) && Object->TryGetStringField(TEXT("ItemId"), OutKept.ItemId) &&
		       UTRLWorkshopPublisher::ParseItemId(OutKept.ItemId, ItemId);
	}
} // namespace TRLPendingWorkshopItem

FString FTRLPendingWorkshopItem::GetPath()
{
	return FTRLProjectPaths::GetProjectSavedDir() / TEXT("Trellic") / TEXT("PendingWorkshopItem.json");
}

bool FTRLPendingWorkshopItem::Keep(const FString& ModDescriptorPath, const FString& ItemId)
{
	const FString Path = GetPath();
	IFileManager& FileManager = IFileManager::Get();
	if (FileManager.FileExists(*Path))
	{
		// Left by an editor that ended during an upload; it is recorded, or kept apart, before this one takes its place.
		RecordLeftBehind();
		if (FileManager.FileExists(*Path))
		{
			FTRLSafeFiles::SetAside(Path);
		}
	}

	// Relative, so that a copy of the project records the item in its own mod, and nothing outside it.
	FString Mod = ModDescriptorPath;
	FPaths::MakePathRelativeTo(Mod, *FTRLProjectPaths::GetProjectDir());
	const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetStringField(TEXT("Mod"), Mod);
	Object->SetStringField(TEXT("ItemId"), ItemId);

	// Written beside and moved into place, so that the file is there whole or not at all; never through a link put in
	// that place, which would write where it points.
	const FString WritingPath = Path + TEXT(".writing");
	FileManager.MakeDirectory(*FPaths::GetPath(Path), true);
	const bool bLinkInTheWay = FTRLSafeFiles::IsLink(WritingPath);
	if (!bLinkInTheWay && FFileHelper::SaveStringToFile(FTRLJsonText::ToString(Object), *WritingPath) && FileManager.Move(*Path, *WritingPath, false))
	{
		return true;
	}
	if (!bLinkInTheWay)
	{
		FileManager.Delete(*WritingPath);
	}
	UE_LOG(LogTrellic, Warning,
	       TEXT("Could not keep Workshop item %s in '%s' until the upload ends. If the editor ends first, write \"ItemId\": \"%s\" into '%s' by hand, or the "
	            "next upload will create a duplicate."),
	       *ItemId, *Path, *ItemId, *FTRLWorkshopRecord::GetPathOf(ModDescriptorPath));
	return false;
}

void FTRLPendingWorkshopItem::Forget(const FString& ItemId)
{
	const FString Path = GetPath();
	TRLPendingWorkshopItem::FKept Kept;
	if (TRLPendingWorkshopItem::Read(Path, Kept) && Kept.ItemId.Equals(ItemId, ESearchCase::CaseSensitive))
	{
		FTRLSafeFiles::DeleteWithEmptyFolder(Path);
	}
}

void FTRLPendingWorkshopItem::RecordLeftBehind()
{
	using namespace TRLPendingWorkshopItem;
	const FString Path = GetPath();
	if (!IFileManager::Get().FileExists(*Path))
	{
		return;
	}
	FKept Kept;
	if (!Read(Path, Kept))
	{
		// Moved before the line is written: a log line's arguments are not evaluated at all when its verbosity is off.
		const FString AsidePath = FTRLSafeFiles::SetAside(Path);
		UE_LOG(LogTrellic, Warning,
		       TEXT("'%s' cannot be read as a kept Workshop item, so no record was written. It is kept as '%s'; if it names an item, write that id into "
		            "its mod's workshop.json by hand."),
		       *Path, *AsidePath);
		return;
	}

	// Nothing the file names is looked at before it is known to lie inside the project.
	const FString ProjectDir = FTRLProjectPaths::GetProjectDir();
	FString Descriptor;
	if (!FTRLSafeFiles::ResolveInside(ProjectDir, Kept.Mod, Descriptor) || !FPaths::GetExtension(Descriptor).Equals(TEXT("uplugin"), ESearchCase::IgnoreCase) ||
	    !FTRLSafeFiles::FindLinkBelow(ProjectDir, FTRLWorkshopRecord::GetPathOf(Descriptor)).IsEmpty())
	{
		const FString AsidePath = FTRLSafeFiles::SetAside(Path);
		UE_LOG(LogTrellic, Warning,
		       TEXT("'%s' names the mod '%s', which is not a descriptor inside the project or is reached through a symbolic link, so nothing there was read "
		            "or written and Workshop item %s was not recorded. It is kept as '%s'; if the mod is yours, write the id into its workshop.json by hand."),
		       *Path, *Kept.Mod, *Kept.ItemId, *AsidePath);
		return;
	}
	if (!IFileManager::Get().FileExists(*Descriptor))
	{
		const FString AsidePath = FTRLSafeFiles::SetAside(Path);
		UE_LOG(LogTrellic, Warning, TEXT("Workshop item %s was made for '%s', which no longer exists, so it was not recorded. It is kept as '%s'."),
		       *Kept.ItemId, *Descriptor, *AsidePath);
		return;
	}

	const FTRLWorkshopRecord Record(Descriptor);
	if (Record.GetItemId().Equals(Kept.ItemId, ESearchCase::CaseSensitive))
	{
		FTRLSafeFiles::DeleteWithEmptyFolder(Path);
		return;
	}
	if (!Record.GetItemId().IsEmpty() || Record.GetItemIdForm() == FTRLWorkshopRecord::EItemIdForm::InexactNumber)
	{
		const FString AsidePath = FTRLSafeFiles::SetAside(Path);
		UE_LOG(LogTrellic, Warning,
		       TEXT("'%s' records another Workshop item, so item %s, made by an upload that did not finish, was not written over it. It is kept as '%s'; "
		            "check which of the two is the mod's, and delete the other on the Workshop."),
		       *Record.GetPath(), *Kept.ItemId, *AsidePath);
		return;
	}
	// A record that cannot be written stays owed: the Error names the item, and the next start tries again.
	if (FTRLWorkshopRecord::Write(Descriptor, Kept.ItemId, Record.GetVisibility()))
	{
		FTRLSafeFiles::DeleteWithEmptyFolder(Path);
		UE_LOG(LogTrellic, Warning,
		       TEXT("The editor ended during an upload of '%s' after Steam made Workshop item %s. The item is now recorded in '%s', so the next upload updates "
		            "it instead of making another."),
		       *FPaths::GetBaseFilename(Descriptor), *Kept.ItemId, *Record.GetPath());
	}
}
