// Uploads through the host end to end: the demo project's sample mod packaged, uploaded to the offline Workshop as a
// new item and then as an update, failures that Steam would give, and the host's controls of the next request.
#include "HostRun.h"
#include "JsonMatch.h"
#include "OfflineWorkshopTestHelpers.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace
{
	const std::string Quit = R"({"cmd":"quit"})";
	const std::string WaitForUpload = R"({"cmd":"wait","class":"TRLWorkshopUpload","function":"IsUploadInProgress","equals":false,"timeout":60})";
	const std::string Items = R"({"cmd":"workshop","items":true})";
	const std::string Gc = R"({"cmd":"gc"})";

	void WriteFile(const std::string& Path, const std::string& Text)
	{
		std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
		std::ofstream(Path, std::ios::binary) << Text;
	}

	struct FSampleMod
	{
		explicit FSampleMod(const FHostSandbox& Sandbox)
		    : Folder(Sandbox.GetModsRoot() + "/SampleMod")
		    , Descriptor(Folder + "/SampleMod.uplugin")
		    , Record(Folder + "/workshop.json")
		    , Staging(Folder + "/Saved/StagedBuilds/Windows/DemoGame/Mods/SampleMod")
		{
		}

		std::string Upload(const std::string& ChangeNote = std::string()) const
		{
			return R"({"cmd":"call","class":"TRLWorkshopUpload","function":"UploadMod","args":{"ModDescriptorPath":")" + Descriptor + R"(","ChangeNote":")" +
			       ChangeNote + R"("}})";
		}

		/** Records a base release and packages the mod through the simulated cook: an upload takes only a build a cook completed. */
		void Package(const FHostSandbox& Sandbox) const
		{
			const std::string WaitForPackaging = R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false})";
			const FHostRun Run =
			    Sandbox.Run({R"({"cmd":"call","class":"TRLModPackager","function":"CreateBaseGameRelease","args":{}})", WaitForPackaging,
			                 R"({"cmd":"call","class":"TRLModPackager","function":"PackageMod","args":{"ModDescriptorPath":")" + Descriptor + R"("}})",
			                 WaitForPackaging, Quit});
			ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
			ASSERT_TRUE(std::filesystem::exists(Staging + "/Content/Paks/Windows/SampleModWindows.pak")) << Run.RawOutput;
		}

		std::string Folder;
		std::string Descriptor;
		std::string Record;
		std::string Staging;
	};

	/** @return the texts of the upload's notification as it changed, "state: text | sub-text", without repeats. */
	std::vector<std::string> UploadNotification(const FHostRun& Run)
	{
		std::vector<std::string> States;
		int32 Id = INDEX_NONE;
		for (const TSharedPtr<FJsonObject>& Event : Run.Events(TEXT("notification")))
		{
			FString Key;
			Event->GetObjectField(TEXT("text"))->TryGetStringField(TEXT("key"), Key);
			if (Id == INDEX_NONE && Key.Equals(TEXT("UploadStarted")))
			{
				Id = static_cast<int32>(Event->GetNumberField(TEXT("id")));
			}
			if (Id == INDEX_NONE || static_cast<int32>(Event->GetNumberField(TEXT("id"))) != Id)
			{
				continue;
			}
			const std::string Line = Event->GetStringField(TEXT("state")).ToUtf8() + ": " + TextString(Event->TryGetField(TEXT("text"))).ToUtf8() + " | " +
			                         TextString(Event->TryGetField(TEXT("subtext"))).ToUtf8();
			if (States.empty() || States.back() != Line)
			{
				States.push_back(Line);
			}
		}
		return States;
	}

	std::vector<std::string> LogLines(const FHostRun& Run, const FString& Verbosity)
	{
		std::vector<std::string> Lines;
		for (const TSharedPtr<FJsonObject>& Event : Run.Events(TEXT("log")))
		{
			if (Event->GetStringField(TEXT("category")).Equals(TEXT("LogTrellic")) && Event->GetStringField(TEXT("verbosity")).Equals(Verbosity))
			{
				Lines.push_back(Event->GetStringField(TEXT("message")).ToUtf8());
			}
		}
		return Lines;
	}

	/** @return the items of the first "workshop" reply that lists them. */
	TArray<TSharedPtr<FJsonValue>> ItemsOf(const FHostRun& Run)
	{
		for (const TSharedPtr<FJsonObject>& Reply : Run.Replies())
		{
			const TArray<TSharedPtr<FJsonValue>>* List = nullptr;
			if (Reply->GetStringField(TEXT("reply")).Equals(TEXT("workshop")) && Reply->TryGetArrayField(TEXT("items"), List))
			{
				return *List;
			}
		}
		return {};
	}

	std::string Strings(const TSharedPtr<FJsonObject>& Item, const TCHAR* Field)
	{
		std::string Joined;
		for (const TSharedPtr<FJsonValue>& Value : Item->GetArrayField(Field))
		{
			Joined += (Joined.empty() ? "" : "|") + Value->AsString().ToUtf8();
		}
		return Joined;
	}

	int32 LiveObjects(const FHostRun& Run, int32 GcReplyIndex, const TCHAR* Class)
	{
		double Count = 0.0;
		Run.Lines[GcReplyIndex]->GetObjectField(TEXT("objects"))->TryGetNumberField(Class, Count);
		return static_cast<int32>(Count);
	}
} // namespace

