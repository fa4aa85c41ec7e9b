#include "DlcCook.h"

#include "AssetRegistry.h"
#include "PakFile.h"
#include "ProjectFiles.h"

#include "Misc/FileHelper.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

namespace AutomationTool
{
	namespace
	{
		constexpr const char* PackagingSettingsSection = "[/Script/UnrealEd.ProjectPackagingSettings]";

		std::string ToLower(std::string Text)
		{
			std::transform(Text.begin(), Text.end(), Text.begin(), [](unsigned char Char) {
				return static_cast<char>(std::tolower(Char));
			});
			return Text;
		}

		bool FolderHoldsDescriptor(const std::filesystem::path& Folder)
		{
			std::error_code Error;
			for (std::filesystem::directory_iterator It(Folder, Error), End; !Error && It != End; It.increment(Error))
			{
				if (It->is_regular_file() && EqualsNoCase(It->path().extension().string(), ".uplugin"))
				{
					return true;
				}
			}
			return false;
		}

		// The engine looks for plug-ins at any depth below a plug-in folder, but not inside another plug-in's folder.
		bool IsDiscoveredUnder(const std::filesystem::path& Descriptor, const std::filesystem::path& PluginFolder)
		{
			if (!IsInsideFolder(Descriptor, PluginFolder))
			{
				return false;
			}
			for (std::filesystem::path Folder = Descriptor.parent_path(); Folder != PluginFolder;)
			{
				Folder = Folder.parent_path();
				if (FolderHoldsDescriptor(Folder))
				{
					return false;
				}
			}
			return true;
		}

		// The project's Plugins folder and its "AdditionalPluginDirectories", relative to the project folder or absolute.
		std::vector<std::filesystem::path> GetPluginFolders(const FProjectContext& Context)
		{
			std::vector<std::filesystem::path> Folders = {Context.ProjectDir / "Plugins"};
			const TArray<TSharedPtr<FJsonValue>>* Additional = nullptr;
			if (Context.Project->TryGetArrayField(TEXT("AdditionalPluginDirectories"), Additional))
			{
				for (const TSharedPtr<FJsonValue>& Value : *Additional)
				{
					FString Folder;
					if (Value.IsValid() && Value->TryGetString(Folder) && !Folder.IsEmpty())
					{
						Folders.push_back(MakeNormalPath(Context.ProjectDir / Folder.ToUtf8()));
					}
				}
			}
			return Folders;
		}

		// The cooker always cooks the folders listed in the packaging settings; a plug-in that is not loaded at
		// start-up is cooked only through that list.
		bool IsAlwaysCooked(const FProjectContext& Context, const std::string& ContentRoot)
		{
			TArray<FString> Lines;
			if (!FFileHelper::LoadFileToStringArray(Lines, *FString::FromUtf8((Context.ProjectDir / "Config" / "DefaultGame.ini").string())))
			{
				return false;
			}
			const std::string Entry = "+DirectoriesToAlwaysCook=(Path=\"" + ContentRoot + "\")";
			bool bInSection = false;
			for (const FString& Line : Lines)
			{
				const std::string Trimmed = Line.TrimStartAndEnd().ToUtf8();
				if (!Trimmed.empty() && Trimmed[0] == '[')
				{
					bInSection = EqualsNoCase(Trimmed, PackagingSettingsSection);
				}
				else if (bInSection && EqualsNoCase(Trimmed, Entry))
				{
					return true;
				}
			}
			return false;
		}

		// The release's package names in lower case, as the engine compares names without regard to case.
		bool LoadReleasePackages(const FBuildCookRunJob& Job, const FRunControl& Control, std::set<std::string>& OutLowerCaseNames, std::string& OutError)
		{
			const std::filesystem::path RegistryFile = GetReleaseFolder(Job.Context, Job.ReleaseVersion) / "AssetRegistry.bin";
			if (!std::filesystem::exists(RegistryFile))
			{
				OutError = "The release " + Job.ReleaseVersion + " has no asset registry at '" + RegistryFile.string() +
				           "'. Record the release first (-createreleaseversion=" + Job.ReleaseVersion + ").";
				return false;
			}
			std::set<std::string> PackageNames;
			if (!ReadAssetRegistry(RegistryFile, PackageNames, OutError))
			{
				return false;
			}
			Control.Step("Release " + Job.ReleaseVersion + " lists " + CountText(PackageNames.size(), "asset", "assets") + ".");
			OutLowerCaseNames.clear();
			for (const std::string& PackageName : PackageNames)
			{
				OutLowerCaseNames.insert(ToLower(PackageName));
			}
			return true;
		}

