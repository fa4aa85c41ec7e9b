// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Engine/DeveloperSettings.h"
#include "TRLWorkshopVisibility.h"
#include "TRLSettings.generated.h"

/**
 * What each setting is where the project does not set it, and what the plug-in reads for it when no settings are
 * available at all. Written only here.
 */
struct FTRLSettingsDefaults
{
	static constexpr int32 ModApiVersion = 1;
	static constexpr const TCHAR* ModsDirectory = TEXT("Mods");
	static constexpr int32 DefaultLoadOrder = 100;
	static constexpr ETRLWorkshopVisibility WorkshopDefaultVisibility = ETRLWorkshopVisibility::Public;
	static constexpr const TCHAR* BaseReleaseVersion = TEXT("1.0");
	static constexpr const TCHAR* TargetPlatform = TEXT("Win64");
	static constexpr const TCHAR* ClientConfiguration = TEXT("Shipping");
	static constexpr bool bDLCIncludeEngineContent = false;
};

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
	int32 ModApiVersion = FTRLSettingsDefaults::ModApiVersion;

	/**
	 * Folder inside the project that holds one subfolder per local mod; "Mods" when left empty. A relative path is
	 * taken from the project folder, an absolute one as it is; one that leads outside the project is refused.
	 */
	UPROPERTY(config, EditAnywhere, Category = "Mods")
	FString ModsDirectory = FTRLSettingsDefaults::ModsDirectory;

	/** Written as "TRLLoadOrder" into every new mod's descriptor. */
	UPROPERTY(config, EditAnywhere, Category = "Mods")
	int32 DefaultLoadOrder = FTRLSettingsDefaults::DefaultLoadOrder;

	/** Visibility of a Workshop item when its mod's workshop.json does not say otherwise. */
	UPROPERTY(config, EditAnywhere, Category = "Steam Workshop")
	ETRLWorkshopVisibility WorkshopDefaultVisibility = FTRLSettingsDefaults::WorkshopDefaultVisibility;

	/** Name of the base game release that mods are cooked against; also the name of its folder under Releases. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	FString BaseReleaseVersion = FTRLSettingsDefaults::BaseReleaseVersion;

	/** Platform that base releases and mods are cooked for, as the automation tool names it. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	FString TargetPlatform = FTRLSettingsDefaults::TargetPlatform;

	/** Build configuration of the game client that the cooked content is meant for. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	FString ClientConfiguration = FTRLSettingsDefaults::ClientConfiguration;

	/** Whether a mod's cook may include engine content that the base release does not already hold. */
	UPROPERTY(config, EditAnywhere, Category = "Packaging")
	bool bDLCIncludeEngineContent = FTRLSettingsDefaults::bDLCIncludeEngineContent;

	/**
	 * The settings every operation reads: the class default object, unless an FTRLScopedSettingsOverride is in
	 * scope, in which case its object (possibly null).
	 *
	 * @return the settings, or null when an override says that none are available.
	 */
	static const UTRLSettings* Get();

	// The settings read with or without a settings object, each through one accessor that applies its default, so that
	// no caller writes a fallback of its own.

	/** @return ModApiVersion, or its default without settings. */
	static int32 GetModApiVersion();

	/** @return ModsDirectory, or its default ("Mods") when it is empty or there are no settings. */
	static FString GetModsDirectory();

	/** @return DefaultLoadOrder, or its default without settings. */
	static int32 GetDefaultLoadOrder();

	/** @return WorkshopDefaultVisibility, or its default (Public) without settings. */
	static ETRLWorkshopVisibility GetWorkshopDefaultVisibility();

	/** @return BaseReleaseVersion as set (empty included), or its default ("1.0") without settings. */
	static FString GetBaseReleaseVersion();

	/** @return TargetPlatform as set (empty included), or its default ("Win64") without settings. */
	static FString GetTargetPlatform();
};
