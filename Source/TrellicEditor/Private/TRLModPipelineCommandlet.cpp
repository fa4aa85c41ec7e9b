// Copyright Trellic contributors. All Rights Reserved.

#include "TRLModPipelineCommandlet.h"

#include "Containers/Ticker.h"
#include "CoreGlobals.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "HAL/FileManager.h"
#include "HAL/PlatformProcess.h"
#include "HAL/PlatformTime.h"
#include "Misc/Parse.h"
#include "Misc/Paths.h"
#include "Policies/CondensedJsonPrintPolicy.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"
#include "TRLBuildState.h"
#include "TRLHeadlessUatTask.h"
#include "TRLJobEvents.h"
#include "TRLLocalModProvider.h"
#include "TRLModPackager.h"
#include "TRLModScaffold.h"
#include "TRLProjectPaths.h"
#include "TRLWorkshopUpload.h"
#include "Trellic.h"

#include <cstdio>

namespace TRLModPipeline
{
	constexpr int32 ExitSucceeded = 0;
	constexpr int32 ExitStepFailed = 1;
	constexpr int32 ExitRefused = 2;

	// Generous: a time-out is there to free a build machine from a job that hangs, not to judge a slow one.
	constexpr double BaseReleaseTimeoutSeconds = 4.0 * 60.0 * 60.0;
	constexpr double PackageTimeoutSeconds = 2.0 * 60.0 * 60.0;
	constexpr double UploadTimeoutSeconds = 2.0 * 60.0 * 60.0;
	// Upload progress is written when its percentage changes, but no more often than this.
	constexpr double ProgressIntervalSeconds = 0.5;
	// After a time-out the killed UAT still has to report its end, so that the project's files are written back.
	constexpr double CancelGraceSeconds = 60.0;
	constexpr float PumpSleepSeconds = 0.01f;

	using FRequest = FTRLModPipelineRequest;

	/** One switch of the pipeline: its name, what it sets, and when it is refused. */
	struct FSwitchSpec
	{
		const TCHAR* Name;
		/** Sets the switch's value into the request; null for a switch that takes no value. */
		FString FRequest::*Value;
		/** Set when the switch is given; null for a switch that takes a value. */
		bool FRequest::*Flag;
		/** The refusal of an empty value, for a switch that needs one; null when an empty value is taken. */
		const TCHAR* EmptyValueError;
		/** The step the switch describes, and the refusal when that step is not asked for; null for every step. */
		bool FRequest::*Step;
		const TCHAR* WithoutStepError;
	};

	const TCHAR* const NewModOnlyError = TEXT("-Author and -Description describe a new mod; they go with -Create.");

	// In the order that a switch without its step is refused.
	const FSwitchSpec KnownSwitches[] = {
	    {TEXT("Mod"), &FRequest::Mod, nullptr, TEXT("-Mod needs a value: a mod's name, or the path of its .uplugin."), nullptr, nullptr},
	    {TEXT("Create"), nullptr, &FRequest::bCreate, nullptr, nullptr, nullptr},
	    {TEXT("Author"), &FRequest::Author, nullptr, nullptr, &FRequest::bCreate, NewModOnlyError},
	    {TEXT("Description"), &FRequest::Description, nullptr, nullptr, &FRequest::bCreate, NewModOnlyError},
	    {TEXT("BaseRelease"), nullptr, &FRequest::bBaseRelease, nullptr, nullptr, nullptr},
	    {TEXT("Package"), nullptr, &FRequest::bPackage, nullptr, nullptr, nullptr},
	    {TEXT("Upload"), nullptr, &FRequest::bUpload, nullptr, nullptr, nullptr},
	    {TEXT("ChangeNote"), &FRequest::ChangeNote, nullptr, nullptr, &FRequest::bUpload, TEXT("-ChangeNote describes an upload; it goes with -Upload.")},
	    {TEXT("Json"), nullptr, &FRequest::bJson, nullptr, nullptr, nullptr},
	    {TEXT("help"), nullptr, &FRequest::bHelp, nullptr, nullptr, nullptr},
	    {TEXT("AllowStale"), nullptr, &FRequest::bAllowStale, nullptr, &FRequest::bUpload, TEXT("-AllowStale describes an upload; it goes with -Upload.")},
	};

