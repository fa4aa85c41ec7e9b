// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "TRLWorkshopVisibility.h"

class FJsonObject;

/**
 * A mod's workshop.json, beside its descriptor: the Workshop item the mod was published as, so that later uploads
 * update it; the visibility it goes up with; and the modder's switch that keeps the Workshop page's own text. A
 * missing or unreadable record reads as one that says nothing. Game thread only.
 */
class FTRLWorkshopRecord
{
public:
	/** How a record writes its "ItemId". */
	enum class EItemIdForm : uint8
	{
		/** A string, as the record is written, or no "ItemId" at all. */
		String,
		/** A number that a double holds exactly. */
		Number,
		/** A number too long for a double to hold exactly: which item it meant can no longer be known. */
		InexactNumber,
		/** Null, a boolean, an array or an object. */
		NotAnId
	};

	/** Reads the record of the mod whose descriptor lies at ModDescriptorPath. */
	explicit FTRLWorkshopRecord(const FString& ModDescriptorPath);

	/** @return the record's path beside the descriptor: relative for a relative descriptor path, empty for an empty one */
	static FString GetPathOf(const FString& ModDescriptorPath);

	/** @return the record's path, as GetPathOf gives it */
	const FString& GetPath() const { return Path; }

	/**
	 * @return the item to update: a string as written, the digits of a number; empty when the record names none, or
	 *         when its number is too long to tell which item it meant
	 */
	const FString& GetItemId() const { return ItemId; }

	/** @return how the record writes its item id */
	EItemIdForm GetItemIdForm() const { return ItemIdForm; }

	/** @return the JSON type of "ItemId", as a warning names it ("a number", "null", ...); empty when it is a string or missing */
	FString DescribeItemIdType() const;

	/**
	 * @return the visibility the record asks for, or UTRLSettings::WorkshopDefaultVisibility (Public without settings);
	 *         a word that names none is logged as a Warning
	 */
	ETRLWorkshopVisibility GetVisibility() const;

	/** @return false only when the record says "SyncDescription": false */
	bool ShouldSyncDescription() const;

	/**
	 * Writes ItemId, the mod's name, the time and Visibility's word into the mod's record, keeping keys added by hand.
	 * A record that cannot be read is first kept beside it, under a name that overwrites nothing. Logs the outcome.
	 * @param ModDescriptorPath the descriptor's absolute path
	 * @return false, with an Error that names the item, when the record could not be written; true for an empty ItemId,
	 *         which writes nothing
	 */
	static bool Write(const FString& ModDescriptorPath, const FString& ItemId, ETRLWorkshopVisibility Visibility);

private:
	FString Path;
	TSharedPtr<FJsonObject> Object;
	FString ItemId;
	EItemIdForm ItemIdForm = EItemIdForm::String;
};
