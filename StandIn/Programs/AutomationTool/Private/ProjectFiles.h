// Reading the project's files as the engine reads them, and the path rules the simulated cook shares.
#pragma once

#include "Containers/UnrealString.h"
#include "Dom/JsonObject.h"
#include "Templates/SharedPointer.h"

#include <filesystem>
#include <optional>
#include <string>

namespace AutomationTool
{
	/** The whole text file, decoded as the engine decodes text files (UTF-8, or UTF-16 after a byte-order mark). */
	std::optional<FString> LoadTextFile(const std::filesystem::path& File);

	/**
	 * The file's text parsed as one JSON object with the engine's JSON reader.
	 * @return false with OutError saying whether the file could not be read or does not hold a JSON object
	 */
	bool LoadJsonObject(const std::filesystem::path& File, TSharedPtr<FJsonObject>& OutObject, std::string& OutError);

	/** The path made absolute against the working folder, "." and ".." resolved, without a trailing separator. */
	std::filesystem::path MakeNormalPath(const std::filesystem::path& Path);

	/** Whether Path lies inside Folder, at any depth (both normal paths); a folder is not inside itself. */
	bool IsInsideFolder(const std::filesystem::path& Path, const std::filesystem::path& Folder);

	/**
	 * The folder name of a platform: "Win64" and "Win32", in any case, are "Windows"; any other name is used as given.
	 * The plug-in maps platforms the same way; this program is separate from it, so it keeps its own copy of the rule.
	 */
	std::string GetPlatformFolderName(const std::string& Platform);

	/** Whether Name can be one folder name: not empty, not "." or "..", without a path separator. */
	bool IsPlainFolderName(const std::string& Name);
} // namespace AutomationTool
