// Where a section or entry goes in a menu relative to the others.
#pragma once

#include "CoreTypes.h"
#include "UObject/NameTypes.h"

enum class EToolMenuInsertType : uint8
{
	/** After everything already there, in the order added. */
	Default,
	Before,
	After,
	First,
	Last
};

struct FToolMenuInsert
{
	/** The default position: no anchor. */
	FToolMenuInsert() = default;
	FToolMenuInsert(FName InName, EToolMenuInsertType InPosition)
	    : Name(InName)
	    , Position(InPosition)
	{
	}

	bool IsDefault() const { return Position == EToolMenuInsertType::Default; }
	bool IsBeforeOrAfter() const { return Position == EToolMenuInsertType::Before || Position == EToolMenuInsertType::After; }
	bool operator==(const FToolMenuInsert& Other) const { return Name == Other.Name && Position == Other.Position; }
	bool operator!=(const FToolMenuInsert& Other) const { return !(*this == Other); }

	/** The section or entry the position is relative to. */
	FName Name;
	EToolMenuInsertType Position = EToolMenuInsertType::Default;
};
