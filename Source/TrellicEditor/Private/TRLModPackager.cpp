// Copyright Trellic contributors. All Rights Reserved.

#include "TRLModPackager.h"

#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "HAL/FileManager.h"
#include "IUATHelperModule.h"
#include "Misc/Char.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "Styling/AppStyle.h"
#include "TRLCookRecord.h"
#include "TRLHeadlessUatTask.h"
#include "TRLJobEvents.h"
#include "TRLLocalModProvider.h"
#include "TRLPreparedCook.h"
#include "TRLProjectPaths.h"
#include "TRLSafeFiles.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLSettings.h"
#include "Trellic.h"

#define LOCTEXT_NAMESPACE "TRLModPackager"

bool UTRLModPackager::bPackagingInProgress = false;
uint32 UTRLModPackager::JobsStarted = 0;
TUniquePtr<FTRLPreparedCook> UTRLModPackager::PreparedCook;
TUniquePtr<FTRLCookRecord> UTRLModPackager::PendingCookRecord;

namespace TRLModPackager
{
	const TCHAR* const ReleaseMarkerName = TEXT("AssetRegistry.bin");

	// Names compare ignoring case, as the file system of the editor's platform finds them.
	bool IsReleaseMarker(FStringView Path)
	{
		const FStringView Name(ReleaseMarkerName);
		if (!Path.EndsWith(Name, ESearchCase::IgnoreCase))
		{
			return false;
		}
		const int32 NameStart = Path.Len() - Name.Len();
		return NameStart == 0 || Path[NameStart - 1] == TEXT('/') || Path[NameStart - 1] == TEXT('\\');
	}

	bool IsAssetOrMap(FStringView Path)
	{
		return Path.EndsWith(TEXT(".uasset"), ESearchCase::IgnoreCase) || Path.EndsWith(TEXT(".umap"), ESearchCase::IgnoreCase);
	}

	/**
	 * Whether a value survives as one argument of UAT's command line between double quotes: a quote ends it and a
	 * backslash before one escapes it (Windows), cmd.exe and a shell expand % and $ and ` inside quotes, and a control
	 * character breaks the line. Without quotes, white space ends it too.
	 */
	bool IsSafeOnCommandLine(const FString& Value, bool bQuoted)
	{
		for (const TCHAR Char : Value)
		{
			const bool bUnsafe = Char < 0x20 || Char == 0x7F || Char == TEXT('"') || Char == TEXT('\\') || Char == TEXT('%') || Char == TEXT('$') ||
			                     Char == TEXT('`') || (!bQuoted && FChar::IsWhitespace(Char));
			if (bUnsafe)
			{
				return false;
			}
		}
		return true;
	}

	/** @return false, with OutError naming it, when a setting that goes on UAT's command line would break it. */
	bool AreSettingsSafeOnCommandLine(const UTRLSettings& Settings, FText& OutError)
	{
		struct FSetting
		{
			const TCHAR* Name;
			const FString& Value;
			bool bQuoted;
		};
		for (const FSetting& Setting :
		     {FSetting{TEXT("BaseReleaseVersion"), Settings.BaseReleaseVersion, true}, FSetting{TEXT("TargetPlatform"), Settings.TargetPlatform, false},
		      FSetting{TEXT("ClientConfiguration"), Settings.ClientConfiguration, false}})
		{
			if (!IsSafeOnCommandLine(Setting.Value, Setting.bQuoted))
			{
				OutError = FText::Format(LOCTEXT("UnsafeSetting", "The Trellic setting {0} is '{1}', which cannot be passed safely on the automation tool's "
				                                                  "command line. Change it in Project Settings > Plugins > Trellic, using letters, digits, "
				                                                  "dots, dashes and underscores."),
				                         FText::FromString(Setting.Name), FText::FromString(Setting.Value));
				return false;
			}
		}
		return true;
	}

