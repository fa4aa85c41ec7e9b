// Copyright Trellic contributors. All Rights Reserved.

using System.IO;
using UnrealBuildTool;

public class TrellicEditor : ModuleRules
{
	public TrellicEditor(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;

		// The upload's public header names the Steam module's publisher and result, and the runtime module's visibility.
		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject", "Trellic", "TrellicSteam" });

		// PakFile and AssetRegistry read what a mod's cook staged and what its base release holds.
		PrivateDependencyModuleNames.AddRange(new string[] { "Json", "Slate", "SlateCore", "ToolMenus", "UATHelper", "Engine", "UnrealEd", "PakFile", "AssetRegistry" });

		// What our specs share with the runtime module's and the Steam module's specs, kept out of their public headers.
		PrivateIncludePaths.Add(Path.Combine(ModuleDirectory, "..", "Trellic", "Private", "Tests"));
		PrivateIncludePaths.Add(Path.Combine(ModuleDirectory, "..", "TrellicSteam", "Private", "Tests"));
	}
}
