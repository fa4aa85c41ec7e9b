// What a Workshop item shows a player, through the host on the offline Workshop: two linked mods, links that follow
// the descriptor, screenshots and version tags replaced on each update, a
// plain mod that logs what it always did, and each later Steam call that fails.
#include "HostRun.h"
#include "JsonMatch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace
{
	namespace fs = std::filesystem;

	const std::string WaitForTheJob = R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false,"timeout":60})";
	const std::string WaitForUpload = R"({"cmd":"wait","class":"TRLWorkshopUpload","function":"IsUploadInProgress","equals":false,"timeout":60})";
	const std::string Items = R"({"cmd":"workshop","items":true})";
	const std::string Quit = R"({"cmd":"quit"})";

	void WriteFile(const fs::path& Path, const std::string& Text)
	{
		fs::create_directories(Path.parent_path());
		std::ofstream(Path, std::ios::binary) << Text;
	}

	void ReplaceAll(std::string& Text, const std::string& From, const std::string& To)
	{
		for (size_t At = Text.find(From); At != std::string::npos; At = Text.find(From, At + To.size()))
		{
			Text.replace(At, From.size(), To);
		}
	}

	std::string Upload(const std::string& Descriptor)
	{
		return R"({"cmd":"call","class":"TRLWorkshopUpload","function":"UploadMod","args":{"ModDescriptorPath":")" + Descriptor + R"(","ChangeNote":""}})";
	}

	std::string PackageMod(const std::string& Descriptor)
	{
		return R"({"cmd":"call","class":"TRLModPackager","function":"PackageMod","args":{"ModDescriptorPath":")" + Descriptor + R"("}})";
	}

	/**
	 * The docs page's two linked mods, set up and uploaded (the page's own example runs in the docs tests): Addon, which
	 * requires SampleMod, is put beside it; both are packaged, SampleMod is uploaded, then Addon.
	 */
	FHostRun UploadTwoLinkedMods(const FHostSandbox& Sandbox)
	{
		// The sandbox's first run copies the demo project.
		EXPECT_EQ(Sandbox.Run({Quit}).ExitCode, 0);
		const std::string Mods = Sandbox.GetModsRoot();
		WriteFile(Mods + "/Addon/Addon.uplugin", R"({"FileVersion": 3, "Version": 1, "FriendlyName": "Addon", "CanContainContent": true,
			"ExplicitlyLoaded": true, "ModApiVersion": 1, "TRLRequiredMods": ["SampleMod"], "Modules": []})");
		fs::copy_file(Mods + "/SampleMod/Content/SampleAsset.uasset", Mods + "/Addon/Content/Bridge.uasset",
		              (fs::create_directories(Mods + "/Addon/Content"), fs::copy_options::none));
		return Sandbox.Run({R"({"cmd":"call","class":"TRLModPackager","function":"CreateBaseGameRelease","args":{}})", WaitForTheJob,
		                    PackageMod(Mods + "/SampleMod/SampleMod.uplugin"), WaitForTheJob, PackageMod(Mods + "/Addon/Addon.uplugin"), WaitForTheJob,
		                    Upload(Mods + "/SampleMod/SampleMod.uplugin"), WaitForUpload, Upload(Mods + "/Addon/Addon.uplugin"), WaitForUpload, Items, Quit});
	}

	/** @return the items of the last "workshop" reply that lists them. */
	TArray<TSharedPtr<FJsonValue>> ItemsOf(const FHostRun& Run)
	{
		TArray<TSharedPtr<FJsonValue>> Found;
		for (const TSharedPtr<FJsonObject>& Reply : Run.Replies())
		{
			const TArray<TSharedPtr<FJsonValue>>* List = nullptr;
			if (Reply->GetStringField(TEXT("reply")).Equals(TEXT("workshop")) && Reply->TryGetArrayField(TEXT("items"), List))
			{
				Found = *List;
			}
		}
		return Found;
	}

	/** @return each item's id by its title */
	std::map<std::string, std::string> IdsByTitle(const TArray<TSharedPtr<FJsonValue>>& ItemList)
	{
		std::map<std::string, std::string> Ids;
		for (const TSharedPtr<FJsonValue>& Item : ItemList)
		{
			Ids[Item->AsObject()->GetStringField(TEXT("title")).ToUtf8()] = Item->AsObject()->GetStringField(TEXT("id")).ToUtf8();
		}
		return Ids;
	}

	/** @return the item of that title in the run's last list of items; null when there is none */
	TSharedPtr<FJsonObject> ItemTitled(const FHostRun& Run, const FString& Title)
	{
		for (const TSharedPtr<FJsonValue>& Item : ItemsOf(Run))
		{
			if (Item->AsObject()->GetStringField(TEXT("title")).Equals(Title))
			{
				return Item->AsObject();
			}
		}
		return nullptr;
	}

	::testing::AssertionResult Shows(const TSharedPtr<FJsonObject>& Item, const char* Field, const std::string& ExpectedJson)
	{
		FString Mismatch;
		if (!Item.IsValid())
		{
			return ::testing::AssertionFailure() << "no such item";
		}
		if (MatchesShownJson(ParseJsonValue(FString::FromUtf8(ExpectedJson)), Item->TryGetField(FString::FromUtf8(Field)), Mismatch))
		{
			return ::testing::AssertionSuccess();
		}
		return ::testing::AssertionFailure() << Field << ": " << Mismatch.ToUtf8();
	}

	/** The LogTrellic lines of a run from line Start on, as "Verbosity: message". */
	std::vector<std::string> TrellicLines(const FHostRun& Run, int32 Start = 0)
	{
		std::vector<std::string> Lines;
		for (int32 Index = Start; Index < Run.Lines.Num(); ++Index)
		{
			const TSharedPtr<FJsonObject>& Line = Run.Lines[Index];
			FString Event;
			if (Line.IsValid() && Line->TryGetStringField(TEXT("event"), Event) && Event.Equals(TEXT("log")) &&
			    Line->GetStringField(TEXT("category")).Equals(TEXT("LogTrellic")))
			{
				Lines.push_back(Line->GetStringField(TEXT("verbosity")).ToUtf8() + ": " + Line->GetStringField(TEXT("message")).ToUtf8());
			}
		}
		return Lines;
	}

	std::string ReturnOf(const FHostRun& Run, int32 ReplyIndex)
	{
		const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
		return Replies.IsValidIndex(ReplyIndex) ? Replies[ReplyIndex]->GetStringField(TEXT("return")).ToUtf8() : std::string("no reply");
	}
} // namespace

