#include "CodeGenerator.h"
#include "HeaderParser.h"
#include "HeaderTokenizer.h"

#include <gtest/gtest.h>

using namespace HeaderTool;

namespace
{
	FHeader Parse(const std::string& Source, const std::string& BaseName = "Sample")
	{
		FHeader Header;
		Header.Path = "/mod/Public/" + BaseName + ".h";
		Header.BaseName = BaseName;
		Header.RelativePath = "Public/" + BaseName + ".h";
		Header.IncludePath = BaseName + ".h";
		ParseHeader(Source, Header);
		return Header;
	}

	/** The error that parsing Source raises; fails the test when it parses. */
	FParseError ParseError(const std::string& Source)
	{
		try
		{
			Parse(Source);
		}
		catch (const FParseError& Error)
		{
			return Error;
		}
		ADD_FAILURE() << "the header parsed";
		return {};
	}

	const std::string Prologue = "#pragma once\n#include \"UObject/Object.h\"\n#include \"Sample.generated.h\"\n";

	std::string MetaValue(const FMetaData& MetaData, const std::string& Key)
	{
		const std::string* Value = MetaData.Find(Key);
		return Value ? *Value : "<absent>";
	}
} // namespace

TEST(HeaderTokenizer, DocCommentsBecomeTooltipsWithTheEnginesLayout)
{
	EXPECT_EQ(FormatCommentForToolTip("/** One line. */"), "One line.");
	EXPECT_EQ(FormatCommentForToolTip("/**\n * First paragraph\n * goes on.\n *\n *\n * Second.\n */"), "First paragraph\ngoes on.\n\nSecond.");
	EXPECT_EQ(FormatCommentForToolTip("// Line one\n// Line two"), "Line one\nLine two");
	EXPECT_EQ(FormatCommentForToolTip("/**   */"), "");
	EXPECT_EQ(FormatCommentForToolTip("/** Starred **/"), "Starred");
}

