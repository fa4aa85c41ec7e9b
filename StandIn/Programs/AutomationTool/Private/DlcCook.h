// Cooking a plug-in as DLC against a recorded release, and staging it as the cooker stages it:
// <mod folder>/Saved/StagedBuilds/<platform folder>/<project name>/<mod path in project>/Content/Paks/<platform folder>/
// <ModName><platform folder>.pak
#pragma once

#include "BuildCookRun.h"
#include "RunControl.h"

#include <filesystem>
#include <string>

namespace AutomationTool
{
	/**
	 * Cooks what the engine's cooker would cook: nothing, and silently, when the descriptor says "ExplicitlyLoaded":
	 * true or DefaultGame.ini does not always cook the plug-in's content root; otherwise its .uasset and .umap files
	 * minus those the release already lists. Empties the staging folder, then writes the pak with those assets, and the
	 * descriptor with -DLCPakPluginFile; a stage control of the run changes what is staged, or stages the assets in an
	 * IoStore container beside the pak.
	 * @return false with OutError when the engine's cooker would fail: the descriptor unreadable, the plug-in not in
	 *         the project's plug-in folders, the release registry missing, or the pak not writable
	 */
	bool CookDlc(const FBuildCookRunJob& Job, const FRunControl& Control, std::string& OutError);

	/** The DLC's staging folder: what its stage step writes, and nothing else, lies below it. */
	std::filesystem::path GetStagingFolder(const FProjectContext& Context, const std::filesystem::path& DlcDescriptor);

	/** Where the pak of the DLC goes. */
	std::filesystem::path GetStagedPakPath(const FProjectContext& Context, const std::filesystem::path& DlcDescriptor);
} // namespace AutomationTool