TEST(WorkshopUpload, ThePackagedSampleModGoesUpAsANewItemThenAsAnUpdateThatKeepsTheItemsText)
{
	FHostSandbox Sandbox;
	const FSampleMod Mod(Sandbox);
	const FHostRun First = Sandbox.Run({
	    R"({"cmd":"call","class":"TRLModPackager","function":"CreateBaseGameRelease","args":{}})",
	    R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false,"timeout":60})",
	    R"({"cmd":"call","class":"TRLModPackager","function":"PackageMod","args":{"ModDescriptorPath":")" + Mod.Descriptor + R"("}})",
	    R"({"cmd":"wait","class":"TRLModPackager","function":"IsPackagingInProgress","equals":false,"timeout":60})",
	    R"({"cmd":"workshop","next":{"hold_at":0.5}})",
	    Mod.Upload(),
	    R"({"cmd":"workshop","wait_for_hold":60})",
	    Gc,
	    R"({"cmd":"tick","seconds":0.6})",
	    R"({"cmd":"workshop","release":true})",
	    WaitForUpload,
	    Items,
	    Gc,
	    Quit,
	});
	ASSERT_EQ(First.ExitCode, 0) << First.RawOutput;

	// The item is made and uploaded; the notification shows the throbber, the held fraction, then the success.
	const TArray<TSharedPtr<FJsonValue>> Created = ItemsOf(First);
	ASSERT_EQ(Created.Num(), 1) << First.RawOutput;
	const TSharedPtr<FJsonObject> Item = Created[0]->AsObject();
	const std::string ItemId = Item->GetStringField(TEXT("id")).ToUtf8();
	EXPECT_EQ(Item->GetStringField(TEXT("title")).ToUtf8(), "SampleMod");
	EXPECT_EQ(Item->GetStringField(TEXT("description")).ToUtf8(), "A sample mod that ships with the demo game.");
	EXPECT_EQ(Item->GetStringField(TEXT("visibility")).ToUtf8(), "public");
	EXPECT_TRUE(Item->TryGetField(TEXT("preview"))->IsNull());
	EXPECT_EQ(Strings(Item, TEXT("files")), "Content/Paks/Windows/SampleModWindows.pak|SampleMod.uplugin");
	EXPECT_EQ(Strings(Item, TEXT("change_notes")), "");
	// A mod that requires nothing and has no screenshots gives its item none of them, only the versions it was made for.
	EXPECT_EQ(Strings(Item, TEXT("children")) + Strings(Item, TEXT("previews")), "");
	const TSharedPtr<FJsonValue> VersionTags = ParseJsonValue(TEXT(R"([{"key":"TRLBaseRelease","value":"1.0"},{"key":"TRLModApiVersion","value":"1"}])"));
	FString Mismatch;
	EXPECT_TRUE(MatchesShownJson(VersionTags, Item->TryGetField(TEXT("key_value_tags")), Mismatch)) << Mismatch.ToUtf8();
	const std::vector<std::string> Notification = UploadNotification(First);
	ASSERT_GE(Notification.size(), 5u) << First.RawOutput;
	EXPECT_EQ(Notification[0], "none: Uploading SampleMod to the Steam Workshop | ");
	EXPECT_EQ(Notification[1], "pending: Uploading SampleMod to the Steam Workshop | ");
	// The content's upload paused halfway for longer than a progress tick, so that point of the whole update was shown,
	// whatever came before; the content is the middle of the update, after its preparation and before the commit.
	EXPECT_NE(std::find(Notification.begin(), Notification.end(), "pending: Uploading SampleMod to the Steam Workshop | 50% uploaded"), Notification.end());
	const std::string Done = "SampleMod is on the Steam Workshop (item " + ItemId + ").";
	const std::vector<std::string> End(Notification.end() - 2, Notification.end());
	EXPECT_EQ(End, (std::vector<std::string>{"pending: " + Done + " | ", "success: " + Done + " | "})) << First.RawOutput;

	const std::string Recorded = ReadFile(Mod.Record);
	EXPECT_EQ(Recorded.rfind("{\r\n\t\"ItemId\": \"" + ItemId + "\",\r\n\t\"Mod\": \"SampleMod\",\r\n\t\"LastUploaded\": \"", 0), 0u) << Recorded;
	EXPECT_TRUE(Recorded.ends_with("Z\",\r\n\t\"Visibility\": \"public\"\r\n}")) << Recorded;
	// What was kept for an editor that ends during the upload goes, with its folder, once the record holds the item.
	EXPECT_FALSE(std::filesystem::exists(Sandbox.GetProjectFolder() + "/Saved/Trellic"));

	// While it runs the root set holds the upload and its publisher; once it is done, nothing of either is left.
	const int32 WhileRunning = First.IndexOfReply(TEXT("gc"));
	const int32 AfterwardsIndex = First.IndexOfReply(TEXT("gc"), WhileRunning + 1);
	EXPECT_EQ(LiveObjects(First, WhileRunning, TEXT("TRLWorkshopUpload")), 1);
	EXPECT_EQ(LiveObjects(First, WhileRunning, TEXT("TRLWorkshopPublisher")), 1);
	EXPECT_EQ(LiveObjects(First, AfterwardsIndex, TEXT("TRLWorkshopUpload")), 0);
	EXPECT_EQ(LiveObjects(First, AfterwardsIndex, TEXT("TRLWorkshopPublisher")), 0);

	// The modder keeps the Workshop page's text and changes the descriptor's; the update sends the content alone.
	WriteFile(Mod.Record, Recorded.substr(0, Recorded.size() - 3) + ",\r\n\t\"SyncDescription\": false\r\n}");
	std::string Descriptor = ReadFile(Mod.Descriptor);
	Descriptor.replace(Descriptor.find("A sample mod"), 12, "A changed mod");
	WriteFile(Mod.Descriptor, Descriptor);
	const FHostRun Second = Sandbox.Run({Mod.Upload("Second build"), WaitForUpload, Items, Quit});
	ASSERT_EQ(Second.ExitCode, 0) << Second.RawOutput;

	const TArray<TSharedPtr<FJsonValue>> Updated = ItemsOf(Second);
	ASSERT_EQ(Updated.Num(), 1) << Second.RawOutput;
	EXPECT_EQ(Updated[0]->AsObject()->GetStringField(TEXT("id")).ToUtf8(), ItemId);
	EXPECT_EQ(Updated[0]->AsObject()->GetStringField(TEXT("description")).ToUtf8(), "A sample mod that ships with the demo game.");
	EXPECT_EQ(Strings(Updated[0]->AsObject(), TEXT("change_notes")), "Second build");
	const std::vector<std::string> Lines = LogLines(Second, TEXT("Log"));
	EXPECT_NE(std::find(Lines.begin(), Lines.end(), "Visibility: Public. Title and description from the descriptor: no, the Workshop page keeps its own."),
	          Lines.end());
	EXPECT_NE(ReadFile(Mod.Record).find("\t\"SyncDescription\": false"), std::string::npos);
}

