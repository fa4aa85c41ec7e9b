// The configuration system: ini files read into sections of keys with one or more values. Each branch
// ("Engine", "Game", "Editor", ...) combines the project's Config/Default<Branch>.ini with the platform's
// Config/<Platform>/<Platform><Branch>.ini, later files overriding earlier ones.
#pragma once

#include "Containers/Array.h"
#include "Containers/Map.h"
#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "UObject/NameTypes.h"

/** One value of a key. */
class FConfigValue
{
public:
	FConfigValue() = default;
	explicit FConfigValue(const FString& InValue)
	    : SavedValue(InValue)
	{
	}

	const FString& GetValue() const { return SavedValue; }
	const FString& GetSavedValue() const { return SavedValue; }

	bool operator==(const FConfigValue& Other) const { return SavedValue.Equals(Other.SavedValue, ESearchCase::CaseSensitive); }

private:
	FString SavedValue;
};

/**
 * A section: its keys in file order; a key appears once per value (arrays repeat it). Keys are looked up through a
 * hash of their names, as the engine's section is a map, so that reading a file of many keys takes time in
 * proportion to its length.
 */
class FConfigSection
{
public:
	using FPair = TPair<FName, FConfigValue>;

	/** The first value of Key, or null. */
	const FConfigValue* Find(FName Key) const;
	FConfigValue* Find(FName Key);
	bool Contains(FName Key) const { return Find(Key) != nullptr; }
	/** The value of Key equal to Value, or null. */
	const FConfigValue* FindPair(FName Key, const FString& Value) const;

	/** Every value of Key, in order. */
	void MultiFind(FName Key, TArray<FConfigValue>& OutValues, bool bMaintainOrder = true) const;

	void Add(FName Key, const FString& Value);
	/** Removes every value of Key; @return how many. */
	int32 Remove(FName Key);
	/** Removes one value of Key equal to Value; @return how many (0 or 1). */
	int32 RemoveSingle(FName Key, const FString& Value);

	int32 Num() const { return NumPairs; }

private:
	struct FSlot
	{
		FPair Pair;
		bool bRemoved = false;
	};

public:
	/** Walks the pairs in the order they were added. */
	class FConstIterator
	{
	public:
		const FPair& operator*() const { return Current->Pair; }
		const FPair* operator->() const { return &Current->Pair; }
		FConstIterator& operator++()
		{
			++Current;
			SkipRemoved();
			return *this;
		}
		bool operator==(const FConstIterator& Other) const { return Current == Other.Current; }
		bool operator!=(const FConstIterator& Other) const { return Current != Other.Current; }

	private:
		friend class FConfigSection;
		FConstIterator(const FSlot* InCurrent, const FSlot* InEnd)
		    : Current(InCurrent)
		    , End(InEnd)
		{
			SkipRemoved();
		}
		void SkipRemoved()
		{
			while (Current != End && Current->bRemoved)
			{
				++Current;
			}
		}

		const FSlot* Current;
		const FSlot* End;
	};
	FConstIterator begin() const { return FConstIterator(Slots.GetData(), Slots.GetData() + Slots.Num()); }
	FConstIterator end() const { return FConstIterator(Slots.GetData() + Slots.Num(), Slots.GetData() + Slots.Num()); }

private:
	/** The positions in Slots of Key's values, in order; null when it has none. */
	const TArray<int32>* FindPositions(FName Key) const;
	/** Marks one slot removed; the slots are packed once removed ones are half of them. */
	void RemoveSlot(int32 Position);

	// Pairs in the order they were added, each key's positions among them beside: a removed pair stays as a marked
	// slot until the next packing, so that removing one costs no more than finding it.
	TArray<FSlot> Slots;
	TMap<FName, TArray<int32>> Positions;
	int32 NumPairs = 0;
};

/** The combined contents of the files of one branch (or of one file). */
class FConfigFile
{
public:
	/** Reads a file over what is there: plain keys replace, "+" adds a new value, "." adds even a repeated one, "-" removes that value, "!" clears the key. */
	bool Combine(const FString& Filename);
	void CombineFromBuffer(const FString& Buffer, const FString& FileHint);

