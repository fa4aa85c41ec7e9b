// A session loads the plug-in as the editor does: the modules its descriptor lists, phase by phase and in the listed
// order within a phase, shut down in reverse; and --without-settings reaches the runtime module as its switch.
#include "HostPlugin.h"
#include "HostSession.h"
#include "Misc/FileHelper.h"
#include "Modules/ModuleManager.h"
#include "ScriptFrontEnd.h"
#include "UObject/Class.h"
#include "UObject/UObjectIterator.h"
#include "UObject/UnrealType.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>

using namespace UE::StandIn::EditorHost;

namespace
{
	class FPluginLoadingTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			std::string Pattern = (std::filesystem::temp_directory_path() / "trellic-loading-XXXXXX").string();
			ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
			Root = FString::FromUtf8(Pattern);
			Output = std::tmpfile();
			FrontEnd = std::make_unique<FScriptFrontEnd>(Output);
			Options.CopyTo = Root / TEXT("Project");
			FString Error;
			ASSERT_TRUE(OpenProject(Options, Project, Error)) << Error.ToUtf8();
			ChangedHandle = FModuleManager::Get().OnModulesChanged().AddLambda([this](FName Module, EModuleChangeReason Reason) {
				(Reason == EModuleChangeReason::ModuleLoaded ? Loaded : Unloaded).Add(Module);
			});
		}

		void TearDown() override
		{
			FModuleManager::Get().OnModulesChanged().Remove(ChangedHandle);
			FrontEnd.reset();
			std::fclose(Output);
			std::error_code Ignored;
			std::filesystem::remove_all(Root.ToUtf8(), Ignored);
		}

		/** Writes a descriptor named Name (a plug-in name is unique in the process) with these module entries. */
		FString WriteDescriptor(const FString& Name, const FString& Modules)
		{
			const FString File = Root / (Name + TEXT(".uplugin"));
			EXPECT_TRUE(FFileHelper::SaveStringToFile(FString(TEXT("{\"FileVersion\": 3, \"Modules\": [")) + Modules + TEXT("]}"), *File));
			return File;
		}

		/** Runs a whole session on the descriptor. @return the plug-in's modules as they loaded, or empty when it would not start. */
		TArray<FName> LoadAndShutDown(const FString& Descriptor, FString& OutError)
		{
			Options.PluginFile = Descriptor;
			Loaded.Empty();
			Unloaded.Empty();
			FHostSession Session(Options, Project, *FrontEnd);
			if (!Session.Start(OutError))
			{
				return {};
			}
			const TArray<FName> Modules = Session.GetPluginModuleNames();
			Session.Shutdown();
			return Loaded.FilterByPredicate([&Modules](const FName& Module) {
				return Modules.Contains(Module);
			});
		}

		FString Root;
		std::FILE* Output = nullptr;
		std::unique_ptr<FScriptFrontEnd> FrontEnd;
		FHostOptions Options;
		FHostProject Project;
		FDelegateHandle ChangedHandle;
		TArray<FName> Loaded;
		TArray<FName> Unloaded;
	};

	const FName Runtime(TEXT("Trellic"));
	const FName Editor(TEXT("TrellicEditor"));

	/** Sets a string field of the reflected settings' class defaults, by names only, as a script could. */
	void SetSettingsDefault(const TCHAR* Field, const FString& Value)
	{
		for (TObjectIterator<UClass> It; It; ++It)
		{
			if (It->GetName().Equals(TEXT("TRLSettings")))
			{
				const FStrProperty* Property = CastField<FStrProperty>(It->FindPropertyByName(FName(Field)));
				ASSERT_NE(Property, nullptr);
				Property->SetPropertyValue_InContainer(It->GetDefaultObject(), Value);
				return;
			}
		}
		FAIL() << "no reflected settings class";
	}
} // namespace