TEST(WorkshopUpload, FailuresShowTheFailureStateAndKeepOnlyAnItemThatWasMade)
{
	FHostSandbox Sandbox;
	const FSampleMod Mod(Sandbox);
	Mod.Package(Sandbox);

	const FHostRun Run =
	    Sandbox.Run({R"({"cmd":"workshop","next":{"refuse":true}})", Mod.Upload(),
	                 R"({"cmd":"workshop","next":{"fail":{"result":"k_EResultAccessDenied","after_create":false}}})", Mod.Upload(), WaitForUpload,
	                 R"({"cmd":"workshop","next":{"fail":{"result":"k_EResultAccessDenied","after_create":true}}})", Mod.Upload(), WaitForUpload, Items, Quit},
	                {"--workshop-dir", Sandbox.GetRoot() + "/Workshop"});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	EXPECT_EQ(Run.Events(TEXT("ready"))[0]->GetStringField(TEXT("workshop_dir")).ToUtf8(), Sandbox.GetRoot() + "/Workshop");

	// Refused at the call: the reply carries the refusal, and the notification fails at once.
	const TSharedPtr<FJsonObject> Refused = Run.Lines[Run.IndexOfReply(TEXT("call"))];
	EXPECT_EQ(Refused->GetStringField(TEXT("return")).ToUtf8(), "SteamNotRunning");
	const FString Reason = TextString(Refused->GetObjectField(TEXT("out"))->TryGetField(TEXT("OutError")));
	EXPECT_FALSE(Reason.IsEmpty());
	const std::vector<std::string> Errors = LogLines(Run, TEXT("Error"));
	ASSERT_EQ(Errors.size(), 3u) << Run.RawOutput;
	EXPECT_EQ(Errors[0], "Uploading 'SampleMod' failed: " + Reason.ToUtf8());

	// Failed before and after the item was made: only the item made is recorded, so the next upload updates it.
	const TArray<TSharedPtr<FJsonValue>> Made = ItemsOf(Run);
	ASSERT_EQ(Made.Num(), 1) << Run.RawOutput;
	const std::string ItemId = Made[0]->AsObject()->GetStringField(TEXT("id")).ToUtf8();
	EXPECT_NE(ReadFile(Mod.Record).find("\"ItemId\": \"" + ItemId + "\""), std::string::npos);
	TSet<int32> Failed;
	for (const TSharedPtr<FJsonObject>& Event : Run.Events(TEXT("notification")))
	{
		if (Event->GetStringField(TEXT("state")).Equals(TEXT("fail")))
		{
			Failed.Add(static_cast<int32>(Event->GetNumberField(TEXT("id"))));
		}
	}
	EXPECT_EQ(Failed.Num(), 3) << Run.RawOutput;
	EXPECT_TRUE(std::filesystem::is_directory(Sandbox.GetRoot() + "/Workshop/" + ItemId));
}

