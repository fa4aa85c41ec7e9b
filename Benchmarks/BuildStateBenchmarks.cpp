// Timings of what the plug-in adds to trust a build: the state of a packaged mod, the check of its staged pak, and
// PackageMod up to the hand-over to UAT, each beside a plain listing of the same folder. The project is built once, in
// a temporary folder removed when the program ends.

#include "BenchTempFolder.h"
#include "GenericPlatform/GenericPlatformFile.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Misc/App.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "StandIn/SimulatedPak.h"
#include "TRLBuildState.h"
#include "TRLCookRecord.h"
#include "TRLModPackager.h"
#include "TRLPostCookCheck.h"
#include "TRLSafeFiles.h"
#include "TRLScopedEditorOverrides.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"
#include "Templates/Function.h"

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

namespace
{
	constexpr int32 FilesPerFolder = 100;

	/** Writes a small file, making its folder first. */
	void WriteText(const FString& Path, const TCHAR* Text)
	{
		IFileManager::Get().MakeDirectory(*FPaths::GetPath(Path), true);
		FFileHelper::SaveStringToFile(FString(Text), *Path);
	}

	/** A project with a base release and mods of N content files each, made the engine's project, removed at exit. */
	class FBuildProject
	{
	public:
		FBuildProject()
		    : Root(TRLBench::MakeTempFolderPath(TEXT("trellic-build-bench")))
		    , ProjectDir(Root / TEXT("Game"))
		    , Settings(NewObject<UTRLSettings>())
		{
			Settings->AddToRoot();
			Settings->ModsDirectory = TEXT("Mods");
			Settings->BaseReleaseVersion = TEXT("1.0");
			Settings->TargetPlatform = TEXT("Win64");
			Settings->ClientConfiguration = TEXT("Shipping");
			WriteText(ProjectDir / TEXT("Game.uproject"), TEXT("{ \"AdditionalPluginDirectories\": [ \"Mods\" ] }"));
			WriteText(ProjectDir / TEXT("Releases/1.0/Windows/AssetRegistry.bin"), TEXT("TRLAssetRegistry 1\n/Game/Props/Crate\n"));
			WriteText(ProjectDir / TEXT("Config/DefaultGame.ini"), TEXT("[/Script/EngineSettings.GeneralProjectSettings]\r\nProjectName=Game\r\n"));
		}

		/** Makes this the project and the settings in force while it lives, as other benchmarks have theirs. */
		TUniquePtr<FTRLScopedSettingsOverride> Use() const
		{
			FPaths::SetProjectFilePath(ProjectDir / TEXT("Game.uproject"));
			FApp::SetProjectName(TEXT("Game"));
			return MakeUnique<FTRLScopedSettingsOverride>(Settings);
		}

		~FBuildProject()
		{
			Settings->RemoveFromRoot();
			IFileManager::Get().DeleteDirectory(*Root, false, true);
		}

		/** The descriptor of a mod whose Content holds NumFiles assets, in folders of FilesPerFolder; made once. */
		const FString& Mod(int32 NumFiles)
		{
			auto Found = Mods.find(NumFiles);
			if (Found != Mods.end())
			{
				return Found->second;
			}
			const FString Name = FString::Printf(TEXT("Mod%d"), NumFiles);
			const FString Descriptor = ProjectDir / TEXT("Mods") / Name / (Name + TEXT(".uplugin"));
			WriteText(Descriptor, TEXT("{ \"FriendlyName\": \"Bench\", \"ExplicitlyLoaded\": true }"));
			for (int32 Index = 0; Index < NumFiles; ++Index)
			{
				WriteText(FPaths::GetPath(Descriptor) / FString::Printf(TEXT("Content/Folder_%03d/Asset_%05d.uasset"), Index / FilesPerFolder, Index),
				          TEXT("asset"));
			}
			return Mods.emplace(NumFiles, Descriptor).first->second;
		}

