// Copyright Trellic contributors. All Rights Reserved.

#include "TRLUploadPayload.h"

#include "GenericPlatform/GenericPlatformFile.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Misc/Paths.h"
#include "TRLModPackager.h"
#include "TRLSafeFiles.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLWorkshopUpload"

namespace TRLUploadPayload
{
	/** @return the number of files below Folder, links neither counted nor looked into */
	int32 CountFiles(const FString& Folder)
	{
		int32 NumFiles = 0;
		FTRLSafeFiles::WalkWithoutLinks(Folder, [&NumFiles](const FString& /*Path*/, FTRLSafeFiles::EEntry Entry) {
			NumFiles += Entry == FTRLSafeFiles::EEntry::File ? 1 : 0;
			return true;
		});
		return NumFiles;
	}

	/** @return the first symbolic link below Folder; empty when there is none */
	FString FindLink(const FString& Folder)
	{
		FString Link;
		FTRLSafeFiles::WalkWithoutLinks(Folder, [&Link](const FString& Path, FTRLSafeFiles::EEntry Entry) {
			if (Entry == FTRLSafeFiles::EEntry::Link)
			{
				Link = Path;
			}
			return Link.IsEmpty();
		});
		return Link;
	}

	/**
	 * @param bFolder whether Target is a folder that could not be made, rather than a file that could not be copied
	 * @return why Source could not be copied to Target, and what to do, as far as the file system tells
	 */
	FText ExplainCopyFailure(const FString& Source, const FString& Target, bool bFolder)
	{
		IFileManager& FileManager = IFileManager::Get();
		if (!bFolder && !FileManager.FileExists(*Source))
		{
			return LOCTEXT("CopyNotAFile", "it is not an ordinary file (it is a pipe, a socket or a device, or it has gone). Take it out of the staged build, "
			                               "or package the mod again, then upload it.");
		}
		if (!bFolder && FileManager.DirectoryExists(*Target))
		{
			return FText::Format(LOCTEXT("CopyFolderInTheWay", "the folder '{0}' is in its way. Take the folder of that name out of the staged build, or "
			                                                   "package the mod again, then upload it."),
			                     FText::FromString(Target));
		}
		return FText::Format(LOCTEXT("CopyNotWritten", "it could not be written into '{0}'. Check that the disk has room and that the folder can be "
		                                               "written to, then upload again."),
		                     FText::FromString(FPaths::GetPath(Target)));
	}

	/**
	 * Copies what lies below Source into Target, which exists, without going into a symbolic link.
	 * @param OutLinks every link found, which is left out
	 * @param OutError set on failure, naming the file and why
	 * @return false on the first file or folder that could not be copied or read
	 */
	bool CopyWithoutLinks(const FString& Source, const FString& Target, TArray<FString>& OutLinks, FText& OutError)
	{
		IPlatformFile& PlatformFile = FPlatformFileManager::Get().GetPlatformFile();
		const int32 SourcePrefixLength = (Source / TEXT("")).Len();
		return FTRLSafeFiles::WalkWithoutLinks(Source, [&](const FString& Path, FTRLSafeFiles::EEntry Entry) {
			const FString Destination = Target / Path.Mid(SourcePrefixLength);
			bool bCopied = true;
			switch (Entry)
			{
				case FTRLSafeFiles::EEntry::Link:
					OutLinks.Add(Path);
					break;
				case FTRLSafeFiles::EEntry::Folder:
					bCopied = PlatformFile.CreateDirectory(*Destination);
					break;
				case FTRLSafeFiles::EEntry::File:
					bCopied = PlatformFile.CopyFile(*Destination, *Path);
					break;
				case FTRLSafeFiles::EEntry::Unlisted:
					OutError = FText::Format(LOCTEXT("CopyFolderUnread", "Could not read the folder '{0}' of the packaged mod. Package the mod again, then "
					                                                     "upload it."),
					                         FText::FromString(Path));
					return false;
			}
			if (!bCopied)
			{
				OutError = FText::Format(LOCTEXT("CopyStagingFailed", "Could not copy '{0}' from the packaged mod into the upload folder: {1}"),
				                         FText::FromString(Path), ExplainCopyFailure(Path, Destination, Entry == FTRLSafeFiles::EEntry::Folder));
			}
			return bCopied;
		});
	}
} // namespace TRLUploadPayload