	/** @return false, with OutError naming it, when a path that goes on UAT's command line in quotes would break it. */
	bool ArePathsSafeOnCommandLine(const TArray<FString>& Paths, FText& OutError)
	{
		for (const FString& Path : Paths)
		{
			if (!IsSafeOnCommandLine(Path, true))
			{
				OutError = FText::Format(LOCTEXT("UnsafePath", "The path '{0}' cannot be passed safely on the automation tool's command line: it holds a "
				                                               "quote, a backslash, a percent or dollar sign, a backquote or a control character. Rename "
				                                               "the folder so that the path has none of them."),
				                         FText::FromString(Path));
				return false;
			}
		}
		return true;
	}

	FText AlreadyRunningError()
	{
		return LOCTEXT("AlreadyRunning", "A packaging job is already running. Wait for it to finish.");
	}

	FText NoSettingsError()
	{
		return LOCTEXT("NoSettings", "Trellic settings are unavailable.");
	}

	FString MakeBaseReleaseCommandLine(const UTRLSettings& Settings, const FString& ProjectFile)
	{
		return FString::Printf(TEXT("BuildCookRun -project=\"%s\" -noP4 -platform=%s -clientconfig=%s -build -cook -stage -pak -package "
		                            "-createreleaseversion=\"%s\" -nocompileeditor -utf8output"),
		                       *ProjectFile, *Settings.TargetPlatform, *Settings.ClientConfiguration, *Settings.BaseReleaseVersion);
	}

	/** The DLC cook of one mod: it builds nothing, names the mod by its descriptor, and is based on the recorded release. */
	FString MakeModCookCommandLine(const UTRLSettings& Settings, const FString& ProjectFile, const FString& Descriptor)
	{
		return FString::Printf(TEXT("BuildCookRun -project=\"%s\" -noP4 -platform=%s -clientconfig=%s -cook -stage -pak -package -skipbuild "
		                            "-nocompileeditor -nocompile -utf8output -DLCName=\"%s\" -basedonreleaseversion=\"%s\" -DLCPakPluginFile "
		                            "-DLCIncludeEngineContent=%s"),
		                       *ProjectFile, *Settings.TargetPlatform, *Settings.ClientConfiguration, *Descriptor, *Settings.BaseReleaseVersion,
		                       Settings.bDLCIncludeEngineContent ? TEXT("true") : TEXT("false"));
	}

	/**
	 * The checks a mod passes before anything is prepared for its cook, in the order a refusal is chosen: everything
	 * that would make UAT fail late, or succeed with an archive that holds no assets.
	 * @param OutDescriptor set to the descriptor's absolute path
	 * @return Started when the mod may be cooked; else the refusal, with OutError set
	 */
	ETRLPackageStartResult CheckModToCook(const UTRLSettings& Settings, const FString& ModDescriptorPath, FString& OutDescriptor, FText& OutError)
	{
		if (!AreSettingsSafeOnCommandLine(Settings, OutError) || !UTRLLocalModProvider::ResolveDescriptor(ModDescriptorPath, OutDescriptor, OutError))
		{
			return ETRLPackageStartResult::InvalidMod;
		}
		if (!FPaths::GetExtension(OutDescriptor).Equals(TEXT("uplugin"), ESearchCase::IgnoreCase))
		{
			OutError = LOCTEXT("NotAPlugin", "A mod must be described by a .uplugin file.");
			return ETRLPackageStartResult::InvalidMod;
		}
		const FString ProjectFile = FTRLProjectPaths::GetProjectFilePath();
		if (!ArePathsSafeOnCommandLine({ProjectFile, OutDescriptor}, OutError))
		{
			return ETRLPackageStartResult::InvalidMod;
		}

		// A cook without assets would still succeed, and ship an empty archive.
		if (!FTRLSafeFiles::ContainsFile(FPaths::GetPath(OutDescriptor) / TEXT("Content"), &IsAssetOrMap))
		{
			OutError = FText::Format(
			    LOCTEXT("EmptyMod", "'{0}' has no assets in its Content folder, so there is nothing to cook. Add at least one asset before packaging."),
			    FText::FromString(FPaths::GetBaseFilename(OutDescriptor)));
			return ETRLPackageStartResult::InvalidMod;
		}

		if (!UTRLModPackager::HasBaseGameRelease())
		{
			OutError = FText::Format(
			    LOCTEXT("NoBaseRelease", "No base game release named '{0}' was found in {1}. Run Tools > Trellic > Create Base Game Release first."),
			    FText::FromString(Settings.BaseReleaseVersion), FText::FromString(UTRLModPackager::GetBaseReleaseDirectory()));
			return ETRLPackageStartResult::MissingBaseRelease;
		}

		// The cooker finds a mod outside the project's Plugins folder only through this list; a plain text search is
		// enough to catch the project that lacks it, and an unreadable project is left for UAT to report.
		FString ProjectText;
		if (FFileHelper::LoadFileToString(ProjectText, *ProjectFile) && !ProjectText.Contains(TEXT("AdditionalPluginDirectories"), ESearchCase::IgnoreCase))
		{
			const FString ModsFolder = UTRLSettings::GetModsDirectory();
			OutError = FText::Format(LOCTEXT("NoAdditionalPluginDirs", "Your .uproject does not list \"AdditionalPluginDirectories\". Without it the cooker "
			                                                           "cannot see mods in '{0}' and would package an archive with no assets.\n\nAdd this "
			                                                           "to {1}:\n\n    \"AdditionalPluginDirectories\": [ \"{0}\" ],"),
			                         FText::FromString(ModsFolder), FText::FromString(FPaths::GetCleanFilename(ProjectFile)));
			return ETRLPackageStartResult::InvalidMod;
		}
		return ETRLPackageStartResult::Started;
	}
} // namespace TRLModPackager

