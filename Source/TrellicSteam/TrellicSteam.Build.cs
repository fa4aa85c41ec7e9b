// Copyright Trellic contributors. All Rights Reserved.

using System.IO;
using UnrealBuildTool;

public class TrellicSteam : ModuleRules
{
	public TrellicSteam(ReadOnlyTargetRules Target) : base(Target)
	{
		PCHUsage = PCHUsageMode.UseExplicitOrSharedPCHs;

		PublicDependencyModuleNames.AddRange(new string[] { "Core", "CoreUObject", "Trellic" });

		// SteamShared loads the SDK's libraries and initialises the client API for us.
		PrivateDependencyModuleNames.AddRange(new string[] { "SteamShared" });

		AddEngineThirdPartyPrivateStaticDependencies(Target, "Steamworks");

		// What our specs share with the runtime module's specs, kept out of its public headers.
		PrivateIncludePaths.Add(Path.Combine(ModuleDirectory, "..", "Trellic", "Private", "Tests"));
	}
}
