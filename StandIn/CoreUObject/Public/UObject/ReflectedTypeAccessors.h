// StaticEnum<E>(), StaticClass<T>() and StaticStruct<T>(): the reflected type of a C++ type. The header
// tool defines StaticEnum for each UENUM; classes and structures answer through their own StaticClass().
#pragma once

class UClass;
class UEnum;
class UScriptStruct;

/** The reflection data of a UENUM; defined by the generated code of the enum's module. */
template <typename EnumType>
UEnum* StaticEnum();

template <typename ClassType>
UClass* StaticClass()
{
	return ClassType::StaticClass();
}

template <typename StructType>
UScriptStruct* StaticStruct()
{
	return StructType::StaticStruct();
}
