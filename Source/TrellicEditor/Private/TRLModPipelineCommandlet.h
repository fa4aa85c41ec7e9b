// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "Commandlets/Commandlet.h"
#include "CoreMinimal.h"
#include "TRLModPipelineCommandlet.generated.h"

/** What one run of the mod pipeline was asked to do, as read from its switches. */
struct FTRLModPipelineRequest
{
	/** -Mod: a mod name, or the path of its descriptor (it ends in .uplugin); empty when not given. */
	FString Mod;
	bool bCreate = false;
	FString Author;
	FString Description;
	bool bBaseRelease = false;
	bool bPackage = false;
	bool bUpload = false;
	FString ChangeNote;
	/** Upload a stale build as it is, instead of refusing an upload without -Package. */
	bool bAllowStale = false;
	/** One JSON object a line instead of plain lines. */
	bool bJson = false;
	bool bHelp = false;

	/** @return true when -Mod names a descriptor rather than a mod. */
	bool IsModDescriptorPath() const;
};

/**
 * The mod pipeline without the editor's window, for build machines: -run=TRLModPipeline creates a mod, records a base
 * game release, packages the mod and uploads it, each only when asked, in that order, through the same operations as
 * the Tools menu. It waits for each job by pumping the core ticker itself, stops at the first failure, and writes one
 * line per step and per progress change on standard output.
 * Exit codes: 0 when every requested step succeeded, 1 when one failed, 2 when the switches or the mod were refused
 * before any step started.
 */
UCLASS()
class UTRLModPipelineCommandlet : public UCommandlet
{
	GENERATED_BODY()

public:
	UTRLModPipelineCommandlet(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	virtual int32 Main(const FString& Params) override;

	/**
	 * Reads the switches that follow -run=TRLModPipeline. Names are read in any case; switches that the engine and its
	 * build tools put on every commandlet's command line are let by.
	 * @return false with OutError set for a switch it does not know, one that is malformed or given twice, a bare
	 *         token, a switch that belongs to a step not asked for, or no step at all (unless -help is given)
	 */
	static bool ParseRequest(const FString& Params, FTRLModPipelineRequest& OutRequest, FString& OutError);

	/**
	 * Turns -Mod into the absolute path of the mod's descriptor: a name is the local mod of that name as the Tools menu
	 * lists it (a folder A holding B.uplugin is the mod B), a relative descriptor path is taken from the project
	 * folder. For -Create only the new name is checked, and OutDescriptorPath is emptied: the creation makes the
	 * descriptor.
	 * @return false with OutError set when the mod does not exist, or, for -Create, when the name is not a new valid
	 *         one or a path is given instead of a name
	 */
	static bool ResolveModDescriptor(const FTRLModPipelineRequest& Request, FString& OutDescriptorPath, FString& OutError);

	/** @return what -help prints. */
	static FString GetUsage();
};
