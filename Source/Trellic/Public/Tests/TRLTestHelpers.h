// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

#if WITH_DEV_AUTOMATION_TESTS

#include "HAL/FileManager.h"
#include "HAL/PlatformProcess.h"
#include "Misc/DateTime.h"
#include "Misc/FileHelper.h"
#include "Misc/OutputDevice.h"
#include "Misc/OutputDeviceRedirector.h"
#include "Misc/Paths.h"
#include "Misc/ScopeLock.h"

/** What the plug-in's specs share: temporary folders, mod names and descriptors of their own, and a log capture. */
namespace TRLTest
{
	/** Makes an empty folder of the caller's own under the user's temporary folder and returns its absolute path. */
	inline FString MakeTempFolder(const TCHAR* Prefix)
	{
		// The time keeps programs that run side by side apart, the count keeps the folders of one program apart.
		static int32 Count = 0;
		const FString Name = FString::Printf(TEXT("%s-%s-%d"), Prefix, *LexToString(FDateTime::UtcNow().GetTicks()), ++Count);
		const FString Folder = FPaths::ConvertRelativePathToFull(FString(FPlatformProcess::UserTempDir()) / Name);
		IFileManager::Get().MakeDirectory(*Folder, true);
		return Folder;
	}

	/** The engine keeps every plug-in it has heard of until it exits, so each spec names its mods afresh. */
	inline FString MakeUniqueModName(const TCHAR* Prefix)
	{
		static int32 Count = 0;
		return FString::Printf(TEXT("%s%s%d"), Prefix, *LexToString(FDateTime::UtcNow().GetTicks() % 1000000), ++Count);
	}

	/** A content-only descriptor that the engine can mount, in the descriptor's own layout. */
	inline FString MinimalDescriptorText(const FString& ModName)
	{
		return FString(TEXT("{")) + LINE_TERMINATOR TEXT("\t\"FileVersion\": 3,") LINE_TERMINATOR TEXT("\t\"FriendlyName\": \"") + ModName +
		       TEXT("\",") LINE_TERMINATOR TEXT("\t\"CanContainContent\": true,") LINE_TERMINATOR TEXT("\t\"ExplicitlyLoaded\": true,")
		           LINE_TERMINATOR TEXT("\t\"Modules\": []") LINE_TERMINATOR TEXT("}");
	}

	/**
	 * Writes a mod under ModsRoot/FolderName: its Content folder and a descriptor named ModName.uplugin holding
	 * DescriptorText (a minimal one when empty).
	 * @return the descriptor's absolute path, or an empty string when it could not be written.
	 */
	inline FString WriteMod(const FString& ModsRoot, const FString& FolderName, const FString& ModName, const FString& DescriptorText = FString())
	{
		const FString ModFolder = ModsRoot / FolderName;
		IFileManager::Get().MakeDirectory(*(ModFolder / TEXT("Content")), true);
		const FString DescriptorPath = FPaths::ConvertRelativePathToFull(ModFolder / (ModName + TEXT(".uplugin")));
		const FString Text = DescriptorText.IsEmpty() ? MinimalDescriptorText(ModName) : DescriptorText;
		return FFileHelper::SaveStringToFile(Text, *DescriptorPath) ? DescriptorPath : FString();
	}

	/** Removes a folder made by MakeTempFolder with everything in it. */
	inline void DeleteFolder(const FString& Folder)
	{
		IFileManager::Get().DeleteDirectory(*Folder, false, true);
	}

	/** Unmounts a mod that a spec mounted, so that its content root leaves the editor with the spec; others are left alone. */
	TRELLIC_API void UnmountMod(const FString& ModName);

	/**
	 * The longest mod name whose folder, with its Content folder, can be made in Folder: the descriptor that goes beside
	 * them, named after the mod, is then too long to be written. Found by trying, as each file system and platform sets
	 * its own limit on names and paths; nothing is left behind. Empty when not even a one-letter folder can be made.
	 */
	inline FString LongestModFolderName(const FString& Folder)
	{
		const auto NameOfLength = [](int32 Length) {
			return TEXT("L") + FString::ChrN(Length - 1, TEXT('a'));
		};
		const auto CanMake = [&Folder, &NameOfLength](int32 Length) {
			const FString ModFolder = Folder / NameOfLength(Length);
			const bool bMade = IFileManager::Get().MakeDirectory(*(ModFolder / TEXT("Content")), true);
			IFileManager::Get().DeleteDirectory(*ModFolder, false, true);
			return bMade;
		};
		// Whether a name fits only gets harder as it grows, so the limit is found by halving.
		int32 Fits = 0;
		int32 TooLong = 4096;
		while (TooLong - Fits > 1)
		{
			const int32 Middle = (Fits + TooLong) / 2;
			if (CanMake(Middle))
			{
				Fits = Middle;
			}
			else
			{
				TooLong = Middle;
			}
		}
		return Fits > 0 ? NameOfLength(Fits) : FString();
	}
} // namespace TRLTest

/**
 * Records the log lines written while it lives, so that a spec can assert on their text, category and verbosity.
 * It takes lines on whatever thread writes them, at once: the editor's log thread would otherwise hand them over late.
 */
class FTRLLogCapture : public FOutputDevice
{
public:
	struct FLine
	{
		FName Category;
		ELogVerbosity::Type Verbosity;
		FString Message;
	};

	FTRLLogCapture() { GLog->AddOutputDevice(this); }

	virtual ~FTRLLogCapture() override { GLog->RemoveOutputDevice(this); }

	virtual bool CanBeUsedOnMultipleThreads() const override { return true; }

	virtual bool CanBeUsedOnAnyThread() const override { return true; }

	virtual void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override
	{
		const FLine Line{Category, static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask), FString(Message)};
		TFunction<void(const FLine&)> Observer;
		{
			FScopeLock Lock(&Mutex);
			Lines.Add(Line);
			Observer = OnLine;
		}
		if (Observer)
		{
			Observer(Line);
		}
	}

	/** The lines written to one category, in order. */
	TArray<FLine> LinesOf(const FName Category) const
	{
		TArray<FLine> Found;
		FScopeLock Lock(&Mutex);
		for (const FLine& Line : Lines)
		{
			if (Line.Category == Category)
			{
				Found.Add(Line);
			}
		}
		return Found;
	}

	/** Runs as each line arrives, for a spec that must know the state of things at the moment a line is written. */
	void SetOnLine(TFunction<void(const FLine&)> InOnLine)
	{
		FScopeLock Lock(&Mutex);
		OnLine = MoveTemp(InOnLine);
	}

private:
	mutable FCriticalSection Mutex;
	TArray<FLine> Lines;
	TFunction<void(const FLine&)> OnLine;
};

#endif // WITH_DEV_AUTOMATION_TESTS
