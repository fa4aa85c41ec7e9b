// Copyright Trellic contributors. All Rights Reserved.

#include "TRLPreparedCook.h"

#include "Dom/JsonObject.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "TRLFileFailure.h"
#include "TRLJsonText.h"
#include "TRLProjectPaths.h"
#include "Trellic.h"

namespace TRLPreparedCook
{
	const TCHAR* const PackagingSettingsHeader = TEXT("[/Script/UnrealEd.ProjectPackagingSettings]");
	const TCHAR* const ConfigLineEnd = TEXT("\r\n");

	/**
	 * The bytes FFileHelper::SaveStringToFile writes with its automatic encoding, as the prepared files have always
	 * been written: one byte a character when all are below U+0080, otherwise UTF-16 little-endian after the mark
	 * FF FE. Encoded here once, so that the journal records the hash of exactly the bytes that are written.
	 */
	TArray<uint8> EncodeAsSaved(const FString& Text)
	{
		static_assert(sizeof(TCHAR) == 2, "TCHAR is one UTF-16 code unit wherever the editor runs");
		bool bAllAscii = true;
		for (int32 Index = 0; Index < Text.Len() && bAllAscii; ++Index)
		{
			bAllAscii = static_cast<uint32>(Text[Index]) < 0x80;
		}
		TArray<uint8> Bytes;
		if (bAllAscii)
		{
			Bytes.Reserve(Text.Len());
			for (int32 Index = 0; Index < Text.Len(); ++Index)
			{
				Bytes.Add(static_cast<uint8>(Text[Index]));
			}
			return Bytes;
		}
		Bytes.Reserve(2 + Text.Len() * 2);
		Bytes.Add(0xFF);
		Bytes.Add(0xFE);
		for (int32 Index = 0; Index < Text.Len(); ++Index)
		{
			const uint32 Unit = static_cast<uint32>(Text[Index]);
			Bytes.Add(static_cast<uint8>(Unit & 0xFF));
			Bytes.Add(static_cast<uint8>(Unit >> 8));
		}
		return Bytes;
	}

	FString WriteFailure(const FString& Path)
	{
		return FString::Printf(TEXT("Could not write '%s' for the cook: %s"), *Path, *FTRLFileFailure::Describe(Path, true));
	}
} // namespace TRLPreparedCook

TOptional<FString> FTRLPreparedCook::WithExplicitlyLoadedOff(const FString& DescriptorText)
{
	TSharedPtr<FJsonObject> Descriptor;
	if (!FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(DescriptorText), Descriptor) || !Descriptor.IsValid())
	{
		return {};
	}
	Descriptor->SetBoolField(TEXT("ExplicitlyLoaded"), false);
	return FTRLJsonText::ToString(Descriptor.ToSharedRef());
}

FString FTRLPreparedCook::WithContentRootListed(const FString& ConfigText, const FString& ModName)
{
	using namespace TRLPreparedCook;
	const FString CookLine = FString::Printf(TEXT("+DirectoriesToAlwaysCook=(Path=\"/%s\")"), *ModName);
	if (ConfigText.Contains(CookLine, ESearchCase::IgnoreCase))
	{
		return ConfigText;
	}
	FString Prepared = ConfigText;
	if (Prepared.Contains(PackagingSettingsHeader, ESearchCase::IgnoreCase))
	{
		const FString HeaderAndLine = FString(PackagingSettingsHeader) + ConfigLineEnd + CookLine;
		Prepared.ReplaceInline(PackagingSettingsHeader, *HeaderAndLine, ESearchCase::IgnoreCase);
		return Prepared;
	}
	return Prepared + ConfigLineEnd + PackagingSettingsHeader + ConfigLineEnd + CookLine + ConfigLineEnd;
}

