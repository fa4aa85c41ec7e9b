#include "HostRun.h"

#include "Misc/FileHelper.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
	const std::string ToolsMenu = R"({"cmd":"menu","name":"LevelEditor.MainMenu.Tools"})";
	const std::string Quit = R"({"cmd":"quit"})";

	TSharedPtr<FJsonObject> FindSection(const TSharedPtr<FJsonObject>& MenuReply, const FString& SectionName)
	{
		const TArray<TSharedPtr<FJsonValue>>* Sections = nullptr;
		if (!MenuReply.IsValid() || !MenuReply->TryGetArrayField(TEXT("sections"), Sections))
		{
			return nullptr;
		}
		for (const TSharedPtr<FJsonValue>& Section : *Sections)
		{
			FString Name;
			if (Section->AsObject()->TryGetStringField(TEXT("name"), Name) && Name.Equals(SectionName))
			{
				return Section->AsObject();
			}
		}
		return nullptr;
	}

	int32 CountSections(const TSharedPtr<FJsonObject>& MenuReply, const FString& SectionName)
	{
		int32 Count = 0;
		const TArray<TSharedPtr<FJsonValue>>* Sections = nullptr;
		if (MenuReply.IsValid() && MenuReply->TryGetArrayField(TEXT("sections"), Sections))
		{
			for (const TSharedPtr<FJsonValue>& Section : *Sections)
			{
				FString Name;
				Count += Section->AsObject()->TryGetStringField(TEXT("name"), Name) && Name.Equals(SectionName) ? 1 : 0;
			}
		}
		return Count;
	}

	bool HasLogLine(const FHostRun& Run, const FString& Verbosity, const FString& MessageStart)
	{
		for (const TSharedPtr<FJsonObject>& Event : Run.Events(TEXT("log")))
		{
			if (Event->GetStringField(TEXT("verbosity")).Equals(Verbosity) &&
			    Event->GetStringField(TEXT("message")).StartsWith(MessageStart, ESearchCase::CaseSensitive))
			{
				return true;
			}
		}
		return false;
	}
} // namespace

TEST(ScriptMode, AnnouncesReadyThenAnswersEachRequestExactlyOnce)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({ToolsMenu, R"({"cmd":"tick","seconds":0})", "not json", R"({"cmd":"bogus"})", R"({"nocmd":1})", Quit, ToolsMenu});

	// Refused requests make the run fail, so that a CI step driving it fails too.
	EXPECT_EQ(Run.ExitCode, 1);
	for (const TSharedPtr<FJsonObject>& Line : Run.Lines)
	{
		ASSERT_TRUE(Line.IsValid()) << Run.RawOutput;
	}
	const TArray<TSharedPtr<FJsonObject>> Ready = Run.Events(TEXT("ready"));
	ASSERT_EQ(Ready.Num(), 1);
	EXPECT_LT(Run.Lines.Find(Ready[0]), Run.IndexOfReply(TEXT("menu")));
	const FString ProjectFolder = FString::FromUtf8(Sandbox.GetProjectFolder());
	EXPECT_TRUE(Ready[0]->GetStringField(TEXT("project_dir")).Equals(ProjectFolder + TEXT("/")));
	EXPECT_TRUE(Ready[0]->GetStringField(TEXT("project_file")).Equals(ProjectFolder + TEXT("/DemoGame.uproject")));
	EXPECT_TRUE(Ready[0]->GetStringField(TEXT("mods_root")).Equals(ProjectFolder + TEXT("/Mods")));
	EXPECT_TRUE(Ready[0]->GetStringField(TEXT("engine_dir")).EndsWith(TEXT("/Engine/")));
	EXPECT_FALSE(Ready[0]->GetStringField(TEXT("base_dir")).IsEmpty());

	// Six requests before quit: the menu after it is never answered.
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 6);
	EXPECT_TRUE(Replies[0]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[1]->GetBoolField(TEXT("ok")));
	for (int32 Index = 2; Index <= 4; ++Index)
	{
		EXPECT_FALSE(Replies[Index]->GetBoolField(TEXT("ok")));
		EXPECT_FALSE(Replies[Index]->GetStringField(TEXT("error")).IsEmpty());
	}
	EXPECT_TRUE(Replies[5]->GetStringField(TEXT("reply")).Equals(TEXT("quit")));
}

