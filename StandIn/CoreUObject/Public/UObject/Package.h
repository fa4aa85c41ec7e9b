// UPackage: the outermost object. Reflected types live in "/Script/<Module>"; transient objects in
// the transient package.
#pragma once

#include "UObject/Object.h"

class UPackage : public UObject
{
public:
	using Super = UObject;
	using ThisClass = UPackage;

	static UClass* StaticClass();
};
