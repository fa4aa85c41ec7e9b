// FStructOnScope: memory for one value of a reflected structure or one parameter block of a function,
// constructed on creation and destroyed with the scope.
#pragma once

#include "UObject/Class.h"

class FStructOnScope
{
public:
	FStructOnScope() = default;
	explicit FStructOnScope(const UStruct* InScriptStruct);
	~FStructOnScope();
	FStructOnScope(const FStructOnScope&) = delete;
	FStructOnScope& operator=(const FStructOnScope&) = delete;

	uint8* GetStructMemory() { return SampleStructMemory; }
	const uint8* GetStructMemory() const { return SampleStructMemory; }
	const UStruct* GetStruct() const { return ScriptStruct; }
	bool IsValid() const { return ScriptStruct != nullptr && SampleStructMemory != nullptr; }

	/** Destroys the value and forgets the structure. */
	void Reset();

private:
	const UStruct* ScriptStruct = nullptr;
	uint8* SampleStructMemory = nullptr;
};