TEST(WorkshopUpload, AStagedTreeThatCannotBeCopiedIsRefusedAndNothingIsLost)
{
	FHostSandbox Sandbox;
	const FSampleMod Mod(Sandbox);
	Mod.Package(Sandbox);
	// A pipe is a file to a folder listing, but no copy can read it to its end.
	ASSERT_EQ(mkfifo((Mod.Staging + "/Content/Paks/Windows/Pipe.pak").c_str(), 0644), 0);
	const std::string Descriptor = ReadFile(Mod.Descriptor);
	const std::string Pak = ReadFile(Mod.Staging + "/Content/Paks/Windows/SampleModWindows.pak");

	const FHostRun Run = Sandbox.Run({Mod.Upload(), Items, Quit});
	const TSharedPtr<FJsonObject> Reply = Run.Lines[Run.IndexOfReply(TEXT("call"))];
	EXPECT_EQ(Reply->GetStringField(TEXT("return")).ToUtf8(), "InvalidMod") << Run.RawOutput;
	const TSharedPtr<FJsonObject> Error = Reply->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"));
	EXPECT_EQ(Error->GetStringField(TEXT("key")).ToUtf8(), "CopyStagingFailed");
	// Which file, why, and what to do.
	EXPECT_EQ(Error->GetStringField(TEXT("string")).ToUtf8(), "Could not copy '" + Mod.Staging +
	                                                              "/Content/Paks/Windows/Pipe.pak' from the packaged mod into the upload folder: it is not an "
	                                                              "ordinary file (it is a pipe, a socket or a device, or it has gone). Take it out of the "
	                                                              "staged build, or package the mod again, then upload it.");
	EXPECT_TRUE(UploadNotification(Run).empty());
	EXPECT_TRUE(ItemsOf(Run).IsEmpty());
	EXPECT_EQ(ReadFile(Mod.Descriptor), Descriptor);
	EXPECT_EQ(ReadFile(Mod.Staging + "/Content/Paks/Windows/SampleModWindows.pak"), Pak);

	// An immutable upload folder, which root cannot write to either: the first thing that could not be made is named.
	std::filesystem::remove(Mod.Staging + "/Content/Paks/Windows/Pipe.pak");
	const std::string Payload = Mod.Folder + "/Saved/WorkshopUpload";
	std::filesystem::remove_all(Payload);
	std::filesystem::create_directories(Payload);
	if (std::system(("chattr +i '" + Payload + "' 2>/dev/null").c_str()) != 0)
	{
		GTEST_SKIP() << "this file system cannot make a folder immutable";
	}
	const FHostRun Immutable = Sandbox.Run({Mod.Upload(), Quit});
	std::system(("chattr -i '" + Payload + "'").c_str());
	const TSharedPtr<FJsonObject> Refused = Immutable.Lines[Immutable.IndexOfReply(TEXT("call"))];
	EXPECT_EQ(Refused->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"))->GetStringField(TEXT("string")).ToUtf8(),
	          "Could not copy '" + Mod.Staging + "/Content' from the packaged mod into the upload folder: it could not be written into '" + Payload +
	              "'. Check that the disk has room and that the folder can be written to, then upload again.")
	    << Immutable.RawOutput;
}

