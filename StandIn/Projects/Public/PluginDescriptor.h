// What a plug-in's .uplugin descriptor says, as far as mounting a plug-in and loading its modules need it.
#pragma once

#include "Containers/Array.h"
#include "Containers/UnrealString.h"
#include "Internationalization/Text.h"
#include "ModuleDescriptor.h"

struct FPluginDescriptor
{
	int32 FileVersion = 0;
	int32 Version = 0;
	FString VersionName;
	FString FriendlyName;
	FString Description;
	FString Category;
	FString CreatedBy;
	/** Whether the plug-in has a Content folder to mount as "/<Name>/". */
	bool bCanContainContent = false;
	bool bIsBetaVersion = false;
	/** Whether the plug-in is mounted only when asked to, never at start-up. */
	bool bExplicitlyLoaded = false;
	/** The plug-in's code modules, in the order the descriptor lists them. */
	TArray<FModuleDescriptor> Modules;

	/** Reads the descriptor file. @return false with OutFailReason set when it cannot be read or parsed */
	bool Load(const FString& FileName, FText* OutFailReason = nullptr);
	/** Reads descriptor text. @return false with OutFailReason set when it is not a valid descriptor */
	bool Read(const FString& Text, FText* OutFailReason = nullptr);
};
