#include "CodeGenerator.h"

#include "HeaderParser.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

namespace HeaderTool
{
	namespace
	{
		std::string Sanitize(const std::string& Text)
		{
			std::string Result;
			for (char C : Text)
			{
				Result += std::isalnum(static_cast<unsigned char>(C)) ? C : '_';
			}
			return Result;
		}

		std::string FileId(const std::string& ModuleName, const FHeader& Header)
		{
			return "TRL_FID_" + Sanitize(ModuleName + "_" + Header.RelativePath);
		}

		/** A TEXT("...") literal holding Value (UTF-8 in, as the compiler reads the generated file). */
		std::string Literal(const std::string& Value)
		{
			std::string Result = "TEXT(\"";
			for (char C : Value)
			{
				const unsigned char Byte = static_cast<unsigned char>(C);
				switch (C)
				{
					case '\\':
						Result += "\\\\";
						break;
					case '"':
						Result += "\\\"";
						break;
					case '\n':
						Result += "\\n";
						break;
					case '\t':
						Result += "\\t";
						break;
					case '\r':
						Result += "\\r";
						break;
					default:
						if (Byte < 0x20)
						{
							char Octal[8];
							std::snprintf(Octal, sizeof(Octal), "\\%03o", Byte);
							Result += Octal;
						}
						else
						{
							Result += C;
						}
						break;
				}
			}
			return Result + "\")";
		}

		std::string JoinFlags(const std::vector<std::string>& Flags, const char* None)
		{
			if (Flags.empty())
			{
				return None;
			}
			std::string Result;
			for (const std::string& Flag : Flags)
			{
				Result += (Result.empty() ? "" : " | ") + Flag;
			}
			return Result;
		}

		std::string MetaDataList(const FMetaData& MetaData)
		{
			std::string Result = "{";
			for (const auto& [Key, Value] : MetaData.Entries)
			{
				Result += (Result.size() > 1 ? ", " : "") + std::string("{") + Literal(Key) + ", " + Literal(Value) + "}";
			}
			return Result + "}";
		}

		bool HasSpecifier(const std::vector<FSpecifier>& Specifiers, const char* Name)
		{
			return FindSpecifier(Specifiers, Name) != nullptr;
		}

		std::string FirstValue(const std::vector<FSpecifier>& Specifiers, const char* Name)
		{
			const FSpecifier* Specifier = FindSpecifier(Specifiers, Name);
			return Specifier && !Specifier->Values.empty() ? Specifier->Values[0] : std::string();
		}

		std::string JoinValues(const std::vector<FSpecifier>& Specifiers, const char* Name)
		{
			std::string Result;
			for (const FSpecifier& Specifier : Specifiers)
			{
				if (EqualsNoCase(Specifier.Name, Name))
				{
					for (const std::string& Value : Specifier.Values)
					{
						Result += (Result.empty() ? "" : " ") + Value;
					}
				}
			}
			return Result;
		}

		std::string AccessFlag(EAccess Access, const char* Prefix)
		{
			const char* Name = Access == EAccess::Public ? "Public" : Access == EAccess::Protected ? "Protected" : "Private";
			return std::string(Prefix) + Name;
		}

		std::string PrefixLess(const std::string& Name)
		{
			return Name.size() > 1 ? Name.substr(1) : Name;
		}

