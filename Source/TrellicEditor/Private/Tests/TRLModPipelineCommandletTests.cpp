// Copyright Trellic contributors. All Rights Reserved.

#include "HAL/FileManager.h"
#include "Misc/AutomationTest.h"
#include "Misc/Paths.h"
#include "TRLModPipelineCommandlet.h"
#include "TRLScopedOverrides.h"
#include "TRLTestHelpers.h"
#include "Templates/SharedPointer.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLModPipelineCommandletSpec, "Trellic.TrellicEditor.TRLModPipelineCommandlet",
                  EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	FString TempDir;
	FString ModsRoot;
	TSharedPtr<FTRLScopedModsRootOverride> RootOverride;
	TSharedPtr<FTRLScopedProjectOverride> ProjectOverride;

	/** Parses Params and expects a refusal with exactly ExpectedError. */
	void TestRefused(const TCHAR* Params, const FString& ExpectedError)
	{
		FTRLModPipelineRequest Request;
		FString Error;
		TestFalse(FString::Printf(TEXT("'%s' is refused"), Params), UTRLModPipelineCommandlet::ParseRequest(Params, Request, Error));
		TestEqualSensitive(FString::Printf(TEXT("the refusal of '%s'"), Params), Error, ExpectedError);
	}

	FTRLModPipelineRequest Parse(const TCHAR* Params)
	{
		FTRLModPipelineRequest Request;
		FString Error;
		TestTrue(FString::Printf(TEXT("'%s' is read (%s)"), Params, *Error), UTRLModPipelineCommandlet::ParseRequest(Params, Request, Error));
		return Request;
	}

	FTRLModPipelineRequest RequestFor(const FString& Mod, bool bCreate)
	{
		FTRLModPipelineRequest Request;
		Request.Mod = Mod;
		Request.bCreate = bCreate;
		Request.bPackage = !bCreate;
		return Request;
	}
END_DEFINE_SPEC(FTRLModPipelineCommandletSpec)

