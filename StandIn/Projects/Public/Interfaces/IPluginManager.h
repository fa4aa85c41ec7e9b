// The plug-in manager: the plug-ins the editor knows of, and mounting those that are loaded only on request.
#pragma once

#include "Containers/StringView.h"
#include "Containers/UnrealString.h"
#include "Internationalization/Text.h"
#include "ModuleDescriptor.h"
#include "PluginDescriptor.h"
#include "Templates/SharedPointer.h"

/** Where a plug-in was found. */
enum class EPluginType
{
	Engine,
	Enterprise,
	Project,
	External,
	Mod,
};

/** One plug-in known to the manager. */
class IPlugin : public TSharedFromThis<IPlugin>
{
public:
	virtual ~IPlugin() = default;

	/** The descriptor's base file name. */
	virtual const FString& GetName() const = 0;
	/** The descriptor's "FriendlyName", or the name when it has none. */
	virtual const FString& GetFriendlyName() const = 0;
	/** The absolute path of the .uplugin file. */
	virtual const FString& GetDescriptorFileName() const = 0;
	/** The folder that holds the descriptor. */
	virtual FString GetBaseDir() const = 0;
	/** The plug-in's Content folder (which may not exist). */
	virtual FString GetContentDir() const = 0;
	/** The content root, "/<Name>/", whether or not it is mounted. */
	virtual FString GetMountedAssetPath() const = 0;
	virtual EPluginType GetType() const = 0;
	virtual bool IsEnabled() const = 0;
	/** True once the plug-in has been mounted (and its content root registered). */
	virtual bool IsMounted() const = 0;
	virtual bool CanContainContent() const = 0;
	virtual const FPluginDescriptor& GetDescriptor() const = 0;
};

class IPluginManager
{
public:
	virtual ~IPluginManager() = default;

	static IPluginManager& Get();

	/**
	 * Reads a .uplugin file and adds the plug-in it describes (named after the file) to the known plug-ins.
	 * @return false with OutFailReason set when the descriptor cannot be read or parsed, or when another
	 *         descriptor already gave a plug-in that name
	 */
	virtual bool AddToPluginsList(const FString& PluginFilename, FText* OutFailReason = nullptr) = 0;
	/** @return the known plug-in of that name (any case), or null */
	virtual TSharedPtr<IPlugin> FindPlugin(const FStringView Name) = 0;
	virtual TSharedPtr<IPlugin> FindPlugin(const ANSICHAR* Name) = 0;
	/** @return every plug-in the manager knows, mounted or not, in the order it heard of them */
	virtual TArray<TSharedRef<IPlugin>> GetDiscoveredPlugins() = 0;
	/** @return the plug-in whose descriptor, folder or content root holds PluginPath, or null */
	virtual TSharedPtr<IPlugin> FindPluginFromPath(const FString& PluginPath) = 0;
	/**
	 * Mounts a known plug-in whose descriptor says "ExplicitlyLoaded": true and registers its content root.
	 * @return true when it is mounted (also when it already was); false when it is unknown, not explicitly loaded,
	 *         or its content root is reserved by the engine or registered to another folder
	 */
	virtual bool MountExplicitlyLoadedPlugin(const FString& PluginName, ELoadingPhase::Type MaxLoadingPhase = ELoadingPhase::Max) = 0;
	/** As MountExplicitlyLoadedPlugin, for the plug-in described by PluginFileName, added first if unknown. */
	virtual bool MountExplicitlyLoadedPlugin_FromFileName(const FString& PluginFileName) = 0;
	/**
	 * Unmounts an explicitly loaded plug-in and removes its content root.
	 * @return false with OutReason set when the plug-in is unknown or not explicitly loaded
	 */
	virtual bool UnmountExplicitlyLoadedPlugin(const FString& PluginName, FText* OutReason) = 0;
};
