#include "ToolMenus.h"

#include "ToolMenusInternal.h"
#include <cwchar>

using namespace UE::ToolMenus::Private;

namespace
{
	FToolMenuOwner CurrentOwnerOnStack()
	{
		const TArray<FToolMenuOwner>& Stack = GetOwnerStack();
		return Stack.IsEmpty() ? FToolMenuOwner() : Stack.Last();
	}
} // namespace

FToolMenuOwner::FToolMenuOwner(void* InPointer)
    : ValueType(InPointer ? EValueType::Pointer : EValueType::None)
    , Pointer(InPointer)
{
}

FToolMenuOwner::FToolMenuOwner(const WIDECHAR* InValue)
{
	// Owner names are plain identifiers; each wide character becomes one UTF-16 unit.
	FString Converted;
	for (const WIDECHAR* Char = InValue; Char && *Char; ++Char)
	{
		const TCHAR Unit[2] = {static_cast<TCHAR>(*Char), 0};
		Converted += Unit;
	}
	*this = FToolMenuOwner(FName(Converted));
}

FToolMenuOwner::FToolMenuOwner(const ANSICHAR* InValue)
    : FToolMenuOwner(FName(InValue))
{
}

FToolMenuOwner::FToolMenuOwner(const TCHAR* InValue)
    : FToolMenuOwner(FName(InValue))
{
}

FToolMenuOwner::FToolMenuOwner(const FName InValue)
    : ValueType(InValue.IsNone() ? EValueType::None : EValueType::Name)
    , Name(InValue)
{
}

bool FToolMenuOwner::operator==(const FToolMenuOwner& Other) const
{
	if (ValueType != Other.ValueType)
	{
		return false;
	}
	switch (ValueType)
	{
		case EValueType::Pointer:
			return Pointer == Other.Pointer;
		case EValueType::Name:
			return Name == Other.Name;
		case EValueType::None:
			break;
	}
	return true;
}

FToolMenuEntry FToolMenuEntry::InitMenuEntry(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip,
                                             const TAttribute<FSlateIcon>& InIcon, const FToolUIActionChoice& InAction,
                                             const EUserInterfaceActionType UserInterfaceActionType, const FName InTutorialHighlightName)
{
	FToolMenuEntry Entry(CurrentOwnerOnStack(), InName, EMultiBlockType::MenuEntry);
	Entry.Label = InLabel;
	Entry.ToolTip = InToolTip;
	Entry.Icon = InIcon;
	Entry.Action = InAction;
	Entry.UserInterfaceActionType = UserInterfaceActionType;
	Entry.TutorialHighlightName = InTutorialHighlightName;
	return Entry;
}

FToolMenuEntry FToolMenuEntry::InitSubMenu(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip,
                                           const FNewToolMenuChoice& InMakeMenu, bool bInOpenSubMenuOnClick, const TAttribute<FSlateIcon>& InIcon,
                                           const bool bShouldCloseWindowAfterMenuSelection, const FName InTutorialHighlightName)
{
	FToolMenuEntry Entry(CurrentOwnerOnStack(), InName, EMultiBlockType::MenuEntry);
	Entry.Label = InLabel;
	Entry.ToolTip = InToolTip;
	Entry.Icon = InIcon;
	Entry.SubMenuData.bIsSubMenu = true;
	Entry.SubMenuData.bOpenSubMenuOnClick = bInOpenSubMenuOnClick;
	Entry.SubMenuData.ConstructMenu = InMakeMenu;
	Entry.bShouldCloseWindowAfterMenuSelection = bShouldCloseWindowAfterMenuSelection;
	Entry.TutorialHighlightName = InTutorialHighlightName;
	return Entry;
}

FToolMenuEntry FToolMenuEntry::InitSeparator(const FName InName)
{
	return FToolMenuEntry(CurrentOwnerOnStack(), InName, EMultiBlockType::Separator);
}

FToolMenuEntry& FToolMenuSection::AddEntry(const FToolMenuEntry& Args)
{
	ReportIfNotLive(ModuleGeneration, TEXT("FToolMenuSection::AddEntry"));
	return AddEntryInternal(FToolMenuEntry(Args));
}

