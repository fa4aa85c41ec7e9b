#include "ScriptFrontEnd.h"

#include "Dom/JsonValue.h"
#include "HAL/PlatformProcess.h"
#include "HAL/PlatformTime.h"
#include "HostEngine.h"
#include "HostInterrupt.h"
#include "HostPlugin.h"
#include "HostSession.h"
#include "HostUatControl.h"
#include "HostWindows.h"
#include "HostWorkshop.h"
#include "Misc/MessageDialog.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "ProtocolJson.h"
#include "StandIn/ContentRoots.h"
#include "StandIn/FileWriteFaults.h"
#include "StandIn/OfflineWorkshop.h"
#include "StandIn/ToolMenusHost.h"
#include "Widgets/SWindow.h"

#include "StandIn/MessageDialogResponder.h"
#include "StandIn/PluginMountFailure.h"
#include <string_view>

#include <cmath>

namespace UE::StandIn::EditorHost
{
	namespace
	{
		constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

		TSharedRef<FJsonObject> MakeEvent(const TCHAR* Name)
		{
			const TSharedRef<FJsonObject> Event = MakeShared<FJsonObject>();
			Event->SetStringField(TEXT("event"), Name);
			return Event;
		}

		TArray<TSharedPtr<FJsonValue>> MakeTextArray(const TArray<FText>& Texts)
		{
			TArray<TSharedPtr<FJsonValue>> Values;
			for (const FText& Text : Texts)
			{
				Values.Add(MakeTextValue(Text));
			}
			return Values;
		}

		bool ReadNamePath(const TSharedRef<FJsonObject>& Request, FName& OutMenu, TArray<FName>& OutPath, FString& OutError)
		{
			FString MenuName;
			if (!Request->TryGetStringField(TEXT("name"), MenuName) || MenuName.IsEmpty())
			{
				OutError = TEXT("\"name\" must name a menu.");
				return false;
			}
			OutMenu = FName(MenuName);
			const TArray<TSharedPtr<FJsonValue>>* Path = nullptr;
			if (Request->TryGetArrayField(TEXT("path"), Path))
			{
				for (const TSharedPtr<FJsonValue>& Step : *Path)
				{
					FString StepName;
					if (!Step->TryGetString(StepName))
					{
						OutError = TEXT("\"path\" must be an array of entry names.");
						return false;
					}
					OutPath.Add(FName(StepName));
				}
			}
			return true;
		}

		TSharedRef<FJsonObject> DescribeMenuEntry(const UE::StandIn::FDisplayedToolMenuEntry& Entry)
		{
			const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
			Object->SetStringField(TEXT("name"), Entry.Name.ToString());
			Object->SetField(TEXT("label"), MakeTextValue(Entry.Label));
			Object->SetField(TEXT("tooltip"), MakeTextValue(Entry.ToolTip));
			Object->SetStringField(TEXT("type"), Entry.bIsSubMenu ? TEXT("submenu") : TEXT("button"));
			Object->SetBoolField(TEXT("enabled"), Entry.bIsEnabled);
			return Object;
		}

		// A fault's object holds exactly these string members, none of them empty.
		bool ReadFaultMembers(const TSharedPtr<FJsonObject>& Object, std::initializer_list<const TCHAR*> Names, TArray<FString>& OutValues)
		{
			if (!Object.IsValid() || Object->Values.Num() != static_cast<int32>(Names.size()))
			{
				return false;
			}
			for (const TCHAR* Name : Names)
			{
				const TSharedPtr<FJsonValue> Value = Object->TryGetField(Name);
				if (!Value.IsValid() || Value->Type != EJson::String || Value->AsString().IsEmpty())
				{
					return false;
				}
				OutValues.Add(Value->AsString());
			}
			return true;
		}

		bool IsWholeInt32(double Number)
		{
			return Number >= -2147483648.0 && Number <= 2147483647.0 && Number == std::floor(Number);
		}

		bool JsonValuesEqual(const TSharedPtr<FJsonValue>& A, const TSharedPtr<FJsonValue>& B)
		{
			if (!A.IsValid() || !B.IsValid())
			{
				return A.IsValid() == B.IsValid();
			}
			if (A->Type != B->Type)
			{
				// An enum result is its name, compared to a string in the request.
				return false;
			}
			switch (A->Type)
			{
				case EJson::Null:
					return true;
				case EJson::Boolean:
					return A->AsBool() == B->AsBool();
				case EJson::Number:
					return A->AsNumber() == B->AsNumber();
				case EJson::String:
					return A->AsString().Equals(B->AsString());
				default:
					return false;
			}
		}
	} // namespace

	FScriptFrontEnd::FScriptFrontEnd(std::FILE* InOutput)
	    : Output(InOutput)
	{
	}

