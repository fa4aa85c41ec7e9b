// UCLASS and USTRUCT: the type, its base, and its body of reflected members.
#include "DeclarationParser.h"

#include <algorithm>

namespace HeaderTool::Private
{
	namespace
	{
		const FNames ClassSpecifiers = {"MinimalAPI",
		                                "Abstract",
		                                "Blueprintable",
		                                "NotBlueprintable",
		                                "BlueprintType",
		                                "NotBlueprintType",
		                                "Transient",
		                                "NonTransient",
		                                "Config",
		                                "DefaultConfig",
		                                "GlobalUserConfig",
		                                "ProjectUserConfig",
		                                "PerObjectConfig",
		                                "Const",
		                                "Deprecated",
		                                "EditInlineNew",
		                                "NotEditInlineNew",
		                                "Placeable",
		                                "NotPlaceable",
		                                "HideDropdown",
		                                "Hidden",
		                                "CollapseCategories",
		                                "DontCollapseCategories",
		                                "HideCategories",
		                                "ShowCategories",
		                                "AutoExpandCategories",
		                                "AutoCollapseCategories",
		                                "ClassGroup",
		                                "Within",
		                                "DefaultToInstanced",
		                                "AdvancedClassDisplay",
		                                "ConversionRoot",
		                                "Experimental",
		                                "EarlyAccessPreview",
		                                "meta"};
		const FNames StructSpecifiers = {"BlueprintType", "NotBlueprintType", "Atomic", "Immutable", "meta"};
	} // namespace

	void FDeclarationParser::ParseClass(bool bStruct)
	{
		const std::string Marker = bStruct ? "USTRUCT" : "UCLASS";
		const FToken& MarkerToken = Advance();
		FClass Class;
		Class.bStruct = bStruct;
		Class.Line = MarkerToken.Line;
		Class.Specifiers = ParseSpecifierList(Marker, Class.MetaData);
		CheckSpecifiers(Class.Specifiers, bStruct ? StructSpecifiers : ClassSpecifiers, bStruct ? "struct" : "class");

		const FToken& Keyword = Current();
		if (!Keyword.Is("class") && !Keyword.Is("struct"))
		{
			Fail(Keyword.Line, "Expected 'class' or 'struct' after " + Marker + "(...), found '" + Describe(Keyword) + "'");
		}
		// The doc comment may sit above the annotation or between it and the class keyword.
		ApplyDocComment(Keyword, Class.MetaData);
		ApplyDocComment(MarkerToken, Class.MetaData);
		Advance();
		const int NameLine = Current().Line;
		std::string Name = ExpectIdentifier("the name of the " + std::string(bStruct ? "struct" : "class"));
		if (Current().IsIdentifier() && Name.size() > 4 && Name.compare(Name.size() - 4, 4, "_API") == 0)
		{
			Class.ApiMacro = Name;
			Name = Advance().Text;
		}
		Class.Name = Name;
		CheckTypePrefix(Class.Name, bStruct ? "F" : "UA", Class.Line);
		if (Current().Is("final"))
		{
			Advance();
		}
		if (Current().Is(":"))
		{
			Advance();
			if (Current().Is("public") || Current().Is("protected") || Current().Is("private"))
			{
				if (!Current().Is("public"))
				{
					Fail(Current().Line, "The base of a reflected type must be public");
				}
				Advance();
			}
			Class.SuperName = ParseQualifiedName("the base class of " + Class.Name);
			// Further bases (interfaces) are allowed but not reflected.
			while (!Current().Is("{"))
			{
				if (Current().Kind == ETokenKind::End || Current().Is(";"))
				{
					Fail(Current().Line, "Expected '{' to open " + Class.Name);
				}
				Advance();
			}
		}
		else if (!bStruct)
		{
			Fail(NameLine, "Class '" + Class.Name + "' must derive from UObject or a subclass of it");
		}
		Expect("{", "to open " + Class.Name);
		ParseClassBody(Class);
		Header.Classes.push_back(std::move(Class));
	}

	void FDeclarationParser::ParseClassBody(FClass& Class)
	{
		EAccess Access = Class.bStruct ? EAccess::Public : EAccess::Private;
		while (true)
		{
			const FToken& Token = Current();
			if (Token.Kind == ETokenKind::End)
			{
				Fail(Class.Line, "Missing '}' to close " + Class.Name);
			}
			if (Token.Is("}"))
			{
				Advance();
				break;
			}
			if ((Token.Is("public") || Token.Is("protected") || Token.Is("private")) && PeekToken(1).Is(":"))
			{
				Access = Token.Is("public") ? EAccess::Public : Token.Is("protected") ? EAccess::Protected : EAccess::Private;
				Advance();
				Advance();
				continue;
			}
			if (Token.Is("{"))
			{
				SkipBalanced("{", "}");
				continue;
			}
			if (Token.Is("GENERATED_BODY"))
			{
				if (Class.GeneratedBodyLine != 0)
				{
					Fail(Token.Line, "GENERATED_BODY() appears twice in " + Class.Name);
				}
				Class.GeneratedBodyLine = Token.Line;
				Advance();
				Expect("(", "after GENERATED_BODY");
				Expect(")", "after GENERATED_BODY(");
				// The generated body leaves a class private and a struct public, as it found them by default.
				Access = Class.bStruct ? EAccess::Public : EAccess::Private;
				continue;
			}
			if (Token.Is("UFUNCTION"))
			{
				RequireGeneratedBody(Class, Token.Line);
				if (Class.bStruct)
				{
					Fail(Token.Line, "UFUNCTION is not allowed in a USTRUCT");
				}
				FFunction Function = ParseFunction(Access);
				for (const FFunction& Existing : Class.Functions)
				{
					if (Existing.Name == Function.Name)
					{
						Fail(Function.Line, "'" + Function.Name + "' is already a UFUNCTION of " + Class.Name + " (line " + std::to_string(Existing.Line) +
						                        "); reflected functions cannot be overloaded");
					}
				}
				Class.Functions.push_back(std::move(Function));
				continue;
			}
			if (Token.Is("UPROPERTY"))
			{
				RequireGeneratedBody(Class, Token.Line);
				FProperty Property = ParseProperty(Access);
				for (const FProperty& Existing : Class.Properties)
				{
					if (Existing.Name == Property.Name)
					{
						Fail(Property.Line, "'" + Property.Name + "' is already a UPROPERTY of " + Class.Name);
					}
				}
				Class.Properties.push_back(std::move(Property));
				continue;
			}
			if (Token.IsIdentifier() && Token.Text.rfind("DECLARE_DYNAMIC_", 0) == 0)
			{
				ParseDelegate(Class.Name);
				continue;
			}
			if (IsMarker(Token))
			{
				Fail(Token.Line, Token.Text + " is not allowed inside " + Class.Name);
			}
			Advance();
		}
		if (Class.GeneratedBodyLine == 0)
		{
			Fail(Class.Line, "Expected a GENERATED_BODY() in " + Class.Name);
		}
	}

	void FDeclarationParser::RequireGeneratedBody(const FClass& Class, int Line)
	{
		if (Class.GeneratedBodyLine == 0)
		{
			Fail(Line, "GENERATED_BODY() must come before the reflected members of " + Class.Name);
		}
	}
} // namespace HeaderTool::Private