TEST(HeaderParser, ReadsAClassWithItsFunctionsParametersAndAccess)
{
	const FHeader Header = Parse(Prologue + R"(
/**
 * Creates mods.
 *
 * More.
 */
UCLASS(MinimalAPI, config=Game, meta=(DisplayName="Scaffold"))
class MODULE_API UScaffold : public UObject
{
	GENERATED_BODY()

public:
	/** Make one. */
	UFUNCTION(BlueprintCallable, Category = "A|B")
	static FString CreateMod(const FString& ModName, FString const& Author, FText& OutError, int32 Count = 2);

	UFUNCTION(BlueprintPure, Category = "A|B")
	static bool IsValidModName(const FString& ModName, FText& OutReason);

	int32 NotReflected() { return 1; }

	UPROPERTY(Config, EditAnywhere, Category = "Settings")
	TArray<FString> Paths;

protected:
	UFUNCTION(BlueprintCallable)
	int32 Touch(UPARAM(ref) int32& Value, UPARAM(DisplayName="Other") UObject* Target) const;

private:
	UFUNCTION()
	void HandleDone(ETRLResult Result, const FString& ItemId, const FText& StatusMessage);

	UPROPERTY()
	TObjectPtr<UPublisher> Publisher;
};
)");
	ASSERT_EQ(Header.Classes.size(), 1u);
	const FClass& Class = Header.Classes[0];
	EXPECT_EQ(Class.Name, "UScaffold");
	EXPECT_EQ(Class.SuperName, "UObject");
	EXPECT_EQ(Class.ApiMacro, "MODULE_API");
	EXPECT_EQ(Class.GeneratedBodyLine, 13);
	EXPECT_EQ(MetaValue(Class.MetaData, "ToolTip"), "Creates mods.\n\nMore.");
	EXPECT_EQ(MetaValue(Class.MetaData, "DisplayName"), "Scaffold");
	ASSERT_NE(FindSpecifier(Class.Specifiers, "config"), nullptr);
	EXPECT_EQ(FindSpecifier(Class.Specifiers, "Config")->Values, std::vector<std::string>{"Game"});

	ASSERT_EQ(Class.Functions.size(), 4u);
	const FFunction& CreateMod = Class.Functions[0];
	EXPECT_EQ(CreateMod.Name, "CreateMod");
	EXPECT_TRUE(CreateMod.bStatic);
	EXPECT_EQ(CreateMod.Access, EAccess::Public);
	EXPECT_EQ(CreateMod.ReturnType, "FString");
	EXPECT_EQ(MetaValue(CreateMod.MetaData, "ToolTip"), "Make one.");
	ASSERT_EQ(CreateMod.Params.size(), 4u);
	EXPECT_EQ(CreateMod.Params[0].Type.ValueType, "FString");
	EXPECT_TRUE(CreateMod.Params[0].Type.bConst && CreateMod.Params[0].Type.bReference);
	EXPECT_TRUE(CreateMod.Params[1].Type.bConst && CreateMod.Params[1].Type.bReference);
	EXPECT_EQ(CreateMod.Params[2].Name, "OutError");
	EXPECT_TRUE(!CreateMod.Params[2].Type.bConst && CreateMod.Params[2].Type.bReference);
	EXPECT_EQ(CreateMod.Params[3].DefaultValue, "2");

	const FFunction& Touch = Class.Functions[2];
	EXPECT_EQ(Touch.Access, EAccess::Protected);
	EXPECT_TRUE(Touch.bConst);
	EXPECT_FALSE(Touch.bStatic);
	EXPECT_NE(FindSpecifier(Touch.Params[0].UParamSpecifiers, "ref"), nullptr);
	EXPECT_EQ(Touch.Params[1].Type.ValueType, "UObject*");
	EXPECT_EQ(MetaValue(Touch.Params[1].MetaData, "DisplayName"), "Other");

	const FFunction& HandleDone = Class.Functions[3];
	EXPECT_EQ(HandleDone.Access, EAccess::Private);
	EXPECT_TRUE(HandleDone.ReturnType.empty());
	EXPECT_EQ(HandleDone.Params.size(), 3u);

	ASSERT_EQ(Class.Properties.size(), 2u);
	EXPECT_EQ(Class.Properties[0].Type, "TArray<FString>");
	EXPECT_EQ(Class.Properties[0].Access, EAccess::Public);
	EXPECT_EQ(Class.Properties[1].Name, "Publisher");
	EXPECT_EQ(Class.Properties[1].Type, "TObjectPtr<UPublisher>");
	EXPECT_EQ(Class.Properties[1].Access, EAccess::Private);
}

TEST(HeaderParser, ReadsEnumsWithUnderlyingTypeValuesAndValueMetadata)
{
	const FHeader Header = Parse(Prologue + R"(
/** Outcome. */
UENUM(BlueprintType)
enum class EResult : uint8
{
	/** It started. */
	Started UMETA(DisplayName = "Started"),
	InvalidMod = 4 UMETA(DisplayName = "Invalid Mod", ToolTip = "Given."),
	Last
};

UENUM()
enum ERegular : int32 { First, Second };
)");
	ASSERT_EQ(Header.Enums.size(), 2u);
	const FEnum& Result = Header.Enums[0];
	EXPECT_TRUE(Result.bEnumClass);
	EXPECT_EQ(Result.UnderlyingType, "uint8");
	EXPECT_EQ(MetaValue(Result.MetaData, "ToolTip"), "Outcome.");
	ASSERT_EQ(Result.Values.size(), 3u);
	EXPECT_EQ(MetaValue(Result.Values[0].MetaData, "ToolTip"), "It started.");
	EXPECT_EQ(MetaValue(Result.Values[1].MetaData, "DisplayName"), "Invalid Mod");
	EXPECT_EQ(MetaValue(Result.Values[1].MetaData, "ToolTip"), "Given.");
	EXPECT_EQ(MetaValue(Result.Values[2].MetaData, "DisplayName"), "<absent>");
	EXPECT_FALSE(Header.Enums[1].bEnumClass);
	EXPECT_EQ(Header.Enums[1].UnderlyingType, "int32");
}