	void FScriptFrontEnd::Write(const TSharedRef<FJsonObject>& Object)
	{
		const std::string Line = ToProtocolLine(Object);
		std::fwrite(Line.data(), 1, Line.size(), Output);
		std::fputc('\n', Output);
		std::fflush(Output);
	}

	void FScriptFrontEnd::WriteReadyEvent()
	{
		const TSharedRef<FJsonObject> Event = MakeEvent(TEXT("ready"));
		Event->SetStringField(TEXT("base_dir"), FPlatformProcess::BaseDir());
		Event->SetStringField(TEXT("project_file"), FPaths::GetProjectFilePath());
		Event->SetStringField(TEXT("project_dir"), FPaths::ProjectDir());
		Event->SetStringField(TEXT("mods_root"), GetModsRoot(Session->GetPluginModuleNames()));
		Event->SetStringField(TEXT("engine_dir"), FPaths::EngineDir());
		Event->SetStringField(TEXT("workshop_dir"), FString::FromUtf8(UE::StandIn::GetOfflineWorkshopFolder()));
		Write(Event);
	}

	int32 FScriptFrontEnd::Run(std::istream& Input)
	{
		std::string Line;
		bool bFirstLine = true;
		while (!bQuitRequested && !IsInterruptRequested() && std::getline(Input, Line))
		{
			// Editors on Windows often save a script with a byte-order mark.
			if (bFirstLine && Line.starts_with(Utf8ByteOrderMark))
			{
				Line.erase(0, Utf8ByteOrderMark.size());
			}
			bFirstLine = false;
			if (!Line.empty() && Line.back() == '\r')
			{
				Line.pop_back();
			}
			if (Line.find_first_not_of(" \t") == std::string::npos)
			{
				continue;
			}
			HandleRequest(Line);
		}
		return bAnyRequestFailed ? 1 : 0;
	}

	bool FScriptFrontEnd::HandleRequest(const std::string& Line)
	{
		const TSharedRef<FJsonObject> Reply = MakeShared<FJsonObject>();
		FString Error;
		const TSharedPtr<FJsonObject> Request = ParseProtocolLine(Line, Error);
		FString Command;
		if (Request.IsValid() && !Request->TryGetStringField(TEXT("cmd"), Command))
		{
			Error = TEXT("The request has no \"cmd\".");
		}
		Reply->SetStringField(TEXT("reply"), Command);
		Reply->SetBoolField(TEXT("ok"), false);
		const bool bOk = Request.IsValid() && !Command.IsEmpty() && HandleCommand(Command, Request.ToSharedRef(), Reply, Error);
		Reply->SetBoolField(TEXT("ok"), bOk);
		if (!bOk)
		{
			Reply->SetStringField(TEXT("error"), Error);
			bAnyRequestFailed = true;
		}
		// A window answer is meant for a window that the very next request opens; one left over would otherwise
		// answer some later window that the script never meant it for.
		if (!Command.Equals(TEXT("window")) && !PendingWindowAnswers.IsEmpty())
		{
			Reply->SetBoolField(TEXT("unused_window_answer"), true);
			PendingWindowAnswers.Empty();
		}
		Write(Reply);
		return !bQuitRequested;
	}

	bool FScriptFrontEnd::HandleCommand(const FString& Command, const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError)
	{
		struct FCommand
		{
			const TCHAR* Name;
			bool (FScriptFrontEnd::*Handle)(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError);
		};
		static const FCommand Commands[] = {
		    {TEXT("call"), &FScriptFrontEnd::HandleCall},           {TEXT("describe"), &FScriptFrontEnd::HandleDescribe},
		    {TEXT("menu"), &FScriptFrontEnd::HandleMenu},           {TEXT("choose"), &FScriptFrontEnd::HandleChoose},
		    {TEXT("window"), &FScriptFrontEnd::HandleWindow},       {TEXT("tick"), &FScriptFrontEnd::HandleTick},
		    {TEXT("wait"), &FScriptFrontEnd::HandleWait},           {TEXT("menus-ready"), &FScriptFrontEnd::HandleMenusReady},
		    {TEXT("module"), &FScriptFrontEnd::HandleModule},       {TEXT("mounts"), &FScriptFrontEnd::HandleMounts},
		    {TEXT("workshop"), &FScriptFrontEnd::HandleWorkshop},   {TEXT("gc"), &FScriptFrontEnd::HandleGarbageCollection},
		    {TEXT("verbosity"), &FScriptFrontEnd::HandleVerbosity}, {TEXT("uat"), &FScriptFrontEnd::HandleUat},
		    {TEXT("fault"), &FScriptFrontEnd::HandleFault},         {TEXT("crash"), &FScriptFrontEnd::HandleCrash},
		    {TEXT("quit"), &FScriptFrontEnd::HandleQuit},           {TEXT("mods"), &FScriptFrontEnd::HandleMods},
		};
		for (const FCommand& Entry : Commands)
		{
			if (Command.Equals(Entry.Name))
			{
				return (this->*Entry.Handle)(Request, Reply, OutError);
			}
		}
		OutError = FString::Printf(TEXT("Unknown command '%s'."), *Command);
		return false;
	}

