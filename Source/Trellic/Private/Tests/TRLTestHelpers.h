// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

#if WITH_DEV_AUTOMATION_TESTS

#include "HAL/FileManager.h"
#include "HAL/PlatformProcess.h"
#include "Misc/AutomationTest.h"
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
		// The process id keeps programs that run side by side apart, the time keeps them apart from earlier runs, and
		// the count keeps the folders of one program apart.
		static int32 Count = 0;
		const FString Name =
		    FString::Printf(TEXT("%s-%u-%s-%d"), Prefix, FPlatformProcess::GetCurrentProcessId(), *LexToString(FDateTime::UtcNow().GetTicks()), ++Count);
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

	/** Writes Text with automatic encoding, making the file's folder first. @return whether the file was written. */
	inline bool WriteTextFile(const FString& Path, const FString& Text)
	{
		IFileManager::Get().MakeDirectory(*FPaths::GetPath(Path), true);
		return FFileHelper::SaveStringToFile(Text, *Path);
	}

	/** @return the file's bytes; none when it cannot be read. */
	inline TArray<uint8> ReadBytes(const FString& Path)
	{
		TArray<uint8> Bytes;
		FFileHelper::LoadFileToArray(Bytes, *Path);
		return Bytes;
	}

	/** @return the file's text; empty when it cannot be read. */
	inline FString ReadText(const FString& Path)
	{
		FString Text;
		FFileHelper::LoadFileToString(Text, *Path);
		return Text;
	}

	/** @return Text as UTF-8, without a byte-order mark. */
	inline TArray<uint8> Utf8Bytes(const FString& Text)
	{
		const FTCHARToUTF8 Converted(*Text);
		return TArray<uint8>(reinterpret_cast<const uint8*>(Converted.Get()), Converted.Length());
	}

	/** @return Text as UTF-16 behind its byte-order mark, little-endian unless asked otherwise. */
	inline TArray<uint8> Utf16Bytes(const FString& Text, bool bBigEndian = false)
	{
		TArray<uint8> Bytes = bBigEndian ? TArray<uint8>{0xFE, 0xFF} : TArray<uint8>{0xFF, 0xFE};
		for (const TCHAR Char : Text)
		{
			const uint8 High = static_cast<uint8>(static_cast<uint32>(Char) >> 8);
			const uint8 Low = static_cast<uint8>(static_cast<uint32>(Char) & 0xFF);
			Bytes.Append(bBigEndian ? TArray<uint8>{High, Low} : TArray<uint8>{Low, High});
		}
		return Bytes;
	}

	/** @return Path relative to the engine's base folder, which a relative path is taken from. */
	inline FString RelativeToBaseDir(const FString& Path)
	{
		FString Relative = Path;
		FPaths::MakePathRelativeTo(Relative, *(FPaths::ConvertRelativePathToFull(FPlatformProcess::BaseDir()) / TEXT("")));
		return Relative;
	}

	/** Compares lines exactly and as one text, so that a failure shows every line: TestEqual on strings ignores case. */
	inline void TestLines(FAutomationTestBase& Test, const FString& What, const TArray<FString>& Actual, const TArray<FString>& Expected)
	{
		Test.TestEqualSensitive(What, FString::Join(Actual, TEXT("\n")), FString::Join(Expected, TEXT("\n")));
	}

	/** Every file and folder below Folder, with each file's bytes (a folder's are a single "/"). */
	inline TMap<FString, TArray<uint8>> SnapshotFolder(const FString& Folder)
	{
		TArray<FString> Paths;
		IFileManager::Get().FindFilesRecursive(Paths, *Folder, TEXT("*"), true, true);
		TMap<FString, TArray<uint8>> Entries;
		for (const FString& Path : Paths)
		{
			Entries.Add(Path, IFileManager::Get().DirectoryExists(*Path) ? TArray<uint8>{'/'} : ReadBytes(Path));
		}
		return Entries;
	}

	/** @return the paths that two snapshots disagree on, each marked as added, removed or changed; none when alike. */
	inline FString DescribeChanges(const TMap<FString, TArray<uint8>>& Before, const TMap<FString, TArray<uint8>>& After)
	{
		TArray<FString> Changes;
		for (const TPair<FString, TArray<uint8>>& Entry : Before)
		{
			const TArray<uint8>* Now = After.Find(Entry.Key);
			if (!Now || *Now != Entry.Value)
			{
				Changes.Add((Now ? TEXT("changed ") : TEXT("removed ")) + Entry.Key);
			}
		}
		for (const TPair<FString, TArray<uint8>>& Entry : After)
		{
			if (!Before.Contains(Entry.Key))
			{
				Changes.Add(TEXT("added ") + Entry.Key);
			}
		}
		return FString::Join(Changes, TEXT(", "));
	}

	/**
	 * Checks the namespace and key a translator finds a user-facing text by. The engine gives a text formatted from a
	 * pattern no id of its own: the pattern's is read from the text's history, as the localisation tools read it. Any
	 * other text must carry the id itself.
	 */
	inline void TestLocalizationId(FAutomationTestBase& Test, const FString& What, const FText& Text, const TCHAR* Namespace, const TCHAR* Key)
	{
		TArray<FHistoricTextFormatData> History;
		FTextInspector::GetHistoricFormatData(Text, History);
		// The history also lists the steps that made the text's arguments; the text's own step is the one that made it.
		const FHistoricTextFormatData* OwnStep = History.FindByPredicate([&Text](const FHistoricTextFormatData& Step) {
			return Step.FormattedText.IdenticalTo(Text);
		});
		const FText& Identified = OwnStep ? OwnStep->SourceFmt.GetSourceText() : Text;
		const FString Whose = What + (OwnStep ? TEXT(": its pattern's") : TEXT(": its"));
		Test.TestEqualSensitive(Whose + TEXT(" namespace"), FTextInspector::GetNamespace(Identified).Get(FString()), FString(Namespace));
		Test.TestEqualSensitive(Whose + TEXT(" key"), FTextInspector::GetKey(Identified).Get(FString()), FString(Key));
	}

	/** Removes a folder made by MakeTempFolder with everything in it. */
	inline void DeleteFolder(const FString& Folder)
	{
		IFileManager::Get().DeleteDirectory(*Folder, false, true);
	}

	/** Unmounts a mod that a spec mounted, so that its content root leaves the editor with the spec; others are left alone. */
	TRELLIC_API void UnmountMod(const FString& ModName);
} // namespace TRLTest

/**
 * Records the log lines written while it lives, so that a spec can assert on the plug-in's lines and their verbosity.
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

	// The engine's device also has a Serialize that takes the time; it stays visible beside the override.
	using FOutputDevice::Serialize;

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

	/** The plug-in's lines, in order, each as "Verbosity: message" ("Warning: ...", "Log: ..."). */
	TArray<FString> TrellicLines() const
	{
		TArray<FString> Texts;
		FScopeLock Lock(&Mutex);
		for (const FLine& Line : Lines)
		{
			if (Line.Category == FName(TEXT("LogTrellic")))
			{
				Texts.Add(FString(ToString(Line.Verbosity)) + TEXT(": ") + Line.Message);
			}
		}
		return Texts;
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
