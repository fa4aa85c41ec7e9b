// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Interfaces/IPluginManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/FileHelper.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "TRLModMount.h"
#include "Tests/TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLModMountSpec, "Trellic.Trellic.TRLModMount", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ModName;

	/** Writes a content-only descriptor for Name under Folder/Name and returns its path. */
	FString WriteMod(const FString& Folder, const FString& Name, const FString& DescriptorText)
	{
		const FString ModFolder = Folder / Name;
		IFileManager::Get().MakeDirectory(*(ModFolder / TEXT("Content")), true);
		const FString DescriptorPath = ModFolder / (Name + TEXT(".uplugin"));
		TestTrue(TEXT("the descriptor is written"), FFileHelper::SaveStringToFile(DescriptorText, *DescriptorPath));
		return DescriptorPath;
	}

	FString WriteMod(const FString& Folder, const FString& Name)
	{
		return WriteMod(Folder, Name,
		                TEXT("{\n\t\"FileVersion\": 3,\n\t\"Version\": 1,\n\t\"FriendlyName\": \"") + Name +
		                    TEXT("\",\n\t\"CanContainContent\": true,\n\t\"ExplicitlyLoaded\": true,\n\t\"Modules\": []\n}"));
	}
END_DEFINE_SPEC(FTRLModMountSpec)

void FTRLModMountSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLModMount"));
		ModName = TRLTest::MakeUniqueModName(TEXT("TRLMountSpecMod"));
	});

	AfterEach([this]() {
		IFileManager::Get().DeleteDirectory(*TempDir, false, true);
	});

	Describe("Mount", [this]() {
		It("registers the mod's content root and then reports the mod mounted", [this]() {
			const FString DescriptorPath = WriteMod(TempDir, ModName);
			const FString ContentRoot = TEXT("/") + ModName + TEXT("/");
			TestFalse(TEXT("mounted before"), FTRLModMount::IsMounted(ModName));

			FText Error = FText::FromString(TEXT("untouched"));
			TestTrue(TEXT("Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));
			TestEqual(TEXT("OutError"), Error.ToString(), FString(TEXT("untouched")));
			TestTrue(TEXT("mounted after"), FTRLModMount::IsMounted(ModName));
			TestEqual(TEXT("mount point"), FTRLModMount::GetMountPoint(ModName), ContentRoot);
			TestTrue(TEXT("content root registered"), FPackageName::MountPointExists(ContentRoot));
		});

		It("succeeds again for a mod already mounted from the same folder and changes nothing", [this]() {
			const FString DescriptorPath = WriteMod(TempDir, ModName);
			FText Error;
			TestTrue(TEXT("first Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));

			Error = FText::FromString(TEXT("untouched"));
			TestTrue(TEXT("second Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));
			TestEqual(TEXT("OutError"), Error.ToString(), FString(TEXT("untouched")));
			TestTrue(TEXT("still mounted"), FTRLModMount::IsMounted(ModName));
			TestEqual(TEXT("mount point"), FTRLModMount::GetMountPoint(ModName), TEXT("/") + ModName + TEXT("/"));
			const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(ModName);
			TestTrue(TEXT("the engine still knows the mod from its folder"),
			         Plugin.IsValid() && FPaths::IsSamePath(Plugin->GetDescriptorFileName(), DescriptorPath));
		});

		It("refuses a descriptor that cannot be read, naming the mod and leaving it unmounted", [this]() {
			const FString DescriptorPath = WriteMod(TempDir, ModName, TEXT("this is not a descriptor {"));
			FText Error;
			TestFalse(TEXT("Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));
			const FString Expected = FString::Printf(TEXT("Could not mount '%s': its descriptor '%s' could not be read."), *ModName, *DescriptorPath);
			TestTrue(FString::Printf(TEXT("OutError \"%s\" starts with \"%s\""), *Error.ToString(), *Expected),
			         Error.ToString().StartsWith(Expected, ESearchCase::CaseSensitive));
			TestFalse(TEXT("mounted"), FTRLModMount::IsMounted(ModName));
			TestFalse(TEXT("content root registered"), FPackageName::MountPointExists(TEXT("/") + ModName + TEXT("/")));
		});

		It("refuses a mod named like a content root the engine already uses", [this]() {
			const FString DescriptorPath = WriteMod(TempDir, TEXT("Game"));
			FText Error;
			TestFalse(TEXT("Mount"), FTRLModMount::Mount(DescriptorPath, TEXT("Game"), Error));
			TestEqual(TEXT("OutError"), Error.ToString(),
			          FString(TEXT("Could not mount 'Game': the engine already uses the content root /Game/. Give the mod another name.")));
			TestFalse(TEXT("the engine has not heard of the mod"), IPluginManager::Get().FindPlugin(TEXT("Game")).IsValid());
		});

		It("refuses a mod whose name a mod in another folder holds, and leaves that one mounted", [this]() {
			const FString FirstPath = WriteMod(TempDir / TEXT("A"), ModName);
			const FString SecondPath = WriteMod(TempDir / TEXT("B"), ModName);
			FText Error;
			TestTrue(TEXT("first Mount"), FTRLModMount::Mount(FirstPath, ModName, Error));

			TestFalse(TEXT("second Mount"), FTRLModMount::Mount(SecondPath, ModName, Error));
			TestEqual(TEXT("OutError"), Error.ToString(),
			          FString::Printf(TEXT("Could not mount '%s': its content root /%s/ belongs to the mod at '%s'. Rename one of the two mods."), *ModName,
			                          *ModName, *FirstPath));
			TestTrue(TEXT("the first mod is still mounted"), FTRLModMount::IsMounted(ModName));
			const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(ModName);
			TestTrue(TEXT("the engine still knows the mod from the first folder"),
			         Plugin.IsValid() && FPaths::IsSamePath(Plugin->GetDescriptorFileName(), FirstPath));
		});
	});

	Describe("IsMounted", [this]() {
		It("is false, with no mount point, for a mod the engine does not know", [this]() {
			TestFalse(TEXT("IsMounted"), FTRLModMount::IsMounted(ModName));
			TestEqual(TEXT("GetMountPoint"), FTRLModMount::GetMountPoint(ModName), FString());
		});
	});
}

#endif
