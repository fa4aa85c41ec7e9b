// Timings of reading a large DefaultGame.ini into the configuration, beside reading the same file's text alone,
// which is the floor under it. Each file is written once, in a temporary folder removed when the program ends.

#include "BenchTempFolder.h"
#include "HAL/FileManager.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"

#include <benchmark/benchmark.h>
#include <map>

namespace
{
	/** Ini files of a given number of keys, written on first use and removed at exit. */
	class FBenchIniFiles
	{
	public:
		FBenchIniFiles()
		    : Root(TRLBench::MakeTempFolderPath(TEXT("trellic-bench-ini")))
		{
			IFileManager::Get().MakeDirectory(*Root, true);
		}

		~FBenchIniFiles() { IFileManager::Get().DeleteDirectory(*Root, false, true); }

		/**
		 * One section of NumKeys distinct keys, each line about 100 bytes (100,000 keys make 10 MB), with an array
		 * key added to every hundredth line, as a project's settings would mix them.
		 */
		const FString& File(int32 NumKeys)
		{
			auto Found = Files.find(NumKeys);
			if (Found == Files.end())
			{
				FString Text(TEXT("[/Script/BenchGame.BenchSettings]\n"));
				for (int32 Index = 0; Index < NumKeys; ++Index)
				{
					Text += FString::Printf(TEXT("Setting_%07d=A value long enough to make the line about one hundred bytes, as settings go: %07d\n"), Index,
					                        Index);
					if (Index % 100 == 0)
					{
						Text += FString::Printf(TEXT("+Paths=Folder_%07d\n"), Index);
					}
				}
				const FString Path = Root / FString::Printf(TEXT("DefaultGame%d.ini"), NumKeys);
				FFileHelper::SaveStringToFile(Text, *Path);
				Found = Files.emplace(NumKeys, Path).first;
			}
			return Found->second;
		}

	private:
		FString Root;
		std::map<int32, FString> Files;
	};

	FBenchIniFiles& IniFiles()
	{
		static FBenchIniFiles Instance;
		return Instance;
	}

	// What loading a branch does with each of its files: read, parse and combine every key into the sections.
	void BM_CombineIni(benchmark::State& State)
	{
		const int32 NumKeys = static_cast<int32>(State.range(0));
		const FString& Path = IniFiles().File(NumKeys);
		for (auto _ : State)
		{
			FConfigFile File;
			if (!File.Combine(Path))
			{
				State.SkipWithError("the ini file could not be read");
				break;
			}
			const FConfigSection* Section = File.FindSection(TEXT("/Script/BenchGame.BenchSettings"));
			if (!Section || Section->Num() != NumKeys + (NumKeys + 99) / 100)
			{
				State.SkipWithError("the section does not hold every key");
				break;
			}
		}
		State.SetBytesProcessed(State.iterations() * IFileManager::Get().FileSize(*Path));
	}

	// Reading and decoding the same file without parsing it: the floor under BM_CombineIni.
	void BM_LoadIniText(benchmark::State& State)
	{
		const FString& Path = IniFiles().File(static_cast<int32>(State.range(0)));
		for (auto _ : State)
		{
			FString Text;
			if (!FFileHelper::LoadFileToString(Text, *Path))
			{
				State.SkipWithError("the ini file could not be read");
				break;
			}
			benchmark::DoNotOptimize(Text);
		}
		State.SetBytesProcessed(State.iterations() * IFileManager::Get().FileSize(*Path));
	}
} // namespace

BENCHMARK(BM_CombineIni)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadIniText)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
