// A reflected class whose one function takes a parameter of each kind a script may pass, so that the host's reading
// of a call's arguments is tried on every kind, not only on the strings and texts of the plug-in's own functions.
#pragma once

#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "ScriptArgumentProbe.generated.h"

UENUM(BlueprintType)
enum class EProbeKind : uint8
{
	First,
	Second,
};

UCLASS()
class UScriptArgumentProbe : public UObject
{
	GENERATED_BODY()

public:
	/** @return the values as the function received them, "Flag Count Small Ratio Kind Note", one space apart. */
	UFUNCTION(BlueprintCallable, Category = "Probe")
	static FString Describe(bool bFlag, int32 Count, uint8 Small, float Ratio, EProbeKind Kind, FText& OutNote);
};
