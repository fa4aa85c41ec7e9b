// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "TRLLocalModProvider.generated.h"

/**
 * The one place that knows the mods on this machine: where they live (one folder inside the project, the local mods
 * root, with one subfolder per mod), which descriptor is a mod's, which mod a name or a descriptor path means, and
 * which names a new mod may take. The menu, the scaffold, the packager, the upload and the pipeline commandlet all ask
 * it, so that they agree on every mod. Nothing the plug-in does with mods reaches outside the project through it.
 */
UCLASS()
class TRELLIC_API UTRLLocalModProvider : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Folder that holds one subfolder per local mod.
	 *
	 * The settings' ModsDirectory, or "Mods" when that is empty or no settings are available: a relative one joined
	 * to the project folder (the overriding project's while an FTRLScopedProjectOverride lives), an absolute one as it
	 * is. Either must lie inside the project folder. While an FTRLScopedModsRootOverride lives, its root instead.
	 *
	 * @return the root, which may not exist yet; empty, with a Warning that names the setting, when ModsDirectory leads
	 *         outside the project.
	 */
	UFUNCTION(BlueprintPure, Category = "Trellic")
	static FString GetLocalModsRoot();

	/**
	 * The root GetLocalModsRoot answers, for a caller that reports a refusal itself; nothing is logged.
	 * @param OutRoot set to the root when there is one
	 * @param OutError set when ModsDirectory leads outside the project, to what to write instead
	 * @return false when there is no usable root
	 */
	static bool TryGetLocalModsRoot(FString& OutRoot, FText& OutError);

	/**
	 * The mods on this machine: for each folder directly under the local mods root that holds a .uplugin, the first
	 * one its listing gives; further descriptors in that folder are not mods. A mod is named by its descriptor, not by
	 * its folder: a folder A holding B.uplugin is the mod B. Asked afresh every time; nothing is cached.
	 *
	 * @return the absolute descriptor paths, in the order the file system listed the folders; empty when the root is
	 *         missing or unusable (with GetLocalModsRoot's Warning) or holds no mod.
	 */
	static TArray<FString> FindLocalMods();

	/**
	 * The local mod of that name, as FindLocalMods lists it, in any case: the engine's plug-in names ignore case. The
	 * mod keeps its own spelling in its descriptor path; nothing is logged.
	 * @param OutDescriptorPath set to the mod's absolute descriptor path when there is one
	 * @param OutError set when there is none, to the name and the folder looked in, or to why there is no mods root
	 * @return false when no local mod has that name
	 */
	static bool FindModNamed(const FString& ModName, FString& OutDescriptorPath, FText& OutError);

	/**
	 * Turns the descriptor path an operation is given into the absolute path it works on: a relative one is taken
	 * from the engine's base folder. The one refusal for a descriptor that is not there lives here.
	 * @param OutDescriptorPath set to the absolute path, whether or not a file lies there
	 * @param OutError set when the path is empty or no file lies there, naming the absolute path
	 * @return false when there is no descriptor at the path
	 */
	static bool ResolveDescriptor(const FString& ModDescriptorPath, FString& OutDescriptorPath, FText& OutError);

	/**
	 * Whether a name may become a new mod, by these rules in this order: it must be a package name (not empty, not
	 * starting with a digit, letters, digits and underscores only); no folder directly under the local mods root nor
	 * any local mod may have it; it may not be one of the engine's content roots (Engine, Game, Script, Config, Temp,
	 * Memory), this plug-in's name, or a name Windows keeps for a device (CON, PRN, AUX, NUL, COM1-9, LPT1-9), in any
	 * case; no folder there, local mod or plug-in the engine knows may have it in other capitals, nor may a content
	 * root mounted without a plug-in; and the archive its cook stages for this project must stay within the engine's
	 * 260-character path limit on Windows. So every name that could not be mounted or cooked is refused before
	 * anything is written. Judged exactly as given, without trimming; the file system is asked only about a
	 * well-formed name. Nothing is logged.
	 * @param OutReason set only when the name is refused, to the first rule it breaks
	 * @return true when a mod of that name can be created
	 */
	static bool IsValidNewModName(const FString& ModName, FText& OutReason);
};
