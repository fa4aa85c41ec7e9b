// UObject: the base class of every reflected object class. Reflected functions are called generically
// through ProcessEvent with a parameter block laid out as the function's parameters.
#pragma once

#include "CoreMinimal.h"
#include "UObject/ObjectMacros.h"
#include "UObject/ObjectPtr.h"
#include "UObject/ReflectedTypeAccessors.h"
#include "UObject/UObjectBaseUtility.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/WeakObjectPtr.h"

class FObjectInitializer;

class UObject : public UObjectBaseUtility
{
public:
	using ThisClass = UObject;

	UObject();
	explicit UObject(const FObjectInitializer& ObjectInitializer);
	~UObject() override;

	static UClass* StaticClass();
	static const TCHAR* StaticPackage() { return TEXT("/Script/CoreUObject"); }

	/** Called once the object is constructed and its class defaults (and configuration) are in place. */
	virtual void PostInitProperties() {}

	/** The first step of destruction, for every unreachable object before any of them is deleted. */
	virtual void BeginDestroy();

	/** The last step before the destructor runs. */
	virtual void FinishDestroy();

	/** @return the reflected function of that name in the object's class or its super classes, or null. */
	UFunction* FindFunction(FName InName) const;

	/** FindFunction that stops the program when there is no such function. */
	UFunction* FindFunctionChecked(FName InName) const;

	/**
	 * Calls a reflected function of this object's class with Parms, a block laid out as its parameters
	 * (see FStructOnScope): inputs are read from it, outputs and the return value are written into it.
	 * A static function may be called on any object of its class, usually the class default object.
	 */
	virtual void ProcessEvent(UFunction* Function, void* Parms);

	/**
	 * Reads the object's Config properties from its class's configuration section
	 * ("[/Script/Module.Class]" in the class's config file, e.g. DefaultGame.ini for config=Game).
	 * Keys that are absent leave their properties as they are.
	 */
	void LoadConfig(UClass* ConfigClass = nullptr, const TCHAR* Filename = nullptr, uint32 PropagationFlags = 0, FProperty* PropertyToLoad = nullptr);

	/** Reads the configuration again; use after GConfig has been (re)loaded. */
	void ReloadConfig(UClass* ConfigClass = nullptr, const TCHAR* Filename = nullptr, uint32 PropagationFlags = 0, FProperty* PropertyToLoad = nullptr);

	/** The configuration file name for the object's class (its branch, e.g. "Game"). */
	FString GetDefaultConfigFilename() const;
};

/** @return true for a live object that is not marked as garbage. */
inline bool IsValid(const UObject* Test)
{
	return Test && !Test->IsGarbage();
}

#include "UObject/Class.h"
