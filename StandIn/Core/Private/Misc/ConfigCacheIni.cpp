#include "Misc/ConfigCacheIni.h"

#include "Logging/LogMacros.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"

#include <cstdlib>

DEFINE_LOG_CATEGORY_STATIC(LogConfig, Log, All);

namespace
{
	FConfigCacheIni GConfigInstance;

	// Removes surrounding quotes and their escapes: "a \"b\"" reads as a "b".
	FString UnquoteValue(const FString& Value)
	{
		if (Value.Len() < 2 || Value[0] != TEXT('"'))
		{
			return Value;
		}
		FString Result;
		for (int32 Index = 1; Index < Value.Len(); ++Index)
		{
			const TCHAR Char = Value[Index];
			if (Char == TEXT('"'))
			{
				return Result;
			}
			if (Char == TEXT('\\') && Index + 1 < Value.Len())
			{
				const TCHAR Escaped = Value[++Index];
				Result.AppendChar(Escaped == TEXT('n') ? TEXT('\n') : Escaped == TEXT('t') ? TEXT('\t') : Escaped);
				continue;
			}
			Result.AppendChar(Char);
		}
		// No closing quote: the text is taken as written.
		return Value;
	}

	bool ParseBool(const FString& Text, bool& OutValue)
	{
		const FString Trimmed = Text.TrimStartAndEnd();
		for (const TCHAR* Word : {TEXT("True"), TEXT("Yes"), TEXT("On")})
		{
			if (Trimmed.Equals(Word, ESearchCase::IgnoreCase))
			{
				OutValue = true;
				return true;
			}
		}
		for (const TCHAR* Word : {TEXT("False"), TEXT("No"), TEXT("Off")})
		{
			if (Trimmed.Equals(Word, ESearchCase::IgnoreCase))
			{
				OutValue = false;
				return true;
			}
		}
		OutValue = std::strtoll(Trimmed.ToUtf8().c_str(), nullptr, 10) != 0;
		return true;
	}

	const TCHAR* PlatformIniName()
	{
#if PLATFORM_WINDOWS
		return TEXT("Windows");
#else
		return TEXT("Linux");
#endif
	}
} // namespace

FConfigCacheIni* GConfig = &GConfigInstance;
FString GEngineIni = TEXT("Engine");
FString GGameIni = TEXT("Game");
FString GEditorIni = TEXT("Editor");
FString GEditorPerProjectIni = TEXT("EditorPerProjectUserSettings");
FString GInputIni = TEXT("Input");

// FConfigSection

const TArray<int32>* FConfigSection::FindPositions(FName Key) const
{
	const TArray<int32>* Found = Positions.Find(Key);
	return Found && !Found->IsEmpty() ? Found : nullptr;
}

const FConfigValue* FConfigSection::Find(FName Key) const
{
	const TArray<int32>* Found = FindPositions(Key);
	return Found ? &Slots[(*Found)[0]].Pair.Value : nullptr;
}

FConfigValue* FConfigSection::Find(FName Key)
{
	return const_cast<FConfigValue*>(static_cast<const FConfigSection*>(this)->Find(Key));
}

const FConfigValue* FConfigSection::FindPair(FName Key, const FString& Value) const
{
	if (const TArray<int32>* Found = FindPositions(Key))
	{
		for (const int32 Position : *Found)
		{
			if (Slots[Position].Pair.Value.GetValue().Equals(Value, ESearchCase::CaseSensitive))
			{
				return &Slots[Position].Pair.Value;
			}
		}
	}
	return nullptr;
}

void FConfigSection::MultiFind(FName Key, TArray<FConfigValue>& OutValues, bool bMaintainOrder) const
{
	(void)bMaintainOrder;
	if (const TArray<int32>* Found = FindPositions(Key))
	{
		for (const int32 Position : *Found)
		{
			OutValues.Add(Slots[Position].Pair.Value);
		}
	}
}

