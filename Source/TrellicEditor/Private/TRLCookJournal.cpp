// Copyright Trellic contributors. All Rights Reserved.

#include "TRLCookJournal.h"

#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "HAL/FileManager.h"
#include "Misc/Base64.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Misc/SecureHash.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "TRLFileFailure.h"
#include "TRLJsonText.h"
#include "TRLLocalModProvider.h"
#include "TRLProjectPaths.h"
#include "TRLSafeFiles.h"
#include "Trellic.h"

namespace TRLCookJournal
{
	using FFile = FTRLCookJournal::FFile;

	const TCHAR* const BackupSuffix = TEXT(".trellic-backup");
	const TCHAR* const WritingSuffix = TEXT(".writing");

	enum class EFileState : uint8
	{
		/** Exactly as before the cook: nothing is owed. */
		AsBefore,
		/** Exactly what the preparation wrote: the cook's change is still there. */
		AsPrepared,
		/** Gone since, though it was there before the cook. */
		Deleted,
		/** Anything else: someone changed it since, or it cannot be read. */
		Changed
	};

	FString ComputeSha1Hex(const TArray<uint8>& Bytes)
	{
		return FSHA1::HashBuffer(Bytes.GetData(), Bytes.Num()).ToString();
	}

	EFileState GetState(const FFile& File)
	{
		const bool bExists = IFileManager::Get().FileExists(*File.Path);
		TArray<uint8> Bytes;
		if (bExists && !FFileHelper::LoadFileToArray(Bytes, *File.Path))
		{
			return EFileState::Changed;
		}
		// Asked first: a file the preparation left as it was counts as settled, not as owed.
		if (bExists == File.bExisted && Bytes == File.OriginalBytes)
		{
			return EFileState::AsBefore;
		}
		if (!bExists)
		{
			return File.bExisted ? EFileState::Deleted : EFileState::AsBefore;
		}
		return ComputeSha1Hex(Bytes).Equals(File.PreparedHash, ESearchCase::IgnoreCase) ? EFileState::AsPrepared : EFileState::Changed;
	}

	/**
	 * Resolves a path as the journal holds it against the project being opened: it must stay inside the project, go
	 * through no symbolic link, and name one of the two files a cook prepares.
	 * @param OutProblem set on refusal to what is wrong with the path, as a phrase that follows the path
	 * @return false when the path may not be read, written or deleted
	 */
	bool Resolve(const FString& RecordedPath, FString& OutPath, FString& OutProblem)
	{
		FString Relative = RecordedPath;
		FPaths::NormalizeFilename(Relative);
		if (!FPaths::IsRelative(Relative))
		{
			OutProblem = TEXT("is not a path relative to the project");
			return false;
		}
		const FString ProjectDir = FTRLProjectPaths::GetProjectDir();
		if (Relative.IsEmpty() || !FPaths::CollapseRelativeDirectories(Relative) || !FPaths::IsUnderDirectory(ProjectDir / Relative, ProjectDir))
		{
			OutProblem = TEXT("leads outside the project");
			return false;
		}
		const FString Link = FTRLSafeFiles::FindLinkBelow(ProjectDir, ProjectDir / Relative);
		if (!Link.IsEmpty())
		{
			OutProblem = FString::Printf(TEXT("goes through the symbolic link '%s'"), *Link);
			return false;
		}
		OutPath = ProjectDir / Relative;
		if (FPaths::IsSamePath(OutPath, FTRLProjectPaths::GetProjectConfigDir() / TEXT("DefaultGame.ini")))
		{
			return true;
		}
		FString ModsRoot;
		FText RootError;
		if (FPaths::GetExtension(OutPath).Equals(TEXT("uplugin"), ESearchCase::IgnoreCase) && UTRLLocalModProvider::TryGetLocalModsRoot(ModsRoot, RootError) &&
		    FPaths::IsSamePath(FPaths::GetPath(FPaths::GetPath(OutPath)), ModsRoot))
		{
			return true;
		}
		OutProblem = TEXT("is neither a mod descriptor in the mods folder nor Config/DefaultGame.ini");
		return false;
	}

	bool PutBack(const FFile& File)
	{
		return File.bExisted ? FFileHelper::SaveArrayToFile(File.OriginalBytes, *File.Path) : IFileManager::Get().Delete(*File.Path);
	}