		// The engine's header tool flags a parameter by how it is passed:
		//   T           CPF_Parm (and CPF_ConstParm when declared const): an input
		//   const FString&  CPF_Parm only: a read-only string is passed as if by value
		//   const T&    CPF_Parm | CPF_OutParm | CPF_ReferenceParm | CPF_ConstParm: an input passed by reference
		//   T&          CPF_Parm | CPF_OutParm: an output (with UPARAM(ref) also CPF_ReferenceParm: an input written back)
		// and every parameter is CPF_NativeAccessSpecifierPublic.
		std::vector<std::string> ParamFlags(const FParam& Param)
		{
			std::vector<std::string> Flags = {"CPF_Parm"};
			const bool bConstString = Param.Type.bConst && Param.Type.bReference && Param.Type.ValueType == "FString";
			if (Param.Type.bReference && !bConstString)
			{
				Flags.push_back("CPF_OutParm");
				if (Param.Type.bConst)
				{
					Flags.push_back("CPF_ConstParm");
					Flags.push_back("CPF_ReferenceParm");
				}
				else if (HasSpecifier(Param.UParamSpecifiers, "ref"))
				{
					Flags.push_back("CPF_ReferenceParm");
				}
			}
			else if (Param.Type.bConst && !bConstString)
			{
				Flags.push_back("CPF_ConstParm");
			}
			if (HasSpecifier(Param.UParamSpecifiers, "Required"))
			{
				Flags.push_back("CPF_RequiredParm");
			}
			if (HasSpecifier(Param.UParamSpecifiers, "NotReplicated"))
			{
				Flags.push_back("CPF_RepSkip");
			}
			Flags.push_back("CPF_NativeAccessSpecifierPublic");
			return Flags;
		}

		bool IsOutput(const FParam& Param)
		{
			const std::vector<std::string> Flags = ParamFlags(Param);
			return std::find(Flags.begin(), Flags.end(), "CPF_OutParm") != Flags.end();
		}

		/** What the parameter declares, and "NativeConst" for a const one, as the engine marks it. */
		FMetaData ParamMetaData(const FParam& Param)
		{
			FMetaData MetaData = Param.MetaData;
			if (Param.Type.bConst)
			{
				MetaData.Set("NativeConst", "");
			}
			return MetaData;
		}

		struct FClassGenerator
		{
			const std::string& ModuleName;
			const FHeader& Header;
			const FClass& Class;
			std::ostringstream& Out;

			std::string Statics() const { return std::string(Class.bStruct ? "Z_Construct_UScriptStruct_" : "Z_Construct_UClass_") + Class.Name + "_Statics"; }

			// A parameter type as the statics struct must spell it: nested delegate types get their class.
			std::string QualifiedType(const std::string& Type) const
			{
				for (const FDelegate& Delegate : Header.Delegates)
				{
					if (Delegate.OuterClass == Class.Name && Delegate.Name == Type)
					{
						return Class.Name + "::" + Type;
					}
				}
				return Type;
			}

			std::vector<std::string> FunctionFlags(const FFunction& Function) const
			{
				std::vector<std::string> Flags = {"FUNC_Native", AccessFlag(Function.Access, "FUNC_")};
				if (!Function.bVirtual)
				{
					Flags.push_back("FUNC_Final");
				}
				if (Function.bStatic)
				{
					Flags.push_back("FUNC_Static");
				}
				if (Function.bConst)
				{
					Flags.push_back("FUNC_Const");
				}
				const FSpecifier* Pure = FindSpecifier(Function.Specifiers, "BlueprintPure");
				const bool bExplicitlyImpure = Pure && !Pure->Values.empty() && EqualsNoCase(Pure->Values[0], "false");
				const bool bPure =
				    (Pure && !bExplicitlyImpure) || (HasSpecifier(Function.Specifiers, "BlueprintCallable") && Function.bConst && !bExplicitlyImpure);
				if (HasSpecifier(Function.Specifiers, "BlueprintCallable") || Pure)
				{
					Flags.push_back("FUNC_BlueprintCallable");
				}
				if (bPure)
				{
					Flags.push_back("FUNC_BlueprintPure");
				}
				if (HasSpecifier(Function.Specifiers, "BlueprintAuthorityOnly"))
				{
					Flags.push_back("FUNC_BlueprintAuthorityOnly");
				}
				if (HasSpecifier(Function.Specifiers, "BlueprintCosmetic"))
				{
					Flags.push_back("FUNC_BlueprintCosmetic");
				}
				if (HasSpecifier(Function.Specifiers, "Exec"))
				{
					Flags.push_back("FUNC_Exec");
				}
				bool bHasOut = false;
				bool bHasDefaults = false;
				for (const FParam& Param : Function.Params)
				{
					bHasOut |= IsOutput(Param);
					bHasDefaults |= !Param.DefaultValue.empty();
				}
				if (bHasOut)
				{
					Flags.push_back("FUNC_HasOutParms");
				}
				if (bHasDefaults)
				{
					Flags.push_back("FUNC_HasDefaults");
				}
				return Flags;
			}