void FConfigSection::Add(FName Key, const FString& Value)
{
	Positions.FindOrAdd(Key).Add(Slots.Num());
	Slots.Add(FSlot{{Key, FConfigValue(Value)}});
	++NumPairs;
}

int32 FConfigSection::Remove(FName Key)
{
	TArray<int32>* Found = Positions.Find(Key);
	if (!Found || Found->IsEmpty())
	{
		return 0;
	}
	const TArray<int32> Removed = MoveTemp(*Found);
	Found->Reset();
	for (const int32 Position : Removed)
	{
		RemoveSlot(Position);
	}
	return Removed.Num();
}

int32 FConfigSection::RemoveSingle(FName Key, const FString& Value)
{
	TArray<int32>* Found = Positions.Find(Key);
	if (!Found)
	{
		return 0;
	}
	const int32 Index = Found->IndexOfByPredicate([this, &Value](int32 Position) {
		return Slots[Position].Pair.Value.GetValue().Equals(Value, ESearchCase::CaseSensitive);
	});
	if (Index == INDEX_NONE)
	{
		return 0;
	}
	const int32 Position = (*Found)[Index];
	Found->RemoveAt(Index);
	RemoveSlot(Position);
	return 1;
}

void FConfigSection::RemoveSlot(int32 Position)
{
	Slots[Position].bRemoved = true;
	--NumPairs;
	if (Slots.Num() - NumPairs <= NumPairs)
	{
		return;
	}
	// Half the slots are holes: pack the live ones and find every key's positions again, once per as many removals.
	TArray<FSlot> Live;
	Live.Reserve(NumPairs);
	Positions.Empty();
	for (FSlot& Slot : Slots)
	{
		if (!Slot.bRemoved)
		{
			Positions.FindOrAdd(Slot.Pair.Key).Add(Live.Num());
			Live.Add(MoveTemp(Slot));
		}
	}
	Slots = MoveTemp(Live);
}

// FConfigFile

bool FConfigFile::Combine(const FString& Filename)
{
	FString Contents;
	if (!FFileHelper::LoadFileToString(Contents, *Filename))
	{
		return false;
	}
	CombineFromBuffer(Contents, Filename);
	SourceFiles.Add(Filename);
	return true;
}

void FConfigFile::CombineFromBuffer(const FString& Buffer, const FString& FileHint)
{
	TArray<FString> Lines;
	Buffer.Replace(TEXT("\r"), TEXT("")).ParseIntoArray(Lines, TEXT("\n"), false);
	FConfigSection* Section = nullptr;
	int32 LineNumber = 0;
	for (const FString& RawLine : Lines)
	{
		++LineNumber;
		const FString Line = RawLine.TrimStartAndEnd();
		if (Line.IsEmpty() || Line[0] == TEXT(';') || Line[0] == TEXT('#'))
		{
			continue;
		}
		if (Line[0] == TEXT('[') && Line.EndsWith(TEXT("]")))
		{
			Section = FindOrAddSection(Line.Mid(1, Line.Len() - 2).TrimStartAndEnd());
			continue;
		}
		if (!Section)
		{
			UE_LOG(LogConfig, Warning, TEXT("%s(%d): a key outside any section is ignored"), *FileHint, LineNumber);
			continue;
		}
		int32 Equals = INDEX_NONE;
		const bool bHasValue = Line.FindChar(TEXT('='), Equals);
		FString Key = bHasValue ? Line.Left(Equals).TrimStartAndEnd() : Line;
		const FString Value = bHasValue ? UnquoteValue(Line.RightChop(Equals + 1).TrimStartAndEnd()) : FString();
		TCHAR Command = TEXT(' ');
		if (!Key.IsEmpty() &&
		    (Key[0] == TEXT('+') || Key[0] == TEXT('-') || Key[0] == TEXT('.') || Key[0] == TEXT('!') || Key[0] == TEXT('@') || Key[0] == TEXT('*')))
		{
			Command = Key[0];
			Key = Key.RightChop(1).TrimStartAndEnd();
		}
		if (Key.IsEmpty())
		{
			continue;
		}
		const FName KeyName(Key);
		switch (Command)
		{
			case TEXT('+'):
				if (!Section->FindPair(KeyName, Value))
				{
					Section->Add(KeyName, Value);
				}
				break;
			case TEXT('.'):
				Section->Add(KeyName, Value);
				break;
			case TEXT('-'):
				Section->RemoveSingle(KeyName, Value);
				break;
			case TEXT('!'):
				Section->Remove(KeyName);
				break;
			case TEXT('@'):
			case TEXT('*'):
				// Keys for arrays of structures; nothing here reads them.
				break;
			default:
				if (FConfigValue* Existing = Section->Find(KeyName))
				{
					*Existing = FConfigValue(Value);
				}
				else
				{
					Section->Add(KeyName, Value);
				}
				break;
		}
	}
}