	// Switches that the engine reads, and that it or a build tool (BuildGraph's Commandlet task, RunUAT) puts on a
	// commandlet's command line; refusing them would refuse every run on a build machine.
	const TCHAR* const EngineSwitches[] = {
	    TEXT("unattended"),
	    TEXT("nullrhi"),
	    TEXT("stdout"),
	    TEXT("nosplash"),
	    TEXT("nopause"),
	    TEXT("nop4"),
	    TEXT("buildmachine"),
	    TEXT("CrashForUAT"),
	    TEXT("NoLogTimes"),
	    TEXT("FORCELOGFLUSH"),
	    TEXT("utf8output"),
	    TEXT("NoShaderCompile"),
	    TEXT("AllowStdOutLogVerbosity"),
	    TEXT("FullStdOutLogOutput"),
	    TEXT("NoLogThread"),
	    TEXT("log"),
	    TEXT("abslog"),
	    TEXT("LogCmds"),
	    TEXT("ddc"),
	    TEXT("ExecCmds"),
	    TEXT("installed"),
	    TEXT("NoXGEShaderCompile"),
	    TEXT("NoCompileEditor"),
	    TEXT("DisableSCCSubmit"),
	};

	// Plain C output, flushed per line: a build step reads these lines as they come, undecorated by the log.
	void WriteStandardOutputLine(const FString& Line)
	{
		const FTCHARToUTF8 Utf8(*Line);
		std::fwrite(Utf8.Get(), 1, static_cast<size_t>(Utf8.Length()), stdout);
		std::fputc('\n', stdout);
		std::fflush(stdout);
	}

	const FSwitchSpec* FindKnownSwitch(const FString& Name)
	{
		for (const FSwitchSpec& Spec : KnownSwitches)
		{
			if (Name.Equals(Spec.Name, ESearchCase::IgnoreCase))
			{
				return &Spec;
			}
		}
		return nullptr;
	}

	bool IsEngineSwitch(const FString& Name)
	{
		// -ini:<File>:[Section]:Key=Value overrides configuration.
		if (Name.StartsWith(TEXT("ini:"), ESearchCase::IgnoreCase))
		{
			return true;
		}
		for (const TCHAR* EngineSwitch : EngineSwitches)
		{
			if (Name.Equals(EngineSwitch, ESearchCase::IgnoreCase))
			{
				return true;
			}
		}
		return false;
	}

	/**
	 * Reads one switch into the request, or lets one of the engine's by.
	 * @param InOutSeen the known switches read so far, to which this one is added
	 * @return false, with OutError set, for a switch it does not know, one given twice, or one whose value is missing or
	 *         not wanted
	 */
	bool ReadSwitch(const FString& Switch, const TMap<FString, FString>& Values, TArray<const FSwitchSpec*>& InOutSeen, FRequest& OutRequest, FString& OutError)
	{
		int32 Equals = INDEX_NONE;
		const bool bHasValue = Switch.FindChar(TEXT('='), Equals);
		const FString Name = bHasValue ? Switch.Left(Equals) : Switch;
		const FSwitchSpec* Spec = FindKnownSwitch(Name);
		if (!Spec)
		{
			if (IsEngineSwitch(Name))
			{
				return true;
			}
			OutError = FString::Printf(TEXT("Unknown switch '-%s'. Run with -help to see the switches."), *Name);
			return false;
		}
		if (InOutSeen.Contains(Spec))
		{
			OutError = FString::Printf(TEXT("-%s is given twice. Give it once: the pipeline works on one mod at a time."), Spec->Name);
			return false;
		}
		InOutSeen.Add(Spec);
		const bool bTakesValue = Spec->Value != nullptr;
		if (bTakesValue != bHasValue)
		{
			OutError = bTakesValue ? FString::Printf(TEXT("-%s needs a value: -%s=<value>."), Spec->Name, Spec->Name)
			                       : FString::Printf(TEXT("-%s takes no value."), Spec->Name);
			return false;
		}
		if (!bTakesValue)
		{
			OutRequest.*(Spec->Flag) = true;
			return true;
		}
		const FString Value = Values.FindRef(Name);
		if (Value.IsEmpty() && Spec->EmptyValueError)
		{
			OutError = Spec->EmptyValueError;
			return false;
		}
		OutRequest.*(Spec->Value) = Value;
		return true;
	}