FString UTRLModPackager::GetReleasesDirectory()
{
	return FPaths::ConvertRelativePathToFull(FTRLProjectPaths::GetProjectDir() / TEXT("Releases"));
}

FString UTRLModPackager::GetBaseReleaseDirectory()
{
	return GetReleasesDirectory() / UTRLSettings::GetBaseReleaseVersion() / FTRLProjectPaths::GetPlatformFolderName(UTRLSettings::GetTargetPlatform());
}

bool UTRLModPackager::HasBaseGameRelease()
{
	return !FindBaseReleaseRegistry().IsEmpty();
}

FString UTRLModPackager::FindBaseReleaseRegistry()
{
	const FString Marker = GetBaseReleaseDirectory() / TRLModPackager::ReleaseMarkerName;
	if (IFileManager::Get().FileExists(*Marker))
	{
		return Marker;
	}
	// UAT may have named the platform's folder otherwise; the version is what a mod is cooked against.
	FString Found;
	FTRLSafeFiles::WalkWithoutLinks(GetReleasesDirectory() / UTRLSettings::GetBaseReleaseVersion(), [&Found](const FString& Path, FTRLSafeFiles::EEntry Entry) {
		if (Entry == FTRLSafeFiles::EEntry::File && TRLModPackager::IsReleaseMarker(FStringView(Path)))
		{
			Found = Path;
		}
		return Found.IsEmpty();
	});
	return Found;
}

FString UTRLModPackager::GetModStagingDirectory(const FString& ModDescriptorPath)
{
	const FString ModFolder = FPaths::GetPath(FPaths::ConvertRelativePathToFull(ModDescriptorPath));
	if (ModFolder.IsEmpty())
	{
		return FString();
	}
	return FTRLProjectPaths::GetModStagingDir(ModFolder);
}

bool UTRLModPackager::IsPackagingInProgress()
{
	return bPackagingInProgress;
}

bool UTRLModPackager::IsBeingPackaged(const FString& ModDescriptorPath)
{
	return PreparedCook && FPaths::IsSamePath(PreparedCook->GetDescriptorPath(), FPaths::ConvertRelativePathToFull(ModDescriptorPath));
}

