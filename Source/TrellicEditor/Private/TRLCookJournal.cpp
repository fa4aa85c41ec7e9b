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
#include "TRLJsonText.h"
#include "TRLProjectPaths.h"
#include "Trellic.h"

namespace TRLCookJournal
{
	const TCHAR* const BackupSuffix = TEXT(".trellic-backup");
	const TCHAR* const SetAsideSuffix = TEXT(".set-aside");
	const TCHAR* const WritingSuffix = TEXT(".writing");

	/** One file as the record keeps it. */
	struct FJournalFile
	{
		FString Path;
		bool bExisted = false;
		TArray<uint8> OriginalBytes;
		FString PreparedHash;
	};

	enum class EFileState : uint8
	{
		/** Exactly as before the cook: nothing is owed. */
		AsBefore,
		/** Exactly what the preparation wrote: the cook's change is still there. */
		AsPrepared,
		/** Anything else: someone changed it since, or it cannot be read. */
		Changed
	};

	/** The record this editor wrote for its running cook, and where; empty when it has none. */
	FString OwnJournalPath;
	TArray<FJournalFile> OwnFiles;

	FString HashOf(const TArray<uint8>& Bytes)
	{
		return FSHA1::HashBuffer(Bytes.GetData(), Bytes.Num()).ToString();
	}

	/**
	 * The bytes that FFileHelper::SaveStringToFile writes with its automatic encoding, which every write of a cook
	 * uses: one byte a character when all are below U+0080, otherwise UTF-16 little-endian after the mark FF FE.
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

	EFileState GetState(const FJournalFile& File)
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
		return bExists && HashOf(Bytes).Equals(File.PreparedHash, ESearchCase::IgnoreCase) ? EFileState::AsPrepared : EFileState::Changed;
	}

	/** @return Stem followed by Suffix, or by a number and Suffix when that name is taken, so nothing is overwritten. */
	FString FindFreePath(const FString& Stem, const TCHAR* Suffix)
	{
		IFileManager& FileManager = IFileManager::Get();
		FString Candidate = Stem + Suffix;
		for (int32 Number = 2; FileManager.FileExists(*Candidate) || FileManager.DirectoryExists(*Candidate); ++Number)
		{
			Candidate = FString::Printf(TEXT("%s.%d%s"), *Stem, Number, Suffix);
		}
		return Candidate;
	}

	/** Removes the record, and its folder when nothing else is in it, so that a finished cook leaves no trace. */
	void DeleteJournal(const FString& JournalPath)
	{
		IFileManager& FileManager = IFileManager::Get();
		FileManager.Delete(*JournalPath);
		FileManager.DeleteDirectory(*FPaths::GetPath(JournalPath));
	}

	/** @return where the record now lies: beside its old place, or still there when it could not be moved. */
	FString SetAside(const FString& JournalPath)
	{
		const FString AsidePath = FindFreePath(JournalPath, SetAsideSuffix);
		return IFileManager::Get().Move(*AsidePath, *JournalPath, false) ? AsidePath : JournalPath;
	}

	bool PutBack(const FJournalFile& File)
	{
		return File.bExisted ? FFileHelper::SaveArrayToFile(File.OriginalBytes, *File.Path) : IFileManager::Get().Delete(*File.Path);
	}

	FString ToText(const FString& ModName, const TArray<FJournalFile>& Files)
	{
		TArray<TSharedPtr<FJsonValue>> Entries;
		for (const FJournalFile& File : Files)
		{
			const TSharedRef<FJsonObject> Entry = MakeShared<FJsonObject>();
			Entry->SetStringField(TEXT("Path"), File.Path);
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
		return FTRLJsonText::Write(Journal);
	}

	/** @return false when the text is not a whole record; nothing may be put back from a part of one. */
	bool Parse(const FString& Text, FString& OutModName, TArray<FJournalFile>& OutFiles)
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
			FJournalFile& File = OutFiles.Emplace_GetRef();
			FString Original;
			if (!Value.IsValid() || !Value->TryGetObject(Entry) || !(*Entry)->TryGetStringField(TEXT("Path"), File.Path) || FPaths::IsRelative(File.Path) ||
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
} // namespace TRLCookJournal

FString FTRLCookJournal::GetJournalPath()
{
	return FTRLProjectPaths::GetProjectSavedDir() / TEXT("Trellic") / TEXT("PendingCook.json");
}

bool FTRLCookJournal::Begin(const FString& ModName, const TArray<FPlannedFile>& Files)
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
			UE_LOG(LogTrellic, Warning,
			       TEXT("The cook journal '%s' of an earlier cook is still there, so '%s' was not prepared for cooking. Move it away once the files it names "
			            "are as they should be."),
			       *JournalPath, *ModName);
			return false;
		}
	}

	TArray<FJournalFile> Journalled;
	for (const FPlannedFile& Planned : Files)
	{
		FJournalFile& File = Journalled.Emplace_GetRef();
		File.Path = Planned.Path;
		File.bExisted = FileManager.FileExists(*Planned.Path);
		if (File.bExisted && !FFileHelper::LoadFileToArray(File.OriginalBytes, *Planned.Path))
		{
			UE_LOG(LogTrellic, Warning, TEXT("Could not read '%s' to keep it in the cook journal, so '%s' was not prepared for cooking."), *Planned.Path,
			       *ModName);
			return false;
		}
		File.PreparedHash = HashOf(Planned.PreparedText.IsSet() ? EncodeAsSaved(Planned.PreparedText.GetValue()) : File.OriginalBytes);
	}

	// Written beside and moved into place, so that a record is there whole or not at all.
	const FString WritingPath = JournalPath + WritingSuffix;
	FileManager.MakeDirectory(*FPaths::GetPath(JournalPath), true);
	if (!FFileHelper::SaveStringToFile(ToText(ModName, Journalled), *WritingPath) || !FileManager.Move(*JournalPath, *WritingPath, false))
	{
		FileManager.Delete(*WritingPath);
		UE_LOG(LogTrellic, Warning,
		       TEXT("Could not write the cook journal '%s', so '%s' was not prepared for cooking: an editor that ended during the cook would leave the "
		            "mod's changes in the project."),
		       *JournalPath, *ModName);
		return false;
	}
	OwnJournalPath = JournalPath;
	OwnFiles = MoveTemp(Journalled);
	return true;
}