	bool FScriptFrontEnd::HandleTick(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& /*Reply*/, FString& OutError)
	{
		double Seconds = 0.0;
		if (!Request->TryGetNumberField(TEXT("seconds"), Seconds) || Seconds < 0.0 || Seconds > 3600.0)
		{
			OutError = TEXT("\"seconds\" must be a number from 0 to 3600.");
			return false;
		}
		Session->Tick(Seconds);
		return true;
	}

	bool FScriptFrontEnd::HandleMenusReady(const TSharedRef<FJsonObject>& /*Request*/, const TSharedRef<FJsonObject>& /*Reply*/, FString& /*OutError*/)
	{
		UE::StandIn::DeclareToolMenusReady();
		return true;
	}

	bool FScriptFrontEnd::HandleMounts(const TSharedRef<FJsonObject>& /*Request*/, const TSharedRef<FJsonObject>& Reply, FString& /*OutError*/)
	{
		TArray<TSharedPtr<FJsonValue>> Mounts;
		for (const UE::StandIn::FContentRootEntry& Mount : UE::StandIn::GetRegisteredContentRoots())
		{
			const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
			Object->SetStringField(TEXT("root"), Mount.RootPath);
			Object->SetStringField(TEXT("folder"), Mount.ContentPath);
			Mounts.Add(MakeShared<FJsonValueObject>(Object));
		}
		Reply->SetArrayField(TEXT("mounts"), Mounts);
		return true;
	}

	bool FScriptFrontEnd::HandleMods(const TSharedRef<FJsonObject>& /*Request*/, const TSharedRef<FJsonObject>& Reply, FString& /*OutError*/)
	{
		TArray<TSharedPtr<FJsonValue>> Mods;
		for (const FModBuildState& Mod : ListModBuildStates(Session->GetPluginModuleNames()))
		{
			const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
			Object->SetStringField(TEXT("name"), Mod.Name);
			Object->SetStringField(TEXT("descriptor"), Mod.Descriptor);
			Object->SetStringField(TEXT("build_state"), Mod.State);
			TArray<TSharedPtr<FJsonValue>> Reasons;
			for (const FString& Reason : Mod.Reasons)
			{
				Reasons.Add(MakeShared<FJsonValueString>(Reason));
			}
			Object->SetArrayField(TEXT("reasons"), Reasons);
			Mods.Add(MakeShared<FJsonValueObject>(Object));
		}
		Reply->SetArrayField(TEXT("mods"), Mods);
		return true;
	}

	bool FScriptFrontEnd::HandleGarbageCollection(const TSharedRef<FJsonObject>& /*Request*/, const TSharedRef<FJsonObject>& Reply, FString& /*OutError*/)
	{
		Reply->SetObjectField(TEXT("objects"), CollectGarbageAndCountObjects());
		return true;
	}

	bool FScriptFrontEnd::HandleVerbosity(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& /*Reply*/, FString& OutError)
	{
		FString Category;
		FString Level;
		Request->TryGetStringField(TEXT("category"), Category);
		Request->TryGetStringField(TEXT("level"), Level);
		return SetLogVerbosity(Category, Level, OutError);
	}

	bool FScriptFrontEnd::HandleCrash(const TSharedRef<FJsonObject>& /*Request*/, const TSharedRef<FJsonObject>& /*Reply*/, FString& /*OutError*/)
	{
		// No reply: the host is gone, as an editor that crashes answers nothing.
		CrashHost();
	}

	bool FScriptFrontEnd::HandleQuit(const TSharedRef<FJsonObject>& /*Request*/, const TSharedRef<FJsonObject>& /*Reply*/, FString& /*OutError*/)
	{
		bQuitRequested = true;
		return true;
	}

	bool FScriptFrontEnd::HandleCall(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError)
	{
		FString ClassName;
		FString FunctionName;
		if (!Request->TryGetStringField(TEXT("class"), ClassName) || !Request->TryGetStringField(TEXT("function"), FunctionName))
		{
			OutError = TEXT("\"call\" needs \"class\" and \"function\".");
			return false;
		}
		TSharedPtr<FJsonValue> Return;
		TSharedRef<FJsonObject> Outputs = MakeShared<FJsonObject>();
		if (!CallReflectedFunction(ClassName, FunctionName, Request->TryGetField(TEXT("args")), Return, Outputs, OutError))
		{
			return false;
		}
		Reply->SetField(TEXT("return"), Return.IsValid() ? Return : TSharedPtr<FJsonValue>(MakeShared<FJsonValueNull>()));
		Reply->SetObjectField(TEXT("out"), Outputs);
		return true;
	}

