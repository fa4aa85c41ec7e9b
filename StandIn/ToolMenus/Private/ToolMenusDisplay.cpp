#include "StandIn/ToolMenusHost.h"

#include "ToolMenus.h"
#include "ToolMenusInternal.h"

namespace UE::StandIn
{
	namespace
	{
		constexpr int32 MaxParentDepth = 16;

		/** Orders sections or entries as their insert positions ask; an anchor that is missing leaves the item at the end. */
		template <typename ItemType>
		TArray<ItemType> OrderByInsertPosition(const TArray<ItemType>& Items)
		{
			TArray<ItemType> Ordered;
			TArray<ItemType> Last;
			TArray<ItemType> Anchored;
			int32 FirstCount = 0;
			for (const ItemType& Item : Items)
			{
				switch (Item.InsertPosition.Position)
				{
					case EToolMenuInsertType::First:
						Ordered.Insert(Item, FirstCount++);
						break;
					case EToolMenuInsertType::Last:
						Last.Add(Item);
						break;
					case EToolMenuInsertType::Before:
					case EToolMenuInsertType::After:
						Anchored.Add(Item);
						break;
					case EToolMenuInsertType::Default:
						Ordered.Add(Item);
						break;
				}
			}
			Ordered.Append(Last);
			// Items anchored to other anchored items are placed once their anchor is.
			bool bPlacedAny = true;
			while (!Anchored.IsEmpty() && bPlacedAny)
			{
				bPlacedAny = false;
				for (int32 AnchoredIndex = 0; AnchoredIndex < Anchored.Num(); ++AnchoredIndex)
				{
					const ItemType& Item = Anchored[AnchoredIndex];
					const int32 AnchorIndex = Ordered.IndexOfByPredicate([&Item](const ItemType& Other) {
						return Other.Name == Item.InsertPosition.Name;
					});
					if (AnchorIndex != INDEX_NONE)
					{
						const bool bAfter = Item.InsertPosition.Position == EToolMenuInsertType::After;
						Ordered.Insert(Item, bAfter ? AnchorIndex + 1 : AnchorIndex);
						Anchored.RemoveAt(AnchoredIndex--);
						bPlacedAny = true;
					}
				}
			}
			Ordered.Append(Anchored);
			return Ordered;
		}

		/** Gathers a menu's sections after those of its parents; sections of the same name are merged. */
		void CollectSections(UToolMenus& ToolMenus, UToolMenu& Menu, int32 Depth, TArray<FToolMenuSection>& OutSections)
		{
			if (Menu.MenuParent != NAME_None && Depth < MaxParentDepth)
			{
				if (UToolMenu* Parent = ToolMenus.FindMenu(Menu.MenuParent))
				{
					CollectSections(ToolMenus, *Parent, Depth + 1, OutSections);
				}
			}
			for (const FToolMenuSection& Section : Menu.Sections)
			{
				FToolMenuSection* Existing = OutSections.FindByPredicate([&Section](const FToolMenuSection& Other) {
					return Other.Name == Section.Name;
				});
				if (!Existing)
				{
					OutSections.Add(Section);
					continue;
				}
				Existing->Blocks.Append(Section.Blocks);
				if (!Existing->Label.IsSet())
				{
					Existing->Label = Section.Label;
				}
			}
		}

		FDisplayedToolMenuEntry DisplayEntry(const FToolMenuEntry& Entry)
		{
			FDisplayedToolMenuEntry Displayed;
			Displayed.Name = Entry.Name;
			Displayed.Type = Entry.Type;
			Displayed.UserInterfaceActionType = Entry.UserInterfaceActionType;
			Displayed.Label = Entry.Label.Get();
			Displayed.ToolTip = Entry.ToolTip.Get();
			Displayed.Icon = Entry.Icon.Get();
			Displayed.bIsSubMenu = Entry.SubMenuData.bIsSubMenu;
			Displayed.bOpenSubMenuOnClick = Entry.SubMenuData.bOpenSubMenuOnClick;
			Displayed.bShouldCloseWindowAfterMenuSelection = Entry.bShouldCloseWindowAfterMenuSelection;
			Displayed.Owner = Entry.Owner;
			Displayed.SubMenu = Entry.SubMenuData.ConstructMenu;
			if (const FUIAction* Action = Entry.GetUIAction())
			{
				Displayed.Action = *Action;
				// Asked on every display, as the editor asks it each time it draws the entry.
				Displayed.bIsEnabled = Action->CanExecute();
			}
			else
			{
				Displayed.bIsEnabled = Entry.SubMenuData.bIsSubMenu;
			}
			return Displayed;
		}

