// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Interfaces/IPluginManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "TRLModMount.h"
#include "TRLTestHelpers.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLModMountSpec, "Trellic.Trellic.TRLModMount", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ModName;

	/** Writes a content-only mod named ModName under Folder/ModName and returns its descriptor's path. */
	FString WriteMod(const FString& Folder, const FString& DescriptorText = FString())
	{
		const FString DescriptorPath = TRLTest::WriteMod(Folder, ModName, ModName, DescriptorText);
		TestFalse(TEXT("the descriptor is written"), DescriptorPath.IsEmpty());
		return DescriptorPath;
	}
END_DEFINE_SPEC(FTRLModMountSpec)

void FTRLModMountSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLModMount"));
		ModName = TRLTest::MakeUniqueModName(TEXT("TRLMountSpecMod"));
	});

	AfterEach([this]() {
		TRLTest::UnmountMod(ModName);
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("Mount", [this]() {
		It("registers the mod's content root and then reports the mod mounted", [this]() {
			const FString DescriptorPath = WriteMod(TempDir);
			const FString ContentRoot = TEXT("/") + ModName + TEXT("/");
			TestFalse(TEXT("mounted before"), FTRLModMount::IsMounted(ModName));

			FText Error = FText::FromString(TEXT("untouched"));
			TestTrue(TEXT("Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(), TEXT("untouched"));
			TestTrue(TEXT("mounted after"), FTRLModMount::IsMounted(ModName));
			TestEqualSensitive(TEXT("mount point"), FTRLModMount::GetMountPoint(ModName), ContentRoot);
			TestTrue(TEXT("content root registered"), FPackageName::MountPointExists(ContentRoot));
		});

		It("succeeds again for a mod already mounted from the same folder and changes nothing", [this]() {
			const FString DescriptorPath = WriteMod(TempDir);
			FText Error;
			TestTrue(TEXT("first Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));

			Error = FText::FromString(TEXT("untouched"));
			TestTrue(TEXT("second Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(), TEXT("untouched"));
			TestTrue(TEXT("still mounted"), FTRLModMount::IsMounted(ModName));
			TestEqualSensitive(TEXT("mount point"), FTRLModMount::GetMountPoint(ModName), TEXT("/") + ModName + TEXT("/"));
			const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(ModName);
			TestTrue(TEXT("the engine still knows the mod from its folder"),
			         Plugin.IsValid() && FPaths::IsSamePath(Plugin->GetDescriptorFileName(), DescriptorPath));
		});

		It("refuses a descriptor that cannot be read, naming the mod and leaving it unmounted", [this]() {
			const FString DescriptorPath = WriteMod(TempDir, TEXT("this is not a descriptor {"));
			FText Error;
			AddExpectedError(TEXT("Failed to load plugin"), EAutomationExpectedErrorFlags::Contains, 1);
			TestFalse(TEXT("Mount"), FTRLModMount::Mount(DescriptorPath, ModName, Error));
			// The engine's own reason follows; its words are the engine's.
			const FString Expected = FString::Printf(TEXT("Could not mount '%s': its descriptor '%s' could not be read. "), *ModName, *DescriptorPath);
			TestEqualSensitive(TEXT("OutError up to the engine's reason"), Error.ToString().Left(Expected.Len()), Expected);
			TestFalse(TEXT("mounted"), FTRLModMount::IsMounted(ModName));
			TestFalse(TEXT("content root registered"), FPackageName::MountPointExists(TEXT("/") + ModName + TEXT("/")));
		});

		It("refuses a mod named like a content root the engine already uses", [this]() {
			const FString DescriptorPath = TRLTest::WriteMod(TempDir, TEXT("Game"), TEXT("Game"));
			FText Error;
			TestFalse(TEXT("Mount"), FTRLModMount::Mount(DescriptorPath, TEXT("Game"), Error));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(),
			                   TEXT("Could not mount 'Game': the engine already uses the content root /Game/. Give the mod another name."));
			TestFalse(TEXT("the engine has not heard of the mod"), IPluginManager::Get().FindPlugin(TEXT("Game")).IsValid());
		});

		It("refuses a mod whose name a mod in another folder holds, and leaves that one mounted", [this]() {
			const FString FirstPath = WriteMod(TempDir / TEXT("A"));
			const FString SecondPath = WriteMod(TempDir / TEXT("B"));
			FText Error;
			TestTrue(TEXT("first Mount"), FTRLModMount::Mount(FirstPath, ModName, Error));

			TestFalse(TEXT("second Mount"), FTRLModMount::Mount(SecondPath, ModName, Error));
			TestEqualSensitive(TEXT("OutError"), Error.ToString(),
			                   FString::Printf(TEXT("Could not mount '%s': its content root /%s/ belongs to the mod at '%s'. Rename one of the two mods."),
			                                   *ModName, *ModName, *FirstPath));
			TestTrue(TEXT("the first mod is still mounted"), FTRLModMount::IsMounted(ModName));
			const TSharedPtr<IPlugin> Plugin = IPluginManager::Get().FindPlugin(ModName);
			TestTrue(TEXT("the engine still knows the mod from the first folder"),
			         Plugin.IsValid() && FPaths::IsSamePath(Plugin->GetDescriptorFileName(), FirstPath));
		});
	});

	Describe("IsMounted", [this]() {
		It("is false, with no mount point, for a mod the engine does not know", [this]() {
			TestFalse(TEXT("IsMounted"), FTRLModMount::IsMounted(ModName));
			TestEqualSensitive(TEXT("GetMountPoint"), FTRLModMount::GetMountPoint(ModName), TEXT(""));
		});
	});
}

#endif
