// Copyright Trellic contributors. All Rights Reserved.

using UnrealBuildTool;

public class TrellicEditor : ModuleRules
{
	public TrellicEditor(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;

		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject" });

		PrivateDependencyModuleNames.AddRange(new string[] { "Trellic", "Json", "Slate", "SlateCore", "ToolMenus", "UATHelper", "UnrealEd" });
	}
}
