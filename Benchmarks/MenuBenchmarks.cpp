// Timings of the Tools menu's mod submenus, filled over a thousand local mods as the editor fills them each time one
// opens, beside the plain two-level listing of the same tree with opendir/readdir and the reading of the Workshop
// records that the upload submenu does on top of it.

#include "BenchStatistics.h"
#include "BenchTempFolder.h"
#include "HAL/FileManager.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "StandIn/ToolMenusHost.h"
#include "TRLScopedOverrides.h"
#include "TRLWorkshopUpload.h"
#include "ToolMenus.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <map>
#include <memory>
#include <string>

namespace
{
	/** A mods root of its own per size, each mod a folder with its descriptor and Content, every third with a workshop.json; removed at exit. */
	class FBenchMods
	{
	public:
		FBenchMods()
		    : Root(TRLBench::MakeTempFolderPath(TEXT("trellic-menu-bench")))
		{
			// Made here so that the file manager outlives this object, which needs it at exit.
			IFileManager::Get().MakeDirectory(*Root, true);
		}

		~FBenchMods() { IFileManager::Get().DeleteDirectory(*Root, false, true); }

		const FString& ModsRoot(int32 NumMods)
		{
			auto Found = Roots.find(NumMods);
			if (Found == Roots.end())
			{
				Found = Roots.emplace(NumMods, Build(Root / FString::Printf(TEXT("Mods%d"), NumMods), NumMods)).first;
			}
			return Found->second;
		}

	private:
		static FString Build(const FString& ModsRoot, int32 NumMods)
		{
			for (int32 Index = 0; Index < NumMods; ++Index)
			{
				const FString Name = FString::Printf(TEXT("Mod_%05d"), Index);
				const FString Folder = ModsRoot / Name;
				IFileManager::Get().MakeDirectory(*(Folder / TEXT("Content")), true);
				FFileHelper::SaveStringToFile(FString(TEXT("{ \"FileVersion\": 3, \"CanContainContent\": true, \"ExplicitlyLoaded\": true }")),
				                              *(Folder / (Name + TEXT(".uplugin"))));
				if (Index % 3 == 0)
				{
					FFileHelper::SaveStringToFile(FString::Printf(TEXT("{\r\n\t\"ItemId\": \"%d\",\r\n\t\"Mod\": \"%s\",\r\n\t\"LastUploaded\": "
					                                                   "\"2025-01-01T00:00:00.000Z\",\r\n\t\"Visibility\": \"public\"\r\n}"),
					                                              3000000 + Index, *Name),
					                              *(Folder / TEXT("workshop.json")));
				}
			}
			return ModsRoot;
		}

		FString Root;
		std::map<int32, FString> Roots;
	};

	FBenchMods& Mods()
	{
		static FBenchMods Instance;
		return Instance;
	}

	/** The Trellic submenu entry of that name, with the editor's menus up and the editor module started as in the editor. */
	const FToolMenuEntry* TrellicSubMenu(const TCHAR* EntryName)
	{
		static const bool bStarted = []() {
			FModuleManager::Get().LoadModule(TEXT("ToolMenus"));
			UToolMenus::Get()->RegisterMenu(TEXT("LevelEditor.MainMenu.Tools"));
			UE::StandIn::DeclareToolMenusReady();
			return FModuleManager::Get().LoadModule(TEXT("TrellicEditor")) != nullptr;
		}();
		UToolMenu* Tools = bStarted ? UToolMenus::Get()->FindMenu(TEXT("LevelEditor.MainMenu.Tools")) : nullptr;
		FToolMenuSection* Section = Tools ? Tools->FindSection(TEXT("Trellic")) : nullptr;
		return Section ? Section->FindEntry(EntryName) : nullptr;
	}

