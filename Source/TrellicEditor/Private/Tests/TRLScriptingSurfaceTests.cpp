// Copyright Trellic contributors. All Rights Reserved.

#include "Internationalization/Text.h"
#include "Logging/LogVerbosity.h"
#include "Misc/AutomationTest.h"
#include "TRLModPackager.h"
#include "TRLModScaffold.h"
#include "TRLTestHelpers.h"
#include "TRLWorkshopPublisher.h"
#include "TRLWorkshopUpload.h"
#include "UObject/Class.h"
#include "UObject/StructOnScope.h"
#include "UObject/UObjectGlobals.h"
#include "UObject/UnrealType.h"

#include <type_traits>

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLScriptingSurfaceSpec, "Trellic.TrellicEditor.ScriptingSurface", EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
	/** How a parameter reaches a script. */
	enum class EParamKind
	{
		/** A read-only string: an input. */
		StringIn,
		/** A non-constant text reference: an output. */
		TextOut,
		/** A read-only text reference: an input. */
		TextIn,
		/** An enum value: an input. */
		EnumIn
	};

	struct FExpectedParam
	{
		const TCHAR* Name;
		EParamKind Kind;
		const TCHAR* Type;
	};

	/** A reflected function as scripts must see it. */
	struct FExpectedFunction
	{
		const TCHAR* Name;
		TArray<FExpectedParam> Params;
		/** The C++ type of the return value; null when the function returns nothing. */
		const TCHAR* ReturnType;
		bool bPure;
		const TCHAR* FirstParagraph;
	};

	static FExpectedParam StringIn(const TCHAR* Name)
	{
		return {Name, EParamKind::StringIn, TEXT("FString")};
	}

	static FExpectedParam TextOut(const TCHAR* Name)
	{
		return {Name, EParamKind::TextOut, TEXT("FText")};
	}

	static TArray<FExpectedFunction> ScaffoldFunctions()
	{
		return {
		    {TEXT("CreateMod"),
		     {StringIn(TEXT("ModName")), StringIn(TEXT("Author")), StringIn(TEXT("Description")), TextOut(TEXT("OutError"))},
		     TEXT("FString"),
		     false,
		     TEXT("Create a new mod folder, descriptor and content directory under the game's Mods folder.")},
		    {TEXT("IsValidModName"),
		     {StringIn(TEXT("ModName")), TextOut(TEXT("OutReason"))},
		     TEXT("bool"),
		     true,
		     TEXT("Check a name before trying to use it.")},
		    {TEXT("MountModForEditing"),
		     {StringIn(TEXT("ModDescriptorPath")), TextOut(TEXT("OutError"))},
		     TEXT("bool"),
		     false,
		     TEXT("Make a mod editable: register its content root so assets can be saved into it.")},
		};
	}

	static TArray<FExpectedFunction> PackagerFunctions()
	{
		return {
		    {TEXT("CreateBaseGameRelease"),
		     {TextOut(TEXT("OutError"))},
		     TEXT("ETRLPackageStartResult"),
		     false,
		     TEXT("Record what the current build of the game contains, so mods can be cooked against it.")},
		    {TEXT("GetBaseReleaseDirectory"),
		     {},
		     TEXT("FString"),
		     true,
		     TEXT("Where the base game snapshot for the configured version lives. May not exist yet.")},
		    {TEXT("GetModStagingDirectory"),
		     {StringIn(TEXT("ModDescriptorPath"))},
		     TEXT("FString"),
		     true,
		     TEXT("Folder holding the cooked output of a packaged mod: the one to upload.")},
		    {TEXT("HasBaseGameRelease"), {}, TEXT("bool"), true, TEXT("True when a base game snapshot exists for the configured version and platform.")},
		    {TEXT("IsPackagingInProgress"), {}, TEXT("bool"), true, TEXT("True while a packaging job started by this packager is still running.")},
		    {TEXT("PackageMod"),
		     {StringIn(TEXT("ModDescriptorPath")), TextOut(TEXT("OutError"))},
		     TEXT("ETRLPackageStartResult"),
		     false,
		     TEXT("Cook one mod as DLC on top of the base game release.")},
		};
	}

	static TArray<FExpectedFunction> UploadFunctions()
	{
		return {
		    {TEXT("BuildUploadPayload"),
		     {StringIn(TEXT("ModDescriptorPath")), TextOut(TEXT("OutError"))},
		     TEXT("FString"),
		     false,
		     TEXT("Assemble the exact folder that goes to Steam, and return its path.")},
		    {TEXT("FindPreviewImage"),
		     {StringIn(TEXT("ModDescriptorPath"))},
		     TEXT("FString"),
		     true,
		     TEXT("The preview image that will be sent with this mod, or empty when it has none.")},
		    {TEXT("GetRecordedItemId"),
		     {StringIn(TEXT("ModDescriptorPath"))},
		     TEXT("FString"),
		     true,
		     TEXT("The Workshop item id recorded for this mod, or empty when it has never been published.")},
		    {TEXT("GetRecordedVisibility"),
		     {StringIn(TEXT("ModDescriptorPath"))},
		     TEXT("ETRLWorkshopVisibility"),
		     true,
		     TEXT("Visibility this mod will be uploaded with.")},
		    {TEXT("GetWorkshopRecordPath"),
		     {StringIn(TEXT("ModDescriptorPath"))},
		     TEXT("FString"),
		     true,
		     TEXT("Where the recorded item id is kept: workshop.json, next to the mod's descriptor.")},
		    {TEXT("IsUploadInProgress"), {}, TEXT("bool"), true, TEXT("True while an upload started from here is still running.")},
		    {TEXT("Preflight"),
		     {StringIn(TEXT("ModDescriptorPath"))},
		     nullptr,
		     false,
		     TEXT("Last look at the mod before it leaves the machine, run by UploadMod on its own.")},
		    {TEXT("ShouldSyncDescription"),
		     {StringIn(TEXT("ModDescriptorPath"))},
		     TEXT("bool"),
		     true,
		     TEXT("Whether an update also refreshes the item's title, description and tags from the descriptor.")},
		    {TEXT("UploadMod"),
		     {StringIn(TEXT("ModDescriptorPath")), StringIn(TEXT("ChangeNote")), TextOut(TEXT("OutError"))},
		     TEXT("ETRLWorkshopResult"),
		     false,
		     TEXT("Upload a packaged mod, creating its Workshop item the first time.")},
		};
	}

	/** The functions the class itself reflects, by name. */
	static TMap<FString, UFunction*> ReflectedFunctions(const UClass* Class)
	{
		TMap<FString, UFunction*> Functions;
		for (TFieldIterator<UFunction> It(Class, EFieldIteratorFlags::ExcludeSuper); It; ++It)
		{
			Functions.Add(It->GetName(), *It);
		}
		return Functions;
	}

	static TArray<FProperty*> ParametersOf(const UFunction* Function)
	{
		TArray<FProperty*> Parameters;
		for (TFieldIterator<FProperty> It(Function); It; ++It)
		{
			Parameters.Add(*It);
		}
		return Parameters;
	}

	/**
	 * Checks one class against the surface scripts must see: the expected callable functions, ReflectedCount functions
	 * in all, and exactly the properties named.
	 */
	void TestClassSurface(const UClass* Class, const TArray<FExpectedFunction>& Expected, const TCHAR* Category, int32 ReflectedCount,
	                      const TArray<FString>& PropertyNames)
	{
		const TMap<FString, UFunction*> Functions = ReflectedFunctions(Class);
		TestEqual(FString::Printf(TEXT("%s: reflected functions"), *Class->GetName()), Functions.Num(), ReflectedCount);
		for (const FExpectedFunction& Function : Expected)
		{
			UFunction* const* Found = Functions.Find(Function.Name);
			if (TestNotNull(FString::Printf(TEXT("%s is reflected"), Function.Name), Found))
			{
				TestFunction(**Found, Function, Category);
			}
		}
		TArray<FString> Properties;
		for (TFieldIterator<FProperty> It(Class, EFieldIteratorFlags::ExcludeSuper); It; ++It)
		{
			Properties.Add(It->GetName());
		}
		TestEqualSensitive(FString::Printf(TEXT("%s: reflected properties"), *Class->GetName()), *FString::Join(Properties, TEXT(", ")),
		                   *FString::Join(PropertyNames, TEXT(", ")));
	}

	void TestFunction(const UFunction& Function, const FExpectedFunction& Expected, const TCHAR* Category)
	{
		const FString Name = Function.GetName();
		const EFunctionFlags Callable = FUNC_Native | FUNC_Static | FUNC_Public | FUNC_BlueprintCallable;
		TestTrue(Name + TEXT(" is native, static, public and callable"), Function.HasAllFunctionFlags(Callable));
		TestFalse(Name + TEXT(" is private or protected"), Function.HasAnyFunctionFlags(FUNC_Private | FUNC_Protected));
		TestEqual(Name + TEXT(" is pure"), Function.HasAnyFunctionFlags(FUNC_BlueprintPure), Expected.bPure);
		const bool bHasOutput = Expected.Params.ContainsByPredicate([](const FExpectedParam& Param) {
			return Param.Kind == EParamKind::TextOut;
		});
		TestEqual(Name + TEXT(" has out parameters"), Function.HasAnyFunctionFlags(FUNC_HasOutParms), bHasOutput);
		TestEqualSensitive(Name + TEXT(": category"), *Function.GetMetaData(TEXT("Category")), Category);

		// The whole doc comment is the tooltip: the first paragraph as fixed, then at least one more.
		const FString ToolTip = Function.GetMetaData(TEXT("ToolTip"));
		const FString Lead = FString(Expected.FirstParagraph) + TEXT("\n\n");
		TestTrue(Name + TEXT(": tooltip starts with its first paragraph: ") + ToolTip, ToolTip.StartsWith(Lead, ESearchCase::CaseSensitive));
		TestTrue(Name + TEXT(": tooltip goes on after its first paragraph"), ToolTip.Len() > Lead.Len());

		const TArray<FProperty*> Parameters = ParametersOf(&Function);
		const int32 Count = Expected.Params.Num() + (Expected.ReturnType ? 1 : 0);
		if (!TestEqual(Name + TEXT(": parameters, the return value included"), Parameters.Num(), Count))
		{
			return;
		}
		for (int32 Index = 0; Index < Expected.Params.Num(); ++Index)
		{
			TestParameter(Name, *Parameters[Index], Expected.Params[Index]);
		}
		FProperty* Return = Function.GetReturnProperty();
		if (!Expected.ReturnType)
		{
			TestNull(Name + TEXT(" returns a value"), Return);
		}
		else if (TestNotNull(Name + TEXT(" returns a value"), Return))
		{
			TestTrue(Name + TEXT(": the return value comes last"), Return == Parameters.Last());
			TestEqualSensitive(Name + TEXT(": return type"), *Return->GetCPPType(), Expected.ReturnType);
		}
	}

	void TestParameter(const FString& FunctionName, const FProperty& Parameter, const FExpectedParam& Expected)
	{
		const FString What = FunctionName + TEXT(".") + Expected.Name;
		TestEqualSensitive(What + TEXT(": name"), *Parameter.GetName(), Expected.Name);
		TestEqualSensitive(What + TEXT(": type"), *Parameter.GetCPPType(), Expected.Type);
		TestTrue(What + TEXT(" is a parameter"), Parameter.HasAllPropertyFlags(CPF_Parm));
		TestFalse(What + TEXT(" is the return value"), Parameter.HasAnyPropertyFlags(CPF_ReturnParm));
		switch (Expected.Kind)
		{
			case EParamKind::StringIn:
			case EParamKind::EnumIn:
				TestFalse(What + TEXT(" is passed out or by reference"), Parameter.HasAnyPropertyFlags(CPF_OutParm | CPF_ReferenceParm));
				break;
			case EParamKind::TextOut:
				TestTrue(What + TEXT(" is an output"), Parameter.HasAllPropertyFlags(CPF_OutParm));
				TestFalse(What + TEXT(" is read-only or passed in by reference"), Parameter.HasAnyPropertyFlags(CPF_ConstParm | CPF_ReferenceParm));
				break;
			case EParamKind::TextIn:
				TestTrue(What + TEXT(" is a read-only reference"), Parameter.HasAllPropertyFlags(CPF_OutParm | CPF_ConstParm | CPF_ReferenceParm));
				break;
		}
	}

	/** Every tooltip of a class names the Tools menu and the settings as the user sees them. */
	void TestToolTipWording(const UClass* Class)
	{
		TArray<FString> ToolTips = {Class->GetMetaData(TEXT("ToolTip"))};
		for (TFieldIterator<UFunction> It(Class, EFieldIteratorFlags::ExcludeSuper); It; ++It)
		{
			ToolTips.Add(It->GetMetaData(TEXT("ToolTip")));
		}
		for (const FString& ToolTip : ToolTips)
		{
			if (ToolTip.Contains(TEXT("Tools "), ESearchCase::CaseSensitive) || ToolTip.Contains(TEXT("Tools>"), ESearchCase::CaseSensitive))
			{
				TestTrue(TEXT("the Tools menu is named \"Tools > Trellic\": ") + ToolTip,
				         ToolTip.Contains(TEXT("Tools > Trellic"), ESearchCase::CaseSensitive));
			}
			if (ToolTip.Contains(TEXT("WorkshopDefaultVisibility"), ESearchCase::CaseSensitive))
			{
				TestTrue(TEXT("the setting is named UTRLSettings::WorkshopDefaultVisibility: ") + ToolTip,
				         ToolTip.Contains(TEXT("UTRLSettings::WorkshopDefaultVisibility"), ESearchCase::CaseSensitive));
			}
		}
	}

	/** Checks what every operation class shares: where it is registered, its flags, configuration and tooltip. */
	void TestOperationClass(const UClass* Class, const TCHAR* Name, const TCHAR* ToolTipStart)
	{
		TestTrue(FString::Printf(TEXT("%s is found by its script path"), Name),
		         FindObject<UClass>(nullptr, *(FString(TEXT("/Script/TrellicEditor.")) + Name)) == Class);
		TestEqualSensitive(TEXT("class name"), *Class->GetName(), Name);
		TestTrue(FString::Printf(TEXT("%s derives directly from UObject"), Name), Class->GetSuperClass() == UObject::StaticClass());
		TestTrue(FString::Printf(TEXT("%s is native and exported"), Name), Class->HasAllClassFlags(CLASS_Native | CLASS_RequiredAPI));
		// No specifiers: not abstract, not configured, not transient, not only partly exported, not placeable-restricted.
		TestFalse(FString::Printf(TEXT("%s carries a class specifier"), Name),
		          Class->HasAnyClassFlags(CLASS_Abstract | CLASS_Config | CLASS_DefaultConfig | CLASS_Transient | CLASS_MinimalAPI | CLASS_Const |
		                                  CLASS_EditInlineNew | CLASS_NotPlaceable | CLASS_Deprecated | CLASS_Hidden | CLASS_HideDropDown));
		TestFalse(FString::Printf(TEXT("%s is marked for Blueprint"), Name),
		          Class->HasMetaData(TEXT("BlueprintType")) || Class->HasMetaData(TEXT("IsBlueprintBase")));
		TestEqualSensitive(TEXT("configuration name"), *Class->ClassConfigName.ToString(), TEXT("Engine"));
		const FString ToolTip = Class->GetMetaData(TEXT("ToolTip"));
		TestTrue(FString::Printf(TEXT("%s's tooltip is its doc comment: %s"), Name, *ToolTip), ToolTip.StartsWith(ToolTipStart, ESearchCase::CaseSensitive));
		TestToolTipWording(Class);
	}
