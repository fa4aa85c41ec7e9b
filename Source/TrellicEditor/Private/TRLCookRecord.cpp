// Copyright Trellic contributors. All Rights Reserved.

#include "TRLCookRecord.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Misc/SecureHash.h"
#include "TRLFileFailure.h"
#include "TRLFolderWalk.h"
#include "TRLJsonText.h"
#include "TRLModPackager.h"
#include "TRLPostCookCheck.h"
#include "TRLSettings.h"
#include "Trellic.h"

namespace TRLCookRecord
{
	const TCHAR* const RecordSuffix = TEXT(".trellic-build.json");
	const TCHAR* const WritingSuffix = TEXT(".writing");

	int64 ToUnixMilliseconds(const FDateTime& Time)
	{
		return (Time.GetTicks() - FDateTime(1970, 1, 1).GetTicks()) / ETimespan::TicksPerMillisecond;
	}

	TSharedRef<FJsonValue> ToJson(const FTRLFileFingerprint& Fingerprint)
	{
		return MakeShared<FJsonValueArray>(
		    TArray<TSharedPtr<FJsonValue>>{MakeShared<FJsonValueNumber>(Fingerprint.Size), MakeShared<FJsonValueNumber>(Fingerprint.ModifiedMs)});
	}

	bool FromJson(const TSharedPtr<FJsonValue>& Value, FTRLFileFingerprint& OutFingerprint)
	{
		const TArray<TSharedPtr<FJsonValue>>* Pair = nullptr;
		return Value.IsValid() && Value->TryGetArray(Pair) && Pair->Num() == 2 && (*Pair)[0]->TryGetNumber(OutFingerprint.Size) &&
		       (*Pair)[1]->TryGetNumber(OutFingerprint.ModifiedMs);
	}
} // namespace TRLCookRecord

FString FTRLCookRecord::GetRecordPath(const FString& DescriptorPath)
{
	const FString StagingFolder = UTRLModPackager::GetModStagingDirectory(DescriptorPath);
	return StagingFolder.IsEmpty() ? FString() : StagingFolder + TRLCookRecord::RecordSuffix;
}

FTRLFileFingerprint FTRLCookRecord::FingerprintFile(const FString& Path)
{
	FTRLFileFingerprint Fingerprint;
	IFileManager& FileManager = IFileManager::Get();
	if (FileManager.FileExists(*Path))
	{
		Fingerprint.Size = FileManager.FileSize(*Path);
		Fingerprint.ModifiedMs = TRLCookRecord::ToUnixMilliseconds(FileManager.GetTimeStamp(*Path));
	}
	return Fingerprint;
}

TMap<FString, FTRLFileFingerprint> FTRLCookRecord::FingerprintFolder(const FString& ContentFolder)
{
	TMap<FString, FTRLFileFingerprint> Files;
	const int32 Skip = (ContentFolder / TEXT("")).Len();
	FTRLFolderWalk::VisitFilesWithStat(ContentFolder, [&Files, Skip](const FString& Path, const FFileStatData& StatData) {
		Files.Add(Path.Mid(Skip), FTRLFileFingerprint{StatData.FileSize, TRLCookRecord::ToUnixMilliseconds(StatData.ModificationTime)});
		return true;
	});
	return Files;
}

FString FTRLCookRecord::HashFile(const FString& Path)
{
	TArray<uint8> Bytes;
	if (!FFileHelper::LoadFileToArray(Bytes, *Path))
	{
		return FString();
	}
	return FSHA1::HashBuffer(Bytes.GetData(), Bytes.Num()).ToString();
}

FTRLCookRecord FTRLCookRecord::Take(const FString& DescriptorPath)
{
	FTRLCookRecord Record;
	Record.DescriptorPath = DescriptorPath;
	Record.ModName = FPaths::GetBaseFilename(DescriptorPath);
	Record.ReleaseVersion = UTRLModPackager::GetBaseReleaseVersion();
	Record.RegistryPath = UTRLModPackager::FindBaseReleaseRegistry();
	Record.Registry = FingerprintFile(Record.RegistryPath);
	if (const UTRLSettings* Settings = UTRLSettings::Get())
	{
		Record.Platform = Settings->TargetPlatform;
		Record.Configuration = Settings->ClientConfiguration;
	}
	Record.CookStarted = FDateTime::UtcNow();
	Record.DescriptorHash = HashFile(DescriptorPath);
	Record.Content = FingerprintFolder(FPaths::GetPath(DescriptorPath) / TEXT("Content"));
	return Record;
}

void FTRLCookRecord::Begin() const
{
	// The staged files are about to be replaced: until the cook completes, they are nobody's build.
	const FString RecordPath = GetRecordPath(DescriptorPath);
	if (IFileManager::Get().FileExists(*RecordPath) && !IFileManager::Get().Delete(*RecordPath, false, true))
	{
		UE_LOG(LogTrellic, Warning, TEXT("Could not remove the build record '%s' before the cook: %s"), *RecordPath,
		       *FTRLFileFailure::Describe(RecordPath, true));
	}
}