	/**
	 * Checks the switches read as a whole: a step is asked for, each switch comes with the step it describes, and a mod
	 * is named for the steps that work on one.
	 * @return false with OutError set to the first that does not hold
	 */
	bool CheckSteps(const FRequest& Request, const TArray<const FSwitchSpec*>& Seen, FString& OutError)
	{
		if (!Request.bCreate && !Request.bBaseRelease && !Request.bPackage && !Request.bUpload)
		{
			OutError = TEXT("Nothing to do: ask for at least one step: -Create, -BaseRelease, -Package or -Upload.");
			return false;
		}
		for (const FSwitchSpec& Spec : KnownSwitches)
		{
			if (Spec.Step && !(Request.*(Spec.Step)) && Seen.Contains(&Spec))
			{
				OutError = Spec.WithoutStepError;
				return false;
			}
		}
		if (Request.Mod.IsEmpty() && (Request.bCreate || Request.bPackage || Request.bUpload))
		{
			OutError = TEXT("No mod given: name it with -Mod=<name>, or give its descriptor with -Mod=<path of the .uplugin>.");
			return false;
		}
		return true;
	}

	/** Writes each step's events on standard output, as plain lines or as one JSON object a line. */
	class FPipelineOutput
	{
	public:
		explicit FPipelineOutput(bool bInJson)
		    : bJson(bInJson)
		{
		}

		void Started(const TCHAR* Step) const { Write(Step, TEXT("started"), INDEX_NONE, FString(), FString()); }
		/** The upload's start, with the state of the build it sends and why, for a build step to read (JSON lines only). */
		void StartedUpload(const TCHAR* Step, ETRLModBuildState State, const TArray<FText>& Reasons) const
		{
			BuildState = StaticEnum<ETRLModBuildState>()->GetNameStringByValue(static_cast<int64>(State));
			BuildReasons = Reasons;
			Started(Step);
			BuildState.Empty();
			BuildReasons.Empty();
		}
		void Progress(const TCHAR* Step, int32 Percent) const { Write(Step, TEXT("progress"), Percent, FString(), FString()); }
		void Succeeded(const TCHAR* Step, const FString& Message, const FString& ItemId = FString()) const
		{
			Write(Step, TEXT("succeeded"), INDEX_NONE, Message, ItemId);
		}
		void Failed(const TCHAR* Step, const FString& Message, const FString& ItemId = FString()) const
		{
			Write(Step, TEXT("failed"), INDEX_NONE, Message, ItemId);
		}

		/** A refusal before any step, in JSON only: a build step that reads the lines learns why nothing ran. */
		void Refused(const FString& Message) const
		{
			if (bJson)
			{
				Write(nullptr, TEXT("refused"), INDEX_NONE, Message, FString());
			}
		}

	private:
		void Write(const TCHAR* Step, const TCHAR* State, int32 Percent, const FString& Message, const FString& ItemId) const
		{
			FString Line;
			if (bJson)
			{
				const TSharedRef<FJsonObject> Event = MakeShared<FJsonObject>();
				if (Step)
				{
					Event->SetStringField(TEXT("step"), Step);
				}
				else
				{
					Event->SetField(TEXT("step"), MakeShared<FJsonValueNull>());
				}
				Event->SetStringField(TEXT("state"), State);
				if (Percent != INDEX_NONE)
				{
					Event->SetNumberField(TEXT("percent"), Percent);
				}
				if (!Message.IsEmpty())
				{
					Event->SetStringField(TEXT("message"), Message);
				}
				if (!ItemId.IsEmpty())
				{
					Event->SetStringField(TEXT("item_id"), ItemId);
				}
				if (!BuildState.IsEmpty())
				{
					TArray<TSharedPtr<FJsonValue>> Reasons;
					for (const FText& Reason : BuildReasons)
					{
						Reasons.Add(MakeShared<FJsonValueString>(Reason.ToString()));
					}
					Event->SetStringField(TEXT("build_state"), BuildState);
					Event->SetArrayField(TEXT("build_reasons"), Reasons);
				}
				const TSharedRef<TJsonWriter<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>> Writer =
				    TJsonWriterFactory<TCHAR, TCondensedJsonPrintPolicy<TCHAR>>::Create(&Line);
				FJsonSerializer::Serialize(Event, Writer);
			}
			else
			{
				Line = FString::Printf(TEXT("[%s] %s"), Step, State);
				if (Percent != INDEX_NONE)
				{
					Line += FString::Printf(TEXT(" %d%%"), Percent);
				}
				if (!Message.IsEmpty())
				{
					Line += TEXT(": ") + Message;
				}
				if (!ItemId.IsEmpty() && !Message.Contains(ItemId))
				{
					Line += FString::Printf(TEXT(" (item %s)"), *ItemId);
				}
			}
			WriteStandardOutputLine(Line);
		}

