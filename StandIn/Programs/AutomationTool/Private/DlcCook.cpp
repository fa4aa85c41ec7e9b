#include "DlcCook.h"

#include "AssetRegistry.h"
#include "ProjectFiles.h"
#include "StandIn/SimulatedAssetRegistry.h"
#include "StandIn/SimulatedPak.h"

#include "Misc/FileHelper.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
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
			if (!UE::StandIn::SimulatedAssetRegistry::Read(RegistryFile, PackageNames, OutError))
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

		/**
		 * Writes the simulated IoStore container of the cooked assets beside the pak: the .ucas holds them in the simulated
		 * archive format, and the .utoc names them, a line each after a line that says what it is. Neither is the engine's
		 * container format; only their names and places are the engine's.
		 */
		bool WriteContainer(const std::filesystem::path& PakFile, const std::vector<UE::StandIn::SimulatedPak::FPakSource>& Assets, std::string& OutError)
		{
			std::filesystem::path Toc = PakFile;
			Toc.replace_extension(".utoc");
			std::filesystem::path Partial = Toc;
			Partial += ".partial";
			bool bWritten = false;
			{
				std::ofstream Out(Partial, std::ios::binary | std::ios::trunc);
				Out << "Simulated IoStore table of contents: the entries of the .ucas beside it, one a line\n";
				for (const UE::StandIn::SimulatedPak::FPakSource& Asset : Assets)
				{
					Out << Asset.EntryPath << '\n';
				}
				bWritten = static_cast<bool>(Out.flush());
			}
			std::error_code Error;
			if (bWritten)
			{
				std::filesystem::rename(Partial, Toc, Error);
			}
			if (!bWritten || Error)
			{
				OutError = "Could not write '" + Toc.string() + "'.";
				std::filesystem::remove(Partial, Error);
				return false;
			}
			std::filesystem::path Cas = PakFile;
			return UE::StandIn::SimulatedPak::WritePak(Cas.replace_extension(".ucas"), Assets, OutError);
		}

		// Whether the cooker cooks the plug-in's content at all: a plug-in that is loaded only when asked for is cooked
		// only through the folders always cooked. Like the engine's cooker, it says nothing when it cooks none.
		bool IsContentCooked(const FJsonObject& Descriptor, const FProjectContext& Context, const std::string& ModName)
		{
			bool bExplicitlyLoaded = false;
			const bool bLoadedWhenAsked = Descriptor.TryGetBoolField(TEXT("ExplicitlyLoaded"), bExplicitlyLoaded) && bExplicitlyLoaded;
			return !bLoadedWhenAsked && IsAlwaysCooked(Context, "/" + ModName);
		}
	} // namespace

	std::filesystem::path GetStagingFolder(const FProjectContext& Context, const std::filesystem::path& DlcDescriptor)
	{
		const std::filesystem::path ModFolder = DlcDescriptor.parent_path();
		const std::filesystem::path ModPathInProject = ModFolder.lexically_relative(Context.ProjectDir);
		return (ModFolder / "Saved" / "StagedBuilds" / Context.PlatformFolder / Context.ProjectName / ModPathInProject).lexically_normal();
	}

	std::filesystem::path GetStagedPakPath(const FProjectContext& Context, const std::filesystem::path& DlcDescriptor)
	{
		return GetStagingFolder(Context, DlcDescriptor) / "Content" / "Paks" / Context.PlatformFolder /
		       (DlcDescriptor.stem().string() + Context.PlatformFolder + ".pak");
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
		const std::optional<EStageFault> Fault = Control.GetStageFault();
		std::vector<UE::StandIn::SimulatedPak::FPakSource> Sources;
		std::vector<UE::StandIn::SimulatedPak::FPakSource> ContainerSources;
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
		if (Fault == EStageFault::BaseAssets)
		{
			// As a cook that was not based on the release: the game's own assets go into the DLC once more.
			Control.Step("Simulation control: the cook also stages the game's own assets, which the release already has.");
			for (const FContentAsset& Asset : FindContentAssets(Context.ProjectDir / "Content", "/Game"))
			{
				Sources.push_back({Context.ProjectName + "/Content/" + Asset.RelativePath, Asset.File});
			}
		}
		if (Job.bPakPluginFile && Fault != EStageFault::NoDescriptor)
		{
			Sources.push_back({ModName + "/" + Job.DlcDescriptor.filename().string(), Job.DlcDescriptor});
		}
		else if (Fault == EStageFault::NoDescriptor)
		{
			Control.Step("Simulation control: the plug-in's descriptor is left out of the pak.");
		}
		if (Fault == EStageFault::EmptyPak)
		{
			Control.Step("Simulation control: the pak is written with no entry.");
			Sources.clear();
		}
		if (Fault == EStageFault::IoStore)
		{
			// Cooked packages go into the container; the pak keeps the rest, the plug-in's descriptor among it.
			Control.Step("Simulation control: the cooked assets are staged in an IoStore container beside the pak, as a project that uses IoStore "
			             "stages them.");
			const auto IsPackage = [](const UE::StandIn::SimulatedPak::FPakSource& Source) {
				const std::string Extension = ToLower(std::filesystem::path(Source.EntryPath).extension().string());
				return Extension == ".uasset" || Extension == ".umap";
			};
			std::copy_if(Sources.begin(), Sources.end(), std::back_inserter(ContainerSources), IsPackage);
			Sources.erase(std::remove_if(Sources.begin(), Sources.end(), IsPackage), Sources.end());
		}

		// The stage step starts from an empty folder, so nothing of an earlier cook is taken for this one's.
		const std::filesystem::path PakFile = GetStagedPakPath(Context, Job.DlcDescriptor);
		const std::filesystem::path StagingFolder = GetStagingFolder(Context, Job.DlcDescriptor);
		Control.Step("Staging to " + PakFile.parent_path().string());
		std::error_code Error;
		// A mod far outside the project would stage above its own Saved folder; nothing there is removed.
		if (IsInsideFolder(StagingFolder, ModFolder / "Saved" / "StagedBuilds"))
		{
			std::filesystem::remove_all(StagingFolder, Error);
		}
		if (!Error && Fault != EStageFault::Nothing)
		{
			std::filesystem::create_directories(PakFile.parent_path(), Error);
		}
		if (Error)
		{
			OutError = "Could not make '" + StagingFolder.string() + "' an empty staging folder: " + Error.message() + ".";
			return false;
		}
		Control.ReachCrashPoint();
		if (Fault == EStageFault::Nothing)
		{
			Control.Step("Simulation control: nothing is staged.");
			return true;
		}
		if (!UE::StandIn::SimulatedPak::WritePak(PakFile, Sources, OutError))
		{
			return false;
		}
		Control.Step("Wrote " + PakFile.string() + " (" + CountText(Sources.size(), "entry", "entries") + ").");
		// A cook that cooked nothing has no package to put in a container.
		if (!ContainerSources.empty())
		{
			if (!WriteContainer(PakFile, ContainerSources, OutError))
			{
				return false;
			}
			Control.Step("Wrote the simulated IoStore container " + std::filesystem::path(PakFile).replace_extension(".utoc").string() + " (" +
			             CountText(ContainerSources.size(), "entry", "entries") + ").");
		}
		return true;
	}
} // namespace AutomationTool