TEST(WorkshopUpload, ItemsShowTheItemsEachRequiresItsKeyValueTagsAndItsExtraPreviews)
{
	FHostSandbox Sandbox;
	const std::string Folder = Sandbox.GetRoot() + "/Workshop";
	UE::StandIn::SetOfflineWorkshopFolder(Folder);
	const OfflineWorkshopTest::FLinkedItems Linked = OfflineWorkshopTest::MakeItemThatRequiresAnother(Sandbox.GetRoot());
	UE::StandIn::SetOfflineWorkshopFolder(std::string());
	ASSERT_NE(Linked.Required, 0u);

	const FHostRun Run = Sandbox.Run({Items, Quit}, {"--workshop-dir", Folder});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const std::string Requiring = std::to_string(Linked.Requiring);
	const std::string Required = std::to_string(Linked.Required);
	const TSharedPtr<FJsonValue> Expected = ParseJsonValue(FString::FromUtf8(
	    R"([{"id":")" + Requiring + R"(","children":[")" + Required + R"("],"key_value_tags":[{"key":"Version","value":"1.0"}],"previews":["shot.png"]},)" +
	    R"({"id":")" + Required + R"(","children":[],"key_value_tags":[],"previews":[]}])"));
	FString Mismatch;
	EXPECT_TRUE(MatchesShownJson(Expected, MakeShared<FJsonValueArray>(ItemsOf(Run)), Mismatch)) << Mismatch.ToUtf8() << "\n" << Run.RawOutput;
}

