// The describe request on the classes and refusals that the scripting guide (docs/scripting.md) does not show; the
// guide's own describe examples (TRLModPackager, ETRLPackageStartResult) are run with the other examples of the pages.
#include "HostRun.h"
#include "JsonMatch.h"

#include <gtest/gtest.h>

namespace
{
	const std::string Quit = R"({"cmd":"quit"})";

	/** The reply member Name of the one reply to a describe request, or null when the run did not give one. */
	TSharedPtr<FJsonValue> Described(const FHostRun& Run, int32 ReplyIndex, const FString& Name)
	{
		const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
		if (!Replies.IsValidIndex(ReplyIndex) || !Replies[ReplyIndex]->GetBoolField(TEXT("ok")))
		{
			return nullptr;
		}
		return Replies[ReplyIndex]->TryGetField(Name);
	}

	::testing::AssertionResult Shows(const FString& ExpectedJson, const TSharedPtr<FJsonValue>& Actual)
	{
		FString Mismatch;
		const TSharedPtr<FJsonValue> Expected = ParseJsonValue(ExpectedJson);
		if (!Expected.IsValid())
		{
			return ::testing::AssertionFailure() << "the expected text is not JSON";
		}
		return MatchesShownJson(Expected, Actual, Mismatch) ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << TCHAR_TO_UTF8(*Mismatch);
	}

	/** The tooltip of the function at Index of a class description. */
	FString FunctionTooltip(const TSharedPtr<FJsonValue>& Class, int32 Index)
	{
		return Class->AsObject()->GetArrayField(TEXT("functions"))[Index]->AsObject()->GetStringField(TEXT("tooltip"));
	}
} // namespace

// The whole reply for one class, tooltips aside: every function in declaration order and every parameter with the
// engine's flag names, the return value last.
TEST(Describe, AClassShowsItsFlagsFunctionsParametersAndProperties)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({R"({"cmd":"describe","class":"TRLModScaffold"})", Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TSharedPtr<FJsonValue> Class = Described(Run, 0, TEXT("class"));
	ASSERT_TRUE(Class.IsValid()) << Run.RawOutput;

	const FString Input = TEXT(R"(["CPF_Parm","CPF_NativeAccessSpecifierPublic"])");
	const FString Output = TEXT(R"(["CPF_Parm","CPF_OutParm","CPF_NativeAccessSpecifierPublic"])");
	const FString Return = TEXT(R"(["CPF_Parm","CPF_OutParm","CPF_ReturnParm","CPF_NativeAccessSpecifierPublic"])");
	const FString Callable = TEXT(R"(["FUNC_Final","FUNC_Native","FUNC_Static","FUNC_Public","FUNC_HasOutParms","FUNC_BlueprintCallable"])");
	EXPECT_TRUE(Shows(FString::Printf(TEXT(R"({
		"name": "TRLModScaffold",
		"path": "/Script/TrellicEditor.TRLModScaffold",
		"super": "Object",
		"flags": ["CLASS_MatchedSerializers", "CLASS_Native", "CLASS_RequiredAPI", "CLASS_Constructed"],
		"config_name": "Engine",
		"functions": [
			{"name": "CreateMod", "flags": %s, "category": "Trellic|Authoring", "params": [
				{"name": "ModName", "type": "FString", "flags": %s},
				{"name": "Author", "type": "FString", "flags": %s},
				{"name": "Description", "type": "FString", "flags": %s},
				{"name": "OutError", "type": "FText", "flags": %s},
				{"name": "ReturnValue", "type": "FString", "flags": %s}]},
			{"name": "IsValidModName", "category": "Trellic|Authoring",
				"flags": ["FUNC_Final","FUNC_Native","FUNC_Static","FUNC_Public","FUNC_HasOutParms","FUNC_BlueprintCallable","FUNC_BlueprintPure"],
				"params": [
					{"name": "ModName", "type": "FString", "flags": %s},
					{"name": "OutReason", "type": "FText", "flags": %s},
					{"name": "ReturnValue", "type": "bool", "flags": %s}]},
			{"name": "MountModForEditing", "flags": %s, "category": "Trellic|Authoring", "params": [
				{"name": "ModDescriptorPath", "type": "FString", "flags": %s},
				{"name": "OutError", "type": "FText", "flags": %s},
				{"name": "ReturnValue", "type": "bool", "flags": %s}]}],
		"properties": []
	})"),
	                                  *Callable, *Input, *Input, *Input, *Output, *Return, *Input, *Output, *Return, *Callable, *Input, *Output, *Return),
	                  Class));

	// The tooltips are the doc comments whole: the class's purpose, and each function's first paragraph and more.
	const FString ClassTooltip = Class->AsObject()->GetStringField(TEXT("tooltip"));
	EXPECT_TRUE(ClassTooltip.StartsWith(TEXT("A mod is a content-only plug-in in its own folder"), ESearchCase::CaseSensitive)) << TCHAR_TO_UTF8(*ClassTooltip);
	EXPECT_TRUE(FunctionTooltip(Class, 0).StartsWith(TEXT("Create a new mod folder, descriptor and content directory under the game's Mods folder.\n\n"),
	                                                 ESearchCase::CaseSensitive));
	EXPECT_TRUE(FunctionTooltip(Class, 0).Contains(TEXT("\n@return "), ESearchCase::CaseSensitive));
	EXPECT_TRUE(FunctionTooltip(Class, 1).StartsWith(TEXT("Check a name before trying to use it.\n\n"), ESearchCase::CaseSensitive));
}

