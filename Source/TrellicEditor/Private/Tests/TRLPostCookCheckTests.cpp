// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "TRLPostCookCheck.h"

#if WITH_DEV_AUTOMATION_TESTS

// The package a pak's file is, from its path as the engine's pak tool mounts it: no pak is read.
BEGIN_DEFINE_SPEC(FTRLPostCookCheckSpec, "Trellic.TrellicEditor.TRLPostCookCheck", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
END_DEFINE_SPEC(FTRLPostCookCheckSpec)

void FTRLPostCookCheckSpec::Define()
{
	Describe("GetPackageName", [this]() {
		It("names the content root by the folder before Content, the project's own as /Game, and climbs out of the mount point first", [this]() {
			const TPair<const TCHAR*, const TCHAR*> Cases[] = {
			    {TEXT("../../../DemoGame/Mods/SampleMod/Content/Maps/Arena.umap"), TEXT("/SampleMod/Maps/Arena")},
			    {TEXT("SampleMod/Content/SampleAsset.uasset"), TEXT("/SampleMod/SampleAsset")},
			    {TEXT("../../../demogame/Content/Props/Crate.UASSET"), TEXT("/Game/Props/Crate")},
			    {TEXT("/../../../Engine/Content/BasicShapes/Cube.uasset"), TEXT("/Engine/BasicShapes/Cube")},
			    // A folder named Content inside the content is the content's own.
			    {TEXT("../../../DemoGame/Mods/Mod/Content/Content/A.uasset"), TEXT("/Mod/Content/A")},
			};
			for (const TPair<const TCHAR*, const TCHAR*>& Case : Cases)
			{
				TestEqualSensitive(Case.Key, FTRLPostCookCheck::GetPackageName(Case.Key, TEXT("DemoGame")), Case.Value);
			}
		});

		It("answers nothing for a file that is no asset or map, or lies under no Content folder", [this]() {
			for (const TCHAR* Path : {TEXT("../../../DemoGame/Mods/SampleMod/SampleMod.uplugin"), TEXT("../../../DemoGame/Mods/SampleMod/Content/A.uexp"),
			                          TEXT("Content/A.uasset"), TEXT("../../../DemoGame/Mods/SampleMod/A.uasset")})
			{
				TestEqualSensitive(Path, FTRLPostCookCheck::GetPackageName(Path, TEXT("DemoGame")), FString());
			}
		});
	});

	Describe("DescribePaths", [this]() {
		It("names ten paths at most, then how many more there are", [this]() {
			TArray<FString> Paths;
			for (int32 Index = 1; Index <= 12; ++Index)
			{
				Paths.Add(FString::Printf(TEXT("P%d"), Index));
			}
			TestEqualSensitive(TEXT("twelve"), FTRLPostCookCheck::DescribePaths(Paths), TEXT("P1, P2, P3, P4, P5, P6, P7, P8, P9, P10 and 2 more"));
			Paths.SetNum(10);
			TestEqualSensitive(TEXT("ten"), FTRLPostCookCheck::DescribePaths(Paths), TEXT("P1, P2, P3, P4, P5, P6, P7, P8, P9, P10"));
		});
	});
}

#endif