TEST(HeaderParser, ReadsDynamicDelegateDeclarations)
{
	const FHeader Header = Parse(Prologue + R"(
DECLARE_DYNAMIC_MULTICAST_DELEGATE_ThreeParams(FOnPublishComplete, ETRLWorkshopResult, Result, const FString&, ItemId, const FText&, StatusMessage);
DECLARE_DYNAMIC_DELEGATE(FOnNothing);
)");
	ASSERT_EQ(Header.Delegates.size(), 2u);
	EXPECT_TRUE(Header.Delegates[0].bMulticast);
	ASSERT_EQ(Header.Delegates[0].Params.size(), 3u);
	EXPECT_EQ(Header.Delegates[0].Params[2].Name, "StatusMessage");
	EXPECT_EQ(Header.Delegates[0].Params[2].Type.ValueType, "FText");
	EXPECT_FALSE(Header.Delegates[1].bMulticast);
	EXPECT_TRUE(Header.Delegates[1].Params.empty());
}

TEST(HeaderParser, IgnoresAnnotationsInCommentsStringsAndMacroDefinitions)
{
	const FHeader Header = Parse(R"H(#pragma once
#define MY_MACRO UCLASS()
// UCLASS() in a comment
/* UFUNCTION() */
static const char* Text = "UPROPERTY()";
#if 0
UCLASS()
class UNever : public UObject {};
#endif
)H");
	EXPECT_FALSE(Header.HasReflectedTypes());
}

TEST(HeaderParser, RefusesWhatItCannotUnderstandWithTheLineAndReason)
{
	struct FCase
	{
		std::string Body;
		int Line;
		std::string Reason;
	};
	const FCase Cases[] = {
	    {"UCLASS(Blueprintabel)\nclass UA : public UObject { GENERATED_BODY() };", 4, "Unknown class specifier 'Blueprintabel'"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION(BlueprintCallable, Category=)\n\tstatic void F();\n};", 8,
	     "Expected a value after '='"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION(BlueprintCallable\n\tstatic void F();\n};", 9, "Expected ',' or ')'"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tUFUNCTION()\n\tvoid F();\n};", 7, "GENERATED_BODY() must come before"},
	    {"UCLASS()\nclass UA\n{\n\tGENERATED_BODY()\n};", 5, "must derive from UObject"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION(BlueprintPure)\n\tstatic void F();\n};", 8,
	     "BlueprintPure specifier is not allowed"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION(BlueprintImplementableEvent)\n\tvoid F();\n};", 8, "not supported"},
	    {"UENUM()\nenum EPlain { A, B };", 4, "needs 'enum class' or an explicit underlying type"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUPROPERTY()\n\tstatic int32 X;\n};", 8, "cannot be static"},
	    {"UPROPERTY()\nint32 Loose;", 4, "only allowed inside a UCLASS or USTRUCT"},
	    // What the engine's scripting cannot hold stops the build here as it does there.
	    {"UENUM(BlueprintType)\nenum class EA : int32 { A };", 4, "BlueprintType enum must have the underlying type uint8 ('EA' has int32)"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION(BlueprintCallable)\n\tstatic void F(int32 A, uint32 B);\n};", 9,
	     "Type 'uint32' is not supported by blueprint. Function: F Parameter: B"},
	    {"UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION(BlueprintPure)\n\tstatic uint16 F();\n};", 8,
	     "Type 'uint16' is not supported by blueprint. Function: F Return value"},
	};
	for (const FCase& Case : Cases)
	{
		const FParseError Error = ParseError(Prologue + Case.Body);
		EXPECT_EQ(Error.File, "/mod/Public/Sample.h");
		EXPECT_EQ(Error.Line, Case.Line) << Case.Body;
		EXPECT_NE(Error.Reason.find(Case.Reason), std::string::npos) << Error.Reason;
	}
}

