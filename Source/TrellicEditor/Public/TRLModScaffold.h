// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "TRLModScaffold.generated.h"

/**
 * A mod is a content-only plug-in in its own folder under the game's local mods root. This creates new mods on disk
 * correctly, so that a modder never has to learn which descriptor flags make content mountable ("ExplicitlyLoaded"
 * and "CanContainContent" are always written), and mounts a mod for editing so its content folder shows in the
 * Content Browser.
 */
UCLASS()
class TRELLICEDITOR_API UTRLModScaffold : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Create a new mod folder, descriptor and content directory under the game's Mods folder.
	 *
	 * The name must pass IsValidModName. The new mod is mounted at once; a mod that cannot be mounted still counts as
	 * created, and the reason is logged as a warning. Nothing is cleaned up after a failure: folders made before it
	 * stay on disk.
	 *
	 * @param ModName name of the new mod: its folder, descriptor and content root.
	 * @param Author written as "CreatedBy"; "Unknown" when empty.
	 * @param Description written as "Description"; "A mod for this game." when empty.
	 * @param OutError set only when the mod could not be created, to the reason.
	 * @return the absolute path of the new mod's descriptor, or an empty string when the mod could not be created.
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Authoring")
	static FString CreateMod(const FString& ModName, const FString& Author, const FString& Description, FText& OutError);

	/**
	 * Check a name before trying to use it.
	 *
	 * A mod's name is its folder, its descriptor's name and its content root, so it must be letters, digits and
	 * underscores, not start with a digit, and not be taken by a folder or a mod under the local mods root (a folder A
	 * holding B.uplugin is the mod B). Nor may it be a name the engine or Windows keeps (Game, Temp, CON, ...), this
	 * plug-in's name, or a mod's or plug-in's name in other capitals, nor so long that the cooked mod's paths would
	 * pass 260 characters. The name is judged exactly as given, without trimming.
	 *
	 * @param ModName the proposed name.
	 * @param OutReason set only when the name is refused, to the first rule it breaks.
	 * @return true when the name can be used for a new mod.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Authoring")
	static bool IsValidModName(const FString& ModName, FText& OutReason);

	/**
	 * Make a mod editable: register its content root so assets can be saved into it.
	 *
	 * The mod name is the descriptor's file name without its extension. Mounting a mod that is already mounted from
	 * the same folder succeeds.
	 *
	 * @param ModDescriptorPath path of the mod's descriptor; a relative path is resolved against the engine's base
	 *        directory.
	 * @param OutError set only on failure, to the reason.
	 * @return true when the mod is mounted.
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Authoring")
	static bool MountModForEditing(const FString& ModDescriptorPath, FText& OutError);
};