			FMetaData FunctionMetaData(const FFunction& Function) const
			{
				FMetaData MetaData;
				const std::string Category = FirstValue(Function.Specifiers, "Category");
				if (!Category.empty())
				{
					MetaData.Set("Category", Category);
				}
				if (HasSpecifier(Function.Specifiers, "CallInEditor"))
				{
					MetaData.Set("CallInEditor", "true");
				}
				for (const FParam& Param : Function.Params)
				{
					if (!Param.DefaultValue.empty())
					{
						MetaData.Set("CPP_Default_" + Param.Name, Param.DefaultValue);
					}
				}
				MetaData.Set("ModuleRelativePath", Header.RelativePath);
				for (const auto& [Key, Value] : Function.MetaData.Entries)
				{
					MetaData.Set(Key, Value);
				}
				return MetaData;
			}

			std::vector<std::string> PropertyFlags(const FProperty& Property) const
			{
				struct FMapping
				{
					const char* Specifier;
					const char* Flags;
				};
				static const FMapping Mappings[] = {
				    {"EditAnywhere", "CPF_Edit"},
				    {"EditDefaultsOnly", "CPF_Edit | CPF_DisableEditOnInstance"},
				    {"EditInstanceOnly", "CPF_Edit | CPF_DisableEditOnTemplate"},
				    {"VisibleAnywhere", "CPF_Edit | CPF_EditConst"},
				    {"VisibleDefaultsOnly", "CPF_Edit | CPF_EditConst | CPF_DisableEditOnInstance"},
				    {"VisibleInstanceOnly", "CPF_Edit | CPF_EditConst | CPF_DisableEditOnTemplate"},
				    {"BlueprintReadWrite", "CPF_BlueprintVisible"},
				    {"BlueprintReadOnly", "CPF_BlueprintVisible | CPF_BlueprintReadOnly"},
				    {"BlueprintAssignable", "CPF_BlueprintAssignable"},
				    {"BlueprintCallable", "CPF_BlueprintCallable"},
				    {"BlueprintAuthorityOnly", "CPF_BlueprintAuthorityOnly"},
				    {"BlueprintGetter", "CPF_BlueprintVisible"},
				    {"BlueprintSetter", "CPF_BlueprintVisible"},
				    {"Config", "CPF_Config"},
				    {"GlobalConfig", "CPF_GlobalConfig | CPF_Config"},
				    {"Transient", "CPF_Transient"},
				    {"DuplicateTransient", "CPF_DuplicateTransient"},
				    {"NonPIEDuplicateTransient", "CPF_NonPIEDuplicateTransient"},
				    {"SaveGame", "CPF_SaveGame"},
				    {"Instanced", "CPF_PersistentInstance | CPF_ExportObject | CPF_InstancedReference"},
				    {"Export", "CPF_ExportObject"},
				    {"NoClear", "CPF_NoClear"},
				    {"EditFixedSize", "CPF_EditFixedSize"},
				    {"AdvancedDisplay", "CPF_AdvancedDisplay"},
				    {"SimpleDisplay", "CPF_SimpleDisplay"},
				    {"AssetRegistrySearchable", "CPF_AssetRegistrySearchable"},
				    {"Interp", "CPF_Edit | CPF_BlueprintVisible | CPF_Interp"},
				    {"NonTransactional", "CPF_NonTransactional"},
				    {"TextExportTransient", "CPF_TextExportTransient"},
				    {"SkipSerialization", "CPF_SkipSerialization"},
				    {"Replicated", "CPF_Net"},
				    {"NotReplicated", "CPF_RepSkip"},
				};
				std::vector<std::string> Flags;
				for (const FMapping& Mapping : Mappings)
				{
					if (HasSpecifier(Property.Specifiers, Mapping.Specifier))
					{
						Flags.push_back(Mapping.Flags);
					}
				}
				if (Property.Type.find("TObjectPtr<") != std::string::npos)
				{
					Flags.push_back("CPF_TObjectPtrWrapper");
				}
				Flags.push_back(AccessFlag(Property.Access, "CPF_NativeAccessSpecifier"));
				return Flags;
			}