TEST(WorkshopItemPage, AnItemRequiresWhatItsDescriptorListsAndTheLinkFollowsTheDescriptor)
{
	FHostSandbox Sandbox;
	const FHostRun Run = UploadTwoLinkedMods(Sandbox);
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::map<std::string, std::string> RunIds = IdsByTitle(ItemsOf(Run));
	ASSERT_EQ(RunIds.size(), 2u) << Run.RawOutput;
	EXPECT_TRUE(Shows(ItemTitled(Run, TEXT("Addon")), "children", "[\"" + RunIds.at("SampleMod") + "\"]"));

	// Addon's descriptor drops SampleMod and names a local mod that was never uploaded: the link goes, the upload succeeds.
	const std::string Mods = Sandbox.GetModsRoot();
	WriteFile(Mods + "/Later/Later.uplugin", "{\"FileVersion\": 3}");
	std::string Descriptor = ReadFile(Mods + "/Addon/Addon.uplugin");
	ReplaceAll(Descriptor, "\"TRLRequiredMods\": [\"SampleMod\"]", "\"TRLRequiredMods\": [\"Later\"]");
	WriteFile(Mods + "/Addon/Addon.uplugin", Descriptor);
	const std::string Page = R"({"cmd":"call","class":"TRLWorkshopItemPage","function":"GetRequiredWorkshopItems","args":{"ModDescriptorPath":")" + Mods +
	                         R"(/Addon/Addon.uplugin"}})";
	const FHostRun Later =
	    Sandbox.Run({R"({"cmd":"describe","class":"TRLWorkshopItemPage"})", Page, Upload(Mods + "/Addon/Addon.uplugin"), WaitForUpload, Items, Quit});
	ASSERT_EQ(Later.ExitCode, 0) << Later.RawOutput;
	const TArray<TSharedPtr<FJsonObject>> Replies = Later.Replies();
	ASSERT_EQ(Replies.Num(), 6) << Later.RawOutput;
	FString Mismatch;
	EXPECT_TRUE(MatchesShownJson(ParseJsonValue(TEXT(R"({"name":"TRLWorkshopItemPage","functions":[{"name":"GetRequiredWorkshopItems",
		"flags":["FUNC_Final","FUNC_Native","FUNC_Static","FUNC_Public","FUNC_HasOutParms","FUNC_BlueprintCallable","FUNC_BlueprintPure"],
		"category":"Trellic|Steam Workshop","tooltip":"...","params":[
			{"name":"ModDescriptorPath","type":"FString","flags":["CPF_Parm","CPF_NativeAccessSpecifierPublic"]},
			{"name":"OutItemIds","type":"TArray<FString>","flags":["CPF_Parm","CPF_OutParm","CPF_NativeAccessSpecifierPublic"]},
			{"name":"OutModsWithoutItem","type":"TArray<FString>","flags":["CPF_Parm","CPF_OutParm","CPF_NativeAccessSpecifierPublic"]},
			{"name":"ReturnValue","type":"bool","flags":["CPF_Parm","CPF_OutParm","CPF_ReturnParm","CPF_NativeAccessSpecifierPublic"]}]}],"properties":[]})")),
	                             Replies[0]->TryGetField(TEXT("class")), Mismatch))
	    << Mismatch.ToUtf8();
	EXPECT_TRUE(MatchesShownJson(ParseJsonValue(TEXT(R"({"return":true,"out":{"OutItemIds":[],"OutModsWithoutItem":["Later"]}})")),
	                             MakeShared<FJsonValueObject>(Replies[1]), Mismatch))
	    << Mismatch.ToUtf8();
	EXPECT_EQ(ReturnOf(Later, 2), "Success");
	const std::string Addon = RunIds.at("Addon");
	const std::vector<std::string> Lines = TrellicLines(Later);
	for (const std::string& Expected :
	     {std::string("Warning: 'Addon' requires 'Later', which has no Workshop item yet. Upload 'Later' first, or its page will not list it as required."),
	      "Log: Workshop item " + Addon + " no longer requires item " + RunIds.at("SampleMod") + ".",
	      "Log: Mod 'Addon' published as Workshop item " + Addon + "."})
	{
		EXPECT_NE(std::find(Lines.begin(), Lines.end(), Expected), Lines.end()) << Expected << "\n" << Later.RawOutput;
	}
	EXPECT_TRUE(Shows(ItemTitled(Later, TEXT("Addon")), "children", "[]"));
}

