// FToolMenuOwner: who made a menu extension, so that all of one owner's extensions can be removed together.
#pragma once

#include "CoreTypes.h"
#include "UObject/NameTypes.h"

struct FToolMenuOwner
{
	/** No owner. */
	FToolMenuOwner() = default;
	FToolMenuOwner(void* InPointer);
	FToolMenuOwner(const WIDECHAR* InValue);
	FToolMenuOwner(const ANSICHAR* InValue);
	/** TEXT("...") literals, which are UTF-16 on this platform. */
	FToolMenuOwner(const TCHAR* InValue);
	FToolMenuOwner(const FName InValue);

	bool IsSet() const { return ValueType != EValueType::None; }

	/** @return the owner's name; NAME_None for an owner given as a pointer or no owner. */
	FName TryGetName() const { return ValueType == EValueType::Name ? Name : FName(); }

	bool operator==(const FToolMenuOwner& Other) const;
	bool operator!=(const FToolMenuOwner& Other) const { return !(*this == Other); }

private:
	enum class EValueType : uint8
	{
		None,
		Pointer,
		Name
	};

	EValueType ValueType = EValueType::None;
	void* Pointer = nullptr;
	FName Name;
};