	bool FScriptFrontEnd::HandleDescribe(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError)
	{
		FString ClassName;
		FString EnumName;
		const bool bClass = Request->TryGetStringField(TEXT("class"), ClassName);
		const bool bEnum = Request->TryGetStringField(TEXT("enum"), EnumName);
		if (bClass == bEnum)
		{
			OutError = TEXT("\"describe\" takes either \"class\" or \"enum\": the name of a reflected class or enum.");
			return false;
		}
		TSharedPtr<FJsonObject> Description;
		if (bClass ? !DescribeReflectedClass(ClassName, Description, OutError) : !DescribeReflectedEnum(EnumName, Description, OutError))
		{
			return false;
		}
		Reply->SetObjectField(bClass ? TEXT("class") : TEXT("enum"), Description);
		return true;
	}

	bool FScriptFrontEnd::HandleMenu(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError)
	{
		FName MenuName;
		TArray<FName> Path;
		if (!ReadNamePath(Request, MenuName, Path, OutError))
		{
			return false;
		}
		const TOptional<UE::StandIn::FDisplayedToolMenu> Menu = UE::StandIn::DisplayToolMenu(MenuName, Path);
		if (!Menu.IsSet())
		{
			OutError = TEXT("That menu cannot be displayed: it is unknown, a step of the path is missing or disabled, or ToolMenus is not loaded.");
			return false;
		}
		TArray<TSharedPtr<FJsonValue>> Sections;
		for (const UE::StandIn::FDisplayedToolMenuSection& Section : Menu.GetValue().Sections)
		{
			const TSharedRef<FJsonObject> SectionObject = MakeShared<FJsonObject>();
			SectionObject->SetStringField(TEXT("name"), Section.Name.ToString());
			SectionObject->SetField(TEXT("label"), MakeTextValue(Section.Label));
			TArray<TSharedPtr<FJsonValue>> Entries;
			for (const UE::StandIn::FDisplayedToolMenuEntry& Entry : Section.Entries)
			{
				Entries.Add(MakeShared<FJsonValueObject>(DescribeMenuEntry(Entry)));
			}
			SectionObject->SetArrayField(TEXT("entries"), Entries);
			Sections.Add(MakeShared<FJsonValueObject>(SectionObject));
		}
		Reply->SetArrayField(TEXT("sections"), Sections);
		return true;
	}

	bool FScriptFrontEnd::HandleChoose(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& /*Reply*/, FString& OutError)
	{
		FName MenuName;
		TArray<FName> Path;
		if (!ReadNamePath(Request, MenuName, Path, OutError))
		{
			return false;
		}
		if (Path.IsEmpty())
		{
			OutError = TEXT("\"path\" must name the entry to choose.");
			return false;
		}
		if (!UE::StandIn::ChooseToolMenuEntry(MenuName, Path))
		{
			OutError = TEXT("That entry is missing, disabled or has nothing to run.");
			return false;
		}
		return true;
	}

	bool FScriptFrontEnd::HandleWindow(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& /*Reply*/, FString& OutError)
	{
		FWindowAnswer Answer;
		const TArray<TSharedPtr<FJsonValue>>* Fill = nullptr;
		if (Request->TryGetArrayField(TEXT("fill"), Fill))
		{
			for (const TSharedPtr<FJsonValue>& Value : *Fill)
			{
				FString Text;
				if (!Value->TryGetString(Text))
				{
					OutError = TEXT("\"fill\" must be an array of strings.");
					return false;
				}
				Answer.Fill.Add(Text);
			}
		}
		if (!Request->TryGetStringField(TEXT("press"), Answer.Press) || Answer.Press.IsEmpty())
		{
			OutError = TEXT("\"press\" must name a button, or be \"close\".");
			return false;
		}
		PendingWindowAnswers.Add(Answer);
		return true;
	}

