// Copyright Trellic contributors. All Rights Reserved.

#include "TRLBuildState.h"

#include "Misc/Paths.h"
#include "TRLCookRecord.h"
#include "TRLLocalModProvider.h"
#include "TRLModPackager.h"
#include "TRLPostCookCheck.h"
#include "TRLSafeFiles.h"
#include "TRLSettings.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLBuildState"

namespace TRLBuildState
{
	bool HoldsAnyFile(const FString& Folder)
	{
		return FTRLSafeFiles::ContainsFile(Folder);
	}

	/** @return each file of the Content folder that was added, changed or removed since the record, as the user names it. */
	TArray<FString> FindContentChanges(const TMap<FString, FTRLFileFingerprint>& Recorded, const TMap<FString, FTRLFileFingerprint>& Now)
	{
		TArray<FString> Changes;
		for (const TPair<FString, FTRLFileFingerprint>& File : Now)
		{
			const FTRLFileFingerprint* Before = Recorded.Find(File.Key);
			if (!Before)
			{
				Changes.Add(FString::Printf(TEXT("Content/%s (added)"), *File.Key));
			}
			else if (*Before != File.Value)
			{
				Changes.Add(FString::Printf(TEXT("Content/%s (changed)"), *File.Key));
			}
		}
		for (const TPair<FString, FTRLFileFingerprint>& File : Recorded)
		{
			if (!Now.Contains(File.Key))
			{
				Changes.Add(FString::Printf(TEXT("Content/%s (removed)"), *File.Key));
			}
		}
		Changes.Sort();
		return Changes;
	}

	/** The reasons a build made from Record is no longer the mod as it is now; none when it still is. */
	TArray<FText> FindStaleReasons(FTRLCookRecord& Record, const FString& Descriptor)
	{
		TArray<FText> Reasons;
		// A listing as it was recorded tells an unchanged folder at the cost of one plain listing. Anything else takes the
		// closer look, which leaves links out and names the files, and which a new folder time alone does not fail.
		const FString ContentFolder = FPaths::GetPath(Descriptor) / TEXT("Content");
		if (Record.ListingDigest.IsEmpty() || FTRLCookRecord::ListingDigestOf(ContentFolder) != Record.ListingDigest)
		{
			FTRLCookRecord Now;
			Now.FingerprintContent(ContentFolder);
			if (Now.ContentDigest != Record.ContentDigest)
			{
				const TArray<FString> Changes = Record.ReadContent() ? FindContentChanges(Record.Content, Now.Content) : TArray<FString>();
				Reasons.Add(Changes.IsEmpty() ? LOCTEXT("ContentChangedUnnamed", "Its content changed since it was packaged.")
				                              : FText::Format(LOCTEXT("ContentChanged", "Its content changed since it was packaged: {0}."),
				                                              FText::FromString(FTRLPostCookCheck::DescribePaths(Changes))));
			}
		}
		if (!FTRLCookRecord::HashFile(Descriptor).Equals(Record.DescriptorHash, ESearchCase::IgnoreCase))
		{
			Reasons.Add(FText::Format(LOCTEXT("DescriptorChanged", "Its descriptor '{0}' changed since it was packaged."), FText::FromString(Descriptor)));
		}
		const FString Version = UTRLSettings::GetBaseReleaseVersion();
		if (!Version.Equals(Record.ReleaseVersion, ESearchCase::CaseSensitive))
		{
			Reasons.Add(FText::Format(LOCTEXT("OtherRelease", "It was packaged for base release '{0}', but the settings now name '{1}'."),
			                          FText::FromString(Record.ReleaseVersion), FText::FromString(Version)));
		}
		else if (FTRLCookRecord::FingerprintFile(UTRLModPackager::FindBaseReleaseRegistry()) != Record.Registry)
		{
			Reasons.Add(FText::Format(LOCTEXT("ReleaseRecordedAgain", "Base release '{0}' was recorded again since it was packaged."),
			                          FText::FromString(Record.ReleaseVersion)));
		}
		return Reasons;
	}
} // namespace TRLBuildState

ETRLModBuildState UTRLBuildState::GetBuildState(const FString& ModDescriptorPath, TArray<FText>& OutReasons)
{
	using namespace TRLBuildState;
	OutReasons.Empty();
	const FString Descriptor = FPaths::ConvertRelativePathToFull(ModDescriptorPath);
	const FString StagingFolder = UTRLModPackager::GetModStagingDirectory(Descriptor);
	if (UTRLModPackager::IsBeingPackaged(Descriptor))
	{
		OutReasons.Add(LOCTEXT("BeingPackaged", "It is being packaged now."));
		return ETRLModBuildState::NotPackaged;
	}
	// A build that failed its check says why even when it staged nothing at all.
	TOptional<FTRLCookRecord> Record = FTRLCookRecord::Load(FTRLCookRecord::GetRecordPath(Descriptor));
	if (Record.IsSet() && !Record->bPassedCheck)
	{
		for (const FString& Failure : Record->CheckFailures)
		{
			OutReasons.Add(FText::FromString(Failure));
		}
		return ETRLModBuildState::FailedCheck;
	}
	if (!HoldsAnyFile(StagingFolder))
	{
		return ETRLModBuildState::NotPackaged;
	}
	if (!Record.IsSet())
	{
		OutReasons.Add(FText::Format(LOCTEXT("NotFromACompletedCook", "The files staged in '{0}' were not left by a cook that completed: it failed, was "
		                                                              "cancelled, or the editor ended during it."),
		                             FText::FromString(StagingFolder)));
		return ETRLModBuildState::NotPackaged;
	}
	OutReasons = FindStaleReasons(Record.GetValue(), Descriptor);
	return OutReasons.IsEmpty() ? ETRLModBuildState::Current : ETRLModBuildState::Stale;
}

TArray<FString> UTRLBuildState::GetLocalModDescriptors()
{
	return UTRLLocalModProvider::FindLocalMods();
}

FString UTRLBuildState::JoinReasons(const TArray<FText>& Reasons)
{
	TArray<FString> Sentences;
	for (const FText& Reason : Reasons)
	{
		Sentences.Add(Reason.ToString());
	}
	return FString::Join(Sentences, TEXT(" "));
}

bool UTRLBuildState::CheckBeforeUpload(const FString& ModDescriptorPath, FText& OutError)
{
	TArray<FText> Reasons;
	const ETRLModBuildState State = GetBuildState(ModDescriptorPath, Reasons);
	const FText ModName = FText::FromString(FPaths::GetBaseFilename(ModDescriptorPath));
	const FText Why = FText::FromString(JoinReasons(Reasons));
	switch (State)
	{
		case ETRLModBuildState::Stale:
			UE_LOG(LogTrellic, Warning, TEXT("'%s' is uploaded from a stale build. %s Package it again to send these changes."), *ModName.ToString(),
			       *Why.ToString());
			return true;
		case ETRLModBuildState::FailedCheck:
			OutError = FText::Format(LOCTEXT("UploadFailedCheck", "'{0}' was not uploaded: its packaged build failed the check made after its cook. {1}"),
			                         ModName, Why);
			return false;
		case ETRLModBuildState::NotPackaged:
			// Nothing staged is the payload's own refusal to give; staged files that no cook completed are this one's.
			if (Reasons.IsEmpty())
			{
				return true;
			}
			OutError = FText::Format(LOCTEXT("UploadNotFromACompletedCook", "'{0}' was not uploaded. {1} Package it again, then upload it."), ModName, Why);
			return false;
		default:
			return true;
	}
}

#undef LOCTEXT_NAMESPACE