		bool bJson;
		mutable FString BuildState;
		mutable TArray<FText> BuildReasons;
	};

	enum class EPumpEnd : uint8
	{
		Done,
		TimedOut,
		/** The engine was asked to exit (Ctrl-C, or the build system stopping the run). */
		StopRequested
	};

	/**
	 * Lets the engine's loop run, as the editor's frame would, until Done answers true or the time is up, and, when
	 * bStoppable, until the engine is asked to exit.
	 */
	EPumpEnd PumpUntil(const TFunction<bool()>& Done, double TimeoutSeconds, const TFunction<void()>& EachFrame = TFunction<void()>(), bool bStoppable = true)
	{
		double Last = FPlatformTime::Seconds();
		const double Deadline = Last + TimeoutSeconds;
		while (!Done())
		{
			if (bStoppable && IsEngineExitRequested())
			{
				return EPumpEnd::StopRequested;
			}
			if (FPlatformTime::Seconds() >= Deadline)
			{
				return EPumpEnd::TimedOut;
			}
			FPlatformProcess::Sleep(PumpSleepSeconds);
			const double Now = FPlatformTime::Seconds();
			FTSTicker::GetCoreTicker().Tick(static_cast<float>(Now - Last));
			Last = Now;
			if (EachFrame)
			{
				EachFrame();
			}
		}
		return EPumpEnd::Done;
	}

	/** One run of the requested steps, in order, stopping at the first that fails. */
	class FPipelineRun
	{
	public:
		FPipelineRun(const FTRLModPipelineRequest& InRequest, const FString& InDescriptor)
		    : Request(InRequest)
		    , Descriptor(InDescriptor)
		    , Output(InRequest.bJson)
		{
		}

		bool Execute()
		{
			return (!Request.bCreate || Create()) && (!Request.bBaseRelease || BaseRelease()) && (!Request.bPackage || Package()) &&
			       (!Request.bUpload || Upload());
		}

	private:
		bool Create()
		{
			const TCHAR* const Step = TEXT("create");
			if (EndIfStopRequested(Step))
			{
				return false;
			}
			Output.Started(Step);
			FText Error;
			const FString Created = UTRLModScaffold::CreateMod(Request.Mod, Request.Author, Request.Description, Error);
			if (Created.IsEmpty())
			{
				Output.Failed(Step, Error.ToString());
				return false;
			}
			// The steps after it work on the mod just made.
			Descriptor = Created;
			Output.Succeeded(Step, Created);
			return true;
		}

		bool BaseRelease()
		{
			return RunPackagingJob(TEXT("base-release"), BaseReleaseTimeoutSeconds, [](FText& OutError) {
				return UTRLModPackager::CreateBaseGameRelease(OutError);
			});
		}

		bool Package()
		{
			return RunPackagingJob(TEXT("package"), PackageTimeoutSeconds, [this](FText& OutError) {
				return UTRLModPackager::PackageMod(Descriptor, OutError);
			});
		}

