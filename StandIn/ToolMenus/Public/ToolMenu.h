// UToolMenu: one menu (a registered menu, an extension of one, or a submenu being filled): its sections in order.
#pragma once

#include "Containers/Array.h"
#include "CoreTypes.h"
#include "Framework/MultiBox/MultiBoxDefs.h"
#include "ToolMenuOwner.h"
#include "ToolMenuSection.h"

class UToolMenus;

class UToolMenu
{
public:
	UToolMenu();

	/** @return the section of that name, added with no label at the default position if missing. */
	FToolMenuSection& FindOrAddSection(const FName SectionName);

	/** @return the section of that name; label and position apply only when the section is created here. */
	FToolMenuSection& FindOrAddSection(const FName SectionName, const TAttribute<FText>& InLabel, const FToolMenuInsert InPosition = FToolMenuInsert());

	/** Adds a section, or updates the label and position of the existing one of that name. */
	FToolMenuSection& AddSection(const FName SectionName, const TAttribute<FText>& InLabel = TAttribute<FText>(),
	                             const FToolMenuInsert InPosition = FToolMenuInsert());

	/** @return the section of that name, or null. */
	FToolMenuSection* FindSection(const FName SectionName);

	void RemoveSection(const FName SectionName);

	FName GetMenuName() const { return MenuName; }

	/** @return true once the menu has been registered (not only extended). */
	bool IsRegistered() const { return bRegistered; }

	FName MenuName;
	FName MenuParent;
	EMultiBoxType MenuType = EMultiBoxType::Menu;
	FToolMenuOwner MenuOwner;
	TArray<FToolMenuSection> Sections;

private:
	friend class UToolMenus;
	friend struct FToolMenuSection;

	FToolMenuSection& FindOrAddSectionInternal(const FName SectionName, const TAttribute<FText>& InLabel, const FToolMenuInsert InPosition);
	FToolMenuSection& AddSectionInternal(const FName SectionName, const TAttribute<FText>& InLabel, const FToolMenuInsert InPosition);
	FToolMenuSection* FindSectionInternal(const FName SectionName);

	// The load of the ToolMenus module that made this menu; a call after that load ended is reported.
	int32 ModuleGeneration = 0;
	bool bRegistered = false;
};
