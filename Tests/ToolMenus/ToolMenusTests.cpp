#include "Modules/ModuleManager.h"
#include "StandIn/OutputDeviceCapture.h"
#include "StandIn/ToolMenusHost.h"
#include "ToolMenus.h"
#include <gtest/gtest.h>

using namespace UE::StandIn;

namespace
{
	const FName TestMenu(TEXT("Test.MainMenu.Tools"));
	int32 GStaticCallbackRuns = 0;

	void CountStaticCallback()
	{
		++GStaticCallbackRuns;
	}

	FToolUIActionChoice CountingAction(int32& Counter)
	{
		return FUIAction(FExecuteAction::CreateLambda([&Counter]() {
			++Counter;
		}));
	}

	/** Each test starts with ToolMenus loaded, the host's menus ready and one registered menu. */
	class ToolMenusTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			FModuleManager::Get().LoadModuleChecked(TEXT("ToolMenus"));
			DeclareToolMenusReady();
			UToolMenus::Get()->RegisterMenu(TestMenu);
		}

		void TearDown() override { FModuleManager::Get().UnloadModule(TEXT("ToolMenus")); }

		static TArray<FName> EntryNames(const FDisplayedToolMenu& Menu)
		{
			TArray<FName> Names;
			for (const FDisplayedToolMenuSection& Section : Menu.Sections)
			{
				for (const FDisplayedToolMenuEntry& Entry : Section.Entries)
				{
					Names.Add(Entry.Name);
				}
			}
			return Names;
		}
	};
} // namespace

// First in the file: until the host declares its menus ready, nothing in this program has.
TEST(ToolMenusStartup, CallbacksWaitForTheHostAndTheModuleThenRunOnce)
{
	ASSERT_FALSE(CanExtendToolMenus());
	int32 Observed = 0;
	SetToolMenusStartupObserver([&Observed]() {
		++Observed;
	});
	int32 LambdaRuns = 0;
	const FDelegateHandle Handle = UToolMenus::RegisterStartupCallback(FSimpleMulticastDelegate::FDelegate::CreateStatic(&CountStaticCallback));
	UToolMenus::RegisterStartupCallback(FSimpleMulticastDelegate::FDelegate::CreateLambda([&LambdaRuns]() {
		++LambdaRuns;
	}));
	EXPECT_TRUE(Handle.IsValid());

	DeclareToolMenusReady();
	EXPECT_EQ(GStaticCallbackRuns, 0);
	FModuleManager::Get().LoadModuleChecked(TEXT("ToolMenus"));
	EXPECT_EQ(GStaticCallbackRuns, 1);
	EXPECT_EQ(LambdaRuns, 1);

	// Once menus can be extended, a new callback runs at once, with no handle to give back; earlier ones never run again.
	const FDelegateHandle AtOnce = UToolMenus::RegisterStartupCallback(FSimpleMulticastDelegate::FDelegate::CreateStatic(&CountStaticCallback));
	EXPECT_FALSE(AtOnce.IsValid());
	EXPECT_EQ(GStaticCallbackRuns, 2);
	EXPECT_EQ(LambdaRuns, 1);
	EXPECT_EQ(Observed, 3);
	SetToolMenusStartupObserver(nullptr);
	FModuleManager::Get().UnloadModule(TEXT("ToolMenus"));
}