TEST(WorkshopItemPage, APlainModLogsWhatItAlwaysDidAndScreenshotsAndVersionTagsAreReplacedOnEachUpdate)
{
	FHostSandbox Sandbox;
	const std::string Folder = Sandbox.GetModsRoot() + "/SampleMod";
	const std::string Descriptor = Folder + "/SampleMod.uplugin";
	const FHostRun First =
	    Sandbox.Run({R"({"cmd":"call","class":"TRLModPackager","function":"CreateBaseGameRelease","args":{}})", WaitForTheJob,
	                 R"({"cmd":"call","class":"TRLModPackager","function":"PackageMod","args":{"ModDescriptorPath":")" + Descriptor + R"("}})", WaitForTheJob,
	                 Upload(Descriptor), WaitForUpload, Items, Quit});
	ASSERT_EQ(ItemsOf(First).Num(), 1) << First.RawOutput;
	const std::string ItemId = ItemsOf(First)[0]->AsObject()->GetStringField(TEXT("id")).ToUtf8();

	// A mod that requires none and keeps no screenshots: its update logs exactly the lines an update always logged.
	const FHostRun Update = Sandbox.Run({Upload(Descriptor), WaitForUpload, Quit});
	const std::string Payload = Folder + "/Saved/WorkshopUpload";
	EXPECT_EQ(TrellicLines(Update),
	          (std::vector<std::string>{
	              "Log: Trellic editor module started.",
	              "Warning: 'SampleMod' has no preview image. Put a square preview.png (under 1 MB) next to the .uplugin, or the Workshop tile stays blank.",
	              "Warning: 'SampleMod' has no TRLTags. Nobody will find the mod by browsing - add a couple to the .uplugin.",
	              "Log: Upload payload assembled in '" + Payload + "' (2 file(s)).",
	              "Log: Uploading mod 'SampleMod' from '" + Payload + "' (update to item " + ItemId + ").",
	              "Log: Visibility: Public. Title and description from the descriptor: yes.",
	              "Log: Workshop item " + ItemId + " recorded in '" + Folder + "/workshop.json'.",
	              "Log: Mod 'SampleMod' published as Workshop item " + ItemId + ".",
	          }))
	    << Update.RawOutput;

	// An image Steam would refuse stops the upload before anything reaches Steam, naming the file.
	const std::string Shots = Folder + "/Resources/Screenshots";
	for (const char* Name : {"01.png", "02.png", "03.png", "04.png", "05.png", "06.png", "07.png", "08.png", "09.png", "10.png"})
	{
		WriteFile(Shots + "/" + Name, "an image of more than 16 bytes");
	}
	WriteFile(Shots + "/03.png", std::string(1024 * 1024, 'x'));
	const FHostRun TooLarge = Sandbox.Run({Upload(Descriptor), Items, Quit});
	EXPECT_EQ(ReturnOf(TooLarge, 0), "PreviewTooLarge") << TooLarge.RawOutput;
	EXPECT_NE(TooLarge.RawOutput.find("The preview image '" + Shots + "/03.png' is 1,048,576 bytes"), std::string::npos) << TooLarge.RawOutput;
	EXPECT_TRUE(Shows(ItemTitled(TooLarge, TEXT("SampleMod")), "previews", "[]"));

	// The first nine go up with the version tags; then two others and a new mod API version replace them.
	WriteFile(Shots + "/03.png", "an image of more than 16 bytes");
	const FHostRun Nine = Sandbox.Run({Upload(Descriptor), WaitForUpload, Items, Quit});
	const TSharedPtr<FJsonObject> WithNine = ItemTitled(Nine, TEXT("SampleMod"));
	EXPECT_TRUE(Shows(WithNine, "previews", R"(["01.png","02.png","03.png","04.png","05.png","06.png","07.png","08.png","09.png"])")) << Nine.RawOutput;
	EXPECT_TRUE(Shows(WithNine, "key_value_tags", R"([{"key":"TRLBaseRelease","value":"1.0"},{"key":"TRLModApiVersion","value":"1"}])"));
	EXPECT_NE(Nine.RawOutput.find("so the first 9 in name order go up and these were left out: 10.png."), std::string::npos) << Nine.RawOutput;

	fs::remove_all(Shots);
	WriteFile(Shots + "/a.gif", "GIF89a and more than 16 bytes");
	WriteFile(Shots + "/b.jpg", "a photo of more than 16 bytes");
	std::string Text = ReadFile(Descriptor);
	ReplaceAll(Text, "\"ModApiVersion\": 1,", "\"ModApiVersion\": 2,");
	WriteFile(Descriptor, Text);
	const FHostRun Replaced = Sandbox.Run({Upload(Descriptor), WaitForUpload, Items, Quit});
	EXPECT_EQ(ReturnOf(Replaced, 0), "Success") << Replaced.RawOutput;
	const TSharedPtr<FJsonObject> Item = ItemTitled(Replaced, TEXT("SampleMod"));
	EXPECT_TRUE(Shows(Item, "previews", R"(["a.gif","b.jpg"])")) << Replaced.RawOutput;
	EXPECT_TRUE(Shows(Item, "key_value_tags", R"([{"key":"TRLBaseRelease","value":"1.0"},{"key":"TRLModApiVersion","value":"2"}])"));
}