	FString ToText(const FString& ModName, const TArray<FFile>& Files)
	{
		TArray<TSharedPtr<FJsonValue>> Entries;
		for (const FFile& File : Files)
		{
			const TSharedRef<FJsonObject> Entry = MakeShared<FJsonObject>();
			Entry->SetStringField(TEXT("Path"), File.RelativePath);
			Entry->SetBoolField(TEXT("Existed"), File.bExisted);
			if (File.bExisted)
			{
				Entry->SetStringField(TEXT("OriginalBytes"), FBase64::Encode(File.OriginalBytes));
			}
			Entry->SetStringField(TEXT("PreparedSHA1"), File.PreparedHash);
			Entries.Add(MakeShared<FJsonValueObject>(Entry));
		}
		const TSharedRef<FJsonObject> Journal = MakeShared<FJsonObject>();
		Journal->SetStringField(TEXT("ModName"), ModName);
		Journal->SetArrayField(TEXT("Files"), MoveTemp(Entries));
		return FTRLJsonText::ToString(Journal);
	}

	/** @return false when the text is not a whole record; nothing may be put back from a part of one. */
	bool Parse(const FString& Text, FString& OutModName, TArray<FFile>& OutFiles)
	{
		TSharedPtr<FJsonObject> Journal;
		const TArray<TSharedPtr<FJsonValue>>* Entries = nullptr;
		if (!FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Text), Journal) || !Journal.IsValid() ||
		    !Journal->TryGetStringField(TEXT("ModName"), OutModName) || !Journal->TryGetArrayField(TEXT("Files"), Entries) || Entries->IsEmpty())
		{
			return false;
		}
		for (const TSharedPtr<FJsonValue>& Value : *Entries)
		{
			const TSharedPtr<FJsonObject>* Entry = nullptr;
			FFile& File = OutFiles.Emplace_GetRef();
			FString Original;
			if (!Value.IsValid() || !Value->TryGetObject(Entry) || !(*Entry)->TryGetStringField(TEXT("Path"), File.RelativePath) ||
			    !(*Entry)->TryGetBoolField(TEXT("Existed"), File.bExisted) || !(*Entry)->TryGetStringField(TEXT("PreparedSHA1"), File.PreparedHash) ||
			    File.PreparedHash.Len() != 40)
			{
				return false;
			}
			if (File.bExisted && (!(*Entry)->TryGetStringField(TEXT("OriginalBytes"), Original) || !FBase64::Decode(Original, File.OriginalBytes)))
			{
				return false;
			}
		}
		return true;
	}

	/**
	 * Reads the record left in the project and resolves its paths; a record that cannot be used is set aside, with a
	 * Warning that says why.
	 * @return false when nothing may be put back
	 */
	bool ReadLeftBehind(const FString& JournalPath, FString& OutModName, TArray<FFile>& OutFiles)
	{
		// A record, or its folder, that is a link would have it read from outside the project.
		const FString JournalFolder = FPaths::GetPath(JournalPath);
		const bool bLinked =
		    FTRLSafeFiles::IsLink(JournalPath) || FTRLSafeFiles::IsLink(JournalFolder) || FTRLSafeFiles::IsLink(FPaths::GetPath(JournalFolder));
		FString Text;
		if (bLinked || !FFileHelper::LoadFileToString(Text, *JournalPath) || !Parse(Text, OutModName, OutFiles))
		{
			// Moved before logging: a log line's arguments are not evaluated when its verbosity is off.
			const FString KeptAs = FTRLSafeFiles::SetAside(JournalPath);
			UE_LOG(LogTrellic, Warning,
			       TEXT("The cook journal '%s' cannot be read, so no file was put back. It is kept as '%s'; check the descriptor of the mod packaged last "
			            "and the project's DefaultGame.ini."),
			       *JournalPath, *KeptAs);
			return false;
		}
		for (FFile& File : OutFiles)
		{
			FString Problem;
			if (!Resolve(File.RelativePath, File.Path, Problem))
			{
				const FString KeptAs = FTRLSafeFiles::SetAside(JournalPath);
				UE_LOG(LogTrellic, Warning,
				       TEXT("The cook journal '%s' names '%s', which %s, so no file was put back. It is kept as '%s'. A journal that came with a project "
				            "from elsewhere can be deleted; otherwise check the descriptor of the mod packaged last and the project's DefaultGame.ini."),
				       *JournalPath, *File.RelativePath, *Problem, *KeptAs);
				return false;
			}
		}
		return true;
	}

	/** A file the restore did not put back, and where its bytes from before are kept. */
	struct FLeftAlone
	{
		const FFile* File;
		EFileState State;
		FString CopyPath;
	};

	/** What a restore did: the files put back, and those left alone. */
	struct FRestoreOutcome
	{
		TArray<FString> PutBackPaths;
		TArray<FLeftAlone> LeftAlone;
		/** A file's bytes from before could not be copied beside it, so the record must keep them. */
		bool bKeepJournal = false;
	};

	FRestoreOutcome RestoreFiles(const TArray<FFile>& Files)
	{
		FRestoreOutcome Outcome;
		for (const FFile& File : Files)
		{
			const EFileState State = GetState(File);
			if (State == EFileState::AsBefore)
			{
				continue;
			}
			if (State == EFileState::AsPrepared && PutBack(File))
			{
				Outcome.PutBackPaths.Add(File.Path);
				continue;
			}
			// A file left alone keeps its bytes from before in a copy beside it, or failing that in the record.
			FLeftAlone& Left = Outcome.LeftAlone.Add_GetRef(FLeftAlone{&File, State, FString()});
			if (File.bExisted)
			{
				const FString BackupPath = FTRLSafeFiles::FindFreePath(File.Path, BackupSuffix);
				if (FFileHelper::SaveArrayToFile(File.OriginalBytes, *BackupPath))
				{
					Left.CopyPath = BackupPath;
				}
				else
				{
					Outcome.bKeepJournal = true;
				}
			}
		}
		return Outcome;
	}

	void ReportLeftAlone(const FLeftAlone& Left, const FString& KeptAs)
	{
		const FString& Path = Left.File->Path;
		const FString& CopyPath = Left.CopyPath.IsEmpty() ? KeptAs : Left.CopyPath;
		if (Left.State == EFileState::Deleted)
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' was deleted after it was prepared for a cook that did not finish, so it was left deleted. Its content from before the cook is "
			            "in '%s': copy it back if the file should still be there."),
			       *Path, *CopyPath);
		}
		else if (Left.State == EFileState::Changed && Left.File->bExisted)
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' was changed after it was prepared for a cook that did not finish, so it was left as it is. Its content from before the cook is "
			            "in '%s': compare the two and keep what you need."),
			       *Path, *CopyPath);
		}
		else if (Left.State == EFileState::Changed)
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' was changed after it was created for a cook that did not finish, so it was left as it is. It did not exist before the cook: "
			            "delete it if nothing in it is yours."),
			       *Path);
		}
		else if (Left.File->bExisted)
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' could not be put back as it was before a cook that did not finish. Its content from before the cook is in '%s': copy it over "
			            "the file once the file can be written."),
			       *Path, *CopyPath);
		}
		else
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' could not be removed: it was created for a cook that did not finish and did not exist before. Delete it by hand."), *Path);
		}
	}
} // namespace TRLCookJournal

