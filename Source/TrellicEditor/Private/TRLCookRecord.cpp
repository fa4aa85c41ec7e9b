// Copyright Trellic contributors. All Rights Reserved.

#include "TRLCookRecord.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Misc/SecureHash.h"
#include "TRLFileFailure.h"
#include "TRLJsonText.h"
#include "TRLModPackager.h"
#include "TRLPostCookCheck.h"
#include "TRLSafeFiles.h"
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

	/** A line of ContentText could not hold it: the line format has no escapes. */
	bool CanBeListed(const TCHAR* Path)
	{
		for (const TCHAR* Char = Path; *Char; ++Char)
		{
			if (*Char == TEXT('\t') || *Char == TEXT('\n') || *Char == TEXT('\r'))
			{
				return false;
			}
		}
		return true;
	}

	/**
	 * FNV-1a over a path and two numbers, added up over the entries of a folder: the sum does not depend on the order in
	 * which the file system lists them, and any entry added, removed or changed moves it.
	 */
	uint64 HashEntry(const TCHAR* Path, int64 First, int64 Second)
	{
		constexpr uint64 Prime = 1099511628211ull;
		uint64 Hash = 14695981039346656037ull;
		const auto Mix = [&Hash](uint64 Value, int32 Bytes) {
			for (int32 Index = 0; Index < Bytes; ++Index)
			{
				Hash = (Hash ^ ((Value >> (8 * Index)) & 0xFF)) * Prime;
			}
		};
		for (const TCHAR* Char = Path; *Char; ++Char)
		{
			Mix(static_cast<uint64>(*Char), 2);
		}
		Mix(static_cast<uint64>(First), 8);
		Mix(static_cast<uint64>(Second), 8);
		return Hash;
	}

	FString ToDigest(int32 NumFiles, uint64 Sum)
	{
		return FString::Printf(TEXT("%d-%016llX"), NumFiles, static_cast<unsigned long long>(Sum));
	}

	/** The sum of a listing's entries as ListingDigestOf defines it, whichever way the walk asked about links. */
	struct FListingSum
	{
		int32 NumEntries = 0;
		uint64 Sum = 0;

		void Add(const TCHAR* PathInFolder, FTRLSafeFiles::EEntry Entry, const FFileStatData& StatData)
		{
			// Told apart by what the listing says, never by whether the walk asked: both walks sum a folder alike. Times in
			// ticks, finer than the record's milliseconds, since a folder's time is all that shows a file replaced by a link.
			constexpr int64 FolderMark = -3;
			constexpr int64 LinkedFolderMark = -4;
			constexpr int64 NoStatMark = -2;
			++NumEntries;
			if (StatData.bIsDirectory)
			{
				Sum += Entry == FTRLSafeFiles::EEntry::Folder ? HashEntry(PathInFolder, FolderMark, StatData.ModificationTime.GetTicks())
				                                              : HashEntry(PathInFolder, LinkedFolderMark, 0);
			}
			else
			{
				Sum += StatData.bIsValid ? HashEntry(PathInFolder, StatData.FileSize, StatData.ModificationTime.GetTicks())
				                         : HashEntry(PathInFolder, NoStatMark, 0);
			}
		}

		/** @return the digest, with the time of the listed folder itself, which moves with what lies in it at the top. */
		FString ToDigest(const FString& Folder) const
		{
			constexpr int64 ListedFolderMark = -5;
			const uint64 Whole = Sum + HashEntry(TEXT(""), ListedFolderMark, IFileManager::Get().GetTimeStamp(*Folder).GetTicks());
			return TRLCookRecord::ToDigest(NumEntries, Whole);
		}
	};

	/** Reads a whole number written in decimal, a minus sign allowed. @return false for anything else */
	bool ParseInt64(const FString& Text, int64& OutValue)
	{
		const bool bNegative = Text.StartsWith(TEXT("-"));
		const int32 First = bNegative ? 1 : 0;
		if (Text.Len() <= First || Text.Len() - First > 18)
		{
			return false;
		}
		int64 Value = 0;
		for (int32 Index = First; Index < Text.Len(); ++Index)
		{
			if (Text[Index] < TEXT('0') || Text[Index] > TEXT('9'))
			{
				return false;
			}
			Value = Value * 10 + (Text[Index] - TEXT('0'));
		}
		OutValue = bNegative ? -Value : Value;
		return true;
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

void FTRLCookRecord::FingerprintContent(const FString& ContentFolder)
{
	using EEntry = FTRLSafeFiles::EEntry;
	TMap<FString, FTRLFileFingerprint> Files;
	TRLCookRecord::FListingSum Listing;
	const int32 Skip = (ContentFolder / TEXT("")).Len();
	FTRLSafeFiles::WalkWithStat(
	    ContentFolder, FTRLSafeFiles::ELinkCheck::FoldersAndFiles, [&Files, &Listing, Skip](const TCHAR* Path, EEntry Entry, const FFileStatData& StatData) {
		    Listing.Add(Path + Skip, Entry, StatData);
		    if (Entry == EEntry::File && StatData.bIsValid && TRLCookRecord::CanBeListed(Path + Skip))
		    {
			    Files.Add(FString(Path + Skip), FTRLFileFingerprint{StatData.FileSize, TRLCookRecord::ToUnixMilliseconds(StatData.ModificationTime)});
		    }
		    return true;
	    });
	SetContent(MoveTemp(Files));
	ListingDigest = Listing.ToDigest(ContentFolder);
}

void FTRLCookRecord::SetContent(TMap<FString, FTRLFileFingerprint>&& NewContent)
{
	Content = MoveTemp(NewContent);
	TArray<FString> Paths;
	Content.GenerateKeyArray(Paths);
	Paths.Sort();
	uint64 Sum = 0;
	ContentText.Empty();
	for (const FString& Path : Paths)
	{
		const FTRLFileFingerprint& Fingerprint = Content.FindChecked(Path);
		ContentText +=
		    FString::Printf(TEXT("%lld\t%lld\t%s\n"), static_cast<long long>(Fingerprint.Size), static_cast<long long>(Fingerprint.ModifiedMs), *Path);
		Sum += TRLCookRecord::HashEntry(*Path, Fingerprint.Size, Fingerprint.ModifiedMs);
	}
	ContentDigest = TRLCookRecord::ToDigest(Content.Num(), Sum);
}

bool FTRLCookRecord::ReadContent()
{
	using namespace TRLCookRecord;
	TArray<FString> Lines;
	ContentText.ParseIntoArray(Lines, TEXT("\n"), true);
	Content.Empty();
	for (const FString& Line : Lines)
	{
		TArray<FString> Fields;
		Line.ParseIntoArray(Fields, TEXT("\t"), false);
		FTRLFileFingerprint Fingerprint;
		if (Fields.Num() != 3 || Fields[2].IsEmpty() || !ParseInt64(Fields[0], Fingerprint.Size) || !ParseInt64(Fields[1], Fingerprint.ModifiedMs))
		{
			return false;
		}
		Content.Add(Fields[2], Fingerprint);
	}
	return true;
}

FString FTRLCookRecord::ListingDigestOf(const FString& ContentFolder)
{
	TRLCookRecord::FListingSum Listing;
	const int32 Skip = (ContentFolder / TEXT("")).Len();
	FTRLSafeFiles::WalkWithStat(ContentFolder, FTRLSafeFiles::ELinkCheck::FoldersOnly,
	                            [&Listing, Skip](const TCHAR* Path, FTRLSafeFiles::EEntry Entry, const FFileStatData& StatData) {
		                            Listing.Add(Path + Skip, Entry, StatData);
		                            return true;
	                            });
	return Listing.ToDigest(ContentFolder);
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
	Record.ReleaseVersion = UTRLSettings::GetBaseReleaseVersion();
	Record.RegistryPath = UTRLModPackager::FindBaseReleaseRegistry();
	Record.Registry = FingerprintFile(Record.RegistryPath);
	if (const UTRLSettings* Settings = UTRLSettings::Get())
	{
		Record.Platform = Settings->TargetPlatform;
		Record.Configuration = Settings->ClientConfiguration;
	}
	Record.CookStarted = FDateTime::UtcNow();
	Record.DescriptorHash = HashFile(DescriptorPath);
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

	FingerprintContent(FPaths::GetPath(DescriptorPath) / TEXT("Content"));
	TArray<FString> Packed;
	CheckFailures = FTRLPostCookCheck::Run(*this, UTRLModPackager::GetModStagingDirectory(DescriptorPath), Packed);
	bPassedCheck = CheckFailures.IsEmpty();

	// The cook read the content while it ran: what changed since it started may or may not be in the build, and what it
	// packed that is gone now is in the build only. Both are recorded so that the build reads as stale.
	const int64 StartedMs = TRLCookRecord::ToUnixMilliseconds(CookStarted);
	TMap<FString, FTRLFileFingerprint> Files = MoveTemp(Content);
	bool bAsListed = true;
	for (TPair<FString, FTRLFileFingerprint>& File : Files)
	{
		if (File.Value.ModifiedMs >= StartedMs)
		{
			File.Value.ModifiedMs = -1;
			bAsListed = false;
		}
	}
	for (const FString& Path : Packed)
	{
		if (!Files.Contains(Path))
		{
			Files.Add(Path, FTRLFileFingerprint{-1, -1});
			bAsListed = false;
		}
	}
	SetContent(MoveTemp(Files));
	// A listing that stays as it is now must not make such a build read as current.
	if (!bAsListed)
	{
		ListingDigest.Empty();
	}

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
	Object->SetStringField(TEXT("ContentDigest"), ContentDigest);
	Object->SetStringField(TEXT("ContentListingDigest"), ListingDigest);
	Object->SetStringField(TEXT("Content"), ContentText);
	Object->SetBoolField(TEXT("PassedCheck"), bPassedCheck);
	Object->SetArrayField(TEXT("CheckFailures"), MoveTemp(Failures));
	return FTRLJsonText::ToString(Object);
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
	// Content stays text until a state check finds that it changed and needs to name the files.
	if (!Object.IsValid() || !Object->TryGetStringField(TEXT("Mod"), Record.ModName) ||
	    !Object->TryGetStringField(TEXT("BaseReleaseVersion"), Record.ReleaseVersion) ||
	    !Object->TryGetStringField(TEXT("BaseReleaseRegistry"), Record.RegistryPath) ||
	    !FromJson(Object->TryGetField(TEXT("BaseReleaseRegistryFingerprint")), Record.Registry) ||
	    !Object->TryGetStringField(TEXT("Platform"), Record.Platform) || !Object->TryGetStringField(TEXT("Configuration"), Record.Configuration) ||
	    !Object->TryGetStringField(TEXT("DescriptorSHA1"), Record.DescriptorHash) || !Object->TryGetStringField(TEXT("ContentDigest"), Record.ContentDigest) ||
	    !Object->TryGetStringField(TEXT("Content"), Record.ContentText) || !Object->TryGetBoolField(TEXT("PassedCheck"), Record.bPassedCheck) ||
	    !Object->TryGetStringArrayField(TEXT("CheckFailures"), Record.CheckFailures))
	{
		return {};
	}
	// Optional: without it, a state check takes the closer look every time.
	Object->TryGetStringField(TEXT("ContentListingDigest"), Record.ListingDigest);
	// A record that says it failed without saying why could not be told from one that passed.
	if (Record.bPassedCheck != Record.CheckFailures.IsEmpty())
	{
		return {};
	}
	return Record;
}