			FMetaData PropertyMetaData(const FProperty& Property) const
			{
				FMetaData MetaData;
				const std::string Category = FirstValue(Property.Specifiers, "Category");
				if (!Category.empty())
				{
					MetaData.Set("Category", Category);
				}
				for (const char* Accessor : {"BlueprintGetter", "BlueprintSetter"})
				{
					const std::string Value = FirstValue(Property.Specifiers, Accessor);
					if (!Value.empty())
					{
						MetaData.Set(Accessor, Value);
					}
				}
				MetaData.Set("ModuleRelativePath", Header.RelativePath);
				for (const auto& [Key, Value] : Property.MetaData.Entries)
				{
					MetaData.Set(Key, Value);
				}
				return MetaData;
			}

			std::vector<std::string> ClassFlags() const
			{
				struct FMapping
				{
					const char* Specifier;
					const char* Flag;
				};
				static const FMapping Mappings[] = {
				    {"MinimalAPI", "CLASS_MinimalAPI"},
				    {"Abstract", "CLASS_Abstract"},
				    {"Transient", "CLASS_Transient"},
				    {"Config", "CLASS_Config"},
				    {"DefaultConfig", "CLASS_DefaultConfig"},
				    {"GlobalUserConfig", "CLASS_GlobalUserConfig"},
				    {"ProjectUserConfig", "CLASS_ProjectUserConfig"},
				    {"PerObjectConfig", "CLASS_PerObjectConfig"},
				    {"Const", "CLASS_Const"},
				    {"Deprecated", "CLASS_Deprecated"},
				    {"EditInlineNew", "CLASS_EditInlineNew"},
				    {"NotPlaceable", "CLASS_NotPlaceable"},
				    {"HideDropdown", "CLASS_HideDropDown"},
				    {"Hidden", "CLASS_Hidden"},
				    {"CollapseCategories", "CLASS_CollapseCategories"},
				    {"DefaultToInstanced", "CLASS_DefaultToInstanced"},
				};
				// The engine's header tool marks every class it generates as native with matched serializers.
				std::vector<std::string> Flags = {"CLASS_Native", "CLASS_MatchedSerializers"};
				if (!Class.ApiMacro.empty())
				{
					Flags.push_back("CLASS_RequiredAPI");
				}
				for (const FMapping& Mapping : Mappings)
				{
					if (HasSpecifier(Class.Specifiers, Mapping.Specifier))
					{
						Flags.push_back(Mapping.Flag);
					}
				}
				return Flags;
			}

			FMetaData ClassMetaData() const
			{
				FMetaData MetaData;
				if (HasSpecifier(Class.Specifiers, "BlueprintType"))
				{
					MetaData.Set("BlueprintType", "true");
				}
				if (HasSpecifier(Class.Specifiers, "NotBlueprintType"))
				{
					MetaData.Set("NotBlueprintType", "true");
				}
				if (HasSpecifier(Class.Specifiers, "Blueprintable"))
				{
					MetaData.Set("IsBlueprintBase", "true");
				}
				if (HasSpecifier(Class.Specifiers, "NotBlueprintable"))
				{
					MetaData.Set("IsBlueprintBase", "false");
				}
				const struct
				{
					const char* Specifier;
					const char* Key;
				} Lists[] = {{"HideCategories", "HideCategories"},
				             {"ShowCategories", "ShowCategories"},
				             {"ClassGroup", "ClassGroupNames"},
				             {"AutoExpandCategories", "AutoExpandCategories"},
				             {"AutoCollapseCategories", "AutoCollapseCategories"}};
				for (const auto& List : Lists)
				{
					const std::string Values = JoinValues(Class.Specifiers, List.Specifier);
					if (!Values.empty())
					{
						MetaData.Set(List.Key, Values);
					}
				}
				if (!Class.bStruct)
				{
					MetaData.Set("IncludePath", Header.IncludePath);
				}
				MetaData.Set("ModuleRelativePath", Header.RelativePath);
				for (const auto& [Key, Value] : Class.MetaData.Entries)
				{
					MetaData.Set(Key, Value);
				}
				return MetaData;
			}