TEST(HeaderParser, RequiresTheGeneratedHeaderAsTheLastInclude)
{
	const std::string Class = "\nUCLASS()\nclass UA : public UObject { GENERATED_BODY() };\n";
	EXPECT_NE(ParseError("#pragma once\n#include \"UObject/Object.h\"\n" + Class).Reason.find("Sample.generated.h"), std::string::npos);
	const FParseError Late = ParseError(Prologue + "#include \"Other.h\"\n" + Class);
	EXPECT_EQ(Late.Line, 4);
	EXPECT_NE(Late.Reason.find("last include"), std::string::npos);
}

TEST(CodeGenerator, WritesTheBodyMacroForTheGeneratedBodyLineAndTheRegistration)
{
	const FHeader Header = Parse(Prologue + "UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION()\n\tvoid F(int32 X);\n};\n");
	const std::string GeneratedHeader = GenerateHeader("Mod", Header);
	EXPECT_NE(GeneratedHeader.find("#define TRL_FID_Mod_Public_Sample_h_7_GENERATED_BODY"), std::string::npos);
	EXPECT_NE(GeneratedHeader.find("#define CURRENT_FILE_ID TRL_FID_Mod_Public_Sample_h"), std::string::npos);
	const std::string Source = GenerateModuleSource("Mod", {Header});
	EXPECT_NE(Source.find("#include \"/mod/Public/Sample.h\""), std::string::npos);
	EXPECT_NE(Source.find("TEXT(\"/Script/Mod\"), TEXT(\"A\")"), std::string::npos);
	EXPECT_NE(Source.find("static_cast<UA*>(Context)->F(P.X);"), std::string::npos);

	const FHeader Empty = Parse("#pragma once\nint X;\n");
	EXPECT_EQ(GenerateHeader("Mod", Empty).find("GENERATED_BODY"), std::string::npos);
}

TEST(HeaderParser, SkipsInlineBodiesAndKeepsTemplatesDefaultsAndCommentsApart)
{
	const FHeader Header = Parse(Prologue + R"(
UCLASS()
class UA : public UObject
{
	GENERATED_BODY()

public:
	int32 Inline() const { if (true) { return 1; } return 0; }

	// The map.
	UFUNCTION(BlueprintCallable,
	          Category = "Maps")
	static TMap<FString, int32> Map(const TMap<FString, int32>& In, FString Name = FString(TEXT("a,b")));

	UPROPERTY() int32 Counter = 0; // a trailing note, not the next one's tooltip
	UPROPERTY()
	int32 Next{3};

	UFUNCTION(BlueprintCallable)
	int32 Get() const;

	UFUNCTION(BlueprintCallable, BlueprintPure = false)
	int32 GetImpure() const;
};
)");
	const FClass& Class = Header.Classes.at(0);
	ASSERT_EQ(Class.Functions.size(), 3u);
	const FFunction& Map = Class.Functions[0];
	EXPECT_EQ(Map.ReturnType, "TMap<FString, int32>");
	EXPECT_EQ(MetaValue(Map.MetaData, "ToolTip"), "The map.");
	ASSERT_EQ(Map.Params.size(), 2u);
	EXPECT_EQ(Map.Params[0].Type.ValueType, "TMap<FString, int32>");
	EXPECT_EQ(Map.Params[1].DefaultValue, "FString(TEXT(\"a,b\"))");
	ASSERT_EQ(Class.Properties.size(), 2u);
	EXPECT_EQ(Class.Properties[1].Name, "Next");
	EXPECT_EQ(MetaValue(Class.Properties[1].MetaData, "ToolTip"), "<absent>");

	// A const callable function is pure unless it says otherwise.
	const std::string Source = GenerateModuleSource("Mod", {Header});
	const size_t Get = Source.find("TEXT(\"Get\")");
	const size_t GetImpure = Source.find("TEXT(\"GetImpure\")");
	ASSERT_NE(Get, std::string::npos);
	ASSERT_NE(GetImpure, std::string::npos);
	EXPECT_NE(Source.substr(Get, Source.find('\n', Get) - Get).find("FUNC_BlueprintPure"), std::string::npos);
	EXPECT_EQ(Source.substr(GetImpure, Source.find('\n', GetImpure) - GetImpure).find("FUNC_BlueprintPure"), std::string::npos);
}