	const FConfigSection* FindSection(const FString& SectionName) const { return Sections.Find(SectionName); }
	FConfigSection* FindOrAddSection(const FString& SectionName) { return &Sections.FindOrAdd(SectionName); }
	bool DoesSectionExist(const FString& SectionName) const { return Sections.Contains(SectionName); }

	bool GetString(const TCHAR* Section, const TCHAR* Key, FString& Value) const;
	void SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value);

	/** The files read into it, in order. */
	TArray<FString> SourceFiles;

	auto begin() const { return Sections.begin(); }
	auto end() const { return Sections.end(); }

private:
	TMap<FString, FConfigSection> Sections;
};

class FConfigCacheIni
{
public:
	/** Reads the standard branches (Engine, Game, Editor, EditorPerProjectUserSettings, Input) from the project's Config folder. */
	static void InitializeConfigSystem();

	/**
	 * (Re)reads one branch from the project's Config folder into GConfig.
	 * @param OutFinalIniFilename receives the name to pass to the Get functions (the branch name).
	 */
	static bool LoadGlobalIniFile(FString& OutFinalIniFilename, const TCHAR* BaseIniName, const TCHAR* Platform = nullptr, bool bForceReload = false);

	/** The name of a branch's configuration as the Get functions take it. */
	FString GetConfigFilename(const TCHAR* BaseIniName) const { return FString(BaseIniName); }

	/** The configuration loaded under that name (a branch, or an ini file read on first use); null if none. */
	FConfigFile* Find(const FString& Filename);
	FConfigFile* FindConfigFile(const FString& Filename) { return Find(Filename); }
	void SetFile(const FString& Filename, const FConfigFile& NewConfigFile) { Files.Add(Filename, NewConfigFile); }
	void Remove(const FString& Filename) { Files.Remove(Filename); }

	/** The first value of Key. @return false (Value unchanged) when absent. */
	bool GetString(const TCHAR* Section, const TCHAR* Key, FString& Value, const FString& Filename);
	bool GetInt(const TCHAR* Section, const TCHAR* Key, int32& Value, const FString& Filename);
	bool GetInt64(const TCHAR* Section, const TCHAR* Key, int64& Value, const FString& Filename);
	bool GetFloat(const TCHAR* Section, const TCHAR* Key, float& Value, const FString& Filename);
	bool GetDouble(const TCHAR* Section, const TCHAR* Key, double& Value, const FString& Filename);
	/** True/Yes/On and False/No/Off in any case; other text is a number, true when not zero. */
	bool GetBool(const TCHAR* Section, const TCHAR* Key, bool& Value, const FString& Filename);
	/** Every value of Key, in order. @return how many. */
	int32 GetArray(const TCHAR* Section, const TCHAR* Key, TArray<FString>& OutArr, const FString& Filename);
	/** The section as "Key=Value" lines. @return false when there is no such section. */
	bool GetSection(const TCHAR* Section, TArray<FString>& Result, const FString& Filename);
	bool DoesSectionExist(const TCHAR* Section, const FString& Filename);

	/** Changes the value in memory (nothing is written to disk). */
	void SetString(const TCHAR* Section, const TCHAR* Key, const TCHAR* Value, const FString& Filename);
	void SetInt(const TCHAR* Section, const TCHAR* Key, int32 Value, const FString& Filename);
	void SetBool(const TCHAR* Section, const TCHAR* Key, bool Value, const FString& Filename);
	void SetArray(const TCHAR* Section, const TCHAR* Key, const TArray<FString>& Value, const FString& Filename);

	/** Forgets everything loaded. */
	void Reset() { Files.Empty(); }

private:
	TMap<FString, FConfigFile> Files;
};

/** The configuration of the running program. */
extern FConfigCacheIni* GConfig;

/** Branch names to pass to GConfig's Get functions. */
extern FString GEngineIni;
extern FString GGameIni;
extern FString GEditorIni;
extern FString GEditorPerProjectIni;
extern FString GInputIni;