TEST(WorkshopItemPage, EachLaterSteamCallThatFailsIsAWarningAndTheUploadIsStillRecordedAsASuccess)
{
	FHostSandbox Sandbox;
	const FHostRun Linked = UploadTwoLinkedMods(Sandbox);
	ASSERT_EQ(Linked.ExitCode, 0) << Linked.RawOutput;
	const std::map<std::string, std::string> Ids = IdsByTitle(ItemsOf(Linked));
	const std::string Addon = Ids.at("Addon");
	const std::string Required = Ids.at("SampleMod") + " (SampleMod)";
	const std::string Folder = Sandbox.GetModsRoot() + "/Addon";
	const std::string Descriptor = Folder + "/Addon.uplugin";
	WriteFile(Folder + "/Resources/Screenshots/01.png", "an image of more than 16 bytes");

	struct FStep
	{
		std::string Control;
		/** The line the step logs, "Verbosity: message": how it starts and ends, around Steam's own answer. */
		std::string Starts;
		std::string Ends;
	};
	const auto RunSteps = [&](const std::vector<FStep>& Steps) {
		FHostProcess Host(Sandbox);
		for (const FStep& Step : Steps)
		{
			ASSERT_TRUE(Host.Request(R"({"cmd":"workshop","next":)" + Step.Control + "}").IsValid()) << Step.Control;
			const int32 From = Host.GetRun().Lines.Num();
			const TSharedPtr<FJsonObject> Reply = Host.Request(Upload(Descriptor));
			ASSERT_TRUE(Reply.IsValid() && Host.Request(WaitForUpload).IsValid()) << Step.Control;
			EXPECT_EQ(Reply->GetStringField(TEXT("return")).ToUtf8(), "Success") << Step.Control;
			const std::vector<std::string> Lines = TrellicLines(Host.GetRun(), From);
			ASSERT_FALSE(Lines.empty()) << Step.Control;
			const auto Warned = std::find_if(Lines.begin(), Lines.end(), [&Step](const std::string& Line) {
				return Line.starts_with(Step.Starts) && Line.ends_with(Step.Ends);
			});
			EXPECT_TRUE(Warned != Lines.end()) << Step.Control << ": no line " << Step.Starts << "..." << Step.Ends << "\n" << Host.GetRun().RawOutput;
			EXPECT_EQ(Lines.back(), "Log: Mod 'Addon' published as Workshop item " + Addon + ".") << Step.Control;
		}
		EXPECT_EQ(Host.Wait(), 0);
	};
	RunSteps({
	    {R"({"fail_details_query":"k_EResultTimeout"})",
	     "Warning: Could not read the extra preview images of Workshop item " + Addon + ", so they were left as they are", "Upload again to replace them."},
	    {R"({"refuse_key_value_tag":true})", "Warning: Steam refused to replace the key-value tag 'TRLBaseRelease' of Workshop item " + Addon,
	     "Upload again to set it."},
	    {R"({"refuse_preview":true})", "Warning: Steam refused to remove an earlier extra preview image of Workshop item " + Addon,
	     "Upload again to replace it."},
	});
	const std::string Text = ReadFile(Descriptor);
	std::string WithoutLink = Text;
	ReplaceAll(WithoutLink, "\"TRLRequiredMods\": [\"SampleMod\"]", "\"TRLRequiredMods\": []");
	WriteFile(Descriptor, WithoutLink);
	fs::remove_all(Folder + "/Resources");
	RunSteps({
	    {R"({"fail_details_query":"k_EResultTimeout"})",
	     "Warning: Could not read which items Workshop item " + Addon + " requires, so they were left as they are.", "Upload again to bring them in line."},
	    {R"({"fail_remove_dependency":"k_EResultAccessDenied"})",
	     "Warning: Could not make Workshop item " + Addon + " stop requiring item " + Ids.at("SampleMod") + ".",
	     "Upload again, or remove it on the item's Workshop page."},
	    {"{}", "Log: Workshop item " + Addon + " no longer requires item " + Ids.at("SampleMod") + ".", ""},
	});
	WriteFile(Descriptor, Text);
	RunSteps({
	    {R"({"fail_add_dependency":"k_EResultAccessDenied"})", "Warning: Could not make Workshop item " + Addon + " require item " + Required + ".",
	     "Upload again, or add it on the item's Workshop page."},
	});
	EXPECT_NE(ReadFile(Folder + "/workshop.json").find("\"ItemId\": \"" + Addon + "\""), std::string::npos);
}
