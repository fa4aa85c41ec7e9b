// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

/**
 * The folder that goes to Steam: the mod's staged cook with its descriptor beside it, in the layout of a local mod,
 * built afresh in the mod's Saved/WorkshopUpload so that nothing stale or kept beside the mod reaches subscribers. A
 * symbolic link in the staged build is left out, never followed. Also finds the mod's preview image. Game thread only.
 */
struct FTRLUploadPayload
{
	/**
	 * @param ModDescriptorPath the mod's descriptor; a relative path is resolved against the engine's base folder
	 * @param OutError set when the result is empty: the mod is not packaged, or a file of it could not be copied, and why
	 * @return the payload folder's absolute path, or an empty string
	 */
	static FString Build(const FString& ModDescriptorPath, FText& OutError);

	/** @return the absolute path of preview.png, preview.jpg or Resources/Icon128.png beside the descriptor, the first found; empty for none */
	static FString FindPreviewImage(const FString& ModDescriptorPath);
};