bool FConfigFile::GetString(const TCHAR* SectionName, const TCHAR* Key, FString& Value) const
{
	const FConfigSection* Section = FindSection(SectionName);
	const FConfigValue* Found = Section ? Section->Find(FName(Key)) : nullptr;
	if (!Found)
	{
		return false;
	}
	Value = Found->GetValue();
	return true;
}

void FConfigFile::SetString(const TCHAR* SectionName, const TCHAR* Key, const TCHAR* Value)
{
	FConfigSection* Section = FindOrAddSection(SectionName);
	if (FConfigValue* Existing = Section->Find(FName(Key)))
	{
		*Existing = FConfigValue(FString(Value));
	}
	else
	{
		Section->Add(FName(Key), FString(Value));
	}
}

// FConfigCacheIni

void FConfigCacheIni::InitializeConfigSystem()
{
	GConfig->Reset();
	LoadGlobalIniFile(GEngineIni, TEXT("Engine"));
	LoadGlobalIniFile(GGameIni, TEXT("Game"));
	LoadGlobalIniFile(GEditorIni, TEXT("Editor"));
	LoadGlobalIniFile(GEditorPerProjectIni, TEXT("EditorPerProjectUserSettings"));
	LoadGlobalIniFile(GInputIni, TEXT("Input"));
}

bool FConfigCacheIni::LoadGlobalIniFile(FString& OutFinalIniFilename, const TCHAR* BaseIniName, const TCHAR* Platform, bool bForceReload)
{
	OutFinalIniFilename = BaseIniName;
	if (!bForceReload && GConfig->Files.Contains(OutFinalIniFilename))
	{
		return true;
	}
	const FString PlatformName = Platform ? FString(Platform) : FString(PlatformIniName());
	const FString ConfigDir = FPaths::ProjectConfigDir();
	FConfigFile Branch;
	bool bAnyFile = false;
	bAnyFile |= Branch.Combine(ConfigDir / (FString(TEXT("Default")) + BaseIniName + TEXT(".ini")));
	bAnyFile |= Branch.Combine(ConfigDir / PlatformName / (PlatformName + BaseIniName + TEXT(".ini")));
	GConfig->Files.Add(OutFinalIniFilename, Branch);
	return bAnyFile;
}

FConfigFile* FConfigCacheIni::Find(const FString& Filename)
{
	if (FConfigFile* Found = Files.Find(Filename))
	{
		return Found;
	}
	// An ini file that is not a branch is read on first use, as the engine does for other config files.
	if (Filename.EndsWith(TEXT(".ini")))
	{
		FConfigFile File;
		if (File.Combine(Filename))
		{
			return &Files.Add(Filename, File);
		}
	}
	return nullptr;
}

bool FConfigCacheIni::GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename)
{
	const FConfigFile* File = Find(Filename);
	return File && File->GetString(Section, Key, Value);
}