TEST(WorkshopUpload, ControlsAreCheckedBeforeAnyIsSetAndApplyToTheNextRequestOnly)
{
	FHostSandbox Sandbox;
	const FSampleMod Mod(Sandbox);
	Mod.Package(Sandbox);
	const FHostRun Run = Sandbox.Run({
	    R"({"cmd":"workshop","next":{"refuse":true,"hold_at":1.5}})",
	    R"({"cmd":"workshop","next":{"refuse":true,"fail":{"result":"k_EResultNoSuchThing"}}})",
	    R"({"cmd":"workshop","next":{"refuse":true,"fail_details_query":"k_EResultNoSuchThing"}})",
	    R"({"cmd":"workshop","next":{"refuse":true,"refuse_preview":"yes"}})",
	    R"({"cmd":"workshop","next":{"refuse":true,"hold":0.5}})",
	    R"({"cmd":"workshop","release":true})",
	    R"({"cmd":"workshop"})",
	    Mod.Upload(),
	    WaitForUpload,
	    R"({"cmd":"workshop","next":{"refuse":true}})",
	    Mod.Upload(),
	    Mod.Upload(),
	    WaitForUpload,
	    Items,
	    Quit,
	});

	EXPECT_EQ(Run.ExitCode, 1);
	const TArray<TSharedPtr<FJsonObject>> Replies = Run.Replies();
	ASSERT_EQ(Replies.Num(), 15) << Run.RawOutput;
	for (int32 Index = 0; Index < 7; ++Index)
	{
		EXPECT_FALSE(Replies[Index]->GetBoolField(TEXT("ok"))) << Index;
		EXPECT_FALSE(Replies[Index]->GetStringField(TEXT("error")).IsEmpty()) << Index;
	}
	// None of the refused controls was set, the next upload's refusal touched that upload only.
	EXPECT_EQ(Replies[7]->GetStringField(TEXT("return")).ToUtf8(), "Success") << Run.RawOutput;
	EXPECT_EQ(Replies[10]->GetStringField(TEXT("return")).ToUtf8(), "SteamNotRunning");
	EXPECT_EQ(Replies[11]->GetStringField(TEXT("return")).ToUtf8(), "Success");
	const TArray<TSharedPtr<FJsonValue>> Uploaded = ItemsOf(Run);
	ASSERT_EQ(Uploaded.Num(), 1);
	EXPECT_EQ(Strings(Uploaded[0]->AsObject(), TEXT("change_notes")), "Updated");
}