		/** Starts the upload and waits for Steam's answer, writing its progress; the messages are the upload's own. */
		bool Upload()
		{
			const TCHAR* const Step = TEXT("upload");
			if (EndIfStopRequested(Step))
			{
				return false;
			}
			TArray<FText> Reasons;
			const ETRLModBuildState State = UTRLBuildState::GetBuildState(Descriptor, Reasons);
			Output.StartedUpload(Step, State, Reasons);
			bool bEnded = false;
			bool bSucceeded = false;
			FString ItemId;
			FString EndMessage;
			const FDelegateHandle Handle = FTRLJobEvents::OnUploadEnded().AddLambda(
			    [&bEnded, &bSucceeded, &ItemId, &EndMessage](bool bUploaded, const FString& Id, const FString& Message) {
				    bEnded = true;
				    bSucceeded = bUploaded;
				    ItemId = Id;
				    EndMessage = Message;
			    });
			FText Error;
			const ETRLWorkshopResult Result = UTRLWorkshopUpload::UploadMod(Descriptor, Request.ChangeNote, Error);
			if (Result != ETRLWorkshopResult::Success)
			{
				FTRLJobEvents::OnUploadEnded().Remove(Handle);
				// A refusal after the item was made still names it, so that the next run updates that item.
				Output.Failed(Step, Error.ToString(), bEnded ? ItemId : FString());
				return false;
			}

			int32 LastPercent = 0;
			double LastWritten = 0.0;
			const EPumpEnd End = PumpUntil(
			    [&bEnded]() {
				    return bEnded;
			    },
			    UploadTimeoutSeconds,
			    [this, Step, &bEnded, &LastPercent, &LastWritten]() {
				    const double Now = FPlatformTime::Seconds();
				    const int32 Percent = UTRLWorkshopUpload::GetActiveUploadPercent();
				    if (!bEnded && Percent > 0 && Percent != LastPercent && Now - LastWritten >= ProgressIntervalSeconds)
				    {
					    Output.Progress(Step, Percent);
					    LastPercent = Percent;
					    LastWritten = Now;
				    }
			    });
			FTRLJobEvents::OnUploadEnded().Remove(Handle);
			if (End == EPumpEnd::StopRequested)
			{
				// Steam offers no way to take a submitted update back; what it keeps of it is its own.
				Output.Failed(Step, TEXT("The run was asked to stop before Steam answered, so the upload may not have finished. Run the upload again."));
				return false;
			}
			if (End == EPumpEnd::TimedOut)
			{
				Output.Failed(Step, FString::Printf(TEXT("Steam did not answer within %.0f s."), UploadTimeoutSeconds));
				return false;
			}
			if (!bSucceeded)
			{
				Output.Failed(Step, EndMessage, ItemId);
				return false;
			}
			Output.Succeeded(Step, EndMessage, ItemId);
			return true;
		}

		/** Starts a UAT job and waits for its end; the messages are the packager's own. */
		bool RunPackagingJob(const TCHAR* Step, double TimeoutSeconds, const TFunction<ETRLPackageStartResult(FText&)>& Start)
		{
			if (EndIfStopRequested(Step))
			{
				return false;
			}
			Output.Started(Step);
			bool bEnded = false;
			bool bSucceeded = false;
			FString EndMessage;
			const FDelegateHandle Handle =
			    FTRLJobEvents::OnPackagingEnded().AddLambda([&bEnded, &bSucceeded, &EndMessage](bool bJobSucceeded, const FString& Message, double) {
				    bEnded = true;
				    bSucceeded = bJobSucceeded;
				    EndMessage = Message;
			    });
			FText Error;
			const ETRLPackageStartResult Result = Start(Error);
			if (Result != ETRLPackageStartResult::Started)
			{
				FTRLJobEvents::OnPackagingEnded().Remove(Handle);
				Output.Failed(Step, Error.ToString());
				return false;
			}
			const double StartSeconds = FPlatformTime::Seconds();
			const TFunction<bool()> HasEnded = [&bEnded]() {
				return bEnded;
			};
			const EPumpEnd End = PumpUntil(HasEnded, TimeoutSeconds);
			if (End != EPumpEnd::Done)
			{
				// Killing UAT lets its end run as any other, so the project's files are written back before we go. The
				// end is waited for even when the run was asked to stop: leaving now would leave the files prepared.
				FTRLHeadlessUatTask::CancelRunning();
				PumpUntil(HasEnded, CancelGraceSeconds, TFunction<void()>(), false);
				FTRLJobEvents::OnPackagingEnded().Remove(Handle);
				const double Seconds = FPlatformTime::Seconds() - StartSeconds;
				Output.Failed(Step, End == EPumpEnd::StopRequested
				                        ? FString::Printf(TEXT("The run was asked to stop, so UAT was stopped after %.0f s. Run the step again."), Seconds)
				                        : FString::Printf(TEXT("UAT did not end within %.0f s, so it was stopped."), Seconds));
				return false;
			}
			FTRLJobEvents::OnPackagingEnded().Remove(Handle);
			if (!bSucceeded)
			{
				Output.Failed(Step, EndMessage);
				return false;
			}
			Output.Succeeded(Step, EndMessage);
			return true;
		}