		/** Stages the mod's pak of NumFiles assets and its descriptor, as the simulated cook does, and records the build; once. */
		bool Stage(int32 NumFiles)
		{
			const FString& Descriptor = Mod(NumFiles);
			const FString Pak = UTRLModPackager::GetModStagingDirectory(Descriptor) / FString::Printf(TEXT("Content/Paks/Windows/Mod%dWindows.pak"), NumFiles);
			if (IFileManager::Get().FileExists(*Pak))
			{
				return true;
			}
			const std::string ModName = FPaths::GetBaseFilename(Descriptor).ToUtf8();
			std::vector<UE::StandIn::SimulatedPak::FPakSource> Sources;
			const FString ContentFolder = FPaths::GetPath(Descriptor) / TEXT("Content");
			FTRLCookRecord Record = FTRLCookRecord::Take(Descriptor);
			Record.FingerprintContent(ContentFolder);
			for (const TPair<FString, FTRLFileFingerprint>& File : Record.Content)
			{
				Sources.push_back({ModName + "/Content/" + File.Key.ToUtf8(), (ContentFolder / File.Key).ToUtf8()});
			}
			Sources.push_back({ModName + "/" + ModName + ".uplugin", Descriptor.ToUtf8()});
			IFileManager::Get().MakeDirectory(*FPaths::GetPath(Pak), true);
			std::string Error;
			Record.bPassedCheck = true;
			FString Reason;
			return UE::StandIn::SimulatedPak::WritePak(Pak.ToUtf8(), Sources, Error) && Record.Save(FTRLCookRecord::GetRecordPath(Descriptor), Reason);
		}

	private:
		FString Root;

	public:
		FString ProjectDir;

	private:
		UTRLSettings* Settings;
		std::map<int32, FString> Mods;
	};

	FBuildProject& Project()
	{
		static FBuildProject Instance;
		return Instance;
	}

	/** Lists a folder tree with each file's size and times, one stat each: what a state check cannot do with less. */
	int32 ListWithStat(IPlatformFile& PlatformFile, const FString& Folder)
	{
		int32 NumFiles = 0;
		PlatformFile.IterateDirectoryStat(*Folder, [&PlatformFile, &NumFiles](const TCHAR* Path, const FFileStatData& StatData) {
			NumFiles += StatData.bIsDirectory ? ListWithStat(PlatformFile, Path) : 1;
			return true;
		});
		return NumFiles;
	}

	/** Lists a folder tree by names alone, as a listing that needs no size or time can. */
	int32 ListNames(IPlatformFile& PlatformFile, const FString& Folder)
	{
		int32 NumFiles = 0;
		PlatformFile.IterateDirectory(*Folder, [&PlatformFile, &NumFiles](const TCHAR* Path, bool bIsDirectory) {
			NumFiles += bIsDirectory ? ListNames(PlatformFile, Path) : 1;
			return true;
		});
		return NumFiles;
	}

	/** Lists a folder tree as the closer look of a state check walks it, every entry also asked whether it is a link. */
	int32 ListWithoutLinks(const FString& Folder)
	{
		int32 NumFiles = 0;
		FTRLSafeFiles::WalkWithStat(Folder, FTRLSafeFiles::ELinkCheck::FoldersAndFiles,
		                            [&NumFiles](const TCHAR*, FTRLSafeFiles::EEntry Entry, const FFileStatData&) {
			                            NumFiles += Entry == FTRLSafeFiles::EEntry::File ? 1 : 0;
			                            return true;
		                            });
		return NumFiles;
	}

	/** Times one way of listing the Content folder of a mod of State.range(0) files; a listing that misses one fails. */
	void TimeContentListing(benchmark::State& State, TFunctionRef<int32(const FString& ContentFolder)> List)
	{
		const TUniquePtr<FTRLScopedSettingsOverride> InForce = Project().Use();
		const int32 NumFiles = static_cast<int32>(State.range(0));
		const FString ContentFolder = FPaths::GetPath(Project().Mod(NumFiles)) / TEXT("Content");
		for (auto _ : State)
		{
			if (List(ContentFolder) != NumFiles)
			{
				State.SkipWithError("the listing missed files");
				break;
			}
		}
	}

	// The mod's Content folder by names alone: below the fair floor, since a state check must compare sizes and times.
	void BM_ListContentNames(benchmark::State& State)
	{
		TimeContentListing(State, [](const FString& Folder) {
			return ListNames(FPlatformFileManager::Get().GetPlatformFile(), Folder);
		});
	}