TEST(ToolMenusStartup, UnregisteredCallbacksNeverRun)
{
	struct FUser
	{
		void Run() { ++Runs; }
		int32 Runs = 0;
	} User;
	int32 ByHandle = 0;
	const FDelegateHandle Handle = UToolMenus::RegisterStartupCallback(FSimpleMulticastDelegate::FDelegate::CreateLambda([&ByHandle]() {
		++ByHandle;
	}));
	UToolMenus::RegisterStartupCallback(FSimpleMulticastDelegate::FDelegate::CreateRaw(&User, &FUser::Run));
	int32 Kept = 0;
	UToolMenus::RegisterStartupCallback(FSimpleMulticastDelegate::FDelegate::CreateLambda([&Kept]() {
		++Kept;
	}));
	UToolMenus::UnRegisterStartupCallback(Handle);
	UToolMenus::UnRegisterStartupCallback(&User);
	// The handle of a callback that ran at once: it names no waiting callback.
	UToolMenus::UnRegisterStartupCallback(FDelegateHandle());
	DeclareToolMenusReady();
	FModuleManager::Get().LoadModuleChecked(TEXT("ToolMenus"));
	EXPECT_EQ(ByHandle, 0);
	EXPECT_EQ(User.Runs, 0);
	EXPECT_EQ(Kept, 1);
	FModuleManager::Get().UnloadModule(TEXT("ToolMenus"));
}

TEST_F(ToolMenusTest, SectionsAndEntriesShowInOrderWithTheirLabels)
{
	int32 Runs = 0;
	UToolMenu* Menu = UToolMenus::Get()->ExtendMenu(TestMenu);
	FToolMenuSection& Section = Menu->FindOrAddSection(TEXT("Mods"), FText::FromString(TEXT("Mods")));
	Section.AddMenuEntry(TEXT("B"), FText::FromString(TEXT("Bee")), FText::FromString(TEXT("tip")), FSlateIcon(), CountingAction(Runs));
	Section.AddMenuEntry(TEXT("A"), FText::FromString(TEXT("Ay")), FText::GetEmpty(), FSlateIcon(), CountingAction(Runs));
	// Label and position apply only when the section is made.
	EXPECT_EQ(&Menu->FindOrAddSection(TEXT("Mods"), FText::FromString(TEXT("Other")), FToolMenuInsert(NAME_None, EToolMenuInsertType::First)), &Section);
	Menu->FindOrAddSection(TEXT("Top"), FText::FromString(TEXT("Top")), FToolMenuInsert(TEXT("Mods"), EToolMenuInsertType::Before)).AddSeparator(TEXT("Line"));
	Menu->FindOrAddSection(TEXT("Empty"));

	const TOptional<FDisplayedToolMenu> Shown = DisplayToolMenu(TestMenu);
	ASSERT_TRUE(Shown.IsSet());
	ASSERT_EQ(Shown->Sections.Num(), 2);
	EXPECT_EQ(Shown->Sections[0].Name, FName(TEXT("Top")));
	EXPECT_EQ(Shown->Sections[1].Label.ToString(), FString(TEXT("Mods")));
	EXPECT_EQ(EntryNames(Shown.GetValue()), (TArray<FName>{TEXT("Line"), TEXT("B"), TEXT("A")}));
	EXPECT_EQ(Shown->FindEntry(TEXT("B"))->ToolTip.ToString(), FString(TEXT("tip")));
	EXPECT_TRUE(Shown->FindEntry(TEXT("A"))->bIsEnabled);

	EXPECT_TRUE(ChooseToolMenuEntry(TestMenu, {TEXT("A")}));
	EXPECT_EQ(Runs, 1);
	EXPECT_FALSE(ChooseToolMenuEntry(TestMenu, {TEXT("Missing")}));
	EXPECT_FALSE(DisplayToolMenu(TEXT("Never.Registered")).IsSet());
}

