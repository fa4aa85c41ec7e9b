#include "ModuleDescriptor.h"

#include "Dom/JsonObject.h"
#include "Internationalization/Internationalization.h"

#define LOCTEXT_NAMESPACE "ModuleDescriptor"

namespace
{
	// The words a descriptor uses, in the order of the enumerations.
	const TCHAR* const HostTypeNames[] = {TEXT("Runtime"),
	                                      TEXT("RuntimeNoCommandlet"),
	                                      TEXT("RuntimeAndProgram"),
	                                      TEXT("CookedOnly"),
	                                      TEXT("UncookedOnly"),
	                                      TEXT("Developer"),
	                                      TEXT("DeveloperTool"),
	                                      TEXT("Editor"),
	                                      TEXT("EditorNoCommandlet"),
	                                      TEXT("EditorAndProgram"),
	                                      TEXT("Program"),
	                                      TEXT("ServerOnly"),
	                                      TEXT("ClientOnly"),
	                                      TEXT("ClientOnlyNoCommandlet")};
	static_assert(UE_ARRAY_COUNT(HostTypeNames) == EHostType::Max);

	const TCHAR* const LoadingPhaseNames[] = {
	    TEXT("EarliestPossible"), TEXT("PostConfigInit"), TEXT("PostSplashScreen"), TEXT("PreEarlyLoadingScreen"), TEXT("PreLoadingScreen"),
	    TEXT("PreDefault"),       TEXT("Default"),        TEXT("PostDefault"),      TEXT("PostEngineInit"),        TEXT("None")};
	static_assert(UE_ARRAY_COUNT(LoadingPhaseNames) == ELoadingPhase::Max);

	// @return the index of Text among Names in any case, or Count when it is none of them.
	template <int32 Count>
	int32 FindName(const TCHAR* const (&Names)[Count], const TCHAR* Text)
	{
		for (int32 Index = 0; Index < Count; ++Index)
		{
			if (Text != nullptr && FString(Names[Index]).Equals(Text, ESearchCase::IgnoreCase))
			{
				return Index;
			}
		}
		return Count;
	}

	bool Refuse(FText* OutFailReason, const FText& Reason)
	{
		if (OutFailReason)
		{
			*OutFailReason = Reason;
		}
		return false;
	}
} // namespace

EHostType::Type EHostType::FromString(const TCHAR* Text)
{
	return static_cast<Type>(FindName(HostTypeNames, Text));
}

ELoadingPhase::Type ELoadingPhase::FromString(const TCHAR* Text)
{
	return static_cast<Type>(FindName(LoadingPhaseNames, Text));
}

FModuleDescriptor::FModuleDescriptor(const FName InName, EHostType::Type InType, ELoadingPhase::Type InLoadingPhase)
    : Name(InName)
    , Type(InType)
    , LoadingPhase(InLoadingPhase)
{
}

bool FModuleDescriptor::Read(const FJsonObject& Object, FText* OutFailReason)
{
	FString NameText;
	if (!Object.TryGetStringField(TEXT("Name"), NameText) || NameText.IsEmpty())
	{
		return Refuse(OutFailReason, LOCTEXT("ModuleWithoutName", "A module entry has no \"Name\"."));
	}
	FString TypeText;
	if (!Object.TryGetStringField(TEXT("Type"), TypeText))
	{
		return Refuse(OutFailReason, FText::Format(LOCTEXT("ModuleWithoutType", "The module '{0}' has no \"Type\"."), FText::FromString(NameText)));
	}
	const EHostType::Type ReadType = EHostType::FromString(*TypeText);
	if (ReadType == EHostType::Max)
	{
		return Refuse(OutFailReason, FText::Format(LOCTEXT("UnknownModuleType", "The module '{0}' has the unknown type '{1}'."), FText::FromString(NameText),
		                                           FText::FromString(TypeText)));
	}
	ELoadingPhase::Type ReadPhase = ELoadingPhase::Default;
	FString PhaseText;
	if (Object.TryGetStringField(TEXT("LoadingPhase"), PhaseText))
	{
		ReadPhase = ELoadingPhase::FromString(*PhaseText);
		if (ReadPhase == ELoadingPhase::Max)
		{
			return Refuse(OutFailReason, FText::Format(LOCTEXT("UnknownLoadingPhase", "The module '{0}' has the unknown loading phase '{1}'."),
			                                           FText::FromString(NameText), FText::FromString(PhaseText)));
		}
	}
	Name = FName(NameText);
	Type = ReadType;
	LoadingPhase = ReadPhase;
	return true;
}

bool FModuleDescriptor::ReadArray(const FJsonObject& Object, const TCHAR* Name, TArray<FModuleDescriptor>& OutModules, FText* OutFailReason)
{
	if (!Object.HasField(Name))
	{
		return true;
	}
	const TArray<TSharedPtr<FJsonValue>>* Entries = nullptr;
	if (!Object.TryGetArrayField(Name, Entries))
	{
		return Refuse(OutFailReason, FText::Format(LOCTEXT("ModulesNotAnArray", "\"{0}\" is not an array of modules."), FText::FromString(Name)));
	}
	for (const TSharedPtr<FJsonValue>& Entry : *Entries)
	{
		if (!Entry.IsValid() || Entry->Type != EJson::Object)
		{
			return Refuse(OutFailReason, FText::Format(LOCTEXT("ModuleNotAnObject", "An entry of \"{0}\" is not an object."), FText::FromString(Name)));
		}
		FModuleDescriptor Module;
		if (!Module.Read(*Entry->AsObject(), OutFailReason))
		{
			return false;
		}
		OutModules.Add(Module);
	}
	return true;
}

bool FModuleDescriptor::IsLoadedInCurrentConfiguration() const
{
	// The stand-in is always the editor, which loads runtime and editor modules alike.
	return Type != EHostType::CookedOnly && Type != EHostType::Program && Type != EHostType::Max;
}

#undef LOCTEXT_NAMESPACE