bool FConfigCacheIni::GetInt(const TCHAR* Section, const TCHAR* Key, int32& Value, const FString& Filename)
{
	int64 Wide = 0;
	if (!GetInt64(Section, Key, Wide, Filename))
	{
		return false;
	}
	Value = static_cast<int32>(Wide);
	return true;
}

bool FConfigCacheIni::GetInt64(const TCHAR* Section, const TCHAR* Key, int64& Value, const FString& Filename)
{
	FString Text;
	if (!GetString(Section, Key, Text, Filename))
	{
		return false;
	}
	Value = std::strtoll(Text.ToUtf8().c_str(), nullptr, 0);
	return true;
}

bool FConfigCacheIni::GetFloat(const TCHAR* Section, const TCHAR* Key, float& Value, const FString& Filename)
{
	double Wide = 0.0;
	if (!GetDouble(Section, Key, Wide, Filename))
	{
		return false;
	}
	Value = static_cast<float>(Wide);
	return true;
}

bool FConfigCacheIni::GetDouble(const TCHAR* Section, const TCHAR* Key, double& Value, const FString& Filename)
{
	FString Text;
	if (!GetString(Section, Key, Text, Filename))
	{
		return false;
	}
	Value = std::strtod(Text.ToUtf8().c_str(), nullptr);
	return true;
}

bool FConfigCacheIni::GetBool(const TCHAR* Section, const TCHAR* Key, bool& Value, const FString& Filename)
{
	FString Text;
	return GetString(Section, Key, Text, Filename) && ParseBool(Text, Value);
}

int32 FConfigCacheIni::GetArray(const TCHAR* Section, const TCHAR* Key, TArray<FString>& OutArr, const FString& Filename)
{
	OutArr.Reset();
	const FConfigFile* File = Find(Filename);
	const FConfigSection* Found = File ? File->FindSection(Section) : nullptr;
	if (!Found)
	{
		return 0;
	}
	TArray<FConfigValue> Values;
	Found->MultiFind(FName(Key), Values);
	for (const FConfigValue& Value : Values)
	{
		OutArr.Add(Value.GetValue());
	}
	return OutArr.Num();
}

bool FConfigCacheIni::GetSection(const TCHAR* Section, TArray<FString>& Result, const FString& Filename)
{
	Result.Reset();
	const FConfigFile* File = Find(Filename);
	const FConfigSection* Found = File ? File->FindSection(Section) : nullptr;
	if (!Found)
	{
		return false;
	}
	for (const FConfigSection::FPair& Pair : *Found)
	{
		Result.Add(Pair.Key.ToString() + TEXT("=") + Pair.Value.GetValue());
	}
	return true;
}

bool FConfigCacheIni::DoesSectionExist(const TCHAR* Section, const FString& Filename)
{
	const FConfigFile* File = Find(Filename);
	return File && File->DoesSectionExist(Section);
}

void FConfigCacheIni::SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value, const FString& Filename)
{
	FConfigFile* File = Find(Filename);
	if (!File)
	{
		File = &Files.Add(Filename, FConfigFile());
	}
	File->SetString(Section, Key, Value);
}

void FConfigCacheIni::SetInt(const TCHAR* Section, const TCHAR* Key, int32 Value, const FString& Filename)
{
	SetString(Section, Key, *FString::FromInt(Value), Filename);
}

void FConfigCacheIni::SetBool(const TCHAR* Section, const TCHAR* Key, bool Value, const FString& Filename)
{
	SetString(Section, Key, Value ? TEXT("True") : TEXT("False"), Filename);
}

void FConfigCacheIni::SetArray(const TCHAR* Section, const TCHAR* Key, const TArray<FString>& Value, const FString& Filename)
{
	FConfigFile* File = Find(Filename);
	if (!File)
	{
		File = &Files.Add(Filename, FConfigFile());
	}
	FConfigSection* Found = File->FindOrAddSection(Section);
	Found->Remove(FName(Key));
	for (const FString& Item : Value)
	{
		Found->Add(FName(Key), Item);
	}
}