TEST_F(ToolMenusTest, UnregisteringAnOwnerRemovesOnlyWhatItAdded)
{
	int32 Runs = 0;
	{
		FToolMenuOwnerScoped Scope(FToolMenuOwner(FName(TEXT("Mine"))));
		FToolMenuSection& Section = UToolMenus::Get()->ExtendMenu(TestMenu)->FindOrAddSection(TEXT("Mine"));
		Section.AddMenuEntry(TEXT("MineEntry"), FText::FromString(TEXT("Mine")), FText::GetEmpty(), FSlateIcon(), CountingAction(Runs));
	}
	{
		FToolMenuOwnerScoped Scope(FToolMenuOwner(TEXT("Theirs")));
		FToolMenuSection* Section = UToolMenus::Get()->ExtendMenu(TestMenu)->FindSection(TEXT("Mine"));
		ASSERT_NE(Section, nullptr);
		Section->AddMenuEntry(TEXT("TheirEntry"), FText::FromString(TEXT("Theirs")), FText::GetEmpty(), FSlateIcon(), CountingAction(Runs));
		UToolMenus::Get()->ExtendMenu(TestMenu)->FindOrAddSection(TEXT("TheirSection")).AddSeparator(TEXT("TheirLine"));
	}
	EXPECT_EQ(UToolMenus::Get()->ExtendMenu(TestMenu)->FindSection(TEXT("Mine"))->Owner, FToolMenuOwner(FName(TEXT("Mine"))));

	UToolMenus::UnregisterOwner(FToolMenuOwner(FName(TEXT("Mine"))));
	EXPECT_EQ(EntryNames(DisplayToolMenu(TestMenu).GetValue()), (TArray<FName>{TEXT("TheirEntry"), TEXT("TheirLine")}));
	UToolMenus::Get()->UnregisterOwnerByName(TEXT("Theirs"));
	EXPECT_TRUE(DisplayToolMenu(TestMenu)->Sections.IsEmpty());
	EXPECT_EQ(UToolMenus::Get()->FindMenu(TestMenu)->FindSection(TEXT("TheirSection")), nullptr);
	// Unregistering again, or an owner that never added anything, is harmless.
	UToolMenus::UnregisterOwner(FToolMenuOwner(FName(TEXT("Mine"))));
	UToolMenus::UnregisterOwner(FToolMenuOwner(TEXT("Nobody")));
}

TEST_F(ToolMenusTest, ASubmenuIsFilledAfreshEachTimeItOpens)
{
	int32 Fills = 0;
	TArray<int32> SectionsSeenOnEntry;
	UToolMenus::Get()->ExtendMenu(TestMenu)->FindOrAddSection(TEXT("S")).AddSubMenu(
	    TEXT("Sub"), FText::FromString(TEXT("Sub")), FText::GetEmpty(), FNewToolMenuDelegate::CreateLambda([&Fills, &SectionsSeenOnEntry](UToolMenu* SubMenu) {
		    SectionsSeenOnEntry.Add(SubMenu->Sections.Num());
		    ++Fills;
		    FToolMenuSection& Section = SubMenu->FindOrAddSection(TEXT("Inner"));
		    Section.AddMenuEntry(FName(FString::Printf(TEXT("Fill%d"), Fills)), FText::GetEmpty(), FText::GetEmpty(), FSlateIcon(), FUIAction());
	    }));

	const TOptional<FDisplayedToolMenu> Top = DisplayToolMenu(TestMenu);
	EXPECT_EQ(Fills, 0);
	EXPECT_TRUE(Top->FindEntry(TEXT("Sub"))->bIsSubMenu);
	EXPECT_FALSE(Top->FindEntry(TEXT("Sub"))->bOpenSubMenuOnClick);
	EXPECT_TRUE(Top->FindEntry(TEXT("Sub"))->bShouldCloseWindowAfterMenuSelection);

	EXPECT_EQ(EntryNames(DisplayToolMenu(TestMenu, {TEXT("Sub")}).GetValue()), (TArray<FName>{TEXT("Fill1")}));
	EXPECT_EQ(EntryNames(DisplayToolMenu(TestMenu, {TEXT("Sub")}).GetValue()), (TArray<FName>{TEXT("Fill2")}));
	EXPECT_EQ(SectionsSeenOnEntry, (TArray<int32>{0, 0}));
	EXPECT_FALSE(DisplayToolMenu(TestMenu, {TEXT("NoSuchSub")}).IsSet());
}