TEST(HeaderParser, ReadsStructuresAndTheirMembers)
{
	const FHeader Header = Parse(Prologue + R"(
/** A record. */
USTRUCT(BlueprintType)
struct FRecord
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, Category = "R")
	FString Label;

private:
	UPROPERTY()
	int32 Hidden = 0;
};
)");
	const FClass& Struct = Header.Classes.at(0);
	EXPECT_TRUE(Struct.bStruct);
	EXPECT_TRUE(Struct.SuperName.empty());
	ASSERT_EQ(Struct.Properties.size(), 2u);
	EXPECT_EQ(Struct.Properties[0].Access, EAccess::Public);
	EXPECT_EQ(Struct.Properties[1].Access, EAccess::Private);
	EXPECT_EQ(MetaValue(Struct.MetaData, "ToolTip"), "A record.");
}

TEST(HeaderParser, RefusesBadDelegatesAndDuplicatesWithTheirLine)
{
	const FParseError WrongCount = ParseError(Prologue + "DECLARE_DYNAMIC_MULTICAST_DELEGATE_TwoParams(FOnA, int32, A);\n");
	EXPECT_EQ(WrongCount.Line, 4);
	EXPECT_NE(WrongCount.Reason.find("expects 5 arguments"), std::string::npos);
	const FParseError RetVal = ParseError(Prologue + "DECLARE_DYNAMIC_DELEGATE_RetVal(bool, FOnA);\n");
	EXPECT_NE(RetVal.Reason.find("return value"), std::string::npos);
	const FParseError Twice = ParseError(Prologue + "UENUM()\nenum class EA : uint8\n{\n\tA,\n\tA\n};\n");
	EXPECT_EQ(Twice.Line, 8);
	const FParseError Prefix = ParseError(Prologue + "UCLASS()\nclass Thing : public UObject { GENERATED_BODY() };\n");
	EXPECT_NE(Prefix.Reason.find("must start with"), std::string::npos);
	const FParseError Overload = ParseError(
	    Prologue + "UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUFUNCTION()\n\tvoid F();\n\tUFUNCTION()\n\tvoid F(int32 X);\n};\n");
	EXPECT_EQ(Overload.Line, 10);
	EXPECT_NE(Overload.Reason.find("cannot be overloaded"), std::string::npos);
	const FParseError Private =
	    ParseError(Prologue + "UCLASS()\nclass UA : public UObject\n{\n\tGENERATED_BODY()\n\tUPROPERTY(BlueprintReadWrite)\n\tint32 X;\n};\n");
	EXPECT_NE(Private.Reason.find("private"), std::string::npos);
}

namespace
{
	/** The flags expression that the generated registration gives the member registered on the line holding Needle. */
	std::string GeneratedFlags(const std::string& Source, const std::string& Needle)
	{
		const size_t At = Source.find(Needle);
		if (At == std::string::npos)
		{
			return "<no " + Needle + ">";
		}
		const size_t LineStart = Source.rfind('\n', At) + 1;
		const std::string Line = Source.substr(LineStart, Source.find('\n', At) - LineStart);
		const size_t Open = Line.find("Flags(");
		return Line.substr(Open + 6, Line.find(')', Open) - Open - 6);
	}
} // namespace