FString FTRLCookJournal::GetJournalPath()
{
	return FTRLProjectPaths::GetProjectSavedDir() / TEXT("Trellic") / TEXT("PendingCook.json");
}

TOptional<FTRLCookJournal> FTRLCookJournal::Begin(const FString& ModName, const TArray<FPlannedFile>& Files, FString& OutReason)
{
	using namespace TRLCookJournal;
	const FString JournalPath = GetJournalPath();
	IFileManager& FileManager = IFileManager::Get();
	if (FileManager.FileExists(*JournalPath))
	{
		// Left by an editor that ended during a cook, or by a cook whose files could not be put back.
		RestoreLeftBehind();
		if (FileManager.FileExists(*JournalPath))
		{
			OutReason = FString::Printf(TEXT("The cook journal '%s' of an earlier cook is still there, so '%s' was not prepared for cooking. Move it away once "
			                                 "the files it names are as they should be."),
			                            *JournalPath, *ModName);
			return {};
		}
	}
	// Without a mods folder no descriptor can be recorded, and the setting's own words say what to do.
	FString ModsRoot;
	FText RootError;
	if (!UTRLLocalModProvider::TryGetLocalModsRoot(ModsRoot, RootError))
	{
		OutReason = RootError.ToString();
		return {};
	}

	// Recorded exactly as a later start will read them, so that what is written here is what may be put back there.
	const FString ProjectDir = FTRLProjectPaths::GetProjectDir();
	TArray<FFile> Journalled;
	for (const FPlannedFile& Planned : Files)
	{
		FFile& File = Journalled.Emplace_GetRef();
		File.RelativePath = Planned.Path;
		FString Problem;
		if (!FPaths::MakePathRelativeTo(File.RelativePath, *ProjectDir) || !Resolve(File.RelativePath, File.Path, Problem) ||
		    !FPaths::IsSamePath(File.Path, Planned.Path))
		{
			OutReason = FString::Printf(TEXT("'%s' %s, so it cannot be recorded in the cook journal and '%s' was not prepared for cooking. Only a mod in the "
			                                 "project's mods folder, reached without a symbolic link, can be packaged: move it there and package again."),
			                            *Planned.Path, Problem.IsEmpty() ? TEXT("leads outside the project") : *Problem, *ModName);
			return {};
		}
		File.bExisted = FileManager.FileExists(*File.Path);
		if (File.bExisted && !FFileHelper::LoadFileToArray(File.OriginalBytes, *File.Path))
		{
			OutReason = FString::Printf(TEXT("Could not read '%s' for the cook: %s"), *File.Path, *FTRLFileFailure::Describe(File.Path, false));
			return {};
		}
		File.PreparedHash = ComputeSha1Hex(Planned.PreparedBytes.IsSet() ? Planned.PreparedBytes.GetValue() : File.OriginalBytes);
	}

	// Written beside and moved into place, so that a record is there whole or not at all.
	const FString WritingPath = JournalPath + WritingSuffix;
	FileManager.MakeDirectory(*FPaths::GetPath(JournalPath), true);
	if (!FFileHelper::SaveStringToFile(ToText(ModName, Journalled), *WritingPath) || !FileManager.Move(*JournalPath, *WritingPath, false))
	{
		const FString Why = FTRLFileFailure::Describe(JournalPath, true);
		FileManager.Delete(*WritingPath);
		OutReason = FString::Printf(TEXT("Could not write the cook journal '%s', so '%s' was not prepared for cooking (an editor that ended during the cook "
		                                 "would leave the mod's changes in the project): %s"),
		                            *JournalPath, *ModName, *Why);
		return {};
	}
	return FTRLCookJournal(JournalPath, MoveTemp(Journalled));
}

