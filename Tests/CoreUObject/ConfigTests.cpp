#include "HAL/FileManager.h"
#include "Misc/ConfigCacheIni.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "StandIn/OutputDeviceCapture.h"
#include "TestHelpers.h"
#include "TestTypes.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
	const TCHAR* const SettingsSection = TEXT("/Script/CoreUObjectTests.TestSettings");

	/** Puts the given ini texts, in order, in place of the Game branch and rereads the settings defaults. */
	class Config : public ::testing::Test
	{
	protected:
		void TearDown() override
		{
			GConfig->Remove(GGameIni);
			UTestSettings* Defaults = GetMutableDefault<UTestSettings>();
			Defaults->ApiVersion = 1;
			Defaults->Directory = TEXT("Mods");
			Defaults->Visibility = ETestVisibility::Public;
			Defaults->bIncludeEngineContent = false;
			Defaults->bVerbose = true;
			Defaults->Paths.Empty();
			Defaults->Ratio = 0.5;
		}

		static const UTestSettings* Load(std::initializer_list<const TCHAR*> Files)
		{
			FConfigFile Branch;
			for (const TCHAR* File : Files)
			{
				Branch.CombineFromBuffer(File, TEXT("Test.ini"));
			}
			GConfig->SetFile(GGameIni, Branch);
			GetMutableDefault<UTestSettings>()->ReloadConfig();
			return GetDefault<UTestSettings>();
		}

		static TArray<std::string> Paths(const UTestSettings* Settings)
		{
			TArray<std::string> Result;
			for (const FString& Path : Settings->Paths)
			{
				Result.Add(Utf8(Path));
			}
			return Result;
		}
	};
} // namespace

TEST_F(Config, AClassReadsItsSectionAndKeepsDefaultsForAbsentKeys)
{
	const UTestSettings* Settings = Load({TEXT("; The project's settings\n"
	                                           "[/Script/Other.Thing]\n"
	                                           "ApiVersion=99\n"
	                                           "\n"
	                                           "[/Script/CoreUObjectTests.TestSettings]\n"
	                                           "ApiVersion=3\n"
	                                           "Directory=\"Local Mods\"\n"
	                                           "Visibility=FriendsOnly\n"
	                                           "bIncludeEngineContent=True\n"
	                                           "Untouched=Changed\n")});
	EXPECT_EQ(Settings->ApiVersion, 3);
	EXPECT_EQ(Utf8(Settings->Directory), "Local Mods");
	EXPECT_EQ(Settings->Visibility, ETestVisibility::FriendsOnly);
	EXPECT_TRUE(Settings->bIncludeEngineContent);
	EXPECT_TRUE(Settings->bVerbose);
	EXPECT_DOUBLE_EQ(Settings->Ratio, 0.5);
	EXPECT_EQ(Utf8(Settings->Untouched), "Kept");
	EXPECT_TRUE(Settings->Paths.IsEmpty());
}

TEST_F(Config, BooleansReadAsTheEngineReadsThem)
{
	const struct
	{
		const TCHAR* Text;
		bool bExpected;
	} Cases[] = {{TEXT("yes"), true}, {TEXT("NO"), false}, {TEXT("1"), true}, {TEXT("0"), false}, {TEXT("TRUE"), true}, {TEXT("false"), false}};
	for (const auto& Case : Cases)
	{
		const FString Ini =
		    FString(TEXT("[/Script/CoreUObjectTests.TestSettings]\nbIncludeEngineContent=")) + Case.Text + TEXT("\nbVerbose=") + Case.Text + TEXT("\n");
		const UTestSettings* Settings = Load({*Ini});
		EXPECT_EQ(Settings->bIncludeEngineContent, Case.bExpected) << Utf8(FString(Case.Text));
		EXPECT_EQ(Settings->bVerbose, Case.bExpected) << Utf8(FString(Case.Text));
	}
	bool bValue = false;
	EXPECT_TRUE(GConfig->GetBool(SettingsSection, TEXT("bVerbose"), bValue, GGameIni));
}

