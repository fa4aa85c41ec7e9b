// The Tools menu as the interactive front end shows it: numbered entries, submenus, greyed entries and tooltips.
#include "InteractiveFrontEnd.h"

#include "HostPlugin.h"
#include "HostSession.h"
#include "InteractiveInput.h"
#include "StandIn/ToolMenusHost.h"

namespace UE::StandIn::EditorHost
{
	using namespace Interactive;

	void FInteractiveFrontEnd::ShowMenu()
	{
		ShownEntries.Empty();
		TOptional<UE::StandIn::FDisplayedToolMenu> Menu = UE::StandIn::DisplayToolMenu(FName(ToolsMenuName), MenuPath);
		if (!Menu.IsSet() && !MenuPath.IsEmpty())
		{
			// The submenu went away (its module unloaded, its entry disabled): start again from the top.
			Print(TEXT("That submenu cannot be opened now; back to Tools."));
			MenuPath.Empty();
			MenuPathLabels.Empty();
			Menu = UE::StandIn::DisplayToolMenu(FName(ToolsMenuName), MenuPath);
		}
		if (!Menu.IsSet())
		{
			Print(TEXT("The Tools menu has nothing to show: ToolMenus is not loaded, or the editor's menus are not ready yet (r declares them ready)."));
			return;
		}

		FString Title = TEXT("Tools");
		for (const FString& Label : MenuPathLabels)
		{
			Title += FString(TEXT(" > ")) + Label;
		}
		// A mod's entry in a submenu shows the state of its packaged build beside the label the plug-in gave it.
		TMap<FName, FString> BuildStates;
		if (!MenuPath.IsEmpty() && Session)
		{
			for (const FModBuildState& Mod : ListModBuildStates(Session->GetPluginModuleNames()))
			{
				BuildStates.Add(FName(Mod.Name), Mod.State);
			}
		}
		Print(TEXT(""));
		Print(Title);
		for (const UE::StandIn::FDisplayedToolMenuSection& Section : Menu.GetValue().Sections)
		{
			const FString SectionLabel = Section.Label.IsEmpty() ? Section.Name.ToString() : Section.Label.ToString();
			if (!SectionLabel.IsEmpty() && SectionLabel != TEXT("None"))
			{
				Print(FString(TEXT("  ")) + SectionLabel);
			}
			for (const UE::StandIn::FDisplayedToolMenuEntry& Entry : Section.Entries)
			{
				// Separators and headings structure the menu; only what can be chosen gets a number.
				if (Entry.Type == EMultiBlockType::Separator)
				{
					Print(TEXT("    ----"));
					continue;
				}
				if (Entry.Type == EMultiBlockType::Heading)
				{
					Print(FString(TEXT("    ")) + Entry.Label.ToString());
					continue;
				}
				FShownEntry& Shown = ShownEntries.Emplace_GetRef();
				Shown.Name = Entry.Name;
				Shown.Label = Entry.Label.IsEmpty() ? Entry.Name.ToString() : Entry.Label.ToString();
				Shown.ToolTip = Entry.ToolTip.ToString();
				Shown.bIsSubMenu = Entry.bIsSubMenu;
				Shown.bIsEnabled = Entry.bIsEnabled;
				FString Line = FString::Printf(TEXT("    %2d  %s"), ShownEntries.Num(), *Shown.Label);
				if (Shown.bIsSubMenu)
				{
					Line += TEXT("  >");
				}
				if (!Shown.bIsEnabled)
				{
					Line += TEXT("  (greyed out)");
				}
				if (const FString* State = BuildStates.Find(Entry.Name))
				{
					Line += FString(TEXT("  [")) + DescribeBuildState(*State) + TEXT("]");
				}
				Print(Line);
			}
		}
		if (ShownEntries.IsEmpty())
		{
			Print(TEXT("    (no entries)"));
		}
		if (!UE::StandIn::CanExtendToolMenus())
		{
			Print(TEXT("  The editor's menus are not ready yet: r declares them ready."));
		}
		Print(MenuPath.IsEmpty() ? TEXT("  number: choose   ?number: tooltip   t: let time pass   h: help   q: quit")
		                         : TEXT("  number: choose   ?number: tooltip   b: back   t: let time pass   h: help   q: quit"));
	}

	FString FInteractiveFrontEnd::DescribeBuildState(const FString& State)
	{
		const TCHAR* const Words[][2] = {
		    {TEXT("NotPackaged"), TEXT("not packaged")},
		    {TEXT("Current"), TEXT("build current")},
		    {TEXT("Stale"), TEXT("build stale")},
		    {TEXT("FailedCheck"), TEXT("build failed its check")},
		};
		for (const auto& Word : Words)
		{
			if (State.Equals(Word[0], ESearchCase::CaseSensitive))
			{
				return Word[1];
			}
		}
		return State;
	}

	void FInteractiveFrontEnd::ChooseEntry(int32 Number)
	{
		if (Number < 1 || Number > ShownEntries.Num())
		{
			Print(FString::Printf(TEXT("There is no entry %d here."), Number));
			return;
		}
		const FShownEntry Entry = ShownEntries[Number - 1];
		if (!Entry.bIsEnabled)
		{
			Print(FString::Printf(TEXT("'%s' is greyed out and cannot be chosen now (?%d shows its tooltip)."), *Entry.Label, Number));
			return;
		}
		if (Entry.bIsSubMenu)
		{
			MenuPath.Add(Entry.Name);
			MenuPathLabels.Add(Entry.Label);
			ShowMenu();
			return;
		}

		TArray<FName> EntryPath = MenuPath;
		EntryPath.Add(Entry.Name);
		// Choosing an entry closes the whole menu, as in the editor; the next menu shown is Tools again.
		MenuPath.Empty();
		MenuPathLabels.Empty();
		if (!UE::StandIn::ChooseToolMenuEntry(FName(ToolsMenuName), EntryPath))
		{
			Print(FString::Printf(TEXT("'%s' cannot be chosen now: it is gone or greyed out."), *Entry.Label));
		}
		if (!IsInterruptRequested())
		{
			ShowMenu();
		}
	}

	void FInteractiveFrontEnd::ShowToolTip(int32 Number)
	{
		if (Number < 1 || Number > ShownEntries.Num())
		{
			Print(FString::Printf(TEXT("There is no entry %d here."), Number));
			return;
		}
		const FShownEntry& Entry = ShownEntries[Number - 1];
		Print(FString(TEXT("  ")) + Entry.Label + TEXT(": ") + (Entry.ToolTip.IsEmpty() ? FString(TEXT("(no tooltip)")) : Entry.ToolTip));
	}

	void FInteractiveFrontEnd::GoBack()
	{
		if (MenuPath.IsEmpty())
		{
			Print(TEXT("This is the top of the Tools menu."));
			return;
		}
		MenuPath.Pop();
		MenuPathLabels.Pop();
		ShowMenu();
	}
} // namespace UE::StandIn::EditorHost