void FTRLCookJournal::End()
{
	using namespace TRLCookJournal;
	if (OwnFiles.IsEmpty())
	{
		return;
	}
	bool bSettled = true;
	for (const FJournalFile& File : OwnFiles)
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
		DeleteJournal(OwnJournalPath);
	}
	OwnJournalPath.Empty();
	OwnFiles.Empty();
}

void FTRLCookJournal::RestoreLeftBehind()
{
	using namespace TRLCookJournal;
	const FString JournalPath = GetJournalPath();
	IFileManager& FileManager = IFileManager::Get();
	if (!FileManager.FileExists(*JournalPath))
	{
		return;
	}

	FString Text;
	FString ModName;
	TArray<FJournalFile> Files;
	if (!FFileHelper::LoadFileToString(Text, *JournalPath) || !Parse(Text, ModName, Files))
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("The cook journal '%s' cannot be read, so no file was put back. It is kept as '%s'; check the descriptor of the mod packaged last and "
		            "the project's DefaultGame.ini."),
		       *JournalPath, *SetAside(JournalPath));
		return;
	}

	// A file left alone keeps its bytes from before in a copy beside it, or failing that in the record, which then stays.
	struct FLeftAlone
	{
		const FJournalFile* File;
		bool bChanged;
		FString CopyPath;
	};
	TArray<FString> PutBackPaths;
	TArray<FLeftAlone> LeftAlone;
	bool bKeepJournal = false;
	for (const FJournalFile& File : Files)
	{
		const EFileState State = GetState(File);
		if (State == EFileState::AsBefore || (State == EFileState::AsPrepared && PutBack(File)))
		{
			if (State == EFileState::AsPrepared)
			{
				PutBackPaths.Add(File.Path);
			}
			continue;
		}
		FLeftAlone& Left = LeftAlone.Add_GetRef(FLeftAlone{&File, State == EFileState::Changed, FString()});
		if (File.bExisted)
		{
			const FString BackupPath = FindFreePath(File.Path, BackupSuffix);
			if (FFileHelper::SaveArrayToFile(File.OriginalBytes, *BackupPath))
			{
				Left.CopyPath = BackupPath;
			}
			else
			{
				bKeepJournal = true;
			}
		}
	}
	FString KeptAs;
	if (bKeepJournal)
	{
		KeptAs = SetAside(JournalPath);
	}
	else
	{
		DeleteJournal(JournalPath);
	}

	if (!PutBackPaths.IsEmpty())
	{
		UE_LOG(LogTrellic, Log, TEXT("The editor ended during a cook of '%s'; put back as before the cook: %s."), *ModName,
		       *FString::Join(PutBackPaths, TEXT(", ")));
	}
	for (const FLeftAlone& Left : LeftAlone)
	{
		const FString& Path = Left.File->Path;
		const FString& CopyPath = Left.CopyPath.IsEmpty() ? KeptAs : Left.CopyPath;
		if (Left.bChanged && Left.File->bExisted)
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' was changed after it was prepared for a cook that did not finish, so it was left as it is. Its content from before the cook is "
			            "in '%s'."),
			       *Path, *CopyPath);
		}
		else if (Left.bChanged)
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' was changed after it was created for a cook that did not finish, so it was left as it is. It did not exist before the cook."),
			       *Path);
		}
		else if (Left.File->bExisted)
		{
			UE_LOG(LogTrellic, Warning,
			       TEXT("'%s' could not be put back as it was before a cook that did not finish. Its content from before the cook is in '%s'."), *Path,
			       *CopyPath);
		}
		else
		{
			UE_LOG(LogTrellic, Warning, TEXT("'%s' could not be removed: it was created for a cook that did not finish and did not exist before."), *Path);
		}
	}
}
