// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "TRLPreparedCook.h"

#if WITH_DEV_AUTOMATION_TESTS

// The two changes a cook makes, as text in and text out: no file is read or written.
BEGIN_DEFINE_SPEC(FTRLPreparedCookSpec, "Trellic.TrellicEditor.TRLPreparedCook", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	static const TCHAR* Header()
	{
		return TEXT("[/Script/UnrealEd.ProjectPackagingSettings]");
	}
END_DEFINE_SPEC(FTRLPreparedCookSpec)

void FTRLPreparedCookSpec::Define()
{
	Describe("WithExplicitlyLoadedOff", [this]() {
		It("switches the flag off, or adds it when missing, keeping every other field", [this]() {
			const FString Off = TEXT("{\r\n\t\"FriendlyName\": \"Caf\u00E9\",\r\n\t\"ExplicitlyLoaded\": false\r\n}");
			TestEqualSensitive(
			    TEXT("true"), FTRLPreparedCook::WithExplicitlyLoadedOff(TEXT("{ \"FriendlyName\": \"Caf\u00E9\", \"ExplicitlyLoaded\": true }")).Get(FString()),
			    Off);
			TestEqualSensitive(TEXT("missing"), FTRLPreparedCook::WithExplicitlyLoadedOff(TEXT("{ \"FriendlyName\": \"Caf\u00E9\" }")).Get(FString()), Off);
		});

		It("gives nothing for a text that is not a JSON object", [this]() {
			for (const TCHAR* NotAnObject : {TEXT("[ \"a list\" ]"), TEXT("{ \"FileVersion\": "), TEXT("")})
			{
				TestFalse(NotAnObject, FTRLPreparedCook::WithExplicitlyLoadedOff(NotAnObject).IsSet());
			}
		});
	});

	Describe("WithContentRootListed", [this]() {
		It("lists the content root after every packaging header in any case, or under a header of its own at the end", [this]() {
			const FString Line = TEXT("+DirectoriesToAlwaysCook=(Path=\"/MyMod\")");
			const TPair<FString, FString> Cases[] = {
			    {TEXT("[/script/unrealed.projectpackagingsettings]\r\nA=1\r\n"), Header() + (TEXT("\r\n") + Line) + TEXT("\r\nA=1\r\n")},
			    {Header() + FString(TEXT("\r\nA=1\r\n")) + Header(), Header() + (TEXT("\r\n") + Line) + TEXT("\r\nA=1\r\n") + Header() + TEXT("\r\n") + Line},
			    {TEXT("[X]\r\nA=1"), TEXT("[X]\r\nA=1\r\n") + (Header() + (TEXT("\r\n") + Line)) + TEXT("\r\n")},
			    {FString(), TEXT("\r\n") + (Header() + (TEXT("\r\n") + Line)) + TEXT("\r\n")}};
			for (const TPair<FString, FString>& Case : Cases)
			{
				TestEqualSensitive(Case.Key, FTRLPreparedCook::WithContentRootListed(Case.Key, TEXT("MyMod")), Case.Value);
			}
		});

		It("leaves a text that lists the content root already, in any case, exactly as it is", [this]() {
			const FString Listed = TEXT("[X]\r\n+directoriestoalwayscook=(path=\"/mymod\")");
			TestEqualSensitive(TEXT("listed"), FTRLPreparedCook::WithContentRootListed(Listed, TEXT("MyMod")), Listed);
		});
	});
}

#endif
