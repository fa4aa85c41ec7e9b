#include "UObject/StructOnScope.h"

#include <algorithm>
#include <cstdlib>
#include <new>

FStructOnScope::FStructOnScope(const UStruct* InScriptStruct)
    : ScriptStruct(InScriptStruct)
{
	if (!ScriptStruct)
	{
		return;
	}
	const size_t Alignment = static_cast<size_t>(std::max(ScriptStruct->GetMinAlignment(), 1));
	const size_t Size = static_cast<size_t>(std::max(ScriptStruct->GetStructureSize(), 1));
	SampleStructMemory = static_cast<uint8*>(::operator new(Size, std::align_val_t(Alignment)));
	ScriptStruct->InitializeStruct(SampleStructMemory);
}

FStructOnScope::~FStructOnScope()
{
	Reset();
}

void FStructOnScope::Reset()
{
	if (ScriptStruct && SampleStructMemory)
	{
		ScriptStruct->DestroyStruct(SampleStructMemory);
		::operator delete(SampleStructMemory, std::align_val_t(static_cast<size_t>(std::max(ScriptStruct->GetMinAlignment(), 1))));
	}
	SampleStructMemory = nullptr;
	ScriptStruct = nullptr;
}