			void WriteParmsStruct(const FFunction& Function) const
			{
				Out << "\tstruct F" << Function.Name << "_Parms\n\t{\n";
				for (const FParam& Param : Function.Params)
				{
					Out << "\t\t" << QualifiedType(Param.Type.ValueType) << " " << Param.Name << "{};\n";
				}
				if (!Function.ReturnType.empty())
				{
					Out << "\t\t" << QualifiedType(Function.ReturnType) << " ReturnValue{};\n";
				}
				Out << "\t};\n";
			}

			void WriteThunk(const FFunction& Function) const
			{
				const bool bUsesParms = !Function.Params.empty() || !Function.ReturnType.empty();
				Out << "\tstatic void exec" << Function.Name << "(UObject* " << (Function.bStatic ? "" : "Context") << ", void* " << (bUsesParms ? "Parms" : "")
				    << ")\n\t{\n";
				if (bUsesParms)
				{
					Out << "\t\tF" << Function.Name << "_Parms& P = *static_cast<F" << Function.Name << "_Parms*>(Parms);\n";
				}
				Out << "\t\t" << (Function.ReturnType.empty() ? "" : "P.ReturnValue = ");
				if (Function.bStatic)
				{
					Out << Class.Name << "::" << Function.Name << "(";
				}
				else
				{
					Out << "static_cast<" << (Function.bConst ? "const " : "") << Class.Name << "*>(Context)->" << Function.Name << "(";
				}
				for (size_t Index = 0; Index < Function.Params.size(); ++Index)
				{
					Out << (Index ? ", " : "") << "P." << Function.Params[Index].Name;
				}
				Out << ");\n\t}\n";
			}

			void WriteFunctionRegistration(const FFunction& Function) const
			{
				const std::string Parms = "F" + Function.Name + "_Parms";
				const bool bHasParms = !Function.Params.empty() || !Function.ReturnType.empty();
				Out << "\t\t{\n";
				Out << "\t\t\tUFunction* Function = AddFunction(Class, " << Literal(Function.Name) << ", EFunctionFlags("
				    << JoinFlags(FunctionFlags(Function), "FUNC_None") << "), &exec" << Function.Name << ", "
				    << (bHasParms ? "MakeStructOps<" + Parms + ">()" : std::string("FStructOps()")) << ");\n";
				for (const FParam& Param : Function.Params)
				{
					Out << "\t\t\tAddProperty<" << QualifiedType(Param.Type.ValueType) << ">(Function, " << Literal(Param.Name) << ", EPropertyFlags("
					    << JoinFlags(ParamFlags(Param), "CPF_None") << "), offsetof(" << Parms << ", " << Param.Name << "), "
					    << MetaDataList(ParamMetaData(Param)) << ");\n";
				}
				if (!Function.ReturnType.empty())
				{
					Out << "\t\t\tAddProperty<" << QualifiedType(Function.ReturnType)
					    << ">(Function, TEXT(\"ReturnValue\"), EPropertyFlags(CPF_Parm | CPF_OutParm | CPF_ReturnParm | CPF_NativeAccessSpecifierPublic), "
					       "offsetof("
					    << Parms << ", ReturnValue), {});\n";
				}
				Out << "\t\t\tSetMetaData(Function, " << MetaDataList(FunctionMetaData(Function)) << ");\n";
				Out << "\t\t\tFinishStruct(Function);\n";
				Out << "\t\t}\n";
			}

