#include "PluginDescriptor.h"

#include "Dom/JsonObject.h"
#include "Internationalization/Internationalization.h"
#include "Misc/FileHelper.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#define LOCTEXT_NAMESPACE "PluginDescriptor"

namespace
{
	void SetFailReason(FText* OutFailReason, const FText& Reason)
	{
		if (OutFailReason)
		{
			*OutFailReason = Reason;
		}
	}

	void ReadInteger(const FJsonObject& Object, const TCHAR* FieldName, int32& OutValue)
	{
		double Number = 0.0;
		if (Object.TryGetNumberField(FieldName, Number))
		{
			OutValue = static_cast<int32>(Number);
		}
	}
} // namespace

bool FPluginDescriptor::Load(const FString& FileName, FText* OutFailReason)
{
	FString Text;
	if (!FFileHelper::LoadFileToString(Text, *FileName))
	{
		SetFailReason(OutFailReason,
		              FText::Format(LOCTEXT("CannotReadDescriptor", "Could not read the plug-in descriptor '{0}'."), FText::FromString(FileName)));
		return false;
	}
	FText Reason;
	if (!Read(Text, &Reason))
	{
		SetFailReason(OutFailReason,
		              FText::Format(LOCTEXT("InvalidDescriptorFile", "The plug-in descriptor '{0}' is not valid: {1}"), FText::FromString(FileName), Reason));
		return false;
	}
	return true;
}

bool FPluginDescriptor::Read(const FString& Text, FText* OutFailReason)
{
	TSharedPtr<FJsonObject> Object;
	const TSharedRef<TJsonReader<TCHAR>> Reader = TJsonReaderFactory<TCHAR>::Create(Text);
	if (!FJsonSerializer::Deserialize(Reader, Object) || !Object.IsValid())
	{
		const FString ParseError = Reader->GetErrorMessage();
		SetFailReason(OutFailReason, ParseError.IsEmpty() ? LOCTEXT("NotAJsonObject", "it is not a JSON object.") : FText::FromString(ParseError));
		return false;
	}
	// The engine reads no descriptor that does not say which format it is written in.
	double FileVersionNumber = 0.0;
	if (!Object->TryGetNumberField(TEXT("FileVersion"), FileVersionNumber) || FileVersionNumber < 1.0)
	{
		SetFailReason(OutFailReason, LOCTEXT("NoFileVersion", "it has no valid \"FileVersion\" field."));
		return false;
	}
	FileVersion = static_cast<int32>(FileVersionNumber);
	ReadInteger(*Object, TEXT("Version"), Version);
	Object->TryGetStringField(TEXT("VersionName"), VersionName);
	Object->TryGetStringField(TEXT("FriendlyName"), FriendlyName);
	Object->TryGetStringField(TEXT("Description"), Description);
	Object->TryGetStringField(TEXT("Category"), Category);
	Object->TryGetStringField(TEXT("CreatedBy"), CreatedBy);
	Object->TryGetBoolField(TEXT("CanContainContent"), bCanContainContent);
	Object->TryGetBoolField(TEXT("IsBetaVersion"), bIsBetaVersion);
	Object->TryGetBoolField(TEXT("ExplicitlyLoaded"), bExplicitlyLoaded);
	TArray<FModuleDescriptor> ReadModules;
	if (!FModuleDescriptor::ReadArray(*Object, TEXT("Modules"), ReadModules, OutFailReason))
	{
		return false;
	}
	Modules = MoveTemp(ReadModules);
	return true;
}

#undef LOCTEXT_NAMESPACE
