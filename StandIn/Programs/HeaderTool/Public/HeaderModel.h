// What the header tool reads from one header: the reflected classes, structures, enums and dynamic delegates,
// with their specifiers and metadata, before any code is written for them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace HeaderTool
{
	/** Key/value metadata in declaration order; a key set twice keeps its first place and its last value. */
	struct FMetaData
	{
		std::vector<std::pair<std::string, std::string>> Entries;

		void Set(const std::string& Key, const std::string& Value);
		const std::string* Find(const std::string& Key) const;
		bool Contains(const std::string& Key) const { return Find(Key) != nullptr; }
	};

	/** One specifier as written: `Name`, `Name=Value` or `Name=(A, B)`. */
	struct FSpecifier
	{
		std::string Name;
		std::vector<std::string> Values;
		int Line = 0;
	};

	enum class EAccess
	{
		Public,
		Protected,
		Private
	};

	/** A type as written, split into what the generated code needs. */
	struct FTypeText
	{
		/** The type without top-level const and reference: what a parameter block member holds. */
		std::string ValueType;
		bool bConst = false;
		bool bReference = false;
	};

	struct FParam
	{
		std::string Name;
		FTypeText Type;
		std::vector<FSpecifier> UParamSpecifiers;
		FMetaData MetaData;
		std::string DefaultValue;
		int Line = 0;
	};

	struct FFunction
	{
		std::string Name;
		std::string ReturnType; // empty for void
		std::vector<FParam> Params;
		std::vector<FSpecifier> Specifiers;
		FMetaData MetaData;
		EAccess Access = EAccess::Public;
		bool bStatic = false;
		bool bConst = false;
		bool bVirtual = false;
		int Line = 0;
	};

	struct FProperty
	{
		std::string Name;
		std::string Type;
		std::vector<FSpecifier> Specifiers;
		FMetaData MetaData;
		EAccess Access = EAccess::Public;
		int Line = 0;
	};

	/** A dynamic delegate type: its signature becomes a reflected function. */
	struct FDelegate
	{
		std::string Name;       // the C++ type name, e.g. FOnDone
		std::string OuterClass; // the class it is declared in, or empty at namespace scope
		bool bMulticast = false;
		std::vector<FParam> Params;
		int Line = 0;
	};

	/** A UCLASS or a USTRUCT. */
	struct FClass
	{
		bool bStruct = false;
		std::string Name;
		std::string SuperName;
		std::string ApiMacro;
		std::vector<FSpecifier> Specifiers;
		FMetaData MetaData;
		std::vector<FFunction> Functions;
		std::vector<FProperty> Properties;
		int Line = 0;
		int GeneratedBodyLine = 0;
	};

	struct FEnumValue
	{
		std::string Name;
		FMetaData MetaData;
		int Line = 0;
	};

	struct FEnum
	{
		std::string Name;
		std::string UnderlyingType; // empty when the declaration gives none
		bool bEnumClass = false;
		std::vector<FSpecifier> Specifiers;
		FMetaData MetaData;
		std::vector<FEnumValue> Values;
		int Line = 0;
	};

	struct FHeader
	{
		std::string Path;            // as given to the tool
		std::string BaseName;        // file name without ".h"
		std::string RelativePath;    // to the module folder, e.g. Public/Foo.h
		std::string IncludePath;     // as others include it, e.g. Foo.h for Public/Foo.h
		std::vector<FClass> Classes; // classes and structures in declaration order
		std::vector<FEnum> Enums;
		std::vector<FDelegate> Delegates;

		bool HasReflectedTypes() const { return !Classes.empty() || !Enums.empty() || !Delegates.empty(); }
	};

	/** A header the tool cannot understand; the build stops with the file, line and reason. */
	struct FParseError
	{
		std::string File;
		int Line = 0;
		std::string Reason;

		std::string Describe() const;
	};
} // namespace HeaderTool