			void Write() const
			{
				Out << "\n// " << (Class.bStruct ? "Structure " : "Class ") << Class.Name << "\n";
				Out << "struct " << Statics() << "\n{\n";
				for (const FFunction& Function : Class.Functions)
				{
					if (!Function.Params.empty() || !Function.ReturnType.empty())
					{
						WriteParmsStruct(Function);
					}
					WriteThunk(Function);
				}
				if (!Class.bStruct)
				{
					Out << "\tstatic UObject* Construct()\n\t{\n";
					Out << "\t\treturn UE::CodeGen::Private::ConstructObject<" << Class.Name << ">();\n";
					Out << "\t}\n";
				}
				Out << "\tstatic void Link(" << (Class.bStruct ? "UScriptStruct" : "UClass") << "* Class)\n\t{\n";
				Out << "\t\tusing namespace UE::CodeGen::Private;\n";
				for (const FFunction& Function : Class.Functions)
				{
					WriteFunctionRegistration(Function);
				}
				for (const FProperty& Property : Class.Properties)
				{
					Out << "\t\tAddProperty<decltype(" << Class.Name << "::" << Property.Name << ")>(Class, " << Literal(Property.Name) << ", EPropertyFlags("
					    << JoinFlags(PropertyFlags(Property), "CPF_None") << "), offsetof(" << Class.Name << ", " << Property.Name << "), "
					    << MetaDataList(PropertyMetaData(Property)) << ");\n";
				}
				Out << "\t\tSetMetaData(Class, " << MetaDataList(ClassMetaData()) << ");\n";
				Out << "\t\tFinishStruct(Class);\n";
				Out << "\t}\n};\n\n";

				const std::string Package = Literal("/Script/" + ModuleName);
				if (Class.bStruct)
				{
					Out << "UScriptStruct* " << Class.Name << "::StaticStruct()\n{\n";
					Out << "\tstatic UScriptStruct* Struct = nullptr;\n\tif (!Struct)\n\t{\n";
					Out << "\t\tStruct = UE::CodeGen::Private::CreateStruct(" << Package << ", " << Literal(PrefixLess(Class.Name)) << ", "
					    << (Class.SuperName.empty() ? std::string("nullptr") : Class.SuperName + "::StaticStruct()") << ", UE::CodeGen::Private::MakeStructOps<"
					    << Class.Name << ">());\n";
					Out << "\t\t" << Statics() << "::Link(Struct);\n\t}\n\treturn Struct;\n}\n";
					Out << "static const UE::CodeGen::Private::FRegisterCompiledInType Z_Register_" << Class.Name << "([]() -> UObject* { return " << Class.Name
					    << "::StaticStruct(); });\n";
					return;
				}
				const std::string Config = FirstValue(Class.Specifiers, "Config");
				Out << "UClass* " << Class.Name << "::StaticClass()\n{\n";
				Out << "\tstatic UClass* Class = nullptr;\n\tif (!Class)\n\t{\n";
				Out << "\t\tClass = UE::CodeGen::Private::CreateClass(" << Package << ", " << Literal(PrefixLess(Class.Name)) << ", " << Class.SuperName
				    << "::StaticClass(), EClassFlags(" << JoinFlags(ClassFlags(), "CLASS_None") << "), "
				    << (Config.empty() ? std::string("nullptr") : Literal(Config)) << ", sizeof(" << Class.Name << "), &" << Statics() << "::Construct);\n";
				Out << "\t\t" << Statics() << "::Link(Class);\n\t}\n\treturn Class;\n}\n";
				Out << "template <>\nUClass* UE::CodeGen::Private::GetPrivateStaticClassOf<" << Class.Name << ">()\n{\n\treturn " << Class.Name
				    << "::StaticClass();\n}\n";
				Out << "static const UE::CodeGen::Private::FRegisterCompiledInType Z_Register_" << Class.Name << "([]() -> UObject* { return " << Class.Name
				    << "::StaticClass(); });\n";
			}
		};