TEST_F(ToolMenusTest, ARemovedMenuIsGoneWithItsSectionsAndCanBeRegisteredAfresh)
{
	UToolMenus::Get()
	    ->RegisterMenu(TEXT("Scratch"))
	    ->FindOrAddSection(TEXT("S"))
	    .AddMenuEntry(TEXT("E"), FText::GetEmpty(), FText::GetEmpty(), FSlateIcon(), FUIAction());
	UToolMenus::Get()->RemoveMenu(TEXT("Scratch"));
	EXPECT_EQ(UToolMenus::Get()->FindMenu(TEXT("Scratch")), nullptr);
	EXPECT_FALSE(UToolMenus::Get()->IsMenuRegistered(TEXT("Scratch")));
	EXPECT_TRUE(UToolMenus::Get()->RegisterMenu(TEXT("Scratch"))->Sections.IsEmpty());
	// Other menus stay, and an unknown name is ignored.
	UToolMenus::Get()->RemoveMenu(TEXT("NoSuchMenu"));
	EXPECT_TRUE(UToolMenus::Get()->IsMenuRegistered(TestMenu));
}

TEST_F(ToolMenusTest, CanExecuteIsAskedOnEveryDisplay)
{
	int32 Asked = 0;
	bool bAllowed = false;
	int32 Runs = 0;
	const FUIAction Action(FExecuteAction::CreateLambda([&Runs]() {
		                       ++Runs;
	                       }),
	                       FCanExecuteAction::CreateLambda([&Asked, &bAllowed]() {
		                       ++Asked;
		                       return bAllowed;
	                       }));
	UToolMenus::Get()->ExtendMenu(TestMenu)->FindOrAddSection(TEXT("S")).AddMenuEntry(TEXT("Gated"), FText::GetEmpty(), FText::GetEmpty(), FSlateIcon(),
	                                                                                  Action);

	EXPECT_FALSE(DisplayToolMenu(TestMenu)->FindEntry(TEXT("Gated"))->bIsEnabled);
	EXPECT_FALSE(ChooseToolMenuEntry(TestMenu, {TEXT("Gated")}));
	EXPECT_EQ(Runs, 0);
	bAllowed = true;
	EXPECT_TRUE(DisplayToolMenu(TestMenu)->FindEntry(TEXT("Gated"))->bIsEnabled);
	EXPECT_TRUE(ChooseToolMenuEntry(TestMenu, {TEXT("Gated")}));
	EXPECT_EQ(Runs, 1);
	EXPECT_EQ(Asked, 4);
}

TEST_F(ToolMenusTest, AfterUnloadingNothingIsReachableAndStaleCallsAreReported)
{
	UToolMenu* Stale = UToolMenus::Get()->ExtendMenu(TestMenu);
	FModuleManager::Get().UnloadModule(TEXT("ToolMenus"));
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(TEXT("ToolMenus")));
	EXPECT_EQ(UToolMenus::Get(), nullptr);
	EXPECT_EQ(UToolMenus::TryGet(), nullptr);
	EXPECT_FALSE(DisplayToolMenu(TestMenu).IsSet());

	UE::StandIn::FOutputDeviceCapture Capture;
	UToolMenus::UnregisterOwner(FToolMenuOwner(TEXT("Anyone")));
	EXPECT_EQ(Capture.Num(), 0);
	Stale->FindOrAddSection(TEXT("Late"));
	const TArray<UE::StandIn::FCapturedLogLine> Errors = Capture.GetLines(ELogVerbosity::Error);
	ASSERT_EQ(Errors.Num(), 1);
	EXPECT_TRUE(Errors[0].Message.Contains(TEXT("UToolMenu::FindOrAddSection")));

	// A fresh load starts with no menus; the old menu is still reported.
	FModuleManager::Get().LoadModuleChecked(TEXT("ToolMenus"));
	EXPECT_EQ(UToolMenus::Get()->FindMenu(TestMenu), nullptr);
	Capture.Clear();
	Stale->FindSection(TEXT("Late"));
	EXPECT_EQ(Capture.GetLines(ELogVerbosity::Error).Num(), 1);
}