		// Whether the cooker cooks the plug-in's content at all. It says nothing when it does not; we warn.
		bool IsContentCooked(const FJsonObject& Descriptor, const FProjectContext& Context, const std::string& ModName)
		{
			bool bCooked = true;
			bool bExplicitlyLoaded = false;
			if (Descriptor.TryGetBoolField(TEXT("ExplicitlyLoaded"), bExplicitlyLoaded) && bExplicitlyLoaded)
			{
				PrintWarning(
				    "The descriptor of " + ModName +
				    " says \"ExplicitlyLoaded\": true, so the cooker does not load the plug-in and cooks none of its content: the pak holds no assets.");
				bCooked = false;
			}
			if (!IsAlwaysCooked(Context, "/" + ModName))
			{
				PrintWarning("Config/DefaultGame.ini does not list /" + ModName + " under DirectoriesToAlwaysCook in " + PackagingSettingsSection +
				             ", so the cooker cooks none of the plug-in's content: the pak holds no assets.");
				bCooked = false;
			}
			return bCooked;
		}
	} // namespace

	std::filesystem::path GetStagedPakPath(const FProjectContext& Context, const std::filesystem::path& DlcDescriptor)
	{
		const std::filesystem::path ModFolder = DlcDescriptor.parent_path();
		const std::filesystem::path ModPathInProject = ModFolder.lexically_relative(Context.ProjectDir);
		const std::filesystem::path StagingFolder =
		    (ModFolder / "Saved" / "StagedBuilds" / Context.PlatformFolder / Context.ProjectName / ModPathInProject).lexically_normal();
		return StagingFolder / "Content" / "Paks" / Context.PlatformFolder / (DlcDescriptor.stem().string() + Context.PlatformFolder + ".pak");
	}

	bool CookDlc(const FBuildCookRunJob& Job, const FRunControl& Control, std::string& OutError)
	{
		const FProjectContext& Context = Job.Context;
		const std::string ModName = Job.DlcDescriptor.stem().string();
		const std::string ContentRoot = "/" + ModName;
		Control.Step("Cooking the plug-in " + ModName + " as DLC for " + Context.Platform + ", based on release " + Job.ReleaseVersion + ".");

		if (!std::filesystem::is_regular_file(Job.DlcDescriptor))
		{
			OutError = "The DLC descriptor '" + Job.DlcDescriptor.string() + "' does not exist.";
			return false;
		}
		TSharedPtr<FJsonObject> Descriptor;
		std::string JsonError;
		if (!LoadJsonObject(Job.DlcDescriptor, Descriptor, JsonError))
		{
			OutError = "The DLC descriptor cannot be used: " + JsonError;
			return false;
		}
		const std::vector<std::filesystem::path> PluginFolders = GetPluginFolders(Context);
		const bool bDiscovered = std::any_of(PluginFolders.begin(), PluginFolders.end(), [&Job](const std::filesystem::path& Folder) {
			return IsDiscoveredUnder(Job.DlcDescriptor, Folder);
		});
		if (!bDiscovered)
		{
			OutError = "The plug-in " + ModName + " (" + Job.DlcDescriptor.string() +
			           ") was not found among the project's plug-ins: list its folder in "
			           "\"AdditionalPluginDirectories\" in " +
			           Context.ProjectFile.filename().string() + ", or move it under the project's Plugins folder.";
			return false;
		}

		std::set<std::string> ReleasePackages;
		if (!LoadReleasePackages(Job, Control, ReleasePackages, OutError))
		{
			return false;
		}

		const std::filesystem::path ModFolder = Job.DlcDescriptor.parent_path();
		std::vector<FPakSource> Sources;
		if (IsContentCooked(*Descriptor, Context, ModName))
		{
			for (const FContentAsset& Asset : FindContentAssets(ModFolder / "Content", ContentRoot))
			{
				if (ReleasePackages.count(ToLower(Asset.PackageName)) != 0)
				{
					Control.Step("Skipped " + Asset.PackageName + ": release " + Job.ReleaseVersion + " already has it.");
					continue;
				}
				Control.Step("Cooked " + Asset.PackageName);
				Sources.push_back({ModName + "/Content/" + Asset.RelativePath, Asset.File});
			}
		}
		if (Job.bPakPluginFile)
		{
			Sources.push_back({ModName + "/" + Job.DlcDescriptor.filename().string(), Job.DlcDescriptor});
		}

		const std::filesystem::path PakFile = GetStagedPakPath(Context, Job.DlcDescriptor);
		Control.Step("Staging to " + PakFile.parent_path().string());
		std::error_code Error;
		std::filesystem::create_directories(PakFile.parent_path(), Error);
		if (Error)
		{
			OutError = "Could not create '" + PakFile.parent_path().string() + "': " + Error.message() + ".";
			return false;
		}
		Control.ReachCrashPoint();
		if (!WritePak(PakFile, Sources, OutError))
		{
			return false;
		}
		Control.Step("Wrote " + PakFile.string() + " (" + CountText(Sources.size(), "entry", "entries") + ").");
		return true;
	}
} // namespace AutomationTool
