// Opens the project the host works on: the one named on the command line, or a fresh copy of the demo project.
#pragma once

#include "CoreMinimal.h"
#include "HostOptions.h"

namespace UE::StandIn::EditorHost
{
	struct FHostProject
	{
		/** Absolute path of the .uproject. */
		FString ProjectFile;
		/** True when the project is a fresh copy of the demo project made for this run. */
		bool bIsDemoCopy = false;
	};

	/**
	 * Finds or copies the project and makes it the running project (project paths, project name, configuration).
	 * Expects options that CheckHostOptions accepted: a --copy-to folder is new or empty, a --project file is one.
	 * @return false with OutError set when the demo project could not be copied.
	 */
	bool OpenProject(const FHostOptions& Options, FHostProject& OutProject, FString& OutError);
} // namespace UE::StandIn::EditorHost