ETRLPackageStartResult UTRLModPackager::CreateBaseGameRelease(FText& OutError)
{
	const UTRLSettings* Settings = UTRLSettings::Get();
	if (!Settings)
	{
		OutError = TRLModPackager::NoSettingsError();
		return ETRLPackageStartResult::InvalidMod;
	}
	// Values go on the command line as they are, so one that would break it is refused rather than passed on.
	const FString ProjectFile = FTRLProjectPaths::GetProjectFilePath();
	if (!TRLModPackager::AreSettingsSafeOnCommandLine(*Settings, OutError) || !TRLModPackager::ArePathsSafeOnCommandLine({ProjectFile}, OutError))
	{
		return ETRLPackageStartResult::InvalidMod;
	}
	return LaunchUat(TRLModPackager::MakeBaseReleaseCommandLine(*Settings, ProjectFile), LOCTEXT("CreateReleaseTask", "Creating base game release"),
	                 GetReleasesDirectory(), OutError);
}

ETRLPackageStartResult UTRLModPackager::PackageMod(const FString& ModDescriptorPath, FText& OutError)
{
	const UTRLSettings* Settings = UTRLSettings::Get();
	if (!Settings)
	{
		OutError = TRLModPackager::NoSettingsError();
		return ETRLPackageStartResult::InvalidMod;
	}
	FString Descriptor;
	const ETRLPackageStartResult Checked = TRLModPackager::CheckModToCook(*Settings, ModDescriptorPath, Descriptor, OutError);
	if (Checked != ETRLPackageStartResult::Started)
	{
		return Checked;
	}

	// Asked before preparing, so that a running job's pending changes are never replaced.
	if (bPackagingInProgress)
	{
		OutError = TRLModPackager::AlreadyRunningError();
		return ETRLPackageStartResult::AlreadyRunning;
	}

	// What the build is made from is taken before the preparation changes the descriptor for the cook.
	FTRLCookRecord Record = FTRLCookRecord::Take(Descriptor);
	// The preparation's own reason goes to the log; the refusal the user is shown stays the one every caller knows.
	const FString ModName = FPaths::GetBaseFilename(Descriptor);
	FString Reason;
	PreparedCook = FTRLPreparedCook::Prepare(Descriptor, ModName, Reason);
	if (!PreparedCook)
	{
		UE_LOG(LogTrellic, Warning, TEXT("%s"), *Reason);
		OutError = FText::Format(LOCTEXT("PrepareFailed", "Could not prepare '{0}' for cooking. Is its descriptor writable?"), FText::FromString(ModName));
		return ETRLPackageStartResult::InvalidMod;
	}

	const FText TaskName = FText::Format(LOCTEXT("PackageModTask", "Packaging mod {0}"), FText::FromString(ModName));
	Record.Begin();
	PendingCookRecord = MakeUnique<FTRLCookRecord>(MoveTemp(Record));
	return LaunchUat(TRLModPackager::MakeModCookCommandLine(*Settings, FTRLProjectPaths::GetProjectFilePath(), Descriptor), TaskName,
	                 GetModStagingDirectory(Descriptor), OutError);
}