		FDisplayedToolMenu DisplaySections(FName MenuName, const TArray<FToolMenuSection>& Sections)
		{
			FDisplayedToolMenu Displayed;
			Displayed.MenuName = MenuName;
			for (const FToolMenuSection& Section : OrderByInsertPosition(Sections))
			{
				// The editor draws no header for a section without entries.
				if (Section.Blocks.IsEmpty())
				{
					continue;
				}
				FDisplayedToolMenuSection& DisplayedSection = Displayed.Sections.Add_GetRef(FDisplayedToolMenuSection());
				DisplayedSection.Name = Section.Name;
				DisplayedSection.Label = Section.Label.Get();
				for (const FToolMenuEntry& Entry : OrderByInsertPosition(Section.Blocks))
				{
					DisplayedSection.Entries.Add(DisplayEntry(Entry));
				}
			}
			return Displayed;
		}

		/** Opens a submenu: a fresh menu, filled by the entry's fill delegate. */
		TOptional<FDisplayedToolMenu> OpenSubMenu(const FDisplayedToolMenu& Menu, FName EntryName)
		{
			const FDisplayedToolMenuEntry* Entry = Menu.FindEntry(EntryName);
			if (!Entry || !Entry->bIsSubMenu || !Entry->bIsEnabled)
			{
				return TOptional<FDisplayedToolMenu>();
			}
			const FName SubMenuName(Menu.MenuName.ToString() + TEXT(".") + EntryName.ToString());
			UToolMenu SubMenu;
			SubMenu.MenuName = SubMenuName;
			SubMenu.MenuParent = Menu.MenuName;
			Entry->SubMenu.NewToolMenu.ExecuteIfBound(&SubMenu);
			return DisplaySections(SubMenuName, SubMenu.Sections);
		}
	} // namespace

	const FDisplayedToolMenuSection* FDisplayedToolMenu::FindSection(FName SectionName) const
	{
		return Sections.FindByPredicate([SectionName](const FDisplayedToolMenuSection& Section) {
			return Section.Name == SectionName;
		});
	}

	const FDisplayedToolMenuEntry* FDisplayedToolMenu::FindEntry(FName EntryName) const
	{
		for (const FDisplayedToolMenuSection& Section : Sections)
		{
			for (const FDisplayedToolMenuEntry& Entry : Section.Entries)
			{
				if (Entry.Name == EntryName)
				{
					return &Entry;
				}
			}
		}
		return nullptr;
	}

	FString FDisplayedToolMenu::Describe() const
	{
		FString Description;
		for (const FDisplayedToolMenuSection& Section : Sections)
		{
			Description += FString(TEXT("[")) + Section.Label.ToString() + TEXT("]\n");
			for (const FDisplayedToolMenuEntry& Entry : Section.Entries)
			{
				Description += FString(TEXT("  ")) + Entry.Label.ToString();
				if (Entry.bIsSubMenu)
				{
					Description += TEXT(" (submenu)");
				}
				if (!Entry.bIsEnabled)
				{
					Description += TEXT(" (disabled)");
				}
				Description += TEXT("\n");
			}
		}
		return Description;
	}

	TOptional<FDisplayedToolMenu> DisplayToolMenu(FName MenuName, const TArray<FName>& SubMenuPath)
	{
		UToolMenus* ToolMenus = UToolMenus::TryGet();
		if (!ToolMenus || !ToolMenus->IsMenuRegistered(MenuName))
		{
			return TOptional<FDisplayedToolMenu>();
		}
		TArray<FToolMenuSection> Sections;
		CollectSections(*ToolMenus, *ToolMenus->FindMenu(MenuName), 0, Sections);
		TOptional<FDisplayedToolMenu> Displayed = DisplaySections(MenuName, Sections);
		for (const FName& EntryName : SubMenuPath)
		{
			Displayed = OpenSubMenu(Displayed.GetValue(), EntryName);
			if (!Displayed.IsSet())
			{
				break;
			}
		}
		return Displayed;
	}

	bool ChooseToolMenuEntry(FName MenuName, const TArray<FName>& EntryPath)
	{
		if (EntryPath.IsEmpty())
		{
			return false;
		}
		TArray<FName> SubMenuPath = EntryPath;
		const FName EntryName = SubMenuPath.Pop();
		const TOptional<FDisplayedToolMenu> Menu = DisplayToolMenu(MenuName, SubMenuPath);
		const FDisplayedToolMenuEntry* Entry = Menu.IsSet() ? Menu->FindEntry(EntryName) : nullptr;
		if (!Entry || !Entry->bIsEnabled || !Entry->Action.IsSet())
		{
			return false;
		}
		return Entry->Action->Execute();
	}
} // namespace UE::StandIn