FString FTRLUploadPayload::Build(const FString& ModDescriptorPath, FText& OutError)
{
	using namespace TRLUploadPayload;
	const FString DescriptorPath = FPaths::ConvertRelativePathToFull(ModDescriptorPath);
	const FString ModRoot = FPaths::GetPath(DescriptorPath);
	const FString ModName = FPaths::GetBaseFilename(DescriptorPath);

	const FString StagingFolder = UTRLModPackager::GetModStagingDirectory(DescriptorPath);
	if (StagingFolder.IsEmpty() || !FTRLSafeFiles::ContainsFile(StagingFolder))
	{
		OutError =
		    FText::Format(LOCTEXT("NotPackaged", "'{0}' has not been packaged yet, so there is nothing to upload. Run Tools > Trellic > Package Mod first."),
		                  FText::FromString(ModName));
		return FString();
	}

	// Built afresh every time, so that nothing left from an earlier upload reaches subscribers. A link in the earlier
	// payload was put there by hand; a deletion that went through it would reach what it points to.
	const FString PayloadFolder = ModRoot / TEXT("Saved") / TEXT("WorkshopUpload");
	IFileManager& FileManager = IFileManager::Get();
	const bool bPayloadIsLink = FTRLSafeFiles::IsLink(PayloadFolder);
	const FString OldLink = bPayloadIsLink ? PayloadFolder : FindLink(PayloadFolder);
	if (!OldLink.IsEmpty())
	{
		OutError = FText::Format(LOCTEXT("LinkInPayload", "The symbolic link '{0}' lies where the upload folder is built, and the upload deletes nothing "
		                                                  "through a link. Delete the link by hand, then upload again."),
		                         FText::FromString(OldLink));
		return FString();
	}
	FileManager.DeleteDirectory(*PayloadFolder, false, true);
	if (!FileManager.MakeDirectory(*PayloadFolder, true))
	{
		OutError = FText::Format(LOCTEXT("NoPayloadDir", "Could not create '{0}'."), FText::FromString(PayloadFolder));
		return FString();
	}

	TArray<FString> Links;
	if (!CopyWithoutLinks(StagingFolder, PayloadFolder, Links, OutError))
	{
		return FString();
	}
	if (!Links.IsEmpty())
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("The packaged mod in '%s' holds symbolic links, which the upload never follows, so they were left out: %s. If the mod needs what they "
		            "point to, put the files themselves into the mod and package it again."),
		       *StagingFolder, *FString::Join(Links, TEXT(", ")));
	}

	// The mod loader finds a mod in a Workshop item by its descriptor, which the cook does not stage.
	const FString DescriptorFileName = FPaths::GetCleanFilename(DescriptorPath);
	const FString DescriptorCopy = PayloadFolder / DescriptorFileName;
	if (FileManager.Copy(*DescriptorCopy, *DescriptorPath) != COPY_OK)
	{
		OutError = FText::Format(LOCTEXT("CopyDescriptorFailed", "Could not copy '{0}' into the upload folder: {1}"), FText::FromString(DescriptorFileName),
		                         ExplainCopyFailure(DescriptorPath, DescriptorCopy, false));
		return FString();
	}

	UE_LOG(LogTrellic, Log, TEXT("Upload payload assembled in '%s' (%d file(s))."), *PayloadFolder, CountFiles(PayloadFolder));
	return PayloadFolder;
}

FString FTRLUploadPayload::FindPreviewImage(const FString& ModDescriptorPath)
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

#undef LOCTEXT_NAMESPACE