// Takes the entry by value and moves it in: menus are filled afresh on every opening, so each copy counts.
FToolMenuEntry& FToolMenuSection::AddEntryInternal(FToolMenuEntry Entry)
{
	if (!Entry.Owner.IsSet())
	{
		Entry.Owner = CurrentOwnerOnStack();
	}
	if (Entry.Name != NAME_None)
	{
		if (FToolMenuEntry* Existing = FindEntryInternal(Entry.Name))
		{
			*Existing = MoveTemp(Entry);
			return *Existing;
		}
	}
	return Blocks.Add_GetRef(MoveTemp(Entry));
}

FToolMenuEntry& FToolMenuSection::AddMenuEntry(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip,
                                               const TAttribute<FSlateIcon>& InIcon, const FToolUIActionChoice& InAction,
                                               const EUserInterfaceActionType UserInterfaceActionType, const FName InTutorialHighlightName,
                                               const TOptional<FText>& InInputBindingOverride)
{
	ReportIfNotLive(ModuleGeneration, TEXT("FToolMenuSection::AddMenuEntry"));
	FToolMenuEntry Entry = FToolMenuEntry::InitMenuEntry(InName, InLabel, InToolTip, InIcon, InAction, UserInterfaceActionType, InTutorialHighlightName);
	Entry.InputBindingLabel = InInputBindingOverride;
	return AddEntryInternal(MoveTemp(Entry));
}

FToolMenuEntry& FToolMenuSection::AddSubMenu(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip,
                                             const FNewToolMenuChoice& InMakeMenu, bool bInOpenSubMenuOnClick, const TAttribute<FSlateIcon>& InIcon,
                                             const bool bShouldCloseWindowAfterMenuSelection, const FName InTutorialHighlightName)
{
	ReportIfNotLive(ModuleGeneration, TEXT("FToolMenuSection::AddSubMenu"));
	return AddEntryInternal(FToolMenuEntry::InitSubMenu(InName, InLabel, InToolTip, InMakeMenu, bInOpenSubMenuOnClick, InIcon,
	                                                    bShouldCloseWindowAfterMenuSelection, InTutorialHighlightName));
}

FToolMenuEntry& FToolMenuSection::AddSubMenu(const FName InName, const TAttribute<FText>& InLabel, const TAttribute<FText>& InToolTip,
                                             const FNewToolMenuChoice& InMakeMenu, const FToolUIActionChoice& InAction,
                                             const EUserInterfaceActionType InUserInterfaceActionType, bool bInOpenSubMenuOnClick,
                                             const TAttribute<FSlateIcon>& InIcon, const bool bShouldCloseWindowAfterMenuSelection)
{
	ReportIfNotLive(ModuleGeneration, TEXT("FToolMenuSection::AddSubMenu"));
	FToolMenuEntry Entry =
	    FToolMenuEntry::InitSubMenu(InName, InLabel, InToolTip, InMakeMenu, bInOpenSubMenuOnClick, InIcon, bShouldCloseWindowAfterMenuSelection);
	Entry.Action = InAction;
	Entry.UserInterfaceActionType = InUserInterfaceActionType;
	return AddEntryInternal(MoveTemp(Entry));
}

FToolMenuEntry& FToolMenuSection::AddSeparator(const FName InName)
{
	ReportIfNotLive(ModuleGeneration, TEXT("FToolMenuSection::AddSeparator"));
	return AddEntryInternal(FToolMenuEntry::InitSeparator(InName));
}

FToolMenuEntry* FToolMenuSection::FindEntry(const FName InName)
{
	ReportIfNotLive(ModuleGeneration, TEXT("FToolMenuSection::FindEntry"));
	return FindEntryInternal(InName);
}

FToolMenuEntry* FToolMenuSection::FindEntryInternal(const FName InName)
{
	for (FToolMenuEntry& Entry : Blocks)
	{
		if (Entry.Name == InName)
		{
			return &Entry;
		}
	}
	return nullptr;
}

UToolMenu::UToolMenu()
    : ModuleGeneration(GetLiveGeneration())
{
}

FToolMenuSection& UToolMenu::FindOrAddSection(const FName SectionName)
{
	ReportIfNotLive(ModuleGeneration, TEXT("UToolMenu::FindOrAddSection"));
	return FindOrAddSectionInternal(SectionName, TAttribute<FText>(), FToolMenuInsert());
}

