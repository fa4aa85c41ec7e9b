// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopPublisher.h"

class FJsonObject;

/**
 * What an upload gives a mod's Workshop item beyond its content and text, all read from the mod: the items it requires
 * (its descriptor's TRLRequiredMods, each a local mod's recorded item), the version tags a game's mod browser asks for
 * (TRLBaseRelease from the build's cook record, TRLModApiVersion from the descriptor), and the screenshots in its
 * Resources/Screenshots folder. What cannot be given is left out, one Warning line each, and never stops the upload.
 * Game thread only.
 */
struct FTRLItemPageExtras
{
	/** The mods a descriptor requires, as an upload links them. */
	struct FRequiredMods
	{
		/** Whether the descriptor lists them; when it does not, an upload leaves the item's required items alone. */
		bool bListed = false;
		/** Each required mod that has a Workshop item: its id and its name, in the descriptor's order, each once. */
		TArray<FTRLRequiredWorkshopItem> Items;
		/** Each required mod, as the descriptor names it, that is not a local mod or has no Workshop item yet. */
		TArray<FString> WithoutItem;
		/** One line for each entry left out, in the descriptor's order, to log as a Warning. */
		TArray<FString> Warnings;
	};

	/** The key-value tag of the base release a build was cooked against. */
	static const TCHAR* const BaseReleaseTag;
	/** The key-value tag of the mod API version a mod was made for. */
	static const TCHAR* const ModApiVersionTag;
	/** Steam shows at most this many images beside the preview, in a row that fits. */
	static constexpr int32 MaxScreenshots = 9;

	/**
	 * @param DescriptorPath the mod's descriptor, absolute
	 * @param Descriptor the descriptor as read; null when it could not be
	 */
	static FRequiredMods ReadRequiredMods(const FString& DescriptorPath, const TSharedPtr<FJsonObject>& Descriptor);

	/**
	 * Reads everything the upload gives the item beyond its content and text, and logs a Warning for each part left
	 * out.
	 * @param DescriptorPath the mod's descriptor, absolute
	 * @param Descriptor the descriptor as read; null when it could not be
	 */
	static FTRLWorkshopRequestExtras Read(const FString& DescriptorPath, const TSharedPtr<FJsonObject>& Descriptor);

	/**
	 * @param OutWarnings given one line for what was left out: files that are not PNG, JPG or GIF images, links and
	 *        folders, then the images past the ninth
	 * @return the absolute paths of the PNG, JPG and GIF images directly in the mod's Resources/Screenshots, in name
	 *         order, nine at most; empty when there is no such folder or it is reached through a link
	 */
	static TArray<FString> FindScreenshots(const FString& DescriptorPath, TArray<FString>& OutWarnings);

	/** @return TRLBaseRelease and TRLModApiVersion, each when the build's cook record or the descriptor gives it */
	static TMap<FString, FString> ReadVersionTags(const FString& DescriptorPath, const TSharedPtr<FJsonObject>& Descriptor);
};