TEST_F(FPluginLoadingTest, LoadsPhaseByPhaseThenInListedOrderAndShutsDownInReverse)
{
	// Listed editor first: the earlier phase still loads the runtime module first. A module that loads in no phase,
	// or only in programs, is neither loaded nor required to exist.
	FString Error;
	const FString ByPhase = WriteDescriptor(TEXT("ByPhase"), TEXT(R"({"Name": "TrellicEditor", "Type": "Editor", "LoadingPhase": "Default"},
		{"Name": "Trellic", "Type": "Runtime", "LoadingPhase": "PreDefault"},
		{"Name": "NotBuiltA", "Type": "Runtime", "LoadingPhase": "None"},
		{"Name": "NotBuiltB", "Type": "Program"})"));
	EXPECT_EQ(LoadAndShutDown(ByPhase, Error), (TArray<FName>{Runtime, Editor})) << Error.ToUtf8();
	EXPECT_EQ(Unloaded.FilterByPredicate([](const FName& Module) {
		return Module == Runtime || Module == Editor;
	}),
	          (TArray<FName>{Editor, Runtime}));

	// One phase: the order the descriptor lists them, even against their dependencies.
	const FString Listed = WriteDescriptor(TEXT("Listed"), TEXT(R"({"Name": "TrellicEditor", "Type": "Editor"}, {"Name": "Trellic", "Type": "Runtime"})"));
	EXPECT_EQ(LoadAndShutDown(Listed, Error), (TArray<FName>{Editor, Runtime})) << Error.ToUtf8();
}

TEST_F(FPluginLoadingTest, RefusesADescriptorThatCannotBeLoadedAndLoadsNothing)
{
	const FString Missing = WriteDescriptor(TEXT("Missing"), TEXT(R"({"Name": "Trellic", "Type": "Runtime"}, {"Name": "NotBuilt", "Type": "Editor"})"));
	FString Error;
	EXPECT_TRUE(LoadAndShutDown(Missing, Error).IsEmpty());
	EXPECT_TRUE(Error.Contains(TEXT("lists the module 'NotBuilt', which this program does not have"))) << Error.ToUtf8();
	EXPECT_TRUE(Loaded.IsEmpty());

	const FString BadPhase = WriteDescriptor(TEXT("BadPhase"), TEXT(R"({"Name": "Trellic", "Type": "Runtime", "LoadingPhase": "Later"})"));
	Error.Empty();
	EXPECT_TRUE(LoadAndShutDown(BadPhase, Error).IsEmpty());
	EXPECT_TRUE(Error.Contains(TEXT("unknown loading phase 'Later'"))) << Error.ToUtf8();
	EXPECT_TRUE(Loaded.IsEmpty());
}

TEST_F(FPluginLoadingTest, WithoutSettingsTheModsRootIgnoresTheSettingsUntilTheSessionEnds)
{
	const FString ProjectMods = Root / TEXT("Project/Mods");
	const FString ProjectAddons = Root / TEXT("Project/Addons");
	{
		Options.bWithoutSettings = true;
		FHostSession Session(Options, Project, *FrontEnd);
		FString Error;
		ASSERT_TRUE(Session.Start(Error)) << Error.ToUtf8();
		SetSettingsDefault(TEXT("ModsDirectory"), TEXT("Addons"));
		EXPECT_TRUE(GetModsRoot(Session.GetPluginModuleNames()).Equals(ProjectMods)) << GetModsRoot(Session.GetPluginModuleNames()).ToUtf8();
	}
	{
		Options.bWithoutSettings = false;
		FHostSession Session(Options, Project, *FrontEnd);
		FString Error;
		ASSERT_TRUE(Session.Start(Error)) << Error.ToUtf8();
		SetSettingsDefault(TEXT("ModsDirectory"), TEXT("Addons"));
		EXPECT_TRUE(GetModsRoot(Session.GetPluginModuleNames()).Equals(ProjectAddons)) << GetModsRoot(Session.GetPluginModuleNames()).ToUtf8();
		SetSettingsDefault(TEXT("ModsDirectory"), TEXT("Mods"));
	}
}