		void WriteEnum(const std::string& ModuleName, const FHeader& Header, const FEnum& Enum, std::ostringstream& Out)
		{
			FMetaData MetaData;
			if (HasSpecifier(Enum.Specifiers, "BlueprintType"))
			{
				MetaData.Set("BlueprintType", "true");
			}
			if (HasSpecifier(Enum.Specifiers, "Flags"))
			{
				MetaData.Set("Bitflags", "true");
			}
			MetaData.Set("ModuleRelativePath", Header.RelativePath);
			for (const auto& [Key, Value] : Enum.MetaData.Entries)
			{
				MetaData.Set(Key, Value);
			}
			for (const FEnumValue& Value : Enum.Values)
			{
				MetaData.Set(Value.Name + ".Name", Enum.bEnumClass ? Enum.Name + "::" + Value.Name : Value.Name);
				for (const auto& [Key, Text] : Value.MetaData.Entries)
				{
					MetaData.Set(Value.Name + "." + Key, Text);
				}
			}

			Out << "\n// Enum " << Enum.Name << "\n";
			Out << "template <>\nUEnum* StaticEnum<" << Enum.Name << ">()\n{\n";
			Out << "\tstatic UEnum* Enum = nullptr;\n\tif (!Enum)\n\t{\n";
			Out << "\t\tusing namespace UE::CodeGen::Private;\n";
			Out << "\t\tEnum = CreateEnum(" << Literal("/Script/" + ModuleName) << ", " << Literal(Enum.Name) << ", "
			    << (Enum.bEnumClass ? "UEnum::ECppForm::EnumClass" : "UEnum::ECppForm::Regular") << ", "
			    << (HasSpecifier(Enum.Specifiers, "Flags") ? "EEnumFlags::Flags" : "EEnumFlags::None") << ", {";
			for (size_t Index = 0; Index < Enum.Values.size(); ++Index)
			{
				const FEnumValue& Value = Enum.Values[Index];
				const std::string StoredName = Enum.bEnumClass ? Enum.Name + "::" + Value.Name : Value.Name;
				Out << (Index ? ", " : "") << "{" << Literal(StoredName) << ", static_cast<int64>(" << Enum.Name << "::" << Value.Name << ")}";
			}
			Out << "});\n";
			Out << "\t\tSetMetaData(Enum, " << MetaDataList(MetaData) << ");\n";
			Out << "\t}\n\treturn Enum;\n}\n";
			Out << "static const UE::CodeGen::Private::FRegisterCompiledInType Z_Register_" << Enum.Name << "([]() -> UObject* { return StaticEnum<"
			    << Enum.Name << ">(); });\n";
		}

		void WriteDelegate(const std::string& ModuleName, const FDelegate& Delegate, std::ostringstream& Out)
		{
			const std::string Type = Delegate.OuterClass.empty() ? Delegate.Name : Delegate.OuterClass + "::" + Delegate.Name;
			Out << "\n// Delegate " << Type << "\n";
			Out << "UFunction* " << Type << "::GetSignatureFunction()\n{\n";
			Out << "\tstatic UFunction* Function = nullptr;\n\tif (!Function)\n\t{\n";
			Out << "\t\tusing namespace UE::CodeGen::Private;\n";
			std::vector<std::string> Flags = {"FUNC_Public", "FUNC_Delegate"};
			if (Delegate.bMulticast)
			{
				Flags.push_back("FUNC_MulticastDelegate");
			}
			bool bHasOut = false;
			for (const FParam& Param : Delegate.Params)
			{
				bHasOut |= IsOutput(Param);
			}
			if (bHasOut)
			{
				Flags.push_back("FUNC_HasOutParms");
			}
			const std::string Outer = Delegate.OuterClass.empty() ? std::string("nullptr") : Delegate.OuterClass + "::StaticClass()";
			Out << "\t\tFunction = CreateDelegateSignature(" << Literal("/Script/" + ModuleName) << ", " << Outer << ", "
			    << Literal(PrefixLess(Delegate.Name) + "__DelegateSignature") << ", EFunctionFlags(" << JoinFlags(Flags, "FUNC_None") << "), "
			    << (Delegate.Params.empty() ? std::string("FStructOps()") : "MakeStructOps<" + Type + "::FParms>()") << ");\n";
			for (const FParam& Param : Delegate.Params)
			{
				Out << "\t\tAddProperty<std::remove_cvref_t<" << Param.Type.ValueType << ">>(Function, " << Literal(Param.Name) << ", EPropertyFlags("
				    << JoinFlags(ParamFlags(Param), "CPF_None") << "), offsetof(" << Type << "::FParms, " << Param.Name << "), {});\n";
			}
			Out << "\t\tFinishStruct(Function);\n\t}\n\treturn Function;\n}\n";
		}
	} // namespace

