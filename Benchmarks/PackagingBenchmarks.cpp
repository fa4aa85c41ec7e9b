// Timings of the packager's walks over large folders, beside the whole listing and the plain system walk that they
// compete with. Each tree is built once, in a temporary folder that is removed when the program ends.

#include "BenchTempFolder.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformFileManager.h"
#include "Misc/App.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "TRLModPackager.h"
#include "TRLScopedOverrides.h"
#include "TRLSettings.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <string>
#include <unistd.h>

namespace
{
	constexpr int32 FilesPerFolder = 100;

	/** A project of its own, made the engine's project, with trees built on demand and removed at exit. */
	class FBenchProject
	{
	public:
		FBenchProject()
		{
			Root = TRLBench::MakeTempFolderPath(TEXT("trellic-bench"));
			ProjectDir = Root / TEXT("Game");
			IFileManager::Get().MakeDirectory(*ProjectDir, true);
			FFileHelper::SaveStringToFile(FString(TEXT("{ \"AdditionalPluginDirectories\": [ \"Mods\" ] }")), *(ProjectDir / TEXT("Game.uproject")));
			FPaths::SetProjectFilePath(ProjectDir / TEXT("Game.uproject"));
			FApp::SetProjectName(TEXT("Game"));
		}

		~FBenchProject() { IFileManager::Get().DeleteDirectory(*Root, false, true); }

		/**
		 * Folder holds NumFiles files in folders of FilesPerFolder each; the first folder that a walk visits holds
		 * one file named Marker (and nothing else does), the rest are named File_<n>.bin.
		 */
		const FString& Tree(const FString& Folder, int32 NumFiles, const TCHAR* Marker)
		{
			const std::string Key = (Folder + TEXT("|") + Marker + TEXT("|") + FString::FromInt(NumFiles)).ToUtf8();
			auto Found = Trees.find(Key);
			if (Found == Trees.end())
			{
				Found = Trees.emplace(Key, Build(Folder, NumFiles, Marker)).first;
			}
			return Found->second;
		}

		FString ProjectDir;

	private:
		static void Touch(const FString& Path)
		{
			const int Descriptor = open(Path.ToUtf8().c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
			if (Descriptor >= 0)
			{
				close(Descriptor);
			}
		}

		static FString Build(const FString& Folder, int32 NumFiles, const TCHAR* Marker)
		{
			const int32 NumFolders = (NumFiles + FilesPerFolder - 1) / FilesPerFolder;
			for (int32 FolderIndex = 0; FolderIndex < NumFolders; ++FolderIndex)
			{
				IFileManager::Get().MakeDirectory(*(Folder / FString::Printf(TEXT("Folder_%05d"), FolderIndex)), true);
			}
			// Whatever order the walk takes, the marker lies in the folder that it enters first.
			FString FirstFolder;
			FPlatformFileManager::Get().GetPlatformFile().IterateDirectory(*Folder, [&FirstFolder](const TCHAR* Entry, bool bIsDirectory) {
				if (bIsDirectory)
				{
					FirstFolder = Entry;
				}
				return !bIsDirectory;
			});
			for (int32 FolderIndex = 0; FolderIndex < NumFolders; ++FolderIndex)
			{
				const FString SubFolder = Folder / FString::Printf(TEXT("Folder_%05d"), FolderIndex);
				const bool bHoldsMarker = SubFolder == FirstFolder;
				for (int32 FileIndex = 0; FileIndex < FilesPerFolder; ++FileIndex)
				{
					const bool bMarker = bHoldsMarker && FileIndex == FilesPerFolder / 2;
					Touch(SubFolder / (bMarker ? FString(Marker) : FString::Printf(TEXT("File_%07d.bin"), FolderIndex * FilesPerFolder + FileIndex)));
				}
			}
			return Folder;
		}

		FString Root;
		std::map<std::string, FString> Trees;
	};

	FBenchProject& Project()
	{
		static FBenchProject Instance;
		return Instance;
	}

	/** Settings whose release version names a folder of its own, so that trees of different sizes never mix. */
	class FBenchSettings
	{
	public:
		explicit FBenchSettings(const FString& ReleaseVersion)
		    : Settings(NewObject<UTRLSettings>())
		    , Override(Settings)
		{
			Settings->AddToRoot();
			Settings->BaseReleaseVersion = ReleaseVersion;
		}

