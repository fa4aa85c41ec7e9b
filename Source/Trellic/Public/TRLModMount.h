// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * Mounts mods through the engine's plug-in manager, so that a mod's content root "/<ModName>/" is registered and its
 * Content folder shows in the Content Browser. Game thread only.
 */
class TRELLIC_API FTRLModMount
{
public:
	/**
	 * Makes the engine know the mod and mount its content. Mounting a mod that is already mounted from the same
	 * descriptor succeeds and changes nothing.
	 *
	 * @param DescriptorPath absolute path of the mod's .uplugin file.
	 * @param ModName the mod's name: the descriptor's base file name.
	 * @param OutError set only on failure, to a text naming the mod and the reason: a descriptor that cannot be
	 *        read, a content root that the engine already uses, or one that another folder's mod holds.
	 * @return true once the mod's content root is registered.
	 */
	static bool Mount(const FString& DescriptorPath, const FString& ModName, FText& OutError);

	/** @return true when the engine knows a plug-in of that name and its content is mounted. */
	static bool IsMounted(const FString& ModName);

	/** @return the content root of a mod the engine knows, such as "/MyMod/"; empty for a mod it does not know. */
	static FString GetMountPoint(const FString& ModName);
};