FString FTRLCookRecord::End(bool bCookCompleted)
{
	IFileManager& FileManager = IFileManager::Get();
	const FString RecordPath = GetRecordPath(DescriptorPath);
	if (!bCookCompleted)
	{
		// What the cook left staged is not a build; one the cook did not get to is gone with its record already.
		if (FileManager.FileExists(*RecordPath) && !FileManager.Delete(*RecordPath, false, true))
		{
			UE_LOG(LogTrellic, Error, TEXT("Could not remove the build record '%s' after a cook that did not complete: %s Delete it by hand."), *RecordPath,
			       *FTRLFileFailure::Describe(RecordPath, true));
		}
		return FString();
	}

	CheckFailures = FTRLPostCookCheck::Run(*this, UTRLModPackager::GetModStagingDirectory(DescriptorPath));
	bPassedCheck = CheckFailures.IsEmpty();
	FString Reason;
	if (!Save(RecordPath, Reason))
	{
		const FString Failure =
		    FString::Printf(TEXT("Could not write the build record '%s', so the build cannot be told from a half-staged one: %s"), *RecordPath, *Reason);
		UE_LOG(LogTrellic, Error, TEXT("%s"), *Failure);
		return Failure;
	}
	return bPassedCheck ? FString() : CheckFailures[0];
}

FString FTRLCookRecord::ToText() const
{
	using namespace TRLCookRecord;
	const TSharedRef<FJsonObject> ContentObject = MakeShared<FJsonObject>();
	for (const TPair<FString, FTRLFileFingerprint>& File : Content)
	{
		ContentObject->SetField(File.Key, ToJson(File.Value));
	}
	TArray<TSharedPtr<FJsonValue>> Failures;
	for (const FString& Failure : CheckFailures)
	{
		Failures.Add(MakeShared<FJsonValueString>(Failure));
	}
	const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetStringField(TEXT("Mod"), ModName);
	Object->SetStringField(TEXT("BaseReleaseVersion"), ReleaseVersion);
	Object->SetStringField(TEXT("BaseReleaseRegistry"), RegistryPath);
	Object->SetField(TEXT("BaseReleaseRegistryFingerprint"), ToJson(Registry));
	Object->SetStringField(TEXT("Platform"), Platform);
	Object->SetStringField(TEXT("Configuration"), Configuration);
	Object->SetStringField(TEXT("CookStarted"), CookStarted.ToIso8601());
	Object->SetStringField(TEXT("DescriptorSHA1"), DescriptorHash);
	Object->SetObjectField(TEXT("Content"), ContentObject);
	Object->SetBoolField(TEXT("PassedCheck"), bPassedCheck);
	Object->SetArrayField(TEXT("CheckFailures"), MoveTemp(Failures));
	return FTRLJsonText::Write(Object);
}

bool FTRLCookRecord::Save(const FString& RecordPath, FString& OutReason) const
{
	IFileManager& FileManager = IFileManager::Get();
	const FString WritingPath = RecordPath + TRLCookRecord::WritingSuffix;
	FileManager.MakeDirectory(*FPaths::GetPath(RecordPath), true);
	if (!FFileHelper::SaveStringToFile(ToText(), *WritingPath))
	{
		OutReason = FTRLFileFailure::Describe(WritingPath, true);
		FileManager.Delete(*WritingPath, false, true);
		return false;
	}
	if (!FileManager.Move(*RecordPath, *WritingPath, true, true))
	{
		OutReason = FTRLFileFailure::Describe(RecordPath, true);
		FileManager.Delete(*WritingPath, false, true);
		return false;
	}
	return true;
}

TOptional<FTRLCookRecord> FTRLCookRecord::Load(const FString& RecordPath)
{
	using namespace TRLCookRecord;
	const TSharedPtr<FJsonObject> Object = FTRLJsonText::LoadJsonFile(RecordPath);
	FTRLCookRecord Record;
	const TSharedPtr<FJsonObject>* ContentObject = nullptr;
	if (!Object.IsValid() || !Object->TryGetStringField(TEXT("Mod"), Record.ModName) ||
	    !Object->TryGetStringField(TEXT("BaseReleaseVersion"), Record.ReleaseVersion) ||
	    !Object->TryGetStringField(TEXT("BaseReleaseRegistry"), Record.RegistryPath) ||
	    !FromJson(Object->TryGetField(TEXT("BaseReleaseRegistryFingerprint")), Record.Registry) ||
	    !Object->TryGetStringField(TEXT("Platform"), Record.Platform) || !Object->TryGetStringField(TEXT("Configuration"), Record.Configuration) ||
	    !Object->TryGetStringField(TEXT("DescriptorSHA1"), Record.DescriptorHash) || !Object->TryGetObjectField(TEXT("Content"), ContentObject) ||
	    !Object->TryGetBoolField(TEXT("PassedCheck"), Record.bPassedCheck) || !Object->TryGetStringArrayField(TEXT("CheckFailures"), Record.CheckFailures))
	{
		return {};
	}
	for (const auto& File : (*ContentObject)->Values)
	{
		FTRLFileFingerprint Fingerprint;
		if (!FromJson(File.Value, Fingerprint))
		{
			return {};
		}
		Record.Content.Add(FString(File.Key), Fingerprint);
	}
	// A record that says it failed without saying why could not be told from one that passed.
	if (Record.bPassedCheck != Record.CheckFailures.IsEmpty())
	{
		return {};
	}
	return Record;
}
