// Runs the automation specs linked into this program under GoogleTest: every It is a test case of its own,
// named "<spec name>.<Describe ...> <It>", so that ctest lists, selects and reports each one. With --dpi-scale=<factor>
// the specs run as on a monitor scaled by that factor, where new windows open larger than asked.

#include "Misc/AutomationTest.h"
#ifdef TRL_SPEC_MODULE_UNDER_TEST
#include "Modules/ModuleManager.h"

#ifdef TRL_SPEC_RUNNER_EDITOR_MENUS
#include "StandIn/ToolMenusHost.h"
#include "ToolMenus.h"
#endif
#endif

#include <gtest/gtest.h>

#ifdef TRL_SPEC_RUNNER_SLATE
#include "StandIn/SlateApplicationHost.h"
#endif

#include "StandIn/AutomationTestRunner.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
	// Characters that a GoogleTest filter or ctest's test discovery would read as syntax.
	FString MakeCaseName(const FString& Name)
	{
		FString Result;
		for (const TCHAR Char : Name)
		{
			const bool bSyntax = Char == TEXT('-') || Char == TEXT(':') || Char == TEXT('*') || Char == TEXT('?') || Char == TEXT('#') || Char == TEXT(';') ||
			                     Char == TEXT('[') || Char == TEXT(']') || Char == TEXT('\\') || Char == TEXT('"') || Char == TEXT('\n') || Char == TEXT('\r');
			Result.AppendChar(bSyntax ? TEXT('_') : Char);
		}
		return Result;
	}

	class FSpecCaseTest : public testing::Test
	{
	public:
		explicit FSpecCaseTest(UE::StandIn::FAutomationTestCase InCase)
		    : Case(MoveTemp(InCase))
		{
		}

		void TestBody() override
		{
			const UE::StandIn::FAutomationTestCaseResult Result = UE::StandIn::RunAutomationTestCase(Case);
			for (const FString& Info : Result.Infos)
			{
				std::printf("Info: %s\n", Info.ToUtf8().c_str());
			}
			for (const FString& Warning : Result.Warnings)
			{
				std::printf("Warning: %s\n", Warning.ToUtf8().c_str());
			}
			for (const FString& Error : Result.Errors)
			{
				ADD_FAILURE_AT(Case.SourceFile.ToUtf8().c_str(), Case.SourceLine) << Error.ToUtf8();
			}
			EXPECT_TRUE(Result.bSucceeded) << "The case recorded errors.";
		}

	private:
		UE::StandIn::FAutomationTestCase Case;
	};

	// A module's runner links the modules it depends on whole, specs included; each spec runs once, in its own module's runner.
	bool IsCaseOfModuleUnderTest(const UE::StandIn::FAutomationTestCase& Case)
	{
#ifdef TRL_SPEC_MODULE_UNDER_TEST
		FString SourceFile = Case.SourceFile;
		SourceFile.ReplaceInline(TEXT("\\"), TEXT("/"));
		return SourceFile.Contains(FString(TEXT("/")) + TEXT(TRL_SPEC_MODULE_UNDER_TEST) + TEXT("/Private/"), ESearchCase::CaseSensitive);
#else
		(void)Case;
		return true;
#endif
	}

	// The editor's menus are up and can be extended before any plug-in module starts.
	void StartEditorMenus()
	{
#ifdef TRL_SPEC_RUNNER_EDITOR_MENUS
		FModuleManager::Get().LoadModule(TEXT("ToolMenus"));
		if (UToolMenus* ToolMenus = UToolMenus::Get())
		{
			if (!ToolMenus->IsMenuRegistered(TEXT("LevelEditor.MainMenu.Tools")))
			{
				ToolMenus->RegisterMenu(TEXT("LevelEditor.MainMenu.Tools"));
			}
		}
		UE::StandIn::DeclareToolMenusReady();
#endif
	}

	// The desktop's scale is the runner's to choose: --dpi-scale=<factor>, above 0. @return false for a switch it cannot read.
	bool ApplyDesktopSwitches(int ArgC, char** ArgV)
	{
		constexpr const char* DpiScaleSwitch = "--dpi-scale";
		const size_t SwitchLength = std::strlen(DpiScaleSwitch);
		for (int Index = 1; Index < ArgC; ++Index)
		{
			if (std::strncmp(ArgV[Index], DpiScaleSwitch, SwitchLength) != 0 || ArgV[Index][SwitchLength] != '=')
			{
				continue;
			}
			const char* Value = ArgV[Index] + SwitchLength + 1;
			char* End = nullptr;
			const float Scale = std::strtof(Value, &End);
			if (End == Value || *End != '\0' || !(Scale > 0.0f))
			{
				std::fprintf(stderr, "%s: '%s' is not a scale. Give a number above 0, such as 1.5.\n", DpiScaleSwitch, Value);
				return false;
			}
#ifdef TRL_SPEC_RUNNER_SLATE
			UE::StandIn::SetMonitorDPIScale(Scale);
#else
			std::fprintf(stderr, "%s: these specs open no windows, so a monitor's scale means nothing to them.\n", DpiScaleSwitch);
			return false;
#endif
		}
		return true;
	}

	// The editor has every module of the plug-in started before a test runs; so does this runner.
	void StartModuleUnderTest()
	{
#ifdef TRL_SPEC_MODULE_UNDER_TEST
		FModuleManager::Get().LoadModule(TEXT(TRL_SPEC_MODULE_UNDER_TEST));
#endif
	}
} // namespace

int main(int ArgC, char** ArgV)
{
	testing::InitGoogleTest(&ArgC, ArgV);
	if (!ApplyDesktopSwitches(ArgC, ArgV))
	{
		return 2;
	}
	for (const UE::StandIn::FAutomationTestCase& Case : UE::StandIn::GetAutomationTestCases())
	{
		if (!IsCaseOfModuleUnderTest(Case))
		{
			continue;
		}
		const std::string SuiteName = MakeCaseName(Case.TestName).ToUtf8();
		const std::string CaseName = MakeCaseName(Case.CaseName).ToUtf8();
		testing::RegisterTest(SuiteName.c_str(), CaseName.c_str(), nullptr, nullptr, Case.SourceFile.ToUtf8().c_str(), Case.SourceLine,
		                      [Case]() -> testing::Test* {
			                      return new FSpecCaseTest(Case);
		                      });
	}
	if (!GTEST_FLAG_GET(list_tests))
	{
		StartEditorMenus();
		StartModuleUnderTest();
	}
	return RUN_ALL_TESTS();
}