		/**
		 * Once the run has been asked to stop, no further step starts: its failed line says so instead.
		 * @return true when the step is not to start
		 */
		bool EndIfStopRequested(const TCHAR* Step) const
		{
			if (!IsEngineExitRequested())
			{
				return false;
			}
			Output.Failed(Step, TEXT("The run was asked to stop, so this step did not start."));
			return true;
		}

		const FTRLModPipelineRequest& Request;
		FString Descriptor;
		FPipelineOutput Output;
	};
} // namespace TRLModPipeline

bool FTRLModPipelineRequest::IsModDescriptorPath() const
{
	return Mod.EndsWith(TEXT(".uplugin"), ESearchCase::IgnoreCase);
}

UTRLModPipelineCommandlet::UTRLModPipelineCommandlet(const FObjectInitializer& ObjectInitializer)
    : Super(ObjectInitializer)
{
	// Mods are made, cooked and sent from the editor's side; nothing of a running game is needed.
	IsClient = false;
	IsServer = false;
	IsEditor = true;
	HelpDescription = TEXT("Creates, packages and uploads a mod without the editor's window, for build machines.");
	HelpUsage = GetUsage();
}

FString UTRLModPipelineCommandlet::GetUsage()
{
	return TEXT("Usage: <Project>.uproject -run=TRLModPipeline -Mod=<name or descriptor path>\n"
	            "           [-Create [-Author=<name>] [-Description=<text>]] [-BaseRelease] [-Package]\n"
	            "           [-Upload [-ChangeNote=<text>] [-AllowStale]] [-Json]\n"
	            "\n"
	            "Runs the requested steps in this order, as the Tools > Trellic menu does, and stops at the first\n"
	            "that fails:\n"
	            "  -Create       create the mod named by -Mod under the local mods root (a new name)\n"
	            "  -BaseRelease  record the base game release that mods are cooked against (needs no -Mod)\n"
	            "  -Package      cook the mod as DLC on top of the base release\n"
	            "  -Upload       upload the packaged mod to the Steam Workshop; without -Package, a stale build\n"
	            "                is refused unless -AllowStale is given\n"
	            "-Mod takes a mod's name or its .uplugin path (a relative path is taken from the project folder).\n"
	            "A value with blanks goes in quotes: -ChangeNote=\"Fixed the bridge\".\n"
	            "\n"
	            "Standard output gets one line per step and per progress change; with -Json, one JSON object a\n"
	            "line: {\"step\":\"create|base-release|package|upload\",\"state\":\"started|progress|succeeded|failed\",\n"
	            "\"percent\":...,\"message\":...,\"item_id\":...}; the upload's started line also has \"build_state\" and\n"
	            "\"build_reasons\". {\"step\":null,\"state\":\"refused\",\"message\":...} when the switches or the mod are refused.\n"
	            "Ctrl-C ends the step under way with a failed line; no step starts after it.\n"
	            "\n"
	            "Exit codes: 0 when every requested step succeeded, 1 when a step failed, 2 when the switches\n"
	            "or the mod were refused before any step.");
}