	// The plain listing of the mod's Content folder, names, sizes and times, that the state check and the check after
	// the cook compete with.
	void BM_ListContent(benchmark::State& State)
	{
		TimeContentListing(State, [](const FString& Folder) {
			return ListWithStat(FPlatformFileManager::Get().GetPlatformFile(), Folder);
		});
	}

	// What a state check costs when the content's listing is not as it was recorded.
	void BM_ListContentWithoutLinks(benchmark::State& State)
	{
		TimeContentListing(State, [](const FString& Folder) {
			return ListWithoutLinks(Folder);
		});
	}

	// A packaged mod that has not changed: its record read, its Content listed as it was recorded, its descriptor hashed.
	void BM_BuildState(benchmark::State& State)
	{
		const TUniquePtr<FTRLScopedSettingsOverride> InForce = Project().Use();
		const int32 NumFiles = static_cast<int32>(State.range(0));
		if (!Project().Stage(NumFiles))
		{
			State.SkipWithError("the build could not be staged");
			return;
		}
		const FString& Descriptor = Project().Mod(NumFiles);
		for (auto _ : State)
		{
			TArray<FText> Reasons;
			if (UTRLBuildState::GetBuildState(Descriptor, Reasons) != ETRLModBuildState::Current)
			{
				State.SkipWithError("the build is not current");
				break;
			}
		}
	}

	// The check after a completed cook on a pak of N assets and the descriptor.
	void BM_PostCookCheck(benchmark::State& State)
	{
		const TUniquePtr<FTRLScopedSettingsOverride> InForce = Project().Use();
		const int32 NumFiles = static_cast<int32>(State.range(0));
		if (!Project().Stage(NumFiles))
		{
			State.SkipWithError("the build could not be staged");
			return;
		}
		const FString& Descriptor = Project().Mod(NumFiles);
		TOptional<FTRLCookRecord> Record = FTRLCookRecord::Load(FTRLCookRecord::GetRecordPath(Descriptor));
		if (!Record.IsSet() || !Record->ReadContent())
		{
			State.SkipWithError("the build's record cannot be read");
			return;
		}
		const FString StagingFolder = UTRLModPackager::GetModStagingDirectory(Descriptor);
		TArray<FString> Packed;
		for (auto _ : State)
		{
			if (!FTRLPostCookCheck::Run(Record.GetValue(), StagingFolder, Packed).IsEmpty())
			{
				State.SkipWithError("the build failed the check");
				break;
			}
		}
	}

	// PackageMod from the call to the hand-over to UAT: it runs on the editor's game thread, so it must fit in a frame.
	// The job's end, which restores the project and checks the staged build, is not timed.
	void BM_PackageModCall(benchmark::State& State)
	{
		const TUniquePtr<FTRLScopedSettingsOverride> InForce = Project().Use();
		const int32 NumFiles = static_cast<int32>(State.range(0));
		if (!Project().Stage(NumFiles))
		{
			State.SkipWithError("the build could not be staged");
			return;
		}
		const FString& Descriptor = Project().Mod(NumFiles);
		IUATHelperModule::UatTaskResultCallack EndJob;
		const FTRLScopedUatTaskOverride UatOverride([&EndJob](const FString&, const FText&, const FText&, const FText&, const FSlateBrush*,
		                                                      const TArray<FAnalyticsEventAttribute>*, IUATHelperModule::UatTaskResultCallack ResultCallback,
		                                                      const FString&) {
			EndJob = MoveTemp(ResultCallback);
		});
		for (auto _ : State)
		{
			FText Error;
			const ETRLPackageStartResult Result = UTRLModPackager::PackageMod(Descriptor, Error);
			State.PauseTiming();
			if (EndJob)
			{
				EndJob(TEXT("Completed"), 0.0);
				EndJob = nullptr;
			}
			State.ResumeTiming();
			if (Result != ETRLPackageStartResult::Started)
			{
				State.SkipWithError(TCHAR_TO_UTF8(*Error.ToString()));
				break;
			}
		}
	}
} // namespace

BENCHMARK(BM_ListContentNames)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListContent)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ListContentWithoutLinks)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildState)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PostCookCheck)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PackageModCall)->Arg(10000)->Unit(benchmark::kMillisecond);
