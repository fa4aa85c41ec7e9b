// Copyright Trellic contributors. All Rights Reserved.

#include "TRLModScaffold.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLJsonText.h"
#include "TRLLocalModProvider.h"
#include "TRLModMount.h"
#include "TRLSettings.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLModScaffold"

namespace TRLModScaffold
{
	TSharedRef<FJsonObject> MakeDescriptor(const FString& ModName, const FString& Author, const FString& Description)
	{
		const TArray<TSharedPtr<FJsonValue>> NoValues;

		TSharedRef<FJsonObject> Descriptor = MakeShared<FJsonObject>();
		Descriptor->SetNumberField(TEXT("FileVersion"), 3);
		Descriptor->SetNumberField(TEXT("Version"), 1);
		Descriptor->SetStringField(TEXT("VersionName"), TEXT("1.0.0"));
		Descriptor->SetStringField(TEXT("FriendlyName"), ModName);
		Descriptor->SetStringField(TEXT("Description"), Description.IsEmpty() ? FString(TEXT("A mod for this game.")) : Description);
		Descriptor->SetStringField(TEXT("Category"), TEXT("Mods"));
		Descriptor->SetStringField(TEXT("CreatedBy"), Author.IsEmpty() ? FString(TEXT("Unknown")) : Author);
		// Without these two the engine lists the mod but never mounts its content.
		Descriptor->SetBoolField(TEXT("CanContainContent"), true);
		Descriptor->SetBoolField(TEXT("ExplicitlyLoaded"), true);
		Descriptor->SetNumberField(TEXT("ModApiVersion"), UTRLSettings::GetModApiVersion());
		Descriptor->SetNumberField(TEXT("TRLLoadOrder"), UTRLSettings::GetDefaultLoadOrder());
		Descriptor->SetArrayField(TEXT("TRLTags"), NoValues);
		Descriptor->SetArrayField(TEXT("TRLRequiredMods"), NoValues);
		Descriptor->SetArrayField(TEXT("Modules"), NoValues);
		return Descriptor;
	}
} // namespace TRLModScaffold

bool UTRLModScaffold::IsValidModName(const FString& ModName, FText& OutReason)
{
	return UTRLLocalModProvider::IsValidNewModName(ModName, OutReason);
}

FString UTRLModScaffold::CreateMod(const FString& ModName, const FString& Author, const FString& Description, FText& OutError)
{
	// Asked first: without a mods folder there is nowhere to put the mod, whatever its name.
	FString ModsRoot;
	if (!UTRLLocalModProvider::TryGetLocalModsRoot(ModsRoot, OutError) || !IsValidModName(ModName, OutError))
	{
		return FString();
	}

	const FString ModFolder = ModsRoot / ModName;
	const FString ContentFolder = ModFolder / TEXT("Content");
	const FString DescriptorPath = ModFolder / (ModName + TEXT(".uplugin"));

	if (!IFileManager::Get().MakeDirectory(*ContentFolder, true))
	{
		OutError = FText::Format(LOCTEXT("CannotCreateFolder", "Could not create '{0}'."), FText::FromString(ContentFolder));
		return FString();
	}

	const FString DescriptorText = FTRLJsonText::ToString(TRLModScaffold::MakeDescriptor(ModName, Author, Description));
	if (!FFileHelper::SaveStringToFile(DescriptorText, *DescriptorPath))
	{
		OutError = FText::Format(LOCTEXT("CannotWriteDescriptor", "Could not write '{0}'."), FText::FromString(DescriptorPath));
		return FString();
	}

	UE_LOG(LogTrellic, Log, TEXT("Created mod '%s' at %s"), *ModName, *ModFolder);

	const FString AbsoluteDescriptorPath = FPaths::ConvertRelativePathToFull(DescriptorPath);
	FText MountError;
	if (!MountModForEditing(AbsoluteDescriptorPath, MountError))
	{
		UE_LOG(LogTrellic, Warning, TEXT("Mod '%s' was created but could not be mounted for editing: %s"), *ModName, *MountError.ToString());
	}
	return AbsoluteDescriptorPath;
}

bool UTRLModScaffold::MountModForEditing(const FString& ModDescriptorPath, FText& OutError)
{
	FString AbsolutePath;
	if (!UTRLLocalModProvider::ResolveDescriptor(ModDescriptorPath, AbsolutePath, OutError))
	{
		return false;
	}

	const FString ModName = FPaths::GetBaseFilename(AbsolutePath);
	if (!FTRLModMount::Mount(AbsolutePath, ModName, OutError))
	{
		return false;
	}

	// UE_LOG evaluates its arguments only when the line is enabled, so the mount point is asked for only then.
	UE_LOG(LogTrellic, Log, TEXT("Mod '%s' is mounted for editing. Its content lives under %s in the Content Browser."), *ModName,
	       *FTRLModMount::GetMountPoint(ModName));
	return true;
}

#undef LOCTEXT_NAMESPACE
