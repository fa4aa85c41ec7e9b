// UToolMenus: the editor's registry of menus, which modules extend with sections and entries under an owner.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "CoreTypes.h"
#include "Delegates/Delegate.h"
#include "Templates/SharedPointer.h"
#include "ToolMenu.h"
#include "ToolMenuDelegates.h"
#include "ToolMenuEntry.h"
#include "ToolMenuMisc.h"
#include "ToolMenuOwner.h"
#include "ToolMenuSection.h"

class UToolMenus
{
public:
	/** @return the registry; null while the ToolMenus module is not loaded. */
	static UToolMenus* Get();

	/** @return the registry; null while the ToolMenus module is not loaded. */
	static UToolMenus* TryGet();

	/** Removes every section and entry the owner added, from every menu. Does nothing while ToolMenus is unloaded. */
	static void UnregisterOwner(FToolMenuOwner Owner);

	void UnregisterOwnerByName(FName InOwnerName);

	/** @return true where menus are shown (the editor, not commandlets or games). */
	static bool IsToolMenuUIEnabled();

	/**
	 * Runs the delegate once menus can be extended: at once if they already can.
	 * @return the handle that unregisters the waiting delegate; invalid when it ran at once.
	 */
	static FDelegateHandle RegisterStartupCallback(const FSimpleMulticastDelegate::FDelegate& InDelegate);

	/** Forgets every start-up callback bound to this object that has not run yet. */
	static void UnRegisterStartupCallback(FDelegateUserObjectConst UserPointer);

	/** Forgets the start-up callback with this handle if it has not run yet. */
	static void UnRegisterStartupCallback(FDelegateHandle InHandle);

	/** @return the menu of that name for extending; made if it does not exist yet, so that it can be extended before it is registered. */
	UToolMenu* ExtendMenu(const FName Name);

	/** Registers a menu that can be shown; an existing registration is returned (with a warning when asked). */
	UToolMenu* RegisterMenu(FName Name, const FName Parent = NAME_None, EMultiBoxType Type = EMultiBoxType::Menu, bool bWarnIfAlreadyRegistered = true);

	/** @return the menu of that name, or null. */
	UToolMenu* FindMenu(const FName Name);

	/** Removes the menu of that name with everything added to it; an unknown name is ignored. */
	void RemoveMenu(const FName MenuName);

	bool IsMenuRegistered(const FName Name) const;

	/** Asks a shown menu to rebuild; menus here are built each time they are shown. @return false if the menu is unknown. */
	bool RefreshMenuWidget(const FName Name);
	void RefreshAllWidgets();

	/** Makes InOwner the owner of the sections and entries added until PopOwner. */
	void PushOwner(const FToolMenuOwner InOwner);
	void PopOwner(const FToolMenuOwner InOwner);
	FToolMenuOwner CurrentOwner() const;

private:
	friend class FToolMenusModule;
	friend struct FToolMenuSection;
	friend class UToolMenu;

	UToolMenus() = default;
	UToolMenu* FindOrMakeMenu(const FName Name);
	UToolMenu* FindMenuInternal(const FName Name) const;
	int32 GetGeneration() const;
	void RemoveOwnerExtensions(const FToolMenuOwner& Owner);

	TMap<FName, TSharedPtr<UToolMenu>> Menus;
};

/** Makes an owner current for as long as the scope lasts, so that every extension made meanwhile records it. */
struct FToolMenuOwnerScoped
{
	FToolMenuOwnerScoped(const FToolMenuOwner InOwner);
	~FToolMenuOwnerScoped();
	FToolMenuOwnerScoped(const FToolMenuOwnerScoped&) = delete;
	FToolMenuOwnerScoped& operator=(const FToolMenuOwnerScoped&) = delete;

	FToolMenuOwner GetOwner() const { return Owner; }

private:
	FToolMenuOwner Owner;
};
