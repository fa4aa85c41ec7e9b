#include "CoreMinimal.h"
#include "Modules/ModuleManager.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
	std::vector<std::string> GEvents;

	class FRecordingModule : public IModuleInterface
	{
	public:
		explicit FRecordingModule(const char* InName)
		    : Name(InName)
		{
		}
		~FRecordingModule() override { GEvents.push_back(Name + " destroyed"); }
		void StartupModule() override { GEvents.push_back(Name + " startup"); }
		void PreUnloadCallback() override { GEvents.push_back(Name + " pre-unload"); }
		void ShutdownModule() override { GEvents.push_back(Name + " shutdown"); }

		std::string Name;
	};

	class FTestBaseModule : public FRecordingModule
	{
	public:
		FTestBaseModule()
		    : FRecordingModule("Base")
		{
		}
		int32 Answer() const { return 42; }
	};

	// Loads the module it depends on from its start-up, as modules do.
	class FTestDependentModule : public FRecordingModule
	{
	public:
		FTestDependentModule()
		    : FRecordingModule("Dependent")
		{
		}
		void StartupModule() override
		{
			FRecordingModule::StartupModule();
			BaseAnswer = FModuleManager::LoadModuleChecked<FTestBaseModule>(TEXT("TestBase")).Answer();
			bSawItselfLoaded = FModuleManager::Get().IsModuleLoaded(TEXT("TestDependent"));
		}
		int32 BaseAnswer = 0;
		bool bSawItselfLoaded = false;
	};

	class FTestPinnedModule : public FRecordingModule
	{
	public:
		FTestPinnedModule()
		    : FRecordingModule("Pinned")
		{
		}
		bool SupportsAutomaticShutdown() override { return false; }
	};
} // namespace

IMPLEMENT_MODULE(FTestBaseModule, TestBase);
IMPLEMENT_MODULE(FTestDependentModule, TestDependent)
IMPLEMENT_MODULE(FTestPinnedModule, TestPinned);

TEST(FModuleManager, KnowsEveryLinkedModuleButLoadsOnDemand)
{
	FModuleManager& Manager = FModuleManager::Get();
	EXPECT_TRUE(Manager.ModuleExists(TEXT("Core")));
	EXPECT_TRUE(Manager.ModuleExists(TEXT("TestBase")));
	EXPECT_TRUE(Manager.ModuleExists(TEXT("testbase")));
	EXPECT_FALSE(Manager.ModuleExists(TEXT("NoSuchModule")));
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestBase")));
	EXPECT_EQ(Manager.GetModule(TEXT("TestBase")), nullptr);
	EXPECT_EQ(Manager.LoadModule(TEXT("NoSuchModule")), nullptr);
	EXPECT_EQ(FModuleManager::LoadModulePtr<IModuleInterface>(TEXT("NoSuchModule")), nullptr);
}

TEST(FModuleManager, LoadsDependenciesFirstAndUnloadsInReverseOrder)
{
	FModuleManager& Manager = FModuleManager::Get();
	GEvents.clear();
	TArray<FName> Changes;
	const FDelegateHandle ChangesHandle = Manager.OnModulesChanged().AddLambda([&Changes](FName Name, EModuleChangeReason) {
		Changes.Add(Name);
	});

	FTestDependentModule& Dependent = FModuleManager::LoadModuleChecked<FTestDependentModule>(TEXT("TestDependent"));
	EXPECT_EQ(Dependent.BaseAnswer, 42);
	EXPECT_TRUE(Dependent.bSawItselfLoaded);
	EXPECT_TRUE(Manager.IsModuleLoaded(TEXT("TestBase")));
	// Loading again hands out the same instance without starting it again.
	EXPECT_EQ(&Manager.LoadModuleChecked(TEXT("testdependent")), static_cast<IModuleInterface*>(&Dependent));
	EXPECT_EQ(FModuleManager::GetModulePtr<FTestDependentModule>(TEXT("TestDependent")), &Dependent);
	FModuleManager::LoadModuleChecked<FTestPinnedModule>(TEXT("TestPinned"));

	EXPECT_EQ(GEvents, (std::vector<std::string>{"Dependent startup", "Base startup", "Pinned startup"}));
	const TArray<FName> Loaded = Manager.GetLoadedModuleNames();
	const int32 BaseIndex = Loaded.Find(FName(TEXT("TestBase")));
	const int32 DependentIndex = Loaded.Find(FName(TEXT("TestDependent")));
	ASSERT_NE(BaseIndex, INDEX_NONE);
	EXPECT_LT(BaseIndex, DependentIndex);
	EXPECT_EQ(Changes, (TArray<FName>{FName(TEXT("TestBase")), FName(TEXT("TestDependent")), FName(TEXT("TestPinned"))}));

	// The module that loaded last (the one needing the other) goes first; a module without automatic shutdown stays.
	GEvents.clear();
	Manager.UnloadModulesAtShutdown();
	EXPECT_EQ(GEvents, (std::vector<std::string>{"Dependent pre-unload", "Base pre-unload", "Dependent shutdown", "Dependent destroyed", "Base shutdown",
	                                             "Base destroyed"}));
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestDependent")));
	EXPECT_FALSE(Manager.IsModuleLoaded(TEXT("TestBase")));
	EXPECT_TRUE(Manager.IsModuleLoaded(TEXT("TestPinned")));

	GEvents.clear();
	EXPECT_TRUE(Manager.UnloadModule(TEXT("TestPinned")));
	EXPECT_FALSE(Manager.UnloadModule(TEXT("TestPinned")));
	EXPECT_EQ(GEvents, (std::vector<std::string>{"Pinned shutdown", "Pinned destroyed"}));
	Manager.OnModulesChanged().Remove(ChangesHandle);
}

TEST(FModuleManager, ReloadingCreatesAFreshModule)
{
	FModuleManager& Manager = FModuleManager::Get();
	GEvents.clear();
	IModuleInterface* First = Manager.LoadModule(TEXT("TestBase"));
	ASSERT_NE(First, nullptr);
	EXPECT_TRUE(Manager.UnloadModule(TEXT("TestBase")));
	EXPECT_EQ(Manager.GetModule(TEXT("TestBase")), nullptr);
	IModuleInterface* Second = Manager.LoadModule(TEXT("TestBase"));
	ASSERT_NE(Second, nullptr);
	EXPECT_EQ(GEvents, (std::vector<std::string>{"Base startup", "Base shutdown", "Base destroyed", "Base startup"}));
	EXPECT_TRUE(Manager.UnloadModule(TEXT("TestBase")));
}

TEST(FModuleManagerDeathTest, LoadingAMissingModuleCheckedStops)
{
	EXPECT_DEATH(FModuleManager::Get().LoadModuleChecked(TEXT("NoSuchModule")), "NoSuchModule");
}