TEST(WorkshopUpload, AnEditorThatEndsAfterSteamMadeTheItemRecordsItAtItsNextStartAndTheNextUploadUpdatesIt)
{
	FHostSandbox Sandbox;
	const FSampleMod Mod(Sandbox);
	Mod.Package(Sandbox);
	const std::string Kept = Sandbox.GetProjectFolder() + "/Saved/Trellic/PendingWorkshopItem.json";
	{
		// Held, the copy has begun: Steam has made the item, and the upload has not ended.
		FHostProcess Host(Sandbox);
		ASSERT_TRUE(Host.Request(R"({"cmd":"workshop","next":{"hold_at":0.5}})").IsValid());
		ASSERT_TRUE(Host.Request(Mod.Upload()).IsValid());
		ASSERT_TRUE(Host.Request(R"({"cmd":"workshop","wait_for_hold":60})").IsValid());
		EXPECT_FALSE(Host.Request(R"({"cmd":"crash"})", 10.0).IsValid());
		EXPECT_EQ(Host.Wait(), 137);
	}
	EXPECT_FALSE(std::filesystem::exists(Mod.Record));
	EXPECT_TRUE(std::filesystem::exists(Kept));

	const FHostRun Next = Sandbox.Run({Items, Mod.Upload("After the crash"), WaitForUpload, Items, Quit});
	ASSERT_EQ(Next.ExitCode, 0) << Next.RawOutput;
	const TArray<TSharedPtr<FJsonValue>> Made = ItemsOf(Next);
	ASSERT_EQ(Made.Num(), 1) << Next.RawOutput;
	const std::string ItemId = Made[0]->AsObject()->GetStringField(TEXT("id")).ToUtf8();
	// At start-up, before the upload's own preflight lines.
	const std::vector<std::string> Warnings = LogLines(Next, TEXT("Warning"));
	ASSERT_FALSE(Warnings.empty()) << Next.RawOutput;
	EXPECT_EQ(Warnings[0], "The editor ended during an upload of 'SampleMod' after Steam made Workshop item " + ItemId + ". The item is now recorded in '" +
	                           Mod.Record + "', so the next upload updates it instead of making another.");
	EXPECT_FALSE(std::filesystem::exists(Kept));
	EXPECT_FALSE(std::filesystem::exists(Sandbox.GetProjectFolder() + "/Saved/Trellic"));

	// The next upload is an update of that item, and the Workshop still holds one item.
	const int32 LastItems = Next.IndexOfReply(TEXT("workshop"), Next.IndexOfReply(TEXT("workshop")) + 1);
	ASSERT_NE(LastItems, INDEX_NONE);
	const TArray<TSharedPtr<FJsonValue>>& After = Next.Lines[LastItems]->GetArrayField(TEXT("items"));
	ASSERT_EQ(After.Num(), 1) << Next.RawOutput;
	EXPECT_EQ(After[0]->AsObject()->GetStringField(TEXT("id")).ToUtf8(), ItemId);
	EXPECT_EQ(Strings(After[0]->AsObject(), TEXT("change_notes")), "After the crash");
	EXPECT_NE(ReadFile(Mod.Record).find("\"ItemId\": \"" + ItemId + "\""), std::string::npos);
}

TEST(WorkshopUpload, LinksAreNeverFollowedTheStagedBuildsAreNamedAndLeftOutAndOneInThePayloadStopsTheUpload)
{
	FHostSandbox Sandbox;
	const FSampleMod Mod(Sandbox);
	Mod.Package(Sandbox);
	const std::string Outside = Sandbox.GetRoot() + "/Outside";
	WriteFile(Outside + "/id_rsa", "secret");
	std::filesystem::create_symlink(Outside, Mod.Staging + "/Content/ext");
	std::filesystem::create_symlink("..", Mod.Staging + "/Content/Paks/loop");

	const FHostRun Run = Sandbox.Run({Mod.Upload(), WaitForUpload, Items, Quit});
	ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
	const TArray<TSharedPtr<FJsonValue>> Uploaded = ItemsOf(Run);
	ASSERT_EQ(Uploaded.Num(), 1) << Run.RawOutput;
	EXPECT_EQ(Strings(Uploaded[0]->AsObject(), TEXT("files")), "Content/Paks/Windows/SampleModWindows.pak|SampleMod.uplugin");
	const std::vector<std::string> Warnings = LogLines(Run, TEXT("Warning"));
	const std::string Named = "The packaged mod in '" + Mod.Staging + "' holds symbolic links, which the upload never follows, so they were left out: ";
	const auto Link = std::find_if(Warnings.begin(), Warnings.end(), [&Named](const std::string& Line) {
		return Line.starts_with(Named);
	});
	ASSERT_NE(Link, Warnings.end()) << Run.RawOutput;
	EXPECT_NE(Link->find(Mod.Staging + "/Content/ext"), std::string::npos) << *Link;
	EXPECT_NE(Link->find(Mod.Staging + "/Content/Paks/loop"), std::string::npos) << *Link;
	EXPECT_TRUE(Link->ends_with(". If the mod needs what they point to, put the files themselves into the mod and package it again.")) << *Link;

	// A link put into the payload by hand is neither deleted through nor replaced.
	const std::string Payload = Mod.Folder + "/Saved/WorkshopUpload";
	std::filesystem::create_symlink(Outside, Payload + "/Content/planted");
	const FHostRun Again = Sandbox.Run({Mod.Upload(), Quit});
	const TSharedPtr<FJsonObject> Reply = Again.Lines[Again.IndexOfReply(TEXT("call"))];
	EXPECT_EQ(Reply->GetStringField(TEXT("return")).ToUtf8(), "InvalidMod") << Again.RawOutput;
	const TSharedPtr<FJsonObject> Error = Reply->GetObjectField(TEXT("out"))->GetObjectField(TEXT("OutError"));
	EXPECT_EQ(Error->GetStringField(TEXT("string")).ToUtf8(), "The symbolic link '" + Payload +
	                                                              "/Content/planted' lies where the upload folder is built, and the upload deletes nothing "
	                                                              "through a link. Delete the link by hand, then upload again.");
	EXPECT_TRUE(std::filesystem::is_symlink(Payload + "/Content/planted"));
	EXPECT_EQ(ReadFile(Outside + "/id_rsa"), "secret");
	EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Outside), std::filesystem::directory_iterator()), 1);
}