	bool FScriptFrontEnd::HandleWait(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError)
	{
		FString ClassName;
		FString FunctionName;
		const TSharedPtr<FJsonValue> Expected = Request->TryGetField(TEXT("equals"));
		if (!Request->TryGetStringField(TEXT("class"), ClassName) || !Request->TryGetStringField(TEXT("function"), FunctionName) || !Expected.IsValid())
		{
			OutError = TEXT("\"wait\" needs \"class\", \"function\" and \"equals\".");
			return false;
		}
		double Timeout = 60.0;
		Request->TryGetNumberField(TEXT("timeout"), Timeout);
		const TSharedPtr<FJsonValue> Args = Request->TryGetField(TEXT("args"));
		const double Deadline = FPlatformTime::Seconds() + Timeout;
		while (true)
		{
			TSharedPtr<FJsonValue> Return;
			TSharedRef<FJsonObject> Outputs = MakeShared<FJsonObject>();
			if (!CallReflectedFunction(ClassName, FunctionName, Args, Return, Outputs, OutError))
			{
				return false;
			}
			if (JsonValuesEqual(Return, Expected))
			{
				Reply->SetField(TEXT("return"), Return);
				return true;
			}
			if (FPlatformTime::Seconds() >= Deadline)
			{
				OutError = FString::Printf(TEXT("%s.%s did not answer the expected value within %g %s."), *ClassName, *FunctionName, Timeout,
				                           Timeout == 1.0 ? TEXT("second") : TEXT("seconds"));
				return false;
			}
			if (IsInterruptRequested())
			{
				OutError = FString::Printf(TEXT("Ctrl-C was pressed before %s.%s answered the expected value."), *ClassName, *FunctionName);
				return false;
			}
			Session->Tick(0.02);
		}
	}

	bool FScriptFrontEnd::HandleModule(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& /*Reply*/, FString& OutError)
	{
		FString Action;
		FString Name;
		Request->TryGetStringField(TEXT("action"), Action);
		Request->TryGetStringField(TEXT("name"), Name);
		const FName ModuleName(Name);
		const bool bAllowed = ModuleName == FName(TEXT("ToolMenus")) || Session->GetPluginModuleNames().Contains(ModuleName);
		if (!bAllowed)
		{
			OutError = FString::Printf(TEXT("'%s' is not one of the plug-in's modules or ToolMenus."), *Name);
			return false;
		}
		if (Action.Equals(TEXT("load")))
		{
			if (!FModuleManager::Get().LoadModule(ModuleName))
			{
				OutError = FString::Printf(TEXT("Module '%s' could not be loaded."), *Name);
				return false;
			}
			return true;
		}
		if (Action.Equals(TEXT("unload")))
		{
			if (!FModuleManager::Get().IsModuleLoaded(ModuleName))
			{
				OutError = FString::Printf(TEXT("Module '%s' is not loaded."), *Name);
				return false;
			}
			FModuleManager::Get().UnloadModule(ModuleName);
			return true;
		}
		OutError = TEXT("\"action\" must be \"load\" or \"unload\".");
		return false;
	}

	bool FScriptFrontEnd::HandleUat(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& /*Reply*/, FString& OutError)
	{
		const TSharedPtr<FJsonObject>* Next = nullptr;
		const bool bHasNext = Request->TryGetObjectField(TEXT("next"), Next);
		bool bRelease = false;
		const bool bHasRelease = Request->TryGetBoolField(TEXT("release"), bRelease) && bRelease;
		if (bHasNext == bHasRelease)
		{
			OutError = TEXT("\"uat\" takes either \"next\" (how the next run ends) or \"release\": true.");
			return false;
		}
		if (bHasRelease)
		{
			return ReleaseHeldRun(OutError);
		}

		// Types are taken as written: "3" is not an exit code and "true" is not a hold.
		FUatRunControl Control;
		bool bValid = true;
		for (const TPair<FJsonObject::FStringType, TSharedPtr<FJsonValue>>& Field : (*Next)->Values)
		{
			const FJsonValue& Value = *Field.Value;
			if (Field.Key == TEXT("hold") && Value.Type == EJson::Boolean)
			{
				Control.bHold = Value.AsBool();
			}
			else if (Field.Key == TEXT("crash") && Value.Type == EJson::Boolean)
			{
				Control.bCrash = Value.AsBool();
			}
			else if (Field.Key == TEXT("worker_thread") && Value.Type == EJson::Boolean)
			{
				Control.bCallBackOnWorkerThread = Value.AsBool();
			}
			else if (Field.Key == TEXT("exit") && Value.Type == EJson::Number && IsWholeInt32(Value.AsNumber()))
			{
				// Out of range is refused with the control's own reason.
				Control.ExitCode = static_cast<int32>(Value.AsNumber());
			}
			else if (Field.Key == TEXT("stage") && Value.Type == EJson::String && IsStageFault(Value.AsString()))
			{
				Control.StageFault = Value.AsString();
			}
			else
			{
				bValid = false;
			}
		}
		if (!bValid)
		{
			OutError = TEXT("\"next\" takes \"hold\" (true or false), \"exit\" (a whole number), \"crash\" (true or false), \"worker_thread\" (true or "
			                "false) and \"stage\" (\"nothing\", \"empty-pak\", \"no-descriptor\" or \"base-assets\"), and nothing else.");
			return false;
		}
		return ControlNextUatRun(Control, OutError);
	}