ETRLPackageStartResult UTRLModPackager::LaunchUat(const FString& CommandLine, const FText& TaskName, const FString& ResultLocation, FText& OutError)
{
	if (bPackagingInProgress)
	{
		OutError = TRLModPackager::AlreadyRunningError();
		return ETRLPackageStartResult::AlreadyRunning;
	}
	bPackagingInProgress = true;
	const uint32 ThisJob = ++JobsStarted;
	UE_LOG(LogTrellic, Log, TEXT("Starting UAT: %s"), *CommandLine);

	// The job's end, however UAT ended; the helper's own notification shows the outcome.
	auto EndJob = [ThisJob](const FString& Result, double Seconds) {
		// A job cut short when the module shut down has ended already, and a later job is not this one's to end.
		if (!bPackagingInProgress || ThisJob != JobsStarted)
		{
			return;
		}
		bPackagingInProgress = false;
		if (PreparedCook)
		{
			PreparedCook->Restore();
			PreparedCook.Reset();
		}
		const bool bSucceeded = Result.Equals(TEXT("Completed"), ESearchCase::IgnoreCase);
		FString Message;
		if (bSucceeded)
		{
			Message = FString::Printf(TEXT("Packaging finished in %.0f s."), Seconds);
			UE_LOG(LogTrellic, Log, TEXT("%s"), *Message);
		}
		else
		{
			Message = FString::Printf(TEXT("Packaging failed after %.0f s (%s). See the UAT log for the reason."), Seconds, *Result);
			UE_LOG(LogTrellic, Error, TEXT("%s"), *Message);
		}
		// A cook can complete and still stage a build the game cannot use; the job then ends with the first reason.
		const FString Unusable = PendingCookRecord ? PendingCookRecord->End(bSucceeded) : FString();
		PendingCookRecord.Reset();
		FTRLJobEvents::OnPackagingEnded().Broadcast(bSucceeded && Unusable.IsEmpty(), Unusable.IsEmpty() ? Message : Unusable, Seconds);
	};
	// The helper calls this once when UAT has ended but does not say from which thread (in the editor it may be the one
	// watching UAT); the job's state, the files written back and the listeners all belong to the game thread.
	IUATHelperModule::UatTaskResultCallack OnUatTaskCompleted = [EndJob](FString Result, double Seconds) {
		if (IsInGameThread())
		{
			EndJob(Result, Seconds);
			return;
		}
		FTSTicker::GetCoreTicker().AddTicker(FTickerDelegate::CreateLambda([EndJob, Result, Seconds](float) {
			EndJob(Result, Seconds);
			return false;
		}));
	};

	// A commandlet has no Slate application and no style to take the task's icon from, so that is known first.
	const bool bHeadless = IsRunningCommandlet();
	// The notification names the game's own platform, whatever the cook is for.
	const FText PlatformDisplayName = FText::FromString(TEXT("Win64"));
	const FSlateBrush* TaskIcon = bHeadless ? nullptr : FAppStyle::Get().GetBrush(TEXT("MainFrame.PackageProject"));
	if (const FTRLCreateUatTask* CreateUatTask = FTRLScopedUatTaskOverride::Get())
	{
		(*CreateUatTask)(CommandLine, PlatformDisplayName, TaskName, TaskName, TaskIcon, nullptr, MoveTemp(OnUatTaskCompleted), ResultLocation);
	}
	else if (bHeadless)
	{
		// The helper's task lives in an editor notification, which a commandlet cannot show; the tool runs the same.
		FTRLHeadlessUatTask::Launch(CommandLine, MoveTemp(OnUatTaskCompleted));
	}
	else
	{
		IUATHelperModule& UatHelper = FModuleManager::LoadModuleChecked<IUATHelperModule>(TEXT("UATHelper"));
		UatHelper.CreateUatTask(CommandLine, PlatformDisplayName, TaskName, TaskName, TaskIcon, nullptr, MoveTemp(OnUatTaskCompleted), ResultLocation);
	}
	return ETRLPackageStartResult::Started;
}

void UTRLModPackager::CutShortRunningJob()
{
	if (!bPackagingInProgress)
	{
		return;
	}
	bPackagingInProgress = false;
	FTRLHeadlessUatTask::Abandon();
	// A cook cut short staged an incomplete build: its record goes, so that nothing takes it for one.
	if (PendingCookRecord)
	{
		PendingCookRecord->End(false);
		PendingCookRecord.Reset();
	}
	if (!PreparedCook)
	{
		UE_LOG(LogTrellic, Warning,
		       TEXT("Recording the base game release was cut short: the editor closed before UAT ended, so the release in %s is incomplete. Run Tools > "
		            "Trellic > Create Base Game Release again."),
		       *GetBaseReleaseDirectory());
		return;
	}
	const FString Descriptor = PreparedCook->GetDescriptorPath();
	const bool bFilesAsBefore = PreparedCook->Restore();
	PreparedCook.Reset();
	UE_LOG(LogTrellic, Warning,
	       TEXT("The cook of '%s' was cut short: the editor closed before UAT ended, so the cooked output in %s is incomplete. %s Package the mod again."),
	       *FPaths::GetBaseFilename(Descriptor), *GetModStagingDirectory(Descriptor),
	       bFilesAsBefore ? TEXT("The mod's descriptor and DefaultGame.ini are as they were before the cook.")
	                      : TEXT("A file that could not be put back is named above; it is put back when the editor starts."));
}

#undef LOCTEXT_NAMESPACE