TEST(ScriptMode, SkipsAByteOrderMarkAndExitsZeroWhenEveryRequestIsOk)
{
	FHostSandbox Sandbox;
	// No quit: the end of the script ends the run as well.
	const FHostRun Run = Sandbox.Run({"\xEF\xBB\xBF" + ToolsMenu, R"({"cmd":"tick","seconds":0})"});

	EXPECT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 2) << Run.RawOutput;
	EXPECT_TRUE(Replies[0]->GetStringField(TEXT("reply")).Equals(TEXT("menu")));
	EXPECT_TRUE(Replies[0]->GetBoolField(TEXT("ok")));
}

TEST(ScriptMode, SaysWhenAWindowAnswerWasLeftUnusedAndDropsIt)
{
	FHostSandbox Sandbox;
	const std::string Window = R"({"cmd":"window","fill":["A"],"press":"Create"})";
	const std::string Tick = R"({"cmd":"tick","seconds":0})";
	const FHostRun Run = Sandbox.Run({Window, Window, Tick, Tick, Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 5) << Run.RawOutput;
	// Answers wait through further window requests for the request that opens their windows; the tick opened none.
	EXPECT_FALSE(Replies[0]->HasField(TEXT("unused_window_answer")));
	EXPECT_FALSE(Replies[1]->HasField(TEXT("unused_window_answer")));
	EXPECT_TRUE(Replies[2]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[2]->GetBoolField(TEXT("unused_window_answer")));
	EXPECT_FALSE(Replies[3]->HasField(TEXT("unused_window_answer")));
	EXPECT_EQ(Run.ExitCode, 0);
}

TEST(ScriptMode, DescribesEachSectionAndEntryOfAMenu)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({ToolsMenu, Quit});

	const TSharedPtr<FJsonObject> Section = FindSection(Run.Lines[Run.IndexOfReply(TEXT("menu"))], TEXT("Trellic"));
	ASSERT_TRUE(Section.IsValid()) << Run.RawOutput;
	EXPECT_TRUE(TextString(Section->TryGetField(TEXT("label"))).Equals(TEXT("Trellic"), ESearchCase::CaseSensitive));
	const TArray<TSharedPtr<FJsonValue>>& Entries = Section->GetArrayField(TEXT("entries"));
	ASSERT_GT(Entries.Num(), 1);
	for (const TSharedPtr<FJsonValue>& Value : Entries)
	{
		const TSharedPtr<FJsonObject> Entry = Value->AsObject();
		EXPECT_FALSE(Entry->GetStringField(TEXT("name")).IsEmpty());
		EXPECT_FALSE(TextString(Entry->TryGetField(TEXT("label"))).IsEmpty());
		EXPECT_FALSE(TextString(Entry->TryGetField(TEXT("tooltip"))).IsEmpty());
		EXPECT_TRUE(Entry->HasTypedField<EJson::Boolean>(TEXT("enabled")));
	}
	// A plain entry is a button, an entry that opens a submenu a submenu; a text carries its namespace and key.
	const TSharedPtr<FJsonObject> NewMod = Entries[0]->AsObject();
	EXPECT_TRUE(NewMod->GetStringField(TEXT("type")).Equals(TEXT("button"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Entries[1]->AsObject()->GetStringField(TEXT("type")).Equals(TEXT("submenu"), ESearchCase::CaseSensitive));
	const TSharedPtr<FJsonObject> Label = NewMod->GetObjectField(TEXT("label"));
	EXPECT_TRUE(Label->GetStringField(TEXT("string")).Equals(TEXT("New Mod..."), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Label->GetStringField(TEXT("namespace")).Equals(TEXT("TRLEditorMenu"), ESearchCase::CaseSensitive));
	EXPECT_TRUE(Label->GetStringField(TEXT("key")).Equals(TEXT("NewModLabel"), ESearchCase::CaseSensitive));
}

TEST(ScriptMode, CallsReflectedFunctionsAndReturnsResultAndOutputs)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":"1Mod"}})",
	                                  R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":"Fine_Name"},"out":{}})",
	                                  R"({"cmd":"call","class":"NoSuchClass","function":"IsValidModName","args":{}})",
	                                  R"({"cmd":"call","class":"TRLModScaffold","function":"NoSuchFunction","args":{}})",
	                                  R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"NoSuchParameter":"x"}})", Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 6) << Run.RawOutput;
	ASSERT_TRUE(Replies[0]->GetBoolField(TEXT("ok"))) << Run.RawOutput;
	EXPECT_FALSE(Replies[0]->GetBoolField(TEXT("return")));
	const TSharedPtr<FJsonObject> Reason = Replies[0]->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutReason"));
	EXPECT_TRUE(Reason->GetStringField(TEXT("string")).Equals(TEXT("The name cannot start with a digit.")));
	EXPECT_TRUE(Reason->GetStringField(TEXT("namespace")).Equals(TEXT("TRLModScaffold")));
	EXPECT_TRUE(Reason->GetStringField(TEXT("key")).Equals(TEXT("StartsWithDigit")));

	ASSERT_TRUE(Replies[1]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[1]->GetBoolField(TEXT("return")));
	for (int32 Index = 2; Index <= 4; ++Index)
	{
		EXPECT_FALSE(Replies[Index]->GetBoolField(TEXT("ok"))) << Index;
	}
}