END_DEFINE_SPEC(FTRLScriptingSurfaceSpec)

void FTRLScriptingSurfaceSpec::Define()
{
	Describe("UTRLModScaffold", [this]() {
		It("is registered as TRLModScaffold, native and exported, with its purpose as tooltip", [this]() {
			TestOperationClass(UTRLModScaffold::StaticClass(), TEXT("TRLModScaffold"),
			                   TEXT("A mod is a content-only plug-in in its own folder under the game's local mods root. This creates new mods on disk"));
		});

		It("reflects its three functions as callable or pure, with their parameters, category and tooltips", [this]() {
			TestClassSurface(UTRLModScaffold::StaticClass(), ScaffoldFunctions(), TEXT("Trellic|Authoring"), 3, {});
		});

		It("answers both the result and the reason of IsValidModName from one evaluation", [this]() {
			UFunction* Function = UTRLModScaffold::StaticClass()->FindFunctionByName(TEXT("IsValidModName"));
			if (!TestNotNull(TEXT("IsValidModName"), Function))
			{
				return;
			}
			// As a script evaluates a pure node: one parameter block, one call, every output read from it.
			FStructOnScope Parms(Function);
			CastField<FStrProperty>(Function->FindPropertyByName(TEXT("ModName")))->SetPropertyValue_InContainer(Parms.GetStructMemory(), TEXT("My Mod"));
			UTRLModScaffold::StaticClass()->GetDefaultObject()->ProcessEvent(Function, Parms.GetStructMemory());

			const FBoolProperty* Result = CastField<FBoolProperty>(Function->GetReturnProperty());
			const FTextProperty* Reason = CastField<FTextProperty>(Function->FindPropertyByName(TEXT("OutReason")));
			if (!TestNotNull(TEXT("the result"), Result) || !TestNotNull(TEXT("the reason"), Reason))
			{
				return;
			}
			TestFalse(TEXT("a name with a blank is valid"), Result->GetPropertyValue_InContainer(Parms.GetStructMemory()));
			const FText Text = Reason->GetPropertyValue_InContainer(Parms.GetStructMemory());
			TestEqualSensitive(TEXT("reason"), *Text.ToString(), TEXT("The name may only use letters, digits and underscores. ' ' is not allowed."));
			TRLTest::TestLocalizationId(*this, TEXT("reason"), Text, TEXT("TRLModScaffold"), TEXT("BadCharacter"));
		});
	});

	Describe("UTRLModPackager", [this]() {
		It("is registered as TRLModPackager, native and exported, with its purpose as tooltip", [this]() {
			TestOperationClass(UTRLModPackager::StaticClass(), TEXT("TRLModPackager"),
			                   TEXT("Packaging: records a base game release once per public build of the game, and cooks a mod as DLC on top of it"));
		});

		It("reflects its six functions as callable or pure, with their parameters, category and tooltips", [this]() {
			TestClassSurface(UTRLModPackager::StaticClass(), PackagerFunctions(), TEXT("Trellic|Packaging"), 6, {});
		});

		It("keeps the job runner and the cook preparation native-only", [this]() {
			const UClass* Class = UTRLModPackager::StaticClass();
			for (const TCHAR* Name : {TEXT("LaunchUat"), TEXT("IsBeingPackaged"), TEXT("GetReleasesDirectory")})
			{
				TestNull(FString::Printf(TEXT("%s is reflected"), Name), Class->FindFunctionByName(Name));
			}
			for (const TCHAR* Name : {TEXT("bPackagingInProgress"), TEXT("PreparedCook")})
			{
				TestNull(FString::Printf(TEXT("%s is reflected"), Name), Class->FindPropertyByName(Name));
			}
		});
	});

	Describe("UTRLWorkshopUpload", [this]() {
		It("is registered as TRLWorkshopUpload, native and exported, with its purpose as tooltip", [this]() {
			TestOperationClass(UTRLWorkshopUpload::StaticClass(), TEXT("TRLWorkshopUpload"),
			                   TEXT("Workshop upload: sends a packaged mod to the Steam Workshop. It assembles the folder that goes to Steam"));
		});

		It("reflects nine callable or pure functions and the publisher's completion handler, and Publisher as its one property", [this]() {
			TestClassSurface(UTRLWorkshopUpload::StaticClass(), UploadFunctions(), TEXT("Trellic|Steam Workshop"), 10, {TEXT("Publisher")});
		});

		It("reflects HandlePublishComplete by name only: private, not static, not callable by scripts", [this]() {
			UFunction* Function = UTRLWorkshopUpload::StaticClass()->FindFunctionByName(TEXT("HandlePublishComplete"));
			if (!TestNotNull(TEXT("HandlePublishComplete is found by name"), Function))
			{
				return;
			}
			TestTrue(TEXT("native and private"), Function->HasAllFunctionFlags(FUNC_Native | FUNC_Private));
			TestFalse(TEXT("static, public, callable or pure"),
			          Function->HasAnyFunctionFlags(FUNC_Static | FUNC_Public | FUNC_Protected | FUNC_BlueprintCallable | FUNC_BlueprintPure));
			TestFalse(TEXT("has a category"), Function->HasMetaData(TEXT("Category")));
			TestTrue(TEXT("tooltip"), Function->GetMetaData(TEXT("ToolTip"))
			                              .StartsWith(TEXT("Steam answers on its own pump, so the outcome arrives here rather than at the call site.\n\n"),
			                                          ESearchCase::CaseSensitive));
			const TArray<FProperty*> Parameters = ParametersOf(Function);
			if (!TestEqual(TEXT("parameters"), Parameters.Num(), 3))
			{
				return;
			}
			TestNull(TEXT("a return value"), Function->GetReturnProperty());
			// The publisher's completion delegate calls it with exactly these.
			TestParameter(TEXT("HandlePublishComplete"), *Parameters[0], {TEXT("Result"), EParamKind::EnumIn, TEXT("ETRLWorkshopResult")});
			TestParameter(TEXT("HandlePublishComplete"), *Parameters[1], StringIn(TEXT("ItemId")));
			TestParameter(TEXT("HandlePublishComplete"), *Parameters[2], {TEXT("StatusMessage"), EParamKind::TextIn, TEXT("FText")});
		});

		It("holds the publisher in Publisher, a private object reference that scripts can neither read nor write", [this]() {
			const FObjectProperty* Publisher = CastField<FObjectProperty>(UTRLWorkshopUpload::StaticClass()->FindPropertyByName(TEXT("Publisher")));
			if (!TestNotNull(TEXT("Publisher is an object reference"), Publisher))
			{
				return;
			}
			TestTrue(TEXT("to the Steam module's publisher"), Publisher->PropertyClass == UTRLWorkshopPublisher::StaticClass());
			TestTrue(TEXT("private"), Publisher->HasAnyPropertyFlags(CPF_NativeAccessSpecifierPrivate));
			TestFalse(TEXT("visible to scripts or the editor"),
			          Publisher->HasAnyPropertyFlags(CPF_Edit | CPF_BlueprintVisible | CPF_BlueprintReadOnly | CPF_BlueprintAssignable | CPF_Config |
			                                         CPF_Transient | CPF_SaveGame | CPF_ExposeOnSpawn));
		});

		It("runs Preflight for a script with no result: its findings reach the log only", [this]() {
			const FString TempDir = TRLTest::MakeTempFolder(TEXT("TRLScriptingSurface"));
			const FString ModName = TRLTest::MakeUniqueModName(TEXT("TRLSurfaceMod"));
			// Everything in order but the description.
			const FString Descriptor = TRLTest::WriteMod(TempDir, ModName, ModName,
			                                             FString::Printf(TEXT("{\"FriendlyName\": \"%s\", \"Description\": \"\", \"TRLTags\": [\"Maps\"], "
			                                                                  "\"ExplicitlyLoaded\": true}"),
			                                                             *ModName));
			TRLTest::WriteTextFile(TempDir / ModName / TEXT("preview.png"), TEXT("png"));
			UFunction* Function = UTRLWorkshopUpload::StaticClass()->FindFunctionByName(TEXT("Preflight"));
			if (TestNotNull(TEXT("Preflight"), Function) && TestFalse(TEXT("the mod was written"), Descriptor.IsEmpty()))
			{
				TestEqual(TEXT("parameters, no return value among them"), static_cast<int32>(Function->NumParms), 1);
				FStructOnScope Parms(Function);
				CastField<FStrProperty>(Function->FindPropertyByName(TEXT("ModDescriptorPath")))
				    ->SetPropertyValue_InContainer(Parms.GetStructMemory(), Descriptor);
				const FString Warning =
				    FString::Printf(TEXT("'%s' has an empty Description. That text IS the Workshop page - fill it in the .uplugin."), *ModName);
				FTRLLogCapture Log;
				AddExpectedError(Warning, EAutomationExpectedErrorFlags::Exact, 1);
				UTRLWorkshopUpload::StaticClass()->GetDefaultObject()->ProcessEvent(Function, Parms.GetStructMemory());
				const TArray<FTRLLogCapture::FLine> Lines = Log.LinesOf(TEXT("LogTrellic"));
				if (TestEqual(TEXT("log lines"), Lines.Num(), 1))
				{
					TestTrue(TEXT("a warning"), Lines[0].Verbosity == ELogVerbosity::Warning);
					TestEqualSensitive(TEXT("the finding"), *Lines[0].Message, *Warning);
				}
			}
			TRLTest::DeleteFolder(TempDir);
		});
	});

	Describe("Scaffold and packager functions", [this]() {
		It("take no object and no world context: paths and names only", [this]() {
			for (const UClass* Class : {UTRLModScaffold::StaticClass(), UTRLModPackager::StaticClass()})
			{
				for (TFieldIterator<UFunction> Function(Class, EFieldIteratorFlags::ExcludeSuper); Function; ++Function)
				{
					TestFalse(Function->GetName() + TEXT(" asks for a world context"), Function->HasMetaData(TEXT("WorldContext")));
					for (TFieldIterator<FProperty> Parameter(*Function); Parameter; ++Parameter)
					{
						TestNull(Function->GetName() + TEXT(" takes an object: ") + Parameter->GetName(), CastField<FObjectPropertyBase>(*Parameter));
					}
				}
			}
		});
	});

	Describe("ETRLPackageStartResult", [this]() {
		It("is a one-byte enum class that scripts can hold, with its tooltip", [this]() {
			static_assert(std::is_same_v<std::underlying_type_t<ETRLPackageStartResult>, uint8>, "ETRLPackageStartResult is one unsigned byte");
			const UEnum* Enum = StaticEnum<ETRLPackageStartResult>();
			TestEqualSensitive(TEXT("path"), *Enum->GetPathName(), TEXT("/Script/TrellicEditor.ETRLPackageStartResult"));
			TestTrue(TEXT("an enum class"), Enum->GetCppForm() == UEnum::ECppForm::EnumClass);
			TestTrue(TEXT("BlueprintType"), Enum->HasMetaData(TEXT("BlueprintType")));
			TestEqualSensitive(TEXT("tooltip"), *Enum->GetMetaData(TEXT("ToolTip")),
			                   TEXT("Outcome of a packaging request. The work itself runs asynchronously in UAT."));
			// Where a function returns it, scripts hold it in a byte.
			const FEnumProperty* Returned =
			    CastField<FEnumProperty>(UTRLModPackager::StaticClass()->FindFunctionByName(TEXT("PackageMod"))->GetReturnProperty());
			if (TestNotNull(TEXT("PackageMod returns the enum"), Returned))
			{
				TestTrue(TEXT("the returned enum"), Returned->GetEnum() == Enum);
				TestNotNull(TEXT("held in a byte"), CastField<FByteProperty>(Returned->GetUnderlyingProperty()));
			}
		});

		It("has four values with their names, display names and tooltips, and nothing else visible", [this]() {
			struct FValue
			{
				ETRLPackageStartResult Value;
				const TCHAR* Name;
				const TCHAR* DisplayName;
				const TCHAR* ToolTip;
			};
			const FValue Values[] = {
			    {ETRLPackageStartResult::Started, TEXT("Started"), TEXT("Started"),
			     TEXT("UAT was launched. Watch the editor notification, or the log, for the result.")},
			    {ETRLPackageStartResult::InvalidMod, TEXT("InvalidMod"), TEXT("Invalid Mod"),
			     TEXT("The mod folder, its descriptor or the project could not be resolved.")},
			    {ETRLPackageStartResult::MissingBaseRelease, TEXT("MissingBaseRelease"), TEXT("Missing Base Release"),
			     TEXT("No base game release snapshot exists to cook against.")},
			    {ETRLPackageStartResult::AlreadyRunning, TEXT("AlreadyRunning"), TEXT("Already Running"), TEXT("Another packaging job is already running.")},
			};
			const UEnum* Enum = StaticEnum<ETRLPackageStartResult>();
			// The engine adds a hidden "_MAX" entry after the declared values.
			TestEqual(TEXT("values besides the hidden maximum"), Enum->NumEnums() - 1, static_cast<int32>(UE_ARRAY_COUNT(Values)));
			for (int32 Index = 0; Index < static_cast<int32>(UE_ARRAY_COUNT(Values)); ++Index)
			{
				const FValue& Value = Values[Index];
				TestEqual(FString::Printf(TEXT("%s: number"), Value.Name), Enum->GetValueByIndex(Index), static_cast<int64>(Value.Value));
				TestEqualSensitive(TEXT("name"), *Enum->GetNameStringByIndex(Index), Value.Name);
				TestEqualSensitive(TEXT("display name"), *Enum->GetDisplayNameTextByIndex(Index).ToString(), Value.DisplayName);
				TestEqualSensitive(TEXT("tooltip"), *Enum->GetMetaData(TEXT("ToolTip"), Index), Value.ToolTip);
			}
		});
	});
}

#endif // WITH_DEV_AUTOMATION_TESTS