TEST_F(Config, AValueThatDoesNotReadKeepsTheDefaultAndWarns)
{
	GetDefault<UTestSettings>();
	UE::StandIn::FOutputDeviceCapture Capture;
	const UTestSettings* Settings = Load({TEXT("[/Script/CoreUObjectTests.TestSettings]\nVisibility=Hidden\nApiVersion=three\n")});
	EXPECT_EQ(Settings->Visibility, ETestVisibility::Public);
	EXPECT_EQ(Settings->ApiVersion, 1);
	EXPECT_EQ(Capture.GetLines(ELogVerbosity::Warning).Num(), 2);
}

TEST_F(Config, ArrayPrefixesAddRemoveAndClear)
{
	const UTestSettings* Settings = Load({TEXT("[/Script/CoreUObjectTests.TestSettings]\n"
	                                           "+Paths=A\n"
	                                           "+Paths=B\n"
	                                           "+Paths=A\n"
	                                           ".Paths=A\n"
	                                           "+Paths=C\n"
	                                           "-Paths=B\n")});
	EXPECT_EQ(Paths(Settings), (TArray<std::string>{"A", "A", "C"}));

	Settings = Load({TEXT("[/Script/CoreUObjectTests.TestSettings]\n+Paths=A\n+Paths=B\n"),
	                 TEXT("[/Script/CoreUObjectTests.TestSettings]\n!Paths=ClearArray\n+Paths=D\n")});
	EXPECT_EQ(Paths(Settings), (TArray<std::string>{"D"}));
}

TEST_F(Config, LaterFilesOverrideEarlierOnes)
{
	const UTestSettings* Settings = Load({TEXT("[/Script/CoreUObjectTests.TestSettings]\nApiVersion=2\nDirectory=First\n+Paths=A\n"),
	                                      TEXT("[/Script/CoreUObjectTests.TestSettings]\nApiVersion=5\n+Paths=B\n")});
	EXPECT_EQ(Settings->ApiVersion, 5);
	EXPECT_EQ(Utf8(Settings->Directory), "First");
	EXPECT_EQ(Paths(Settings), (TArray<std::string>{"A", "B"}));

	TArray<FString> Lines;
	ASSERT_TRUE(GConfig->GetSection(SettingsSection, Lines, GGameIni));
	EXPECT_EQ(Lines.Num(), 4);
	FString Directory;
	EXPECT_TRUE(GConfig->GetString(SettingsSection, TEXT("Directory"), Directory, GGameIni));
	EXPECT_FALSE(GConfig->GetString(SettingsSection, TEXT("Missing"), Directory, GGameIni));
	EXPECT_EQ(Utf8(Directory), "First");
}

TEST(ConfigSection, KeepsFileOrderThroughRemovalsAndRepeatedKeys)
{
	// Interleaved keys, then more removals than pairs left, so that the section packs its slots part-way.
	FString Ini(TEXT("[S]\n"));
	for (int32 Index = 0; Index < 10; ++Index)
	{
		Ini += FString::Printf(TEXT("+Paths=P%d\nKey%d=V%d\n"), Index, Index, Index);
	}
	for (int32 Index = 0; Index < 10; Index += 2)
	{
		Ini += FString::Printf(TEXT("-Paths=P%d\n!Key%d=\n"), Index, Index);
	}
	Ini += TEXT("-Paths=P9\nKey1=Changed\n+Paths=P1\n+Paths=New\nKey0=Back\n");
	FConfigFile File;
	File.CombineFromBuffer(Ini, TEXT("Test.ini"));

	const FConfigSection* Section = File.FindSection(TEXT("S"));
	ASSERT_NE(Section, nullptr);
	TArray<std::string> Lines;
	for (const FConfigSection::FPair& Pair : *Section)
	{
		Lines.Add(Utf8(Pair.Key.ToString() + TEXT("=") + Pair.Value.GetValue()));
	}
	EXPECT_EQ(Lines, (TArray<std::string>{"Paths=P1", "Key1=Changed", "Paths=P3", "Key3=V3", "Paths=P5", "Key5=V5", "Paths=P7", "Key7=V7", "Key9=V9",
	                                      "Paths=New", "Key0=Back"}));
	EXPECT_EQ(Section->Num(), 11);
	EXPECT_EQ(Utf8(Section->Find(TEXT("Key1"))->GetValue()), "Changed");
	EXPECT_EQ(Section->Find(TEXT("Key2")), nullptr);
	TArray<FConfigValue> Paths;
	Section->MultiFind(TEXT("Paths"), Paths);
	ASSERT_EQ(Paths.Num(), 5);
	EXPECT_EQ(Utf8(Paths[0].GetValue()), "P1");
	EXPECT_EQ(Utf8(Paths[4].GetValue()), "New");
}