bool UTRLModPipelineCommandlet::ParseRequest(const FString& Params, FTRLModPipelineRequest& OutRequest, FString& OutError)
{
	using namespace TRLModPipeline;
	TArray<FString> Tokens;
	TArray<FString> Switches;
	TMap<FString, FString> Values;
	ParseCommandLine(*Params, Tokens, Switches, Values);

	// -help answers whatever else is given, so that a caller who got the rest wrong can still ask.
	if (Switches.ContainsByPredicate([](const FString& Switch) {
		    return Switch.Equals(TEXT("help"), ESearchCase::IgnoreCase);
	    }))
	{
		OutRequest.bHelp = true;
		return true;
	}
	if (Tokens.Num() > 0)
	{
		OutError = FString::Printf(
		    TEXT("'%s' is not a switch. Switches start with '-', and a value with blanks goes in quotes: -ChangeNote=\"Fixed the bridge\"."), *Tokens[0]);
		return false;
	}

	TArray<const FSwitchSpec*> Seen;
	for (const FString& Switch : Switches)
	{
		if (!ReadSwitch(Switch, Values, Seen, OutRequest, OutError))
		{
			return false;
		}
	}
	return CheckSteps(OutRequest, Seen, OutError);
}

bool UTRLModPipelineCommandlet::ResolveModDescriptor(const FTRLModPipelineRequest& Request, FString& OutDescriptorPath, FString& OutError)
{
	FText Error;
	if (Request.bCreate)
	{
		// The mod does not exist yet: its name is checked now, so that a bad one stops the run before any step, and its
		// descriptor is the one the creation makes.
		if (Request.IsModDescriptorPath())
		{
			OutError = FString::Printf(TEXT("-Create makes a mod from its name; give -Mod=<Name>, not the path '%s'."), *Request.Mod);
			return false;
		}
		if (!UTRLLocalModProvider::IsValidNewModName(Request.Mod, Error))
		{
			OutError = FString::Printf(TEXT("Cannot create the mod '%s': %s"), *Request.Mod, *Error.ToString());
			return false;
		}
		OutDescriptorPath.Empty();
		return true;
	}
	if (Request.IsModDescriptorPath())
	{
		// A build script names files from the project it builds, wherever the editor's binaries are.
		const FString Path = FPaths::IsRelative(Request.Mod) ? FTRLProjectPaths::GetProjectDir() / Request.Mod : Request.Mod;
		if (!UTRLLocalModProvider::ResolveDescriptor(Path, OutDescriptorPath, Error))
		{
			OutError = Error.ToString();
			return false;
		}
		return true;
	}
	if (!UTRLLocalModProvider::FindModNamed(Request.Mod, OutDescriptorPath, Error))
	{
		OutError = Error.ToString() + TEXT(" Name an existing mod, or add -Create to make it.");
		return false;
	}
	return true;
}

int32 UTRLModPipelineCommandlet::Main(const FString& Params)
{
	using namespace TRLModPipeline;
	FTRLModPipelineRequest Request;
	FString Error;
	// Read on its own, so that a refusal of the switches around it is still written as JSON.
	const FPipelineOutput Output(FParse::Param(*Params, TEXT("Json")));
	if (!ParseRequest(Params, Request, Error))
	{
		UE_LOG(LogTrellic, Error, TEXT("%s"), *Error);
		Output.Refused(Error);
		return ExitRefused;
	}
	if (Request.bHelp)
	{
		TRLModPipeline::WriteStandardOutputLine(GetUsage());
		return ExitSucceeded;
	}
	FString Descriptor;
	if (!Request.Mod.IsEmpty() && !ResolveModDescriptor(Request, Descriptor, Error))
	{
		UE_LOG(LogTrellic, Error, TEXT("%s"), *Error);
		Output.Refused(Error);
		return ExitRefused;
	}
	// Packaging again is what makes a stale build current; without it, sending the old one must be asked for.
	TArray<FText> Reasons;
	if (Request.bUpload && !Request.bPackage && !Request.bAllowStale && UTRLBuildState::GetBuildState(Descriptor, Reasons) == ETRLModBuildState::Stale)
	{
		UE_LOG(LogTrellic, Error, TEXT("'%s' has a stale build. %s Add -Package to package it again before the upload, or -AllowStale to upload it as it is."),
		       *FPaths::GetBaseFilename(Descriptor), *UTRLBuildState::JoinReasons(Reasons));
		return ExitRefused;
	}
	FPipelineRun Run(Request, Descriptor);
	return Run.Execute() ? ExitSucceeded : ExitStepFailed;
}
