// Timings of the upload's payload copy beside the system's own tree copy, cp -r, on the same staged mod and disk:
// 256 MiB in a few large archives and 2,000 small files, built once in a temporary project removed at exit.

#include "BenchStatistics.h"
#include "BenchTempFolder.h"
#include "HAL/FileManager.h"
#include "Misc/App.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLModPackager.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"
#include "TRLWorkshopUpload.h"
#include "Trellic.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
	constexpr int64 TreeBytes = int64(256) << 20;
	constexpr int32 NumLargeFiles = 4;
	constexpr int32 NumSmallFiles = 2000;
	constexpr int32 SmallFileBytes = 8192;
	constexpr int32 SmallFilesPerFolder = 100;

	/** A project holding one mod whose staging folder holds the tree; the engine's project while a benchmark runs. */
	class FStagedMod
	{
	public:
		FStagedMod()
		{
			Root = TRLBench::MakeTempFolderPath(TEXT("trellic-upload-bench"));
			ProjectFile = Root / TEXT("Game/Game.uproject");
			Descriptor = Root / TEXT("Game/Mods/BenchMod/BenchMod.uplugin");
			IFileManager::Get().MakeDirectory(*FPaths::GetPath(Descriptor), true);
			FFileHelper::SaveStringToFile(FString(TEXT("{}")), *ProjectFile);
			FFileHelper::SaveStringToFile(FString(TEXT("{ \"FriendlyName\": \"BenchMod\", \"ExplicitlyLoaded\": true }")), *Descriptor);
		}

		~FStagedMod() { IFileManager::Get().DeleteDirectory(*Root, false, true); }

		/** Writes the tree into the staging folder that GetModStagingDirectory names for the project now in force. */
		bool Stage()
		{
			if (!StagingFolder.IsEmpty())
			{
				return true;
			}
			StagingFolder = UTRLModPackager::GetModStagingDirectory(Descriptor);
			const int64 LargeFileBytes = (TreeBytes - int64(NumSmallFiles) * SmallFileBytes) / NumLargeFiles;
			const FString Paks = StagingFolder / TEXT("Content/Paks/Windows");
			for (int32 Index = 0; Index < NumLargeFiles; ++Index)
			{
				if (!WriteFile(Paks / FString::Printf(TEXT("BenchMod_%d.pak"), Index), LargeFileBytes, Index))
				{
					return false;
				}
			}
			for (int32 Index = 0; Index < NumSmallFiles; ++Index)
			{
				const FString Folder = StagingFolder / FString::Printf(TEXT("Content/Loose/Folder_%02d"), Index / SmallFilesPerFolder);
				if (!WriteFile(Folder / FString::Printf(TEXT("File_%04d.bin"), Index), SmallFileBytes, Index))
				{
					return false;
				}
			}
			return true;
		}

		FString Root;
		FString ProjectFile;
		FString Descriptor;
		FString StagingFolder;

	private:
		// Distinct bytes in every file, so that no layer below can share or skip them.
		static bool WriteFile(const FString& Path, int64 Size, int32 Seed)
		{
			IFileManager::Get().MakeDirectory(*FPaths::GetPath(Path), true);
			const int Descriptor = open(Path.ToUtf8().c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0644);
			if (Descriptor < 0)
			{
				return false;
			}
			std::vector<char> Block(size_t(1) << 20);
			uint64 State = 0x9E3779B97F4A7C15ull * static_cast<uint64>(Seed + 1);
			bool bWritten = true;
			for (int64 Done = 0; bWritten && Done < Size;)
			{
				for (size_t Offset = 0; Offset + sizeof(uint64) <= Block.size(); Offset += sizeof(uint64))
				{
					State = State * 6364136223846793005ull + 1442695040888963407ull;
					std::memcpy(Block.data() + Offset, &State, sizeof(uint64));
				}
				const size_t Count = static_cast<size_t>(std::min<int64>(Size - Done, static_cast<int64>(Block.size())));
				bWritten = write(Descriptor, Block.data(), Count) == static_cast<ssize_t>(Count);
				Done += static_cast<int64>(Count);
			}
			return close(Descriptor) == 0 && bWritten;
		}
	};

	FStagedMod& StagedMod()
	{
		static FStagedMod Instance;
		return Instance;
	}

	/** Makes the staged mod's project the engine's for the length of one benchmark, and the one before it after. */
	class FScopedBenchProject
	{
	public:
		FScopedBenchProject()
		    : PreviousProjectFile(FPaths::GetProjectFilePath())
		    , PreviousProjectName(FApp::GetProjectName())
		    , Settings(NewObject<UTRLSettings>())
		    , Override(Settings)
		{
			Settings->AddToRoot();
			Settings->TargetPlatform = TEXT("Win64");
			// The payload's log line would otherwise be printed once an iteration.
			LogTrellic.SetVerbosity(ELogVerbosity::Warning);
			FPaths::SetProjectFilePath(StagedMod().ProjectFile);
			FApp::SetProjectName(TEXT("Game"));
		}

		~FScopedBenchProject()
		{
			FPaths::SetProjectFilePath(PreviousProjectFile);
			FApp::SetProjectName(*PreviousProjectName);
			LogTrellic.SetVerbosity(ELogVerbosity::Log);
			Settings->RemoveFromRoot();
		}

	private:
		FString PreviousProjectFile;
		FString PreviousProjectName;
		UTRLSettings* Settings;
		FTRLScopedSettingsOverride Override;
	};

	// The payload step: the staged tree checked for files, copied with the descriptor beside it, and the payload counted.
	void BM_BuildUploadPayload(benchmark::State& State)
	{
		const FScopedBenchProject Project;
		if (!StagedMod().Stage())
		{
			State.SkipWithError("the staged tree could not be written");
			return;
		}
		const FString Payload = FPaths::GetPath(StagedMod().Descriptor) / TEXT("Saved/WorkshopUpload");
		for (auto _ : State)
		{
			// The earlier payload is removed outside the timing, as cp's target is, so that both time the copy alone.
			State.PauseTiming();
			IFileManager::Get().DeleteDirectory(*Payload, false, true);
			State.ResumeTiming();
			FText Error;
			if (UTRLWorkshopUpload::BuildUploadPayload(StagedMod().Descriptor, Error).IsEmpty())
			{
				State.SkipWithError("BuildUploadPayload failed");
				break;
			}
		}
		State.SetBytesProcessed(State.iterations() * TreeBytes);
	}

	// The same tree copied by cp -r to the payload's folder, removed before each copy outside the timing.
	void BM_CopyTreeCp(benchmark::State& State)
	{
		const FScopedBenchProject Project;
		if (!StagedMod().Stage())
		{
			State.SkipWithError("the staged tree could not be written");
			return;
		}
		// The payload's own folder: where a file system places new files, and how fast, depends on the folder.
		const FString Target = FPaths::GetPath(StagedMod().Descriptor) / TEXT("Saved/WorkshopUpload");
		const std::string Command = "cp -r '" + StagedMod().StagingFolder.ToUtf8() + "' '" + Target.ToUtf8() + "'";
		for (auto _ : State)
		{
			State.PauseTiming();
			IFileManager::Get().DeleteDirectory(*Target, false, true);
			State.ResumeTiming();
			if (std::system(Command.c_str()) != 0)
			{
				State.SkipWithError("cp -r failed");
				break;
			}
		}
		State.SetBytesProcessed(State.iterations() * TreeBytes);
	}
} // namespace

// cp runs in a process of its own, so both are timed by the clock on the wall.
BENCHMARK(BM_BuildUploadPayload)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", TRLBench::Fastest);
BENCHMARK(BM_CopyTreeCp)->Unit(benchmark::kMillisecond)->UseRealTime()->ComputeStatistics("min", TRLBench::Fastest);