TEST_F(Config, NewObjectsStartFromTheConfiguredDefaults)
{
	Load({TEXT("[/Script/CoreUObjectTests.TestSettings]\nApiVersion=7\n")});
	const UTestSettings* Instance = NewObject<UTestSettings>();
	EXPECT_EQ(Instance->ApiVersion, 7);
}

TEST_F(Config, TheProjectsDefaultAndPlatformFilesAreReadOnceTheProjectIsSet)
{
	const FString PreviousProject = FPaths::GetProjectFilePath();
	const FString Root =
	    FPaths::ConvertRelativePathToFull(FString::FromUtf8(testing::TempDir())) / FString::Printf(TEXT("ConfigProject%d"), static_cast<int32>(getpid()));
	ASSERT_TRUE(IFileManager::Get().MakeDirectory(*(Root / TEXT("Config/Linux")), true));
	ASSERT_TRUE(FFileHelper::SaveStringToFile(TEXT("[/Script/CoreUObjectTests.TestSettings]\r\nApiVersion=4\r\nDirectory=Base\r\n+Paths=A\r\n"),
	                                          *(Root / TEXT("Config/DefaultGame.ini"))));
	ASSERT_TRUE(FFileHelper::SaveStringToFile(TEXT("[/Script/CoreUObjectTests.TestSettings]\nDirectory=Platform\n+Paths=B\n"),
	                                          *(Root / TEXT("Config/Linux/LinuxGame.ini"))));
	FPaths::SetProjectFilePath(Root / TEXT("ConfigProject.uproject"));

	FConfigCacheIni::InitializeConfigSystem();
	GetMutableDefault<UTestSettings>()->ReloadConfig();
	const UTestSettings* Settings = GetDefault<UTestSettings>();
	EXPECT_EQ(Settings->ApiVersion, 4);
	EXPECT_EQ(Utf8(Settings->Directory), "Platform");
	EXPECT_EQ(Paths(Settings), (TArray<std::string>{"A", "B"}));

	FPaths::SetProjectFilePath(PreviousProject);
	FConfigCacheIni::InitializeConfigSystem();
	IFileManager::Get().DeleteDirectory(*Root, false, true);
}

TEST_F(Config, DeveloperSettingsNameTheirSectionAfterTheClass)
{
	const UTestSettings* Settings = GetDefault<UTestSettings>();
	EXPECT_TRUE(UTestSettings::StaticClass()->IsChildOf(UDeveloperSettings::StaticClass()));
	EXPECT_TRUE(UDeveloperSettings::StaticClass()->HasAnyClassFlags(CLASS_Abstract));
	EXPECT_EQ(Utf8(UDeveloperSettings::StaticClass()->GetPathName()), "/Script/DeveloperSettings.DeveloperSettings");
	EXPECT_EQ(Utf8(Settings->GetContainerName()), "Project");
	EXPECT_EQ(Utf8(Settings->GetCategoryName()), "Game");
	EXPECT_EQ(Utf8(Settings->GetSectionName()), "TestSettings");
	EXPECT_EQ(Utf8(Settings->GetSectionText()), "Test Settings");
	EXPECT_EQ(Utf8(Settings->GetSectionDescription()), "Settings read from the project's DefaultGame.ini.");
}
