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
	 * @return false with OutError set when the project cannot be opened; nothing is copied over existing files.
	 */
	bool OpenProject(const FHostOptions& Options, FHostProject& OutProject, FString& OutError);
} // namespace UE::StandIn::EditorHost
