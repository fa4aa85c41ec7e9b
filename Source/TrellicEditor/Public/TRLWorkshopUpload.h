// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopPublisher.h"
#include "TRLWorkshopResult.h"
#include "TRLWorkshopVisibility.h"
#include "UObject/Object.h"
#include "TRLWorkshopUpload.generated.h"

class FTRLUploadJob;
struct FTRLUploadRequest;

/**
 * Workshop upload: sends a packaged mod to the Steam Workshop. It assembles the folder that goes to Steam from the
 * mod's staged cook and its descriptor, checks the mod, creates the Workshop item on the first upload and updates it
 * afterwards, and keeps the item id in a workshop.json file beside the mod's descriptor. One upload runs at a time; while
 * it runs, an instance of this class holds it, shows its progress in an editor notification and hears its outcome.
 */
UCLASS()
class TRELLICEDITOR_API UTRLWorkshopUpload : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Assemble the exact folder that goes to Steam, and return its path.
	 *
	 * The folder is the mod's Saved/WorkshopUpload, emptied first: it receives everything under the mod's staging folder
	 * (GetModStagingDirectory) and a copy of the mod's descriptor, so that subscribers get the cooked archives and the
	 * descriptor in the layout of a local mod, and nothing else that lies beside the mod. A symbolic link in the staged
	 * build is never followed: it is named in a warning and left out.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin; a relative one is resolved against the engine's base
	 *        directory.
	 * @param OutError set when the result is empty: the mod was not packaged, or the folder could not be made or filled
	 *        (naming the file and why).
	 * @return the absolute payload folder, or an empty string on failure.
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Steam Workshop")
	static FString BuildUploadPayload(const FString& ModDescriptorPath, FText& OutError);

	/**
	 * The preview image that will be sent with this mod, or empty when it has none.
	 *
	 * Looks beside the descriptor for preview.png, then preview.jpg, then Resources/Icon128.png, and takes the first
	 * that exists. The image is not measured: Steam refuses one of 1 MB or more.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin.
	 * @return the image's absolute path, or an empty string.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Steam Workshop")
	static FString FindPreviewImage(const FString& ModDescriptorPath);

	/**
	 * The Workshop item id recorded for this mod, or empty when it has never been published.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin.
	 * @return "ItemId" of the mod's workshop.json as written there; empty when the file is missing, unreadable or has
	 *         no such string.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Steam Workshop")
	static FString GetRecordedItemId(const FString& ModDescriptorPath);

	/**
	 * Visibility this mod will be uploaded with.
	 *
	 * "Visibility" of the mod's workshop.json: public, friends (or friendsonly), private or unlisted, in any case and
	 * with blanks around it. Without a usable word it is UTRLSettings::WorkshopDefaultVisibility (Public when there are
	 * no settings); a word outside that list is logged as a warning.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin.
	 * @return the visibility; never unset.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Steam Workshop")
	static ETRLWorkshopVisibility GetRecordedVisibility(const FString& ModDescriptorPath);

	/**
	 * Where the recorded item id is kept: workshop.json, next to the mod's descriptor.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin; a relative one gives a relative result.
	 * @return the record's path, or an empty string when ModDescriptorPath is empty.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Steam Workshop")
	static FString GetWorkshopRecordPath(const FString& ModDescriptorPath);

	/**
	 * True while an upload started from here is still running.
	 *
	 * @return true from a successful UploadMod until Steam's answer has been handled.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Steam Workshop")
	static bool IsUploadInProgress();

	/**
	 * How far the running upload is, for callers with no notification to watch, such as a commandlet.
	 *
	 * @return the percentage of its bytes sent, rounded as its notification shows it; INDEX_NONE when no upload runs or
	 *         nothing is known yet.
	 */
	static int32 GetActiveUploadPercent();

	/**
	 * Last look at the mod before it leaves the machine, run by UploadMod on its own.
	 *
	 * Warns in the log about a missing preview image, an empty Description and missing TRLTags, and sets the
	 * descriptor's "ExplicitlyLoaded" back to true where it is false, so that the mod only runs when a player switches
	 * it on. It never stops an upload.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin.
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Steam Workshop")
	static void Preflight(const FString& ModDescriptorPath);

	/**
	 * Whether an update also refreshes the item's title, description and tags from the descriptor.
	 *
	 * Set "SyncDescription": false in the mod's workshop.json to keep the text edited on the Workshop page.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin.
	 * @return false only when the record says "SyncDescription": false.
	 */
	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Trellic|Steam Workshop")
	static bool ShouldSyncDescription(const FString& ModDescriptorPath);

	/**
	 * Upload a packaged mod, creating its Workshop item the first time.
	 *
	 * Runs Preflight, builds the payload (Tools > Trellic > Package Mod must have run), and sends it with the
	 * descriptor's FriendlyName, Description and TRLTags: as a new item when workshop.json records none, else as an
	 * update of the recorded item. The call returns once Steam has the request; the notification and the log tell the
	 * outcome, and workshop.json then records the item id.
	 *
	 * @param ModDescriptorPath path of the mod's .uplugin; a relative one is resolved against the engine's base
	 *        directory.
	 * @param ChangeNote what changed, for an update; "Updated" when empty.
	 * @param OutError set when the result is not Success, to the reason.
	 * @return Success when the upload started; Busy while another runs; InvalidMod when the mod cannot be sent; else why
	 *         Steam refused it.
	 */
	UFUNCTION(BlueprintCallable, Category = "Trellic|Steam Workshop")
	static ETRLWorkshopResult UploadMod(const FString& ModDescriptorPath, const FString& ChangeNote, FText& OutError);

private:
	/**
	 * Steam answers on its own pump, so the outcome arrives here rather than at the call site.
	 *
	 * Records the item id, shows the outcome, logs it and takes the upload down.
	 */
	UFUNCTION()
	void HandlePublishComplete(ETRLWorkshopResult Result, const FString& ItemId, const FText& StatusMessage);

	/**
	 * Steam has made the new item, long before the upload ends, so its id is kept at once where a restart finds it.
	 *
	 * An editor that ended before the upload does then records the item at its next start, and the next upload
	 * updates that item instead of making another.
	 */
	void HandleItemCreated(const FString& ItemId);

	/**
	 * Makes the live upload for a request read in full: the object in the root set, its publisher and its job with
	 * the notification, then hands the request to the publisher.
	 * @return the publisher's result; OutError is set to its message when that is not Success
	 */
	static ETRLWorkshopResult StartUpload(const FString& DescriptorPath, const FTRLUploadRequest& Request, FText& OutError);

	/** The publisher doing this upload; null after completion. */
	UPROPERTY()
	TObjectPtr<UTRLWorkshopPublisher> Publisher;

	/** The notification, the progress and the end of this upload. */
	TSharedPtr<FTRLUploadJob> Job;

	/** The live upload, kept in the root set; null when no upload runs. */
	static UTRLWorkshopUpload* ActiveUpload;
};