bool FTRLCookJournal::End() const
{
	using namespace TRLCookJournal;
	bool bSettled = true;
	for (const FFile& File : Files)
	{
		if (GetState(File) == EFileState::AsPrepared)
		{
			bSettled = false;
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' still holds what was prepared for the cook. It will be put back before the next cook or when the editor starts."), *File.Path);
		}
	}
	if (bSettled)
	{
		FTRLSafeFiles::DeleteWithEmptyFolder(JournalPath);
	}
	return bSettled;
}

void FTRLCookJournal::RestoreLeftBehind()
{
	using namespace TRLCookJournal;
	const FString JournalPath = GetJournalPath();
	FString ModName;
	TArray<FFile> Files;
	if (!IFileManager::Get().FileExists(*JournalPath) || !ReadLeftBehind(JournalPath, ModName, Files))
	{
		return;
	}

	const FRestoreOutcome Outcome = RestoreFiles(Files);
	FString KeptAs;
	if (Outcome.bKeepJournal)
	{
		KeptAs = FTRLSafeFiles::SetAside(JournalPath);
	}
	else
	{
		FTRLSafeFiles::DeleteWithEmptyFolder(JournalPath);
	}

	if (!Outcome.PutBackPaths.IsEmpty())
	{
		// A Warning, so that whoever opens the editor sees that files of the project were changed back, and why.
		UE_LOG(LogTrellic, Warning, TEXT("The editor ended during a cook of '%s'; put back as before the cook: %s."), *ModName,
		       *FString::Join(Outcome.PutBackPaths, TEXT(", ")));
	}
	for (const FLeftAlone& Left : Outcome.LeftAlone)
	{
		ReportLeftAlone(Left, KeptAs);
	}
}