	std::string GenerateHeader(const std::string& ModuleName, const FHeader& Header)
	{
		std::ostringstream Out;
		const std::string Id = FileId(ModuleName, Header);
		Out << "// Generated by the header tool from " << Header.RelativePath << " of module " << ModuleName << ". Do not edit.\n";
		Out << "#pragma once\n\n";
		if (!Header.HasReflectedTypes())
		{
			return Out.str();
		}
		Out << "#include \"UObject/ObjectMacros.h\"\n";
		Out << "#include \"UObject/ReflectedTypeAccessors.h\"\n\n";
		Out << "#undef CURRENT_FILE_ID\n#define CURRENT_FILE_ID " << Id << "\n";
		for (const FClass& Class : Header.Classes)
		{
			const std::string Statics = std::string(Class.bStruct ? "Z_Construct_UScriptStruct_" : "Z_Construct_UClass_") + Class.Name + "_Statics";
			Out << "\n#define " << Id << "_" << Class.GeneratedBodyLine << "_GENERATED_BODY \\\n";
			if (Class.bStruct)
			{
				Out << "\tfriend struct " << Statics << "; \\\n";
				Out << "public: \\\n";
				if (!Class.SuperName.empty())
				{
					Out << "\tusing Super = " << Class.SuperName << "; \\\n";
				}
				Out << "\tstatic class UScriptStruct* StaticStruct();\n";
				continue;
			}
			Out << "public: \\\n";
			Out << "\tusing ThisClass = " << Class.Name << "; \\\n";
			Out << "\tusing Super = " << Class.SuperName << "; \\\n";
			Out << "\tstatic UClass* StaticClass(); \\\n";
			Out << "\tstatic const TCHAR* StaticPackage() { return " << Literal("/Script/" + ModuleName) << "; } \\\n";
			Out << "\tfriend struct " << Statics << "; \\\n";
			Out << "private:\n";
		}
		for (const FEnum& Enum : Header.Enums)
		{
			Out << "\nenum " << (Enum.bEnumClass ? "class " : "") << Enum.Name;
			if (!Enum.UnderlyingType.empty())
			{
				Out << " : " << Enum.UnderlyingType;
			}
			Out << ";\ntemplate <>\nUEnum* StaticEnum<" << Enum.Name << ">();\n";
		}
		return Out.str();
	}

	std::string GenerateModuleSource(const std::string& ModuleName, const std::vector<FHeader>& Headers)
	{
		std::ostringstream Out;
		Out << "// Generated by the header tool: the reflection data of module " << ModuleName << ". Do not edit.\n";
		bool bAny = false;
		for (const FHeader& Header : Headers)
		{
			bAny |= Header.HasReflectedTypes();
		}
		if (!bAny)
		{
			return Out.str();
		}
		Out << "#include \"UObject/GeneratedCppIncludes.h\"\n";
		for (const FHeader& Header : Headers)
		{
			if (Header.HasReflectedTypes())
			{
				Out << "#include \"" << Header.Path << "\"\n";
			}
		}
		Out << "\n#include <cstddef>\n#include <type_traits>\n\n";
		// Reflected members of classes with virtual functions: offsetof is supported there by both compilers.
		Out << "#pragma GCC diagnostic push\n#pragma GCC diagnostic ignored \"-Winvalid-offsetof\"\n";
		for (const FHeader& Header : Headers)
		{
			for (const FEnum& Enum : Header.Enums)
			{
				WriteEnum(ModuleName, Header, Enum, Out);
			}
			for (const FClass& Class : Header.Classes)
			{
				FClassGenerator{ModuleName, Header, Class, Out}.Write();
			}
			for (const FDelegate& Delegate : Header.Delegates)
			{
				WriteDelegate(ModuleName, Delegate, Out);
			}
		}
		Out << "\n#pragma GCC diagnostic pop\n";
		return Out.str();
	}
} // namespace HeaderTool