TEST(WorkshopUpload, AKeptItemThatLeadsOutOfTheProjectIsSetAsideAndNothingOutsideIsReadOrWritten)
{
	FHostSandbox Sandbox;
	const FSampleMod Mod(Sandbox);
	Sandbox.Run({Quit});
	const std::string Project = Sandbox.GetProjectFolder();
	const std::string Outside = Sandbox.GetRoot() + "/Outside";
	WriteFile(Outside + "/Mod/Mod.uplugin", "{}");
	WriteFile(Outside + "/Mod/workshop.json", "{\"Visibility\": \"private\"}");
	WriteFile(Outside + "/victim.txt", "not a record");
	std::filesystem::create_symlink(Outside + "/Mod", Project + "/Mods/Linked");
	std::filesystem::create_symlink(Outside + "/victim.txt", Mod.Record);
	const std::string DefaultGame = ReadFile(Project + "/Config/DefaultGame.ini");

	const std::string Kept = Project + "/Saved/Trellic/PendingWorkshopItem.json";
	const std::vector<std::string> Mods = {"../Outside/Mod/Mod.uplugin", Outside + "/Mod/Mod.uplugin", "Mods/Linked/Mod.uplugin",
	                                       "Mods/SampleMod/SampleMod.uplugin", "Config/DefaultGame.ini"};
	for (size_t Index = 0; Index < Mods.size(); ++Index)
	{
		WriteFile(Kept, "{\"Mod\": \"" + Mods[Index] + "\", \"ItemId\": \"4242\"}");
		const FHostRun Run = Sandbox.Run({Quit});
		ASSERT_EQ(Run.ExitCode, 0) << Run.RawOutput;
		const std::string Aside = Kept + (Index == 0 ? "" : "." + std::to_string(Index + 1)) + ".set-aside";
		EXPECT_EQ(LogLines(Run, TEXT("Warning")),
		          (std::vector<std::string>{"'" + Kept + "' names the mod '" + Mods[Index] +
		                                    "', which is not a descriptor inside the project or is reached through a symbolic link, so nothing there was "
		                                    "read or written and Workshop item 4242 was not recorded. It is kept as '" +
		                                    Aside + "'; if the mod is yours, write the id into its workshop.json by hand."}))
		    << Mods[Index];
		EXPECT_FALSE(std::filesystem::exists(Kept)) << Mods[Index];
		EXPECT_TRUE(std::filesystem::exists(Aside)) << Mods[Index];
	}
	EXPECT_EQ(ReadFile(Outside + "/Mod/Mod.uplugin"), "{}");
	EXPECT_EQ(ReadFile(Outside + "/Mod/workshop.json"), "{\"Visibility\": \"private\"}");
	EXPECT_EQ(ReadFile(Outside + "/victim.txt"), "not a record");
	EXPECT_EQ(ReadFile(Project + "/Config/DefaultGame.ini"), DefaultGame);
	EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Outside + "/Mod"), std::filesystem::directory_iterator()), 2);
}