// The flags the engine's header tool gives each declaration form, with the value its generated code carries.
TEST(CodeGenerator, FlagsEachDeclarationFormAsTheEngineDoes)
{
	const FHeader Header = Parse(Prologue + R"(
UCLASS()
class MODULE_API UOps : public UObject
{
	GENERATED_BODY()

public:
	UFUNCTION(BlueprintCallable, Category = "A")
	static FString Make(const FString& Name, const FText& Label, FText& OutError, int32 Count, const int32 Limit);

	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "A")
	static bool Check(const FString& Path);

	UFUNCTION(BlueprintCallable, Category = "A")
	static void Run(const FString& Where);

private:
	UFUNCTION()
	void Handle(EResult Result, const FString& ItemId, const FText& StatusMessage);

	UPROPERTY()
	TObjectPtr<UPublisher> Publisher;
};

UCLASS()
class UPlain : public UObject
{
	GENERATED_BODY()
};
)");
	const std::string Source = GenerateModuleSource("Mod", {Header});

	// Every generated class is native with matched serializers; an exported one is also required API (0x001000A0).
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Ops\"), UObject::StaticClass()"), "CLASS_Native | CLASS_MatchedSerializers | CLASS_RequiredAPI");
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Plain\"), UObject::StaticClass()"), "CLASS_Native | CLASS_MatchedSerializers");

	// A static callable function with an output: 0x04422401; pure adds 0x10000000.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Make\")"), "FUNC_Native | FUNC_Public | FUNC_Final | FUNC_Static | FUNC_BlueprintCallable | FUNC_HasOutParms");
	// A read-only string is no output, so neither function has out parameters.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Check\")"), "FUNC_Native | FUNC_Public | FUNC_Final | FUNC_Static | FUNC_BlueprintCallable | FUNC_BlueprintPure");
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Run\")"), "FUNC_Native | FUNC_Public | FUNC_Final | FUNC_Static | FUNC_BlueprintCallable");
	// A private member bound by name: not static, not callable, and a read-only text counts as an out parameter.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Handle\")"), "FUNC_Native | FUNC_Private | FUNC_Final | FUNC_HasOutParms");

	// const FString&: 0x0010000000000080, the string passed as if by value.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Name\")"), "CPF_Parm | CPF_NativeAccessSpecifierPublic");
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"ItemId\")"), "CPF_Parm | CPF_NativeAccessSpecifierPublic");
	// const FText&: 0x0010000008000182, an input passed by reference.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Label\")"), "CPF_Parm | CPF_OutParm | CPF_ConstParm | CPF_ReferenceParm | CPF_NativeAccessSpecifierPublic");
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"StatusMessage\")"),
	          "CPF_Parm | CPF_OutParm | CPF_ConstParm | CPF_ReferenceParm | CPF_NativeAccessSpecifierPublic");
	// FText&: 0x0010000000000180, an output.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"OutError\")"), "CPF_Parm | CPF_OutParm | CPF_NativeAccessSpecifierPublic");
	// By value: 0x0010000000000080; declared const: 0x0010000000000082.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Count\")"), "CPF_Parm | CPF_NativeAccessSpecifierPublic");
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Limit\")"), "CPF_Parm | CPF_ConstParm | CPF_NativeAccessSpecifierPublic");
	// The return value: 0x0010000000000580.
	EXPECT_EQ(GeneratedFlags(Source, "offsetof(FMake_Parms, ReturnValue)"), "CPF_Parm | CPF_OutParm | CPF_ReturnParm | CPF_NativeAccessSpecifierPublic");
	// A private TObjectPtr member without specifiers: 0x0144000000000000.
	EXPECT_EQ(GeneratedFlags(Source, "TEXT(\"Publisher\")"), "CPF_TObjectPtrWrapper | CPF_NativeAccessSpecifierPrivate");

	// Whatever is declared const is marked so, for the engine's tools that show the native signature.
	const size_t Name = Source.find("TEXT(\"Name\")");
	EXPECT_NE(Source.substr(Name, Source.find('\n', Name) - Name).find("{{TEXT(\"NativeConst\"), TEXT(\"\")}}"), std::string::npos);
	const size_t OutError = Source.find("TEXT(\"OutError\")");
	EXPECT_EQ(Source.substr(OutError, Source.find('\n', OutError) - OutError).find("NativeConst"), std::string::npos);
}
