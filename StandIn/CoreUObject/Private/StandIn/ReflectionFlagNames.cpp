#include "StandIn/ReflectionFlagNames.h"

namespace
{
	template <typename EFlags>
	struct TFlagName
	{
		EFlags Flag;
		const TCHAR* Name;
	};

	template <typename EFlags, size_t Count>
	TArray<const TCHAR*> NamesOf(EFlags Flags, const TFlagName<EFlags> (&Table)[Count])
	{
		TArray<const TCHAR*> Names;
		for (const TFlagName<EFlags>& Entry : Table)
		{
			if ((Flags & Entry.Flag) != 0)
			{
				Names.Add(Entry.Name);
			}
		}
		return Names;
	}

#define TRL_FLAG_NAME(Flag)                                                                                                                                    \
	{                                                                                                                                                          \
		Flag, TEXT(#Flag)                                                                                                                                      \
	}

	// Single bits only, in the order of their values; combinations such as CLASS_Inherit are left out.
	const TFlagName<EClassFlags> ClassFlagNames[] = {
	    TRL_FLAG_NAME(CLASS_Abstract),
	    TRL_FLAG_NAME(CLASS_DefaultConfig),
	    TRL_FLAG_NAME(CLASS_Config),
	    TRL_FLAG_NAME(CLASS_Transient),
	    TRL_FLAG_NAME(CLASS_Optional),
	    TRL_FLAG_NAME(CLASS_MatchedSerializers),
	    TRL_FLAG_NAME(CLASS_ProjectUserConfig),
	    TRL_FLAG_NAME(CLASS_Native),
	    TRL_FLAG_NAME(CLASS_NotPlaceable),
	    TRL_FLAG_NAME(CLASS_PerObjectConfig),
	    TRL_FLAG_NAME(CLASS_EditInlineNew),
	    TRL_FLAG_NAME(CLASS_CollapseCategories),
	    TRL_FLAG_NAME(CLASS_Interface),
	    TRL_FLAG_NAME(CLASS_Const),
	    TRL_FLAG_NAME(CLASS_RequiredAPI),
	    TRL_FLAG_NAME(CLASS_DefaultToInstanced),
	    TRL_FLAG_NAME(CLASS_Hidden),
	    TRL_FLAG_NAME(CLASS_Deprecated),
	    TRL_FLAG_NAME(CLASS_HideDropDown),
	    TRL_FLAG_NAME(CLASS_GlobalUserConfig),
	    TRL_FLAG_NAME(CLASS_Intrinsic),
	    TRL_FLAG_NAME(CLASS_Constructed),
	    TRL_FLAG_NAME(CLASS_MinimalAPI),
	};

	const TFlagName<EFunctionFlags> FunctionFlagNames[] = {
	    TRL_FLAG_NAME(FUNC_Final),
	    TRL_FLAG_NAME(FUNC_RequiredAPI),
	    TRL_FLAG_NAME(FUNC_BlueprintAuthorityOnly),
	    TRL_FLAG_NAME(FUNC_BlueprintCosmetic),
	    TRL_FLAG_NAME(FUNC_Net),
	    TRL_FLAG_NAME(FUNC_NetReliable),
	    TRL_FLAG_NAME(FUNC_NetRequest),
	    TRL_FLAG_NAME(FUNC_Exec),
	    TRL_FLAG_NAME(FUNC_Native),
	    TRL_FLAG_NAME(FUNC_Event),
	    TRL_FLAG_NAME(FUNC_NetResponse),
	    TRL_FLAG_NAME(FUNC_Static),
	    TRL_FLAG_NAME(FUNC_NetMulticast),
	    TRL_FLAG_NAME(FUNC_MulticastDelegate),
	    TRL_FLAG_NAME(FUNC_Public),
	    TRL_FLAG_NAME(FUNC_Private),
	    TRL_FLAG_NAME(FUNC_Protected),
	    TRL_FLAG_NAME(FUNC_Delegate),
	    TRL_FLAG_NAME(FUNC_NetServer),
	    TRL_FLAG_NAME(FUNC_HasOutParms),
	    TRL_FLAG_NAME(FUNC_HasDefaults),
	    TRL_FLAG_NAME(FUNC_NetClient),
	    TRL_FLAG_NAME(FUNC_DLLImport),
	    TRL_FLAG_NAME(FUNC_BlueprintCallable),
	    TRL_FLAG_NAME(FUNC_BlueprintEvent),
	    TRL_FLAG_NAME(FUNC_BlueprintPure),
	    TRL_FLAG_NAME(FUNC_EditorOnly),
	    TRL_FLAG_NAME(FUNC_Const),
	    TRL_FLAG_NAME(FUNC_NetValidate),
	};

	const TFlagName<EPropertyFlags> PropertyFlagNames[] = {
	    TRL_FLAG_NAME(CPF_Edit),
	    TRL_FLAG_NAME(CPF_ConstParm),
	    TRL_FLAG_NAME(CPF_BlueprintVisible),
	    TRL_FLAG_NAME(CPF_ExportObject),
	    TRL_FLAG_NAME(CPF_BlueprintReadOnly),
	    TRL_FLAG_NAME(CPF_Net),
	    TRL_FLAG_NAME(CPF_EditFixedSize),
	    TRL_FLAG_NAME(CPF_Parm),
	    TRL_FLAG_NAME(CPF_OutParm),
	    TRL_FLAG_NAME(CPF_ZeroConstructor),
	    TRL_FLAG_NAME(CPF_ReturnParm),
	    TRL_FLAG_NAME(CPF_DisableEditOnTemplate),
	    TRL_FLAG_NAME(CPF_NonNullable),
	    TRL_FLAG_NAME(CPF_Transient),
	    TRL_FLAG_NAME(CPF_Config),
	    TRL_FLAG_NAME(CPF_RequiredParm),
	    TRL_FLAG_NAME(CPF_DisableEditOnInstance),
	    TRL_FLAG_NAME(CPF_EditConst),
	    TRL_FLAG_NAME(CPF_GlobalConfig),
	    TRL_FLAG_NAME(CPF_InstancedReference),
	    TRL_FLAG_NAME(CPF_DuplicateTransient),
	    TRL_FLAG_NAME(CPF_SaveGame),
	    TRL_FLAG_NAME(CPF_NoClear),
	    TRL_FLAG_NAME(CPF_ReferenceParm),
	    TRL_FLAG_NAME(CPF_BlueprintAssignable),
	    TRL_FLAG_NAME(CPF_Deprecated),
	    TRL_FLAG_NAME(CPF_IsPlainOldData),
	    TRL_FLAG_NAME(CPF_RepSkip),
	    TRL_FLAG_NAME(CPF_RepNotify),
	    TRL_FLAG_NAME(CPF_Interp),
	    TRL_FLAG_NAME(CPF_NonTransactional),
	    TRL_FLAG_NAME(CPF_EditorOnly),
	    TRL_FLAG_NAME(CPF_NoDestructor),
	    TRL_FLAG_NAME(CPF_AutoWeak),
	    TRL_FLAG_NAME(CPF_ContainsInstancedReference),
	    TRL_FLAG_NAME(CPF_AssetRegistrySearchable),
	    TRL_FLAG_NAME(CPF_SimpleDisplay),
	    TRL_FLAG_NAME(CPF_AdvancedDisplay),
	    TRL_FLAG_NAME(CPF_Protected),
	    TRL_FLAG_NAME(CPF_BlueprintCallable),
	    TRL_FLAG_NAME(CPF_BlueprintAuthorityOnly),
	    TRL_FLAG_NAME(CPF_TextExportTransient),
	    TRL_FLAG_NAME(CPF_NonPIEDuplicateTransient),
	    TRL_FLAG_NAME(CPF_ExposeOnSpawn),
	    TRL_FLAG_NAME(CPF_PersistentInstance),
	    TRL_FLAG_NAME(CPF_UObjectWrapper),
	    TRL_FLAG_NAME(CPF_HasGetValueTypeHash),
	    TRL_FLAG_NAME(CPF_NativeAccessSpecifierPublic),
	    TRL_FLAG_NAME(CPF_NativeAccessSpecifierProtected),
	    TRL_FLAG_NAME(CPF_NativeAccessSpecifierPrivate),
	    TRL_FLAG_NAME(CPF_SkipSerialization),
	    TRL_FLAG_NAME(CPF_TObjectPtr),
	};

#undef TRL_FLAG_NAME
} // namespace

namespace UE::StandIn
{
	TArray<const TCHAR*> GetClassFlagNames(EClassFlags Flags)
	{
		return NamesOf(Flags, ClassFlagNames);
	}

	TArray<const TCHAR*> GetFunctionFlagNames(EFunctionFlags Flags)
	{
		return NamesOf(Flags, FunctionFlagNames);
	}

	TArray<const TCHAR*> GetPropertyFlagNames(EPropertyFlags Flags)
	{
		return NamesOf(Flags, PropertyFlagNames);
	}
} // namespace UE::StandIn
