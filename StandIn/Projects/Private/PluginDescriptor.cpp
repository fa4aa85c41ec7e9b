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

	// An absent field keeps the default; one that is there must read as an int32, as the engine's JSON value reads
	// it: a number out of range fails the read rather than wrapping.
	bool ReadInteger(const FJsonObject& Object, const TCHAR* FieldName, int32& OutValue, FText* OutFailReason)
	{
		if (!Object.HasField(FieldName) || Object.TryGetNumberField(FieldName, OutValue))
		{
			return true;
		}
		SetFailReason(OutFailReason,
		              FText::Format(LOCTEXT("NotAnInt32", "its \"{0}\" is not a whole number from -2147483648 to 2147483647."), FText::FromString(FieldName)));
		return false;
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
	int32 ReadFileVersion = 0;
	if (!Object->TryGetNumberField(TEXT("FileVersion"), ReadFileVersion) || ReadFileVersion < 1)
	{
		SetFailReason(OutFailReason, LOCTEXT("NoFileVersion", "it has no valid \"FileVersion\" field."));
		return false;
	}
	int32 ReadVersion = Version;
	if (!ReadInteger(*Object, TEXT("Version"), ReadVersion, OutFailReason))
	{
		return false;
	}
	FileVersion = ReadFileVersion;
	Version = ReadVersion;
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