FToolMenuSection& UToolMenu::FindOrAddSection(const FName SectionName, const TAttribute<FText>& InLabel, const FToolMenuInsert InPosition)
{
	ReportIfNotLive(ModuleGeneration, TEXT("UToolMenu::FindOrAddSection"));
	return FindOrAddSectionInternal(SectionName, InLabel, InPosition);
}

FToolMenuSection& UToolMenu::FindOrAddSectionInternal(const FName SectionName, const TAttribute<FText>& InLabel, const FToolMenuInsert InPosition)
{
	if (FToolMenuSection* Existing = FindSectionInternal(SectionName))
	{
		return *Existing;
	}
	return AddSectionInternal(SectionName, InLabel, InPosition);
}

FToolMenuSection& UToolMenu::AddSection(const FName SectionName, const TAttribute<FText>& InLabel, const FToolMenuInsert InPosition)
{
	ReportIfNotLive(ModuleGeneration, TEXT("UToolMenu::AddSection"));
	return AddSectionInternal(SectionName, InLabel, InPosition);
}

FToolMenuSection& UToolMenu::AddSectionInternal(const FName SectionName, const TAttribute<FText>& InLabel, const FToolMenuInsert InPosition)
{
	if (FToolMenuSection* Existing = FindSectionInternal(SectionName))
	{
		if (InLabel.IsSet())
		{
			Existing->Label = InLabel;
		}
		if (!InPosition.IsDefault())
		{
			Existing->InsertPosition = InPosition;
		}
		return *Existing;
	}
	FToolMenuSection Section;
	Section.Name = SectionName;
	Section.Label = InLabel;
	Section.InsertPosition = InPosition;
	Section.ModuleGeneration = ModuleGeneration;
	Section.Owner = CurrentOwnerOnStack();
	return Sections.Add_GetRef(Section);
}

FToolMenuSection* UToolMenu::FindSection(const FName SectionName)
{
	ReportIfNotLive(ModuleGeneration, TEXT("UToolMenu::FindSection"));
	return FindSectionInternal(SectionName);
}

FToolMenuSection* UToolMenu::FindSectionInternal(const FName SectionName)
{
	for (FToolMenuSection& Section : Sections)
	{
		if (Section.Name == SectionName)
		{
			return &Section;
		}
	}
	return nullptr;
}

void UToolMenu::RemoveSection(const FName SectionName)
{
	ReportIfNotLive(ModuleGeneration, TEXT("UToolMenu::RemoveSection"));
	Sections.RemoveAll([SectionName](const FToolMenuSection& Section) {
		return Section.Name == SectionName;
	});
}

int32 UToolMenus::GetGeneration() const
{
	return this == GetLiveInstance() ? GetLiveGeneration() : 0;
}

UToolMenus* UToolMenus::Get()
{
	return GetLiveInstance();
}

UToolMenus* UToolMenus::TryGet()
{
	return GetLiveInstance();
}

void UToolMenus::UnregisterOwner(FToolMenuOwner Owner)
{
	if (UToolMenus* ToolMenus = GetLiveInstance())
	{
		ToolMenus->RemoveOwnerExtensions(Owner);
	}
}

void UToolMenus::UnregisterOwnerByName(FName InOwnerName)
{
	if (!ReportIfNotLive(GetGeneration(), TEXT("UToolMenus::UnregisterOwnerByName")))
	{
		RemoveOwnerExtensions(FToolMenuOwner(InOwnerName));
	}
}

bool UToolMenus::IsToolMenuUIEnabled()
{
	// The stand-in is always the editor with Slate running.
	return true;
}

FDelegateHandle UToolMenus::RegisterStartupCallback(const FSimpleMulticastDelegate::FDelegate& InDelegate)
{
	if (CanRunStartupCallbacks())
	{
		// Nothing is left to unregister, so the engine hands back no handle.
		RunStartupCallback(InDelegate);
		return FDelegateHandle();
	}
	return AddStartupCallback(InDelegate);
}

void UToolMenus::UnRegisterStartupCallback(FDelegateUserObjectConst UserPointer)
{
	RemoveStartupCallbacksOf(UserPointer);
}

void UToolMenus::UnRegisterStartupCallback(FDelegateHandle InHandle)
{
	RemoveStartupCallback(InHandle);
}

