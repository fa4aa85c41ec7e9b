#include "Engine/DeveloperSettings.h"

#include "UObject/Class.h"

UDeveloperSettings::UDeveloperSettings(const FObjectInitializer& ObjectInitializer)
    : Super(ObjectInitializer)
{
}

FName UDeveloperSettings::GetContainerName() const
{
	const FName ConfigName = GetClass()->ClassConfigName;
	const bool bEditorConfig =
	    ConfigName == FName(TEXT("Editor")) || ConfigName == FName(TEXT("EditorSettings")) || ConfigName == FName(TEXT("EditorPerProjectUserSettings"));
	return FName(bEditorConfig ? TEXT("Editor") : TEXT("Project"));
}

FName UDeveloperSettings::GetCategoryName() const
{
	if (!CategoryName.IsNone())
	{
		return CategoryName;
	}
	return FName(GetContainerName() == FName(TEXT("Editor")) ? TEXT("Editor") : TEXT("Game"));
}

FName UDeveloperSettings::GetSectionName() const
{
	return SectionName.IsNone() ? GetClass()->GetFName() : SectionName;
}

#if WITH_EDITOR
FText UDeveloperSettings::GetSectionText() const
{
	return GetClass()->GetDisplayNameText();
}

FText UDeveloperSettings::GetSectionDescription() const
{
	return GetClass()->GetToolTipText();
}
#endif
