// Copyright Trellic contributors. All Rights Reserved.

using UnrealBuildTool;

public class Trellic : ModuleRules
{
	public Trellic(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;

		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject", "DeveloperSettings" });

		PrivateDependencyModuleNames.AddRange(new string[] { "Projects" });
	}
}