TEST(ScriptMode, RefusesArgumentsOfAnotherKindWithTheParametersNameAndType)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":true}})",
	                                  R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":3}})",
	                                  R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":"A","OutReason":5}})",
	                                  R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":"ModName"})",
	                                  R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","args":[],"equals":false})", Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 6) << Run.RawOutput;
	const TCHAR* const Errors[] = {
	    TEXT("'ModName' (FString) takes a string, not a boolean."),
	    TEXT("'ModName' (FString) takes a string, not a number."),
	    TEXT("'OutReason' (FText) takes a string, not a number."),
	    TEXT("\"args\" must be an object that holds the parameters by name, not a string."),
	    TEXT("\"args\" must be an object that holds the parameters by name, not an array."),
	};
	for (int32 Index = 0; Index < static_cast<int32>(UE_ARRAY_COUNT(Errors)); ++Index)
	{
		EXPECT_FALSE(Replies[Index]->GetBoolField(TEXT("ok"))) << Index;
		FString Error;
		Replies[Index]->TryGetStringField(TEXT("error"), Error);
		EXPECT_TRUE(Error.Equals(Errors[Index], ESearchCase::CaseSensitive)) << Error.ToUtf8();
	}
	EXPECT_EQ(Run.ExitCode, 1);
}

TEST(ScriptMode, KeepsALoneSurrogateIntactBothWays)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({R"({"cmd":"call","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":"A\ud83d"}})", Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_TRUE(Replies[0]->GetBoolField(TEXT("ok"))) << Run.RawOutput;
	const FString Reason = Replies[0]->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutReason"))->GetStringField(TEXT("string"));
	const FString Expected = FString(TEXT("The name may only use letters, digits and underscores. '")) + FString::Chr(0xD83D) + TEXT("' is not allowed.");
	EXPECT_TRUE(Reason.Equals(Expected));
	EXPECT_NE(Run.RawOutput.find("'\\ud83d' is not allowed."), std::string::npos);
}

TEST(ScriptMode, VerbosityRequestSuppressesAndRestoresLines)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run(
	    {R"({"cmd":"verbosity","category":"LogTrellic","level":"Warning"})",
	     R"({"cmd":"call","class":"TRLModScaffold","function":"CreateMod","args":{"ModName":"Quiet","Author":"","Description":""}})",
	     R"({"cmd":"verbosity","category":"LogNoSuchCategory","level":"Warning"})", R"({"cmd":"verbosity","category":"LogTrellic","level":"Loud"})", Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	EXPECT_TRUE(Replies[0]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[1]->GetBoolField(TEXT("ok")));
	EXPECT_FALSE(HasLogLine(Run, TEXT("Log"), TEXT("Created mod 'Quiet'")));
	EXPECT_FALSE(Replies[2]->GetBoolField(TEXT("ok")));
	EXPECT_FALSE(Replies[3]->GetBoolField(TEXT("ok")));
}

TEST(ScriptMode, MenusWaitUntilDeclaredReady)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run({ToolsMenu, R"({"cmd":"menus-ready"})", ToolsMenu, Quit}, {"--menus-not-ready"});

	const int32 FirstMenu = Run.IndexOfReply(TEXT("menu"));
	const int32 Ready = Run.IndexOfReply(TEXT("menus-ready"));
	ASSERT_NE(Ready, INDEX_NONE) << Run.RawOutput;
	EXPECT_EQ(CountSections(Run.Lines[FirstMenu], TEXT("Trellic")), 0);
	EXPECT_EQ(Run.Events(TEXT("menus-callback")).Num(), 1);
	EXPECT_LT(Run.Lines.Find(Run.Events(TEXT("menus-callback"))[0]), Ready);
	EXPECT_EQ(CountSections(Run.Lines[Run.IndexOfReply(TEXT("menu"), Ready)], TEXT("Trellic")), 1);
}

TEST(ScriptMode, TheEditorModuleShutsDownWithoutToolMenusAndStartsAgainOnceItIsBack)
{
	FHostSandbox Sandbox;
	const FHostRun Run =
	    Sandbox.Run({R"({"cmd":"module","action":"unload","name":"ToolMenus"})", R"({"cmd":"module","action":"unload","name":"TrellicEditor"})",
	                 R"({"cmd":"module","action":"load","name":"ToolMenus"})", R"({"cmd":"module","action":"load","name":"TrellicEditor"})",
	                 R"({"cmd":"module","action":"unload","name":"Json"})", Quit});

	// The refused Json request makes the run fail.
	EXPECT_EQ(Run.ExitCode, 1) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 6) << Run.RawOutput;
	for (int32 Index = 0; Index < 4; ++Index)
	{
		EXPECT_TRUE(Replies[Index]->GetBoolField(TEXT("ok"))) << Run.RawOutput;
	}
	// Only the plug-in's modules and ToolMenus come and go on request.
	EXPECT_FALSE(Replies[4]->GetBoolField(TEXT("ok")));
	// A menu object kept from before, or asked for while ToolMenus is gone, would be reported at Error.
	for (const TSharedPtr<FJsonObject>& Event : Run.Events(TEXT("log")))
	{
		EXPECT_FALSE(Event->GetStringField(TEXT("verbosity")).Equals(TEXT("Error"))) << Run.RawOutput;
	}
	EXPECT_EQ(Run.Events(TEXT("menus-callback")).Num(), 2);
}