		~FBenchSettings() { Settings->RemoveFromRoot(); }

	private:
		UTRLSettings* Settings;
		FTRLScopedSettingsOverride Override;
	};

	FString ReleaseTree(int32 NumFiles)
	{
		return Project().Tree(Project().ProjectDir / TEXT("Releases") / FString::Printf(TEXT("v%d"), NumFiles), NumFiles, TEXT("AssetRegistry.bin"));
	}

	// PackageMod on a mod with an asset and no base release stops right after the content check; the release
	// checks that end it look at a folder that does not exist, which costs the same for every tree.
	void BM_EmptyModCheck(benchmark::State& State)
	{
		const int32 NumFiles = static_cast<int32>(State.range(0));
		const FString ModFolder = Project().ProjectDir / TEXT("Mods") / FString::Printf(TEXT("Mod%d"), NumFiles);
		Project().Tree(ModFolder / TEXT("Content"), NumFiles, TEXT("Hero.uasset"));
		const FString Descriptor = ModFolder / FString::Printf(TEXT("Mod%d.uplugin"), NumFiles);
		FFileHelper::SaveStringToFile(FString(TEXT("{}")), *Descriptor);
		const FBenchSettings Settings(TEXT("absent"));
		for (auto _ : State)
		{
			FText Error;
			if (UTRLModPackager::PackageMod(Descriptor, Error) != ETRLPackageStartResult::MissingBaseRelease)
			{
				State.SkipWithError("PackageMod did not stop at the base release check");
				break;
			}
		}
	}

	// The direct marker is absent, so each call walks the version folder until the marker in its first folder.
	void BM_HasBaseGameRelease(benchmark::State& State)
	{
		const int32 NumFiles = static_cast<int32>(State.range(0));
		ReleaseTree(NumFiles);
		const FBenchSettings Settings(FString::Printf(TEXT("v%d"), NumFiles));
		for (auto _ : State)
		{
			if (!UTRLModPackager::HasBaseGameRelease())
			{
				State.SkipWithError("HasBaseGameRelease found no release");
				break;
			}
		}
	}

	// What a search that collects every file first would pay before it could look at one.
	void BM_FindFilesRecursive(benchmark::State& State)
	{
		const int32 NumFiles = static_cast<int32>(State.range(0));
		const FString Release = ReleaseTree(NumFiles);
		for (auto _ : State)
		{
			TArray<FString> Files;
			IFileManager::Get().FindFilesRecursive(Files, *Release, TEXT("*"), true, false);
			if (Files.Num() != NumFiles)
			{
				State.SkipWithError("FindFilesRecursive missed files");
				break;
			}
		}
	}

	// The plain system walk to the same marker: the floor under HasBaseGameRelease's search.
	bool ReaddirToFirstMatch(const std::string& Folder, const char* Name)
	{
		DIR* Handle = opendir(Folder.c_str());
		if (!Handle)
		{
			return false;
		}
		bool bFound = false;
		while (const dirent* Entry = readdir(Handle))
		{
			const std::string EntryName(Entry->d_name);
			if (EntryName == "." || EntryName == "..")
			{
				continue;
			}
			bFound = Entry->d_type == DT_DIR ? ReaddirToFirstMatch(Folder + "/" + EntryName, Name) : EntryName == Name;
			if (bFound)
			{
				break;
			}
		}
		closedir(Handle);
		return bFound;
	}

	void BM_ReaddirToFirstMatch(benchmark::State& State)
	{
		const std::string Release = ReleaseTree(static_cast<int32>(State.range(0))).ToUtf8();
		for (auto _ : State)
		{
			if (!ReaddirToFirstMatch(Release, "AssetRegistry.bin"))
			{
				State.SkipWithError("the walk found no marker");
				break;
			}
		}
	}
} // namespace

BENCHMARK(BM_EmptyModCheck)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HasBaseGameRelease)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindFilesRecursive)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReaddirToFirstMatch)->Arg(100)->Arg(100000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