TEST_F(ToolMenusTest, AChildMenuShowsItsParentsSectionsFirstAndMergesSectionsOfOneName)
{
	int32 Runs = 0;
	UToolMenus* Menus = UToolMenus::Get();
	Menus->ExtendMenu(TestMenu)
	    ->FindOrAddSection(TEXT("Shared"), FText::FromString(TEXT("Shared")))
	    .AddMenuEntry(TEXT("FromParent"), FText::GetEmpty(), FText::GetEmpty(), FSlateIcon(), CountingAction(Runs));
	UToolMenu* Child = Menus->RegisterMenu(TEXT("Test.Child"), TestMenu);
	FToolMenuSection& Shared = Child->FindOrAddSection(TEXT("Shared"));
	Shared.AddMenuEntry(TEXT("FromChild"), FText::GetEmpty(), FText::GetEmpty(), FSlateIcon(), CountingAction(Runs));
	Shared.AddMenuEntry(TEXT("Early"), FText::GetEmpty(), FText::GetEmpty(), FSlateIcon(), CountingAction(Runs)).InsertPosition =
	    FToolMenuInsert(TEXT("FromParent"), EToolMenuInsertType::After);
	// An entry of a name already in the section replaces it in place.
	Shared.AddMenuEntry(TEXT("FromChild"), FText::FromString(TEXT("Replaced")), FText::GetEmpty(), FSlateIcon(), CountingAction(Runs));
	EXPECT_EQ(Shared.Blocks.Num(), 2);

	const TOptional<FDisplayedToolMenu> Shown = DisplayToolMenu(TEXT("Test.Child"));
	ASSERT_TRUE(Shown.IsSet());
	ASSERT_EQ(Shown->Sections.Num(), 1);
	EXPECT_EQ(Shown->Sections[0].Label.ToString(), FString(TEXT("Shared")));
	EXPECT_EQ(EntryNames(Shown.GetValue()), (TArray<FName>{TEXT("FromParent"), TEXT("Early"), TEXT("FromChild")}));
	EXPECT_EQ(Shown->FindEntry(TEXT("FromChild"))->Label.ToString(), FString(TEXT("Replaced")));

	UE::StandIn::FOutputDeviceCapture Capture;
	EXPECT_EQ(Menus->RegisterMenu(TEXT("Test.Child")), Child);
	EXPECT_EQ(Capture.GetLines(ELogVerbosity::Warning).Num(), 1);
}

TEST_F(ToolMenusTest, ASubmenuWithADisabledActionCannotBeOpened)
{
	int32 Fills = 0;
	const FUIAction Disabled(FExecuteAction(), FCanExecuteAction::CreateLambda([]() {
		                         return false;
	                         }));
	UToolMenus::Get()->ExtendMenu(TestMenu)->FindOrAddSection(TEXT("S")).AddSubMenu(TEXT("Locked"), FText::GetEmpty(), FText::GetEmpty(),
	                                                                                FNewToolMenuDelegate::CreateLambda([&Fills](UToolMenu*) {
		                                                                                ++Fills;
	                                                                                }),
	                                                                                Disabled, EUserInterfaceActionType::Button, true);
	const TOptional<FDisplayedToolMenu> Top = DisplayToolMenu(TestMenu);
	EXPECT_FALSE(Top->FindEntry(TEXT("Locked"))->bIsEnabled);
	EXPECT_TRUE(Top->FindEntry(TEXT("Locked"))->bOpenSubMenuOnClick);
	EXPECT_FALSE(DisplayToolMenu(TestMenu, {TEXT("Locked")}).IsSet());
	EXPECT_EQ(Fills, 0);
}