// While menus cannot be extended yet, the editor module's start-up callback waits, and leaves with the module.
TEST(ScriptMode, AnEditorModuleGoneBeforeMenusAreReadyNeverAddsItsSection)
{
	FHostSandbox Sandbox;
	const FHostRun Run =
	    Sandbox.Run({R"({"cmd":"module","action":"unload","name":"TrellicEditor"})", R"({"cmd":"menus-ready"})", ToolsMenu, Quit}, {"--menus-not-ready"});

	ASSERT_TRUE(Run.Replies()[0]->GetBoolField(TEXT("ok"))) << Run.RawOutput;
	EXPECT_EQ(Run.Events(TEXT("menus-callback")).Num(), 0) << Run.RawOutput;
	EXPECT_EQ(CountSections(Run.Lines[Run.IndexOfReply(TEXT("menu"))], TEXT("Trellic")), 0);
}

TEST(ScriptMode, ChoosesEntriesAndWaitsForReflectedAnswers)
{
	FHostSandbox Sandbox;
	const FHostRun Run = Sandbox.Run(
	    {R"({"cmd":"choose","name":"LevelEditor.MainMenu.Tools","path":["TRLNoSuchEntry"]})", R"({"cmd":"tick","seconds":0.05})",
	     R"({"cmd":"wait","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":"A"},"equals":true,"timeout":5})",
	     R"({"cmd":"wait","class":"TRLModScaffold","function":"IsValidModName","args":{"ModName":"A"},"equals":false,"timeout":1})", R"({"cmd":"gc"})", Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	EXPECT_FALSE(Replies[0]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[1]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[2]->GetBoolField(TEXT("ok"))) << Run.RawOutput;
	EXPECT_FALSE(Replies[3]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[3]->GetStringField(TEXT("error")).Equals(TEXT("TRLModScaffold.IsValidModName did not answer the expected value within 1 second.")))
	    << Run.RawOutput;
	EXPECT_TRUE(Replies[4]->GetBoolField(TEXT("ok")));
	EXPECT_TRUE(Replies[4]->HasField(TEXT("objects")));
}

TEST(ScriptMode, WithoutSettingsNewModsTakeTheBuiltInDefaults)
{
	FHostSandbox Sandbox;
	Sandbox.Run({Quit});
	const FString Config = FString::FromUtf8(Sandbox.GetProjectFolder() + "/Config/DefaultGame.ini");
	FString ConfigText;
	ASSERT_TRUE(FFileHelper::LoadFileToString(ConfigText, *Config));
	ConfigText.ReplaceInline(TEXT("DefaultLoadOrder=100"), TEXT("DefaultLoadOrder=7"));
	ASSERT_TRUE(FFileHelper::SaveStringToFile(ConfigText, *Config));

	const std::string Create =
	    R"({"cmd":"call","class":"TRLModScaffold","function":"CreateMod","args":{"ModName":"WithSettings","Author":"","Description":""}})";
	Sandbox.Run({Create, Quit});
	const std::string CreateBare =
	    R"({"cmd":"call","class":"TRLModScaffold","function":"CreateMod","args":{"ModName":"WithoutSettings","Author":"","Description":""}})";
	Sandbox.Run({CreateBare, Quit}, {"--without-settings"});

	FString WithSettings;
	FString WithoutSettings;
	ASSERT_TRUE(FFileHelper::LoadFileToString(WithSettings, *FString::FromUtf8(Sandbox.GetModsRoot() + "/WithSettings/WithSettings.uplugin")));
	ASSERT_TRUE(FFileHelper::LoadFileToString(WithoutSettings, *FString::FromUtf8(Sandbox.GetModsRoot() + "/WithoutSettings/WithoutSettings.uplugin")));
	EXPECT_TRUE(WithSettings.Contains(TEXT("\"TRLLoadOrder\": 7,")));
	EXPECT_TRUE(WithoutSettings.Contains(TEXT("\"TRLLoadOrder\": 100,")));
}

TEST(ScriptMode, MountsTheSampleModAndRefusesAMissingDescriptor)
{
	FHostSandbox Sandbox;
	const std::string Sample = Sandbox.GetModsRoot() + "/SampleMod/SampleMod.uplugin";
	const std::string Missing = Sandbox.GetModsRoot() + "/Nothing/Nothing.uplugin";
	const FHostRun Run =
	    Sandbox.Run({R"({"cmd":"call","class":"TRLModScaffold","function":"MountModForEditing","args":{"ModDescriptorPath":")" + Sample + R"("}})",
	                 R"({"cmd":"call","class":"TRLModScaffold","function":"MountModForEditing","args":{"ModDescriptorPath":")" + Missing + R"("}})",
	                 R"({"cmd":"mounts"})", Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_TRUE(Replies[0]->GetBoolField(TEXT("ok"))) << Run.RawOutput;
	EXPECT_TRUE(Replies[0]->GetBoolField(TEXT("return")));
	EXPECT_TRUE(HasLogLine(Run, TEXT("Log"), TEXT("Mod 'SampleMod' is mounted for editing. Its content lives under /SampleMod/ in the Content Browser.")));

	EXPECT_FALSE(Replies[1]->GetBoolField(TEXT("return")));
	const TSharedPtr<FJsonObject> Error = Replies[1]->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"));
	EXPECT_TRUE(Error->GetStringField(TEXT("key")).Equals(TEXT("NoDescriptorAt")));
	EXPECT_TRUE(Error->GetStringField(TEXT("string")).Equals(FString::Printf(TEXT("No plugin descriptor at '%s'."), *FString::FromUtf8(Missing))));

	bool bMounted = false;
	for (const TSharedPtr<FJsonValue>& Mount : Replies[2]->GetArrayField(TEXT("mounts")))
	{
		bMounted |= Mount->AsObject()->GetStringField(TEXT("root")).Equals(TEXT("/SampleMod/"));
	}
	EXPECT_TRUE(bMounted);
}

TEST(ScriptMode, CreateModLeavesTheFoldersOfADescriptorItCouldNotWriteAndKeepsAModTheEngineWouldNotMount)
{
	FHostSandbox Sandbox;
	const auto CreateMod = [](const std::string& Name) {
		return R"({"cmd":"call","class":"TRLModScaffold","function":"CreateMod","args":{"ModName":")" + Name +
		       R"(","Author":"","Description":"","OutError":"untouched"}})";
	};
	const FHostRun Run = Sandbox.Run({R"({"cmd":"fault","fail_writes":{"path_suffix":"Full.uplugin","error":"disk-full"}})", CreateMod("Full"),
	                                  R"({"cmd":"fault","clear":true})", CreateMod("Full"),
	                                  R"({"cmd":"fault","refuse_mount":{"plugin":"Refused","reason":"The disk is offline."}})", CreateMod("Refused"), Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 7) << Run.RawOutput;
	// As UTF-8, so that the texts compare exactly.
	const auto Result = [&Replies](int32 Index) {
		return Replies[Index]->GetStringField(TEXT("return")).ToUtf8();
	};
	const auto Error = [&Replies](int32 Index, const TCHAR* Field) {
		return Replies[Index]->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"))->GetStringField(Field).ToUtf8();
	};
	const std::string ModsRoot = Sandbox.GetModsRoot();

	// The disk filled up under the descriptor: the folders made before it stay, and the name is then taken.
	EXPECT_EQ(Result(1), "");
	EXPECT_EQ(Error(1, TEXT("string")), "Could not write '" + ModsRoot + "/Full/Full.uplugin'.");
	EXPECT_EQ(Error(1, TEXT("key")), "CannotWriteDescriptor");
	std::vector<std::string> Left;
	for (const std::filesystem::directory_entry& Entry : std::filesystem::recursive_directory_iterator(ModsRoot + "/Full"))
	{
		Left.push_back(Entry.path().filename().string());
	}
	EXPECT_EQ(Left, std::vector<std::string>{"Content"});
	EXPECT_FALSE(HasLogLine(Run, TEXT("Log"), TEXT("Created mod 'Full'")));
	EXPECT_EQ(Result(3), "");
	EXPECT_EQ(Error(3, TEXT("string")), "A mod called 'Full' already exists.");

	// The engine would not mount the new mod: it is created all the same, and the reason is a Warning.
	EXPECT_EQ(Result(5), ModsRoot + "/Refused/Refused.uplugin");
	EXPECT_EQ(Error(5, TEXT("string")), "untouched");
	EXPECT_TRUE(std::filesystem::is_regular_file(ModsRoot + "/Refused/Refused.uplugin"));
	EXPECT_TRUE(HasLogLine(Run, TEXT("Log"), FString::FromUtf8("Created mod 'Refused' at " + ModsRoot + "/Refused")));
	EXPECT_TRUE(HasLogLine(Run, TEXT("Warning"),
	                       TEXT("Mod 'Refused' was created but could not be mounted for editing: Could not mount 'Refused': the engine refused to mount it, "
	                            "for the reason it logged under LogPluginManager. If the log gives none, check that the descriptor sets "
	                            "\"ExplicitlyLoaded\" and \"CanContainContent\" to true.")))
	    << Run.RawOutput;
}

TEST(ScriptMode, FaultControlsFailWritesAndRefuseMountsUntilCleared)
{
	FHostSandbox Sandbox;
	const std::string Sample = Sandbox.GetModsRoot() + "/SampleMod/SampleMod.uplugin";
	const std::string MountSample =
	    R"({"cmd":"call","class":"TRLModScaffold","function":"MountModForEditing","args":{"ModDescriptorPath":")" + Sample + R"("}})";
	const auto CreateMod = [](const std::string& Name) {
		return R"({"cmd":"call","class":"TRLModScaffold","function":"CreateMod","args":{"ModName":")" + Name + R"(","Author":"","Description":""}})";
	};
	const FHostRun Run =
	    Sandbox.Run({R"({"cmd":"fault","fail_writes":{"path_suffix":".uplugin","error":"disk-full"}})",
	                 R"({"cmd":"fault","refuse_mount":{"plugin":"samplemod","reason":"The disk is offline."}})", CreateMod("Faulty"), MountSample,
	                 R"({"cmd":"fault","clear":true})", CreateMod("Fixed"), MountSample, R"({"cmd":"fault","fail_writes":{"path_suffix":"x","error":"full"}})",
	                 R"({"cmd":"fault","refuse_mount":{"plugin":"A"}})", R"({"cmd":"fault","clear":true,"fail_writes":{}})", Quit});

	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 11) << Run.RawOutput;
	for (int32 Index = 0; Index < 7; ++Index)
	{
		ASSERT_TRUE(Replies[Index]->GetBoolField(TEXT("ok"))) << Index << Run.RawOutput;
	}
	// A full disk: the descriptor is not written, and nothing is left in its place.
	EXPECT_TRUE(Replies[2]->GetStringField(TEXT("return")).IsEmpty());
	std::vector<std::string> Left;
	for (const std::filesystem::directory_entry& Entry : std::filesystem::directory_iterator(Sandbox.GetModsRoot() + "/Faulty"))
	{
		Left.push_back(Entry.path().filename().string());
	}
	EXPECT_EQ(Left, std::vector<std::string>{"Content"});
	// The refused mount is logged as the plug-in manager logs any refusal.
	EXPECT_FALSE(Replies[3]->GetBoolField(TEXT("return")));
	EXPECT_TRUE(HasLogLine(Run, TEXT("Warning"), TEXT("Could not mount plug-in 'SampleMod': The disk is offline.")));
	// Cleared, both work again.
	EXPECT_FALSE(Replies[5]->GetStringField(TEXT("return")).IsEmpty());
	EXPECT_TRUE(std::filesystem::exists(Sandbox.GetModsRoot() + "/Fixed/Fixed.uplugin"));
	EXPECT_TRUE(Replies[6]->GetBoolField(TEXT("return")));

	const FString Refusal = TEXT("\"fault\" takes one of \"fail_writes\" ({\"path_suffix\": the end of a path, \"error\": \"disk-full\" or \"read-only\"}), "
	                             "\"refuse_mount\" ({\"plugin\": a plug-in's name, \"reason\": a text}) and \"clear\": true.");
	for (int32 Index = 7; Index < 10; ++Index)
	{
		EXPECT_FALSE(Replies[Index]->GetBoolField(TEXT("ok"))) << Index;
		EXPECT_TRUE(Replies[Index]->GetStringField(TEXT("error")).Equals(Refusal, ESearchCase::CaseSensitive)) << Index;
	}
}
