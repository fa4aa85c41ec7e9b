// UDeveloperSettings: the base of a module's settings class. A subclass says where its values live
// (UCLASS(config=Game, defaultconfig)) and marks them UPROPERTY(Config); its class default object holds
// them, read from configuration when first asked for (GetDefault<T>()).
#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "DeveloperSettings.generated.h"

UCLASS(Abstract)
class DEVELOPERSETTINGS_API UDeveloperSettings : public UObject
{
	GENERATED_BODY()

public:
	UDeveloperSettings(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/** The settings container the section appears in: "Editor" for editor configuration, else "Project". */
	virtual FName GetContainerName() const;

	/** The category within the container: CategoryName when set, else "Editor" or "Game" by container. */
	virtual FName GetCategoryName() const;

	/** The section: SectionName when set, else the class name. */
	virtual FName GetSectionName() const;

#if WITH_EDITOR
	/** The section's title: the class's DisplayName metadata, else its name. */
	virtual FText GetSectionText() const;

	/** The section's description: the class's tooltip. */
	virtual FText GetSectionDescription() const;

	/** Whether the settings register themselves with the editor. */
	virtual bool SupportsAutoRegistration() const
	{
		return true;
	}
#endif

protected:
	/** Overrides the category the settings appear under. */
	UPROPERTY()
	FName CategoryName;

	/** Overrides the section name. */
	UPROPERTY()
	FName SectionName;
};