	// One opening of the submenu: a fresh menu, filled by the entry's fill delegate.
	void FillSubMenu(benchmark::State& State, const TCHAR* EntryName)
	{
		const int32 NumMods = static_cast<int32>(State.range(0));
		const FTRLScopedModsRootOverride RootOverride(Mods().ModsRoot(NumMods));
		const FToolMenuEntry* Entry = TrellicSubMenu(EntryName);
		if (!Entry)
		{
			State.SkipWithError("the Trellic submenu is missing");
			return;
		}
		for (auto _ : State)
		{
			std::unique_ptr<UToolMenu> Menu = std::make_unique<UToolMenu>();
			Entry->SubMenuData.ConstructMenu.NewToolMenu.Execute(Menu.get());
			// The editor takes a menu down when it closes, not while it opens: that is not part of the fill.
			State.PauseTiming();
			const bool bComplete = Menu->Sections.Num() == 1 && Menu->Sections[0].Blocks.Num() == NumMods;
			Menu.reset();
			State.ResumeTiming();
			if (!bComplete)
			{
				State.SkipWithError("the submenu does not list every mod");
				break;
			}
		}
	}

	void BM_FillMountMenu(benchmark::State& State)
	{
		FillSubMenu(State, TEXT("TRLMountMod"));
	}

	void BM_FillPackageMenu(benchmark::State& State)
	{
		FillSubMenu(State, TEXT("TRLPackageMod"));
	}

	// Besides the listing, it reads the workshop.json of every third mod.
	void BM_FillUploadMenu(benchmark::State& State)
	{
		FillSubMenu(State, TEXT("TRLUploadMod"));
	}

	// What reading those records costs on its own: each mod's record looked for, and read where there is one.
	void BM_ReadWorkshopRecords(benchmark::State& State)
	{
		const int32 NumMods = static_cast<int32>(State.range(0));
		const FString Root = Mods().ModsRoot(NumMods);
		TArray<FString> Descriptors;
		for (int32 Index = 0; Index < NumMods; ++Index)
		{
			const FString Name = FString::Printf(TEXT("Mod_%05d"), Index);
			Descriptors.Add(Root / Name / (Name + TEXT(".uplugin")));
		}
		for (auto _ : State)
		{
			int32 Recorded = 0;
			for (const FString& Descriptor : Descriptors)
			{
				Recorded += UTRLWorkshopUpload::GetRecordedItemId(Descriptor).IsEmpty() ? 0 : 1;
			}
			if (Recorded != (NumMods + 2) / 3)
			{
				State.SkipWithError("the records were not all read");
				break;
			}
		}
	}

	// The floor under every fill: the root's folders, then each folder's entries, with nothing else done.
	int32 ListTwoLevels(const std::string& Root)
	{
		DIR* RootHandle = opendir(Root.c_str());
		if (!RootHandle)
		{
			return 0;
		}
		int32 Descriptors = 0;
		while (const dirent* Folder = readdir(RootHandle))
		{
			const std::string FolderName(Folder->d_name);
			if (Folder->d_type != DT_DIR || FolderName == "." || FolderName == "..")
			{
				continue;
			}
			if (DIR* FolderHandle = opendir((Root + "/" + FolderName).c_str()))
			{
				while (const dirent* Entry = readdir(FolderHandle))
				{
					const std::string EntryName(Entry->d_name);
					Descriptors += Entry->d_type == DT_REG && EntryName.ends_with(".uplugin") ? 1 : 0;
				}
				closedir(FolderHandle);
			}
		}
		closedir(RootHandle);
		return Descriptors;
	}

	void BM_ListTwoLevels(benchmark::State& State)
	{
		const int32 NumMods = static_cast<int32>(State.range(0));
		const std::string Root = Mods().ModsRoot(NumMods).ToUtf8();
		for (auto _ : State)
		{
			if (ListTwoLevels(Root) != NumMods)
			{
				State.SkipWithError("the listing missed descriptors");
				break;
			}
		}
	}
} // namespace

BENCHMARK(BM_ListTwoLevels)->Arg(1000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", TRLBench::Fastest);
BENCHMARK(BM_FillMountMenu)->Arg(1000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", TRLBench::Fastest);
BENCHMARK(BM_FillPackageMenu)->Arg(1000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", TRLBench::Fastest);
BENCHMARK(BM_FillUploadMenu)->Arg(1000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", TRLBench::Fastest);
BENCHMARK(BM_ReadWorkshopRecords)->Arg(1000)->Unit(benchmark::kMicrosecond)->ComputeStatistics("min", TRLBench::Fastest);