UToolMenu* UToolMenus::FindMenuInternal(const FName Name) const
{
	const TSharedPtr<UToolMenu>* Found = Menus.Find(Name);
	return Found ? Found->Get() : nullptr;
}

UToolMenu* UToolMenus::FindOrMakeMenu(const FName Name)
{
	if (UToolMenu* Existing = FindMenuInternal(Name))
	{
		return Existing;
	}
	TSharedPtr<UToolMenu> Menu = MakeShared<UToolMenu>();
	Menu->MenuName = Name;
	Menus.Add(Name, Menu);
	return Menu.Get();
}

UToolMenu* UToolMenus::ExtendMenu(const FName Name)
{
	ReportIfNotLive(GetGeneration(), TEXT("UToolMenus::ExtendMenu"));
	return FindOrMakeMenu(Name);
}

UToolMenu* UToolMenus::RegisterMenu(FName Name, const FName Parent, EMultiBoxType Type, bool bWarnIfAlreadyRegistered)
{
	ReportIfNotLive(GetGeneration(), TEXT("UToolMenus::RegisterMenu"));
	UToolMenu* Menu = FindOrMakeMenu(Name);
	if (Menu->bRegistered)
	{
		if (bWarnIfAlreadyRegistered)
		{
			UE_LOG(LogToolMenus, Warning, TEXT("Menu already registered: %s"), *Name.ToString());
		}
		return Menu;
	}
	Menu->bRegistered = true;
	Menu->MenuParent = Parent;
	Menu->MenuType = Type;
	return Menu;
}

UToolMenu* UToolMenus::FindMenu(const FName Name)
{
	ReportIfNotLive(GetGeneration(), TEXT("UToolMenus::FindMenu"));
	return FindMenuInternal(Name);
}

void UToolMenus::RemoveMenu(const FName MenuName)
{
	ReportIfNotLive(GetGeneration(), TEXT("UToolMenus::RemoveMenu"));
	Menus.Remove(MenuName);
}

bool UToolMenus::IsMenuRegistered(const FName Name) const
{
	const UToolMenu* Menu = FindMenuInternal(Name);
	return Menu && Menu->IsRegistered();
}

bool UToolMenus::RefreshMenuWidget(const FName Name)
{
	ReportIfNotLive(GetGeneration(), TEXT("UToolMenus::RefreshMenuWidget"));
	// Menus are generated afresh each time they are displayed, so there is no widget to rebuild.
	return IsMenuRegistered(Name);
}

void UToolMenus::RefreshAllWidgets()
{
	ReportIfNotLive(GetGeneration(), TEXT("UToolMenus::RefreshAllWidgets"));
}

void UToolMenus::PushOwner(const FToolMenuOwner InOwner)
{
	GetOwnerStack().Add(InOwner);
}

void UToolMenus::PopOwner(const FToolMenuOwner InOwner)
{
	TArray<FToolMenuOwner>& Stack = GetOwnerStack();
	if (ensure(!Stack.IsEmpty() && Stack.Last() == InOwner))
	{
		Stack.Pop();
	}
}

FToolMenuOwner UToolMenus::CurrentOwner() const
{
	return CurrentOwnerOnStack();
}

void UToolMenus::RemoveOwnerExtensions(const FToolMenuOwner& Owner)
{
	if (!Owner.IsSet())
	{
		return;
	}
	for (auto& Pair : Menus)
	{
		TArray<FToolMenuSection>& Sections = Pair.Value->Sections;
		for (FToolMenuSection& Section : Sections)
		{
			Section.Blocks.RemoveAll([&Owner](const FToolMenuEntry& Entry) {
				return Entry.Owner == Owner;
			});
		}
		// A section of this owner that still holds another owner's entries stays, for their sake.
		Sections.RemoveAll([&Owner](const FToolMenuSection& Section) {
			return Section.Owner == Owner && Section.Blocks.IsEmpty();
		});
	}
}

FToolMenuOwnerScoped::FToolMenuOwnerScoped(const FToolMenuOwner InOwner)
    : Owner(InOwner)
{
	GetOwnerStack().Add(Owner);
}

FToolMenuOwnerScoped::~FToolMenuOwnerScoped()
{
	TArray<FToolMenuOwner>& Stack = GetOwnerStack();
	if (ensure(!Stack.IsEmpty() && Stack.Last() == Owner))
	{
		Stack.Pop();
	}
}