void FTRLModPipelineCommandletSpec::Define()
{
	BeforeEach([this]() {
		TempDir = TRLTest::MakeTempFolder(TEXT("TRLModPipeline"));
		ModsRoot = TempDir / TEXT("Mods");
		RootOverride = MakeShared<FTRLScopedModsRootOverride>(ModsRoot);
		ProjectOverride = MakeShared<FTRLScopedProjectOverride>(TempDir / TEXT("Game.uproject"));
	});

	AfterEach([this]() {
		ProjectOverride.Reset();
		RootOverride.Reset();
		TRLTest::DeleteFolder(TempDir);
	});

	Describe("ParseRequest", [this]() {
		It("reads every switch in any case, a quoted value whole, and lets the engine's own switches by", [this]() {
			const FTRLModPipelineRequest Request = Parse(TEXT("-mod=MyMod -CREATE -Author=\"Ann Lee\" -Description=\"A bridge, fixed\" -BaseRelease -Package "
			                                                  "-Upload -ChangeNote=\"Fixed the bridge\" -json -unattended -stdout -NoLogTimes "
			                                                  "-abslog=\"C:/Logs/Mod Build.log\" -ini:Engine:[Core.Log]:LogTrellic=Verbose"));
			TestEqualSensitive(TEXT("Mod"), Request.Mod, TEXT("MyMod"));
			TestEqualSensitive(TEXT("Author"), Request.Author, TEXT("Ann Lee"));
			TestEqualSensitive(TEXT("Description"), Request.Description, TEXT("A bridge, fixed"));
			TestEqualSensitive(TEXT("ChangeNote"), Request.ChangeNote, TEXT("Fixed the bridge"));
			TestTrue(TEXT("every step and -Json are asked for"),
			         Request.bCreate && Request.bBaseRelease && Request.bPackage && Request.bUpload && Request.bJson && !Request.bHelp);
			TestFalse(TEXT("a name is not a descriptor path"), Request.IsModDescriptorPath());
		});

		It("refuses an unknown switch by its name, so that a misspelt step is never skipped", [this]() {
			TestRefused(TEXT("-Mod=MyMod -Pakage"), TEXT("Unknown switch '-Pakage'. Run with -help to see the switches."));
			TestRefused(TEXT("-Mod=MyMod -Package -Upload=yes"), TEXT("-Upload takes no value."));
		});

		It("refuses a missing mod for the steps that need one, and an empty one, but records a base release without one", [this]() {
			const FString NoMod = TEXT("No mod given: name it with -Mod=<name>, or give its descriptor with -Mod=<path of the .uplugin>.");
			TestRefused(TEXT("-Package"), NoMod);
			TestRefused(TEXT("-BaseRelease -Upload"), NoMod);
			TestRefused(TEXT("-Mod -Package"), TEXT("-Mod needs a value: -Mod=<value>."));
			TestRefused(TEXT("-Mod= -Package"), TEXT("-Mod needs a value: a mod's name, or the path of its .uplugin."));
			TestTrue(TEXT("-BaseRelease alone needs no mod"), Parse(TEXT("-BaseRelease")).bBaseRelease);
		});

		It("refuses the switches of a step that is not asked for, naming the step they go with", [this]() {
			TestRefused(TEXT("-Mod=MyMod -Package -Author=Ann"), TEXT("-Author and -Description describe a new mod; they go with -Create."));
			TestRefused(TEXT("-Mod=MyMod -Package -ChangeNote=Fixed"), TEXT("-ChangeNote describes an upload; it goes with -Upload."));
			TestRefused(TEXT("-Mod=MyMod -Package -AllowStale"), TEXT("-AllowStale describes an upload; it goes with -Upload."));
		});

		It("refuses a word that is no switch, showing how a value with blanks is quoted", [this]() {
			TestRefused(TEXT("-Mod=MyMod -Upload -ChangeNote=Fixed the bridge"),
			            TEXT("'the' is not a switch. Switches start with '-', and a value with blanks goes in quotes: -ChangeNote=\"Fixed the bridge\"."));
		});

		It("refuses a run that asks for no step", [this]() {
			TestRefused(TEXT("-Mod=MyMod -Json"), TEXT("Nothing to do: ask for at least one step: -Create, -BaseRelease, -Package or -Upload."));
		});

		It("answers -help whatever else is given", [this]() {
			TestTrue(TEXT("-help is read"), Parse(TEXT("-Pakage stray -help")).bHelp);
		});
	});

	Describe("ResolveModDescriptor", [this]() {
		It("takes a relative descriptor path from the project folder, and refuses one with no file", [this]() {
			const FString Expected = TRLTest::WriteMod(ModsRoot, TEXT("Folder"), TEXT("Named"));
			FString Descriptor;
			FString Error;
			TestTrue(TEXT("the relative path is found"),
			         UTRLModPipelineCommandlet::ResolveModDescriptor(RequestFor(TEXT("Mods/Folder/Named.uplugin"), false), Descriptor, Error));
			TestEqualSensitive(TEXT("its descriptor"), Descriptor, Expected);

			TestFalse(TEXT("a path without a file is refused"),
			          UTRLModPipelineCommandlet::ResolveModDescriptor(RequestFor(TEXT("Mods/Folder/Other.UPLUGIN"), false), Descriptor, Error));
			TestEqualSensitive(
			    TEXT("the refusal"), Error,
			    FString::Printf(TEXT("No plugin descriptor at '%s'."), *(FPaths::ConvertRelativePathToFull(ModsRoot) / TEXT("Folder/Other.UPLUGIN"))));
		});

		// A taken name's refusal, with the name rule's reason, is tried through the host.
		It("for -Create, takes a new name without creating anything, and refuses a path", [this]() {
			FString Descriptor;
			FString Error;
			TestTrue(TEXT("a new name is taken"), UTRLModPipelineCommandlet::ResolveModDescriptor(RequestFor(TEXT("Fresh"), true), Descriptor, Error));
			TestFalse(TEXT("nothing is created yet"), IFileManager::Get().DirectoryExists(*(ModsRoot / TEXT("Fresh"))));
			TRLTest::WriteMod(ModsRoot, TEXT("Taken"), TEXT("Taken"));
			TestFalse(TEXT("a path is refused"),
			          UTRLModPipelineCommandlet::ResolveModDescriptor(RequestFor(TEXT("Mods/Taken/Taken.uplugin"), true), Descriptor, Error));
			TestEqualSensitive(TEXT("the refusal"), Error,
			                   TEXT("-Create makes a mod from its name; give -Mod=<Name>, not the path 'Mods/Taken/Taken.uplugin'."));
		});
	});
}

#endif
