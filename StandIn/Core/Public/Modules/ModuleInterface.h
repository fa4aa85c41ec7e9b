// IModuleInterface: what every module implements; the module manager calls it when the module loads and unloads.
#pragma once

/** A module's entry points. The defaults suit a module that needs no start-up or shutdown work. */
class IModuleInterface
{
public:
	virtual ~IModuleInterface() = default;

	/** Called once the module is loaded; it may load the modules it needs. */
	virtual void StartupModule() {}

	/** Called before the module is unloaded. */
	virtual void PreUnloadCallback() {}

	/** Called after the module has been reloaded. */
	virtual void PostLoadCallback() {}

	/** Called before the module is destroyed. */
	virtual void ShutdownModule() {}

	/** @return true if the module may be unloaded and loaded again while the program runs. */
	virtual bool SupportsDynamicReloading() { return true; }

	/** @return true if the module is shut down with the others when the program exits. */
	virtual bool SupportsAutomaticShutdown() { return true; }

	/** @return true if this is a game's own module. */
	virtual bool IsGameModule() const { return false; }
};