	bool FScriptFrontEnd::HandleFault(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& /*Reply*/, FString& OutError)
	{
		// One control a request, each member of its own kind: a fault set by half is worse than none.
		const TSharedPtr<FJsonValue> FailWrites = Request->TryGetField(TEXT("fail_writes"));
		const TSharedPtr<FJsonValue> RefuseMount = Request->TryGetField(TEXT("refuse_mount"));
		const TSharedPtr<FJsonValue> Clear = Request->TryGetField(TEXT("clear"));
		const int32 NumControls = (FailWrites.IsValid() ? 1 : 0) + (RefuseMount.IsValid() ? 1 : 0) + (Clear.IsValid() ? 1 : 0);
		TArray<FString> Values;
		if (NumControls == 1 && FailWrites.IsValid() && FailWrites->Type == EJson::Object &&
		    ReadFaultMembers(FailWrites->AsObject(), {TEXT("path_suffix"), TEXT("error")}, Values) &&
		    (Values[1].Equals(TEXT("disk-full")) || Values[1].Equals(TEXT("read-only"))))
		{
			UE::StandIn::FailFileWrites(Values[0],
			                            Values[1].Equals(TEXT("disk-full")) ? UE::StandIn::EFileWriteFault::DiskFull : UE::StandIn::EFileWriteFault::ReadOnly);
			return true;
		}
		if (NumControls == 1 && RefuseMount.IsValid() && RefuseMount->Type == EJson::Object &&
		    ReadFaultMembers(RefuseMount->AsObject(), {TEXT("plugin"), TEXT("reason")}, Values))
		{
			UE::StandIn::RefusePluginMount(Values[0], FText::FromString(Values[1]));
			return true;
		}
		if (NumControls == 1 && Clear.IsValid() && Clear->Type == EJson::Boolean && Clear->AsBool())
		{
			UE::StandIn::ClearFileWriteFaults();
			UE::StandIn::ClearPluginMountRefusals();
			return true;
		}
		OutError = TEXT("\"fault\" takes one of \"fail_writes\" ({\"path_suffix\": the end of a path, \"error\": \"disk-full\" or \"read-only\"}), "
		                "\"refuse_mount\" ({\"plugin\": a plug-in's name, \"reason\": a text}) and \"clear\": true.");
		return false;
	}