TUniquePtr<FTRLPreparedCook> FTRLPreparedCook::Prepare(const FString& DescriptorPath, const FString& ModName, FString& OutReason)
{
	using namespace TRLPreparedCook;
	// Nothing is written before both texts are known, so a refused preparation leaves both files exactly as they were.
	FString DescriptorText;
	if (!FFileHelper::LoadFileToString(DescriptorText, *DescriptorPath))
	{
		OutReason = FString::Printf(TEXT("Could not read '%s' for the cook: %s"), *DescriptorPath, *FTRLFileFailure::Describe(DescriptorPath, false));
		return nullptr;
	}
	const TOptional<FString> PreparedDescriptor = WithExplicitlyLoadedOff(DescriptorText);
	if (!PreparedDescriptor.IsSet())
	{
		OutReason = FString::Printf(TEXT("'%s' is not a JSON object, so ExplicitlyLoaded cannot be switched off for the cook. Correct its JSON (a "
		                                 "comma, a quote or a brace missing or too many) and package again."),
		                            *DescriptorPath);
		return nullptr;
	}

	const FString ConfigPath = FTRLProjectPaths::GetProjectConfigDir() / TEXT("DefaultGame.ini");
	FString ConfigText;
	if (!FFileHelper::LoadFileToString(ConfigText, *ConfigPath))
	{
		// A missing file is an empty one; one that is there but unreadable must not be replaced by a text built from
		// nothing, which would lose the project's settings.
		IFileManager& FileManager = IFileManager::Get();
		if (FileManager.FileExists(*ConfigPath) || FileManager.DirectoryExists(*ConfigPath))
		{
			OutReason = FString::Printf(TEXT("Could not read '%s' for the cook: %s"), *ConfigPath, *FTRLFileFailure::Describe(ConfigPath, false));
			return nullptr;
		}
		ConfigText.Empty();
	}
	const FString PreparedConfig = WithContentRootListed(ConfigText, ModName);
	const bool bConfigChanges = !PreparedConfig.Equals(ConfigText, ESearchCase::CaseSensitive);

	const TArray<uint8> DescriptorBytes = EncodeAsSaved(PreparedDescriptor.GetValue());
	TOptional<TArray<uint8>> ConfigBytes;
	if (bConfigChanges)
	{
		ConfigBytes = EncodeAsSaved(PreparedConfig);
	}
	TOptional<FTRLCookJournal> Journal = FTRLCookJournal::Begin(ModName, {{DescriptorPath, DescriptorBytes}, {ConfigPath, ConfigBytes}}, OutReason);
	if (!Journal.IsSet())
	{
		return nullptr;
	}

	// The files are written in the journal's order, each counted from the first attempt on, so that a write that
	// failed half-way is put back too.
	TUniquePtr<FTRLPreparedCook> Cook(new FTRLPreparedCook(DescriptorPath, MoveTemp(Journal.GetValue())));
	Cook->WrittenCount = 1;
	if (!FFileHelper::SaveArrayToFile(DescriptorBytes, *DescriptorPath))
	{
		OutReason = WriteFailure(DescriptorPath);
		Cook->Restore();
		return nullptr;
	}
	if (bConfigChanges)
	{
		Cook->WrittenCount = 2;
		if (!FFileHelper::SaveArrayToFile(ConfigBytes.GetValue(), *ConfigPath))
		{
			OutReason = WriteFailure(ConfigPath);
			Cook->Restore();
			return nullptr;
		}
	}
	UE_LOG(LogTrellic, Log, TEXT("Prepared '%s' for cooking (ExplicitlyLoaded off, content listed)."), *ModName);
	return Cook;
}

bool FTRLPreparedCook::Restore()
{
	if (bRestored)
	{
		return false;
	}
	bRestored = true;
	// The bytes from before, whatever their encoding: a failed write is not retried, and the journal, which keeps
	// them too, stays for the next start when a file still holds what was prepared.
	const TArray<FTRLCookJournal::FFile>& Files = Journal.GetFiles();
	for (int32 Index = 0; Index < WrittenCount && Index < Files.Num(); ++Index)
	{
		FFileHelper::SaveArrayToFile(Files[Index].OriginalBytes, *Files[Index].Path);
	}
	return Journal.End();
}
