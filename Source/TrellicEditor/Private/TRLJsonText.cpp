// Copyright Trellic contributors. All Rights Reserved.

#include "TRLJsonText.h"

#include "Dom/JsonObject.h"
#include "Misc/FileHelper.h"
#include "Policies/PrettyJsonPrintPolicy.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"

FString FTRLJsonText::ToString(const TSharedRef<FJsonObject>& Object)
{
	FString Text;
	const TSharedRef<TJsonWriter<TCHAR, TPrettyJsonPrintPolicy<TCHAR>>> Writer = TJsonWriterFactory<TCHAR, TPrettyJsonPrintPolicy<TCHAR>>::Create(&Text);
	FJsonSerializer::Serialize(Object, Writer);
	// The writer ends lines with its platform's LINE_TERMINATOR; a mod's files are the same whichever editor wrote
	// them. Strings escape their own line feeds, so every line end in the text is the writer's.
	Text.ReplaceInline(LINE_TERMINATOR, TEXT("\r\n"), ESearchCase::CaseSensitive);
	return Text;
}

TSharedPtr<FJsonObject> FTRLJsonText::LoadJsonFile(const FString& Path)
{
	FString Text;
	TSharedPtr<FJsonObject> Object;
	if (!FFileHelper::LoadFileToString(Text, *Path) || !FJsonSerializer::Deserialize(TJsonReaderFactory<TCHAR>::Create(Text), Object))
	{
		return nullptr;
	}
	return Object;
}
