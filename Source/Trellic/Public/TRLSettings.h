// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Engine/DeveloperSettings.h"
#include "TRLWorkshopVisibility.h"
#include "TRLSettings.generated.h"

/**
 * The plug-in's project settings, read from the project's DefaultGame.ini, section [/Script/Trellic.TRLSettings].
 * The plug-in only reads them; they are edited in the project settings or in the file.
 */
UCLASS(config = Game, defaultconfig, meta = (DisplayName = "Trellic"))
class TRELLIC_API UTRLSettings : public UDeveloperSettings
{
	GENERATED_BODY()

public:
	/** Written as "ModApiVersion" into every new mod's descriptor, for the game's mod loader. */
	UPROPERTY(config, EditAnywhere, Category = "Mods")
	int32 ModApiVersion = 1;

	/**
	 * Folder inside the project that holds one subfolder per local mod; "Mods" when left empty. A relative path is
	 * taken from the project folder, an absolute one as it is; one that leads outside the project is refused.
	 */
	UPROPERTY(config, EditAnywhere, Category = "Mods")
	FString ModsDirectory = TEXT("Mods");

	/** Written as "TRLLoadOrder" into every new mod's descriptor. */
	UPROPERTY(config, EditAnywhere, Category = "Mods")
	int32 DefaultLoadOrder = 100;

	/** Visibility of a Workshop item when its mod's workshop.json does not say otherwise. */
	UPROPERTY(config, EditAnywhere, Category = "Steam Workshop")
	ETRLWorkshopVisibility WorkshopDefaultVisibility = ETRLWorkshopVisibility::Public;

	/** Name of the base game release that mods are cooked against; also the name of its folder under Releases. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	FString BaseReleaseVersion = TEXT("1.0");

	/** Platform that base releases and mods are cooked for, as the automation tool names it. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	FString TargetPlatform = TEXT("Win64");

	/** Build configuration of the game client that the cooked content is meant for. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	FString ClientConfiguration = TEXT("Shipping");

	/** Whether a mod's cook may include engine content that the base release does not already hold. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	bool bDLCIncludeEngineContent = false;

	/**
	 * The settings every operation reads: the class default object, unless an FTRLScopedSettingsOverride is in
	 * scope, in which case its object (possibly null).
	 *
	 * @return the settings, or null when an override says that none are available.
	 */
	static const UTRLSettings* Get();
};