	bool FScriptFrontEnd::HandleWorkshop(const TSharedRef<FJsonObject>& Request, const TSharedRef<FJsonObject>& Reply, FString& OutError)
	{
		const TSharedPtr<FJsonObject>* Next = nullptr;
		bool bFlag = false;
		if (Request->TryGetObjectField(TEXT("next"), Next))
		{
			const auto IsResultName = [](const FJsonValue& Value) {
				return Value.Type == EJson::String && !Value.AsString().IsEmpty();
			};
			FWorkshopNextRequest Controls;
			for (const auto& Field : (*Next)->Values)
			{
				const FString Name(Field.Key);
				double HoldAt = 0.0;
				const TSharedPtr<FJsonObject>* Fail = nullptr;
				if (Name.Equals(TEXT("hold_at")) && Field.Value->Type == EJson::Number && Field.Value->TryGetNumber(HoldAt))
				{
					Controls.HoldAt = HoldAt;
				}
				else if (Name.Equals(TEXT("refuse")) && Field.Value->Type == EJson::Boolean)
				{
					Controls.bRefuse = Field.Value->AsBool();
				}
				else if (Name.Equals(TEXT("fail")) && Field.Value->TryGetObject(Fail) && (*Fail)->TryGetStringField(TEXT("result"), Controls.FailResult) &&
				         !Controls.FailResult.IsEmpty())
				{
					(*Fail)->TryGetBoolField(TEXT("after_create"), Controls.bFailAfterCreate);
				}
				else if (Name.Equals(TEXT("fail_add_dependency")) && IsResultName(*Field.Value))
				{
					Controls.FailAddDependency = Field.Value->AsString();
				}
				else if (Name.Equals(TEXT("fail_remove_dependency")) && IsResultName(*Field.Value))
				{
					Controls.FailRemoveDependency = Field.Value->AsString();
				}
				else if (Name.Equals(TEXT("fail_details_query")) && IsResultName(*Field.Value))
				{
					Controls.FailDetailsQuery = Field.Value->AsString();
				}
				else if (Name.Equals(TEXT("refuse_key_value_tag")) && Field.Value->Type == EJson::Boolean)
				{
					Controls.bRefuseKeyValueTag = Field.Value->AsBool();
				}
				else if (Name.Equals(TEXT("refuse_preview")) && Field.Value->Type == EJson::Boolean)
				{
					Controls.bRefusePreview = Field.Value->AsBool();
				}
				else
				{
					OutError = FString::Printf(TEXT("\"next\" takes \"hold_at\" (a fraction), \"refuse\" (a boolean), \"fail\" ({\"result\": an EResult's "
					                                "name, \"after_create\": a boolean}), \"fail_add_dependency\", \"fail_remove_dependency\" and "
					                                "\"fail_details_query\" (an EResult's name), \"refuse_key_value_tag\" and \"refuse_preview\" (booleans); "
					                                "'%s' is not one of them or not of its kind."),
					                           *Name);
					return false;
				}
			}
			return SetWorkshopNextRequest(Controls, OutError);
		}
		double Timeout = 0.0;
		if (Request->TryGetNumberField(TEXT("wait_for_hold"), Timeout))
		{
			// The game-thread loop runs meanwhile: the copy starts only once the publisher has heard that its item exists.
			const double Deadline = FPlatformTime::Seconds() + Timeout;
			while (!UE::StandIn::WaitForOfflineWorkshopHold(0.0))
			{
				if (FPlatformTime::Seconds() >= Deadline || IsInterruptRequested())
				{
					OutError = IsInterruptRequested() ? FString(TEXT("Ctrl-C was pressed before an upload reached its hold."))
					                                  : FString::Printf(TEXT("No upload reached its hold within %g s."), Timeout);
					return false;
				}
				Session->Tick(0.02);
			}
			return true;
		}
		if (Request->TryGetBoolField(TEXT("release"), bFlag) && bFlag)
		{
			return ReleaseWorkshopHold(OutError);
		}
		if (Request->TryGetBoolField(TEXT("items"), bFlag) && bFlag)
		{
			const auto MakeStrings = [](const std::vector<std::string>& Strings) {
				TArray<TSharedPtr<FJsonValue>> Values;
				for (const std::string& String : Strings)
				{
					Values.Add(MakeShared<FJsonValueString>(FString::FromUtf8(String)));
				}
				return Values;
			};
			TArray<TSharedPtr<FJsonValue>> Items;
			for (const UE::StandIn::FOfflineWorkshopItem& Item : UE::StandIn::ListOfflineWorkshopItems())
			{
				const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
				// Item ids use all 64 bits, more than a JSON number keeps exactly.
				Object->SetStringField(TEXT("id"), FString::FromUtf8(std::to_string(Item.Id)));
				Object->SetStringField(TEXT("title"), FString::FromUtf8(Item.Title));
				Object->SetStringField(TEXT("description"), FString::FromUtf8(Item.Description));
				Object->SetArrayField(TEXT("tags"), MakeStrings(Item.Tags));
				Object->SetStringField(TEXT("visibility"), FString::FromUtf8(Item.Visibility));
				Object->SetField(TEXT("preview"), Item.PreviewFileName.empty() ? TSharedPtr<FJsonValue>(MakeShared<FJsonValueNull>())
				                                                               : MakeShared<FJsonValueString>(FString::FromUtf8(Item.PreviewFileName)));
				Object->SetArrayField(TEXT("change_notes"), MakeStrings(Item.ChangeNotes));
				Object->SetArrayField(TEXT("files"), MakeStrings(Item.ContentFiles));
				std::vector<std::string> Children;
				for (const PublishedFileId_t Child : Item.Children)
				{
					Children.push_back(std::to_string(Child));
				}
				Object->SetArrayField(TEXT("children"), MakeStrings(Children));
				// A list of pairs, not an object: a key may hold several values.
				TArray<TSharedPtr<FJsonValue>> Tags;
				for (const auto& [Key, Value] : Item.KeyValueTags)
				{
					const TSharedRef<FJsonObject> Tag = MakeShared<FJsonObject>();
					Tag->SetStringField(TEXT("key"), FString::FromUtf8(Key));
					Tag->SetStringField(TEXT("value"), FString::FromUtf8(Value));
					Tags.Add(MakeShared<FJsonValueObject>(Tag));
				}
				Object->SetArrayField(TEXT("key_value_tags"), Tags);
				Object->SetArrayField(TEXT("previews"), MakeStrings(Item.ExtraPreviewFileNames));
				Items.Add(MakeShared<FJsonValueObject>(Object));
			}
			Reply->SetArrayField(TEXT("items"), Items);
			return true;
		}
		OutError = TEXT("\"workshop\" takes \"next\" (the next request's controls), \"wait_for_hold\" (seconds), \"release\": true or \"items\": true.");
		return false;
	}

