#include "ModuleDescriptor.h"
#include "PluginDescriptor.h"

#include <gtest/gtest.h>

namespace
{
	FPluginDescriptor ReadModules(const FString& Modules, bool& bOutRead, FString& OutReason)
	{
		FPluginDescriptor Descriptor;
		FText Reason;
		bOutRead = Descriptor.Read(FString(TEXT("{\"FileVersion\": 3, \"Modules\": ")) + Modules + TEXT("}"), &Reason);
		OutReason = Reason.ToString();
		return Descriptor;
	}
} // namespace

TEST(ModuleDescriptor, ReadsEachModuleInTheListedOrderWithDefaultPhase)
{
	bool bRead = false;
	FString Reason;
	const FPluginDescriptor Descriptor = ReadModules(TEXT(R"([{"Name": "B", "Type": "editor", "LoadingPhase": "predefault"},
		{"Name": "A", "Type": "Runtime"}, {"Name": "C", "Type": "Program", "LoadingPhase": "None"}])"),
	                                                 bRead, Reason);

	ASSERT_TRUE(bRead) << Reason.ToUtf8();
	ASSERT_EQ(Descriptor.Modules.Num(), 3);
	EXPECT_EQ(Descriptor.Modules[0].Name, FName(TEXT("B")));
	EXPECT_EQ(Descriptor.Modules[0].Type, EHostType::Editor);
	EXPECT_EQ(Descriptor.Modules[0].LoadingPhase, ELoadingPhase::PreDefault);
	EXPECT_EQ(Descriptor.Modules[1].Name, FName(TEXT("A")));
	EXPECT_EQ(Descriptor.Modules[1].LoadingPhase, ELoadingPhase::Default);
	EXPECT_EQ(Descriptor.Modules[2].LoadingPhase, ELoadingPhase::None);

	// The editor loads runtime and editor modules alike, never a program's or a cooked game's.
	EXPECT_TRUE(Descriptor.Modules[0].IsLoadedInCurrentConfiguration());
	EXPECT_TRUE(Descriptor.Modules[1].IsLoadedInCurrentConfiguration());
	EXPECT_FALSE(Descriptor.Modules[2].IsLoadedInCurrentConfiguration());
	EXPECT_FALSE(FModuleDescriptor(TEXT("D"), EHostType::CookedOnly).IsLoadedInCurrentConfiguration());
}

TEST(ModuleDescriptor, RefusesAModuleListThatDoesNotSayWhatToLoad)
{
	const struct
	{
		const TCHAR* Modules;
		const TCHAR* Reason;
	} Cases[] = {
	    {TEXT(R"({"Name": "A"})"), TEXT("\"Modules\" is not an array of modules.")},
	    {TEXT(R"(["A"])"), TEXT("An entry of \"Modules\" is not an object.")},
	    {TEXT(R"([{"Type": "Runtime"}])"), TEXT("A module entry has no \"Name\".")},
	    {TEXT(R"([{"Name": "A"}])"), TEXT("The module 'A' has no \"Type\".")},
	    {TEXT(R"([{"Name": "A", "Type": "Game"}])"), TEXT("The module 'A' has the unknown type 'Game'.")},
	    {TEXT(R"([{"Name": "A", "Type": "Runtime", "LoadingPhase": "Soon"}])"), TEXT("The module 'A' has the unknown loading phase 'Soon'.")},
	};
	for (const auto& Case : Cases)
	{
		bool bRead = true;
		FString Reason;
		ReadModules(Case.Modules, bRead, Reason);
		EXPECT_FALSE(bRead) << FString(Case.Modules).ToUtf8();
		EXPECT_TRUE(Reason.Equals(Case.Reason, ESearchCase::CaseSensitive)) << Reason.ToUtf8();
	}

	// A plug-in without code lists no modules at all.
	FPluginDescriptor ContentOnly;
	ASSERT_TRUE(ContentOnly.Read(TEXT("{\"FileVersion\": 3}")));
	EXPECT_TRUE(ContentOnly.Modules.IsEmpty());
}

TEST(PluginDescriptor, RefusesANumberThatDoesNotFitItsField)
{
	const struct
	{
		const TCHAR* Text;
		const TCHAR* Reason;
	} Cases[] = {
	    {TEXT(R"({"FileVersion": 3, "Version": 1e10})"), TEXT("its \"Version\" is not a whole number from -2147483648 to 2147483647.")},
	    {TEXT(R"({"FileVersion": 3, "Version": -2147483649})"), TEXT("its \"Version\" is not a whole number from -2147483648 to 2147483647.")},
	    {TEXT(R"({"FileVersion": 3, "Version": [1]})"), TEXT("its \"Version\" is not a whole number from -2147483648 to 2147483647.")},
	    {TEXT(R"({"FileVersion": 1e10})"), TEXT("it has no valid \"FileVersion\" field.")},
	    {TEXT(R"({"FileVersion": -1e300})"), TEXT("it has no valid \"FileVersion\" field.")},
	};
	for (const auto& Case : Cases)
	{
		FPluginDescriptor Descriptor;
		FText Reason;
		EXPECT_FALSE(Descriptor.Read(Case.Text, &Reason)) << FString(Case.Text).ToUtf8();
		EXPECT_TRUE(Reason.ToString().Equals(Case.Reason, ESearchCase::CaseSensitive)) << Reason.ToString().ToUtf8();
	}

	FPluginDescriptor Largest;
	ASSERT_TRUE(Largest.Read(TEXT(R"({"FileVersion": 3, "Version": 2147483647})")));
	EXPECT_EQ(Largest.Version, 2147483647);
}