// The delegate's handler is reflected, and so found by describe, yet a script's call of it is refused.
TEST(Describe, ShowsTheUploadsPrivateHandlerAndPublisherWhichAScriptCannotCall)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({R"({"cmd":"describe","class":"TRLWorkshopUpload"})",
	                                  R"({"cmd":"call","class":"TRLWorkshopUpload","function":"HandlePublishComplete","args":{}})", Quit});
	ASSERT_EQ(Run.Replies().Num(), 3) << Run.RawOutput;
	const TSharedPtr<FJsonValue> Class = Described(Run, 0, TEXT("class"));
	ASSERT_TRUE(Class.IsValid()) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonValue>>& Functions = Class->AsObject()->GetArrayField(TEXT("functions"));
	const TSharedPtr<FJsonValue>* Handler = Functions.FindByPredicate([](const TSharedPtr<FJsonValue>& Function) {
		return Function->AsObject()->GetStringField(TEXT("name")).Equals(TEXT("HandlePublishComplete"));
	});
	ASSERT_NE(Handler, nullptr);
	// Nine for scripts, and the handler the publisher's completion delegate finds by name.
	EXPECT_EQ(Functions.Num(), 10);
	EXPECT_TRUE(Shows(TEXT(R"({
		"flags": ["FUNC_Final", "FUNC_Native", "FUNC_Private", "FUNC_HasOutParms"],
		"category": null,
		"params": [
			{"name": "Result", "type": "ETRLWorkshopResult", "flags": ["CPF_Parm", "CPF_NativeAccessSpecifierPublic"]},
			{"name": "ItemId", "type": "FString", "flags": ["CPF_Parm", "CPF_NativeAccessSpecifierPublic"]},
			{"name": "StatusMessage", "type": "FText",
			 "flags": ["CPF_ConstParm", "CPF_Parm", "CPF_OutParm", "CPF_ReferenceParm", "CPF_NativeAccessSpecifierPublic"]}]
	})"),
	                  *Handler));
	EXPECT_TRUE(Shows(TEXT(R"([{"name": "Publisher", "type": "TObjectPtr<UTRLWorkshopPublisher>",
		"flags": ["CPF_UObjectWrapper", "CPF_NativeAccessSpecifierPrivate", "CPF_TObjectPtr"]}])"),
	                  Class->AsObject()->TryGetField(TEXT("properties"))));

	EXPECT_TRUE(Shows(TEXT(R"({"reply":"call","ok":false,"error":"TRLWorkshopUpload.HandlePublishComplete is reflected but scripts may not call it."})"),
	                  MakeShared<FJsonValueObject>(Run.Replies()[1])));
}

TEST(Describe, RefusesAnUnknownNameWithThatNameAndARequestWithoutExactlyOneKind)
{
	FHostSandbox Sandbox;
	// A class is named as scripts name it, without its prefix letter; an enum keeps its prefix.
	const FHostRun Run = Sandbox.Run({R"({"cmd":"describe","class":"UTRLModScaffold"})", R"({"cmd":"describe","enum":"TRLPackageStartResult"})",
	                                  R"({"cmd":"describe"})", R"({"cmd":"describe","class":"TRLModScaffold","enum":"ETRLPackageStartResult"})", Quit});
	EXPECT_EQ(Run.ExitCode, 1);
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 5) << Run.RawOutput;
	EXPECT_TRUE(
	    Shows(TEXT(R"({"reply":"describe","ok":false,"error":"There is no reflected class 'UTRLModScaffold'."})"), MakeShared<FJsonValueObject>(Replies[0])));
	EXPECT_TRUE(Shows(TEXT(R"({"reply":"describe","ok":false,"error":"There is no reflected enum 'TRLPackageStartResult'."})"),
	                  MakeShared<FJsonValueObject>(Replies[1])));
	for (int32 Index = 2; Index <= 3; ++Index)
	{
		EXPECT_FALSE(Replies[Index]->GetBoolField(TEXT("ok")));
		EXPECT_FALSE(Replies[Index]->HasField(TEXT("class")) || Replies[Index]->HasField(TEXT("enum")));
	}
}