	void FScriptFrontEnd::OnLog(const FName& Category, ELogVerbosity::Type Verbosity, const FString& Message)
	{
		const TSharedRef<FJsonObject> Event = MakeEvent(TEXT("log"));
		Event->SetStringField(TEXT("category"), Category.ToString());
		Event->SetStringField(TEXT("verbosity"), FString(ToString(Verbosity)));
		Event->SetStringField(TEXT("message"), Message);
		Write(Event);
	}

	void FScriptFrontEnd::OnNotification(int32 Id, ENotificationEvent Event, const FNotificationSnapshot& Snapshot)
	{
		const TSharedRef<FJsonObject> Line = MakeEvent(TEXT("notification"));
		Line->SetNumberField(TEXT("id"), Id);
		Line->SetField(TEXT("text"), MakeTextValue(Snapshot.Text));
		Line->SetField(TEXT("subtext"), MakeTextValue(Snapshot.SubText));
		Line->SetStringField(TEXT("state"), Event == ENotificationEvent::Removed ? TEXT("removed") : DescribeCompletionState(Snapshot.CompletionState));
		// A fire-and-forget notification expires on its own from the moment it shows.
		Line->SetBoolField(TEXT("expiring"),
		                   Snapshot.Phase == ENotificationPhase::Expiring || Snapshot.Phase == ENotificationPhase::FadingOut || Snapshot.bFireAndForget);
		Write(Line);
	}

	EAppReturnType::Type FScriptFrontEnd::OnMessageDialog(EAppMsgType::Type Type, const FText& Message, const FText& Title)
	{
		const TSharedRef<FJsonObject> Event = MakeEvent(TEXT("dialog"));
		Event->SetStringField(TEXT("type"), LexToString(Type));
		Event->SetField(TEXT("text"), MakeTextValue(Message));
		Event->SetField(TEXT("title"), MakeTextValue(Title));
		Write(Event);
		return Type == EAppMsgType::Ok ? EAppReturnType::Ok : UE::StandIn::GetUnattendedAnswer(Type);
	}

	void FScriptFrontEnd::OnModalWindow(const TSharedRef<SWindow>& Window)
	{
		const FWindowView View = DescribeWindow(Window);
		const TSharedRef<FJsonObject> Event = MakeEvent(TEXT("window"));
		Event->SetField(TEXT("title"), MakeTextValue(View.Title));
		Event->SetArrayField(TEXT("texts"), MakeTextArray(View.Texts));
		Event->SetArrayField(TEXT("buttons"), MakeTextArray(View.Buttons));
		Event->SetArrayField(TEXT("client_size"), {MakeShared<FJsonValueNumber>(View.ClientSize.X), MakeShared<FJsonValueNumber>(View.ClientSize.Y)});
		Event->SetBoolField(TEXT("answered"), !PendingWindowAnswers.IsEmpty());
		Write(Event);
		if (PendingWindowAnswers.IsEmpty())
		{
			return;
		}
		const FWindowAnswer Answer = PendingWindowAnswers[0];
		PendingWindowAnswers.RemoveAt(0);
		FString Error;
		if (!AnswerWindow(Window, Answer.Fill, Answer.Press, Error))
		{
			// The window is then closed with its close button, as a user walking away would.
			OnLog(FName(TEXT("LogEditorHost")), ELogVerbosity::Warning, Error);
		}
	}

	void FScriptFrontEnd::OnUatTask(const FUatTaskRequest& Task)
	{
		const TSharedRef<FJsonObject> Event = MakeEvent(TEXT("uat-task"));
		Event->SetStringField(TEXT("command_line"), Task.CommandLine);
		Event->SetField(TEXT("platform_display_name"), MakeTextValue(Task.PlatformDisplayName));
		Event->SetField(TEXT("task_name"), MakeTextValue(Task.TaskName));
		Event->SetField(TEXT("task_short_name"), MakeTextValue(Task.TaskShortName));
		Event->SetBoolField(TEXT("has_icon"), Task.TaskIcon != nullptr);
		Event->SetStringField(TEXT("result_location"), Task.ResultLocation);
		Write(Event);
	}

	void FScriptFrontEnd::OnUatFinished(const FString& Result, double Seconds)
	{
		const TSharedRef<FJsonObject> Event = MakeEvent(TEXT("uat-finished"));
		Event->SetStringField(TEXT("result"), Result);
		Event->SetNumberField(TEXT("seconds"), Seconds);
		Write(Event);
	}

	void FScriptFrontEnd::OnMenusCallback()
	{
		Write(MakeEvent(TEXT("menus-callback")));
	}
} // namespace UE::StandIn::EditorHost
