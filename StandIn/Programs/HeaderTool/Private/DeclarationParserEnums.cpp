// UENUM: the enum, its underlying type and its enumerators with their UMETA.
#include "DeclarationParser.h"

#include <algorithm>

namespace HeaderTool::Private
{
	namespace
	{
		const FNames EnumSpecifiers = {"BlueprintType", "Flags", "meta"};
	} // namespace

	void FDeclarationParser::ParseEnum()
	{
		const FToken& MarkerToken = Advance();
		FEnum Enum;
		Enum.Line = MarkerToken.Line;
		Enum.Specifiers = ParseSpecifierList("UENUM", Enum.MetaData);
		CheckSpecifiers(Enum.Specifiers, EnumSpecifiers, "enum");
		ApplyDocComment(Current(), Enum.MetaData);
		ApplyDocComment(MarkerToken, Enum.MetaData);
		if (Current().Is("namespace"))
		{
			Fail(Current().Line, "Namespaced UENUMs are not supported; use 'enum class'");
		}
		Expect("enum", "after UENUM(...)");
		if (Current().Is("class") || Current().Is("struct"))
		{
			Enum.bEnumClass = true;
			Advance();
		}
		Enum.Name = ExpectIdentifier("the name of the enum");
		CheckTypePrefix(Enum.Name, "E", Enum.Line);
		if (Current().Is(":"))
		{
			Advance();
			std::vector<FToken> TypeTokens;
			while (!Current().Is("{") && Current().Kind != ETokenKind::End && !Current().Is(";"))
			{
				TypeTokens.push_back(Advance());
			}
			Enum.UnderlyingType = JoinTokens(TypeTokens);
			static const FNames Allowed = {"uint8", "int8", "uint16", "int16", "uint32", "int32", "uint64", "int64", "int", "unsigned int"};
			if (!IsOneOf(Enum.UnderlyingType, Allowed))
			{
				Fail(Enum.Line, "Unsupported underlying type '" + Enum.UnderlyingType + "' for enum " + Enum.Name);
			}
		}
		else if (!Enum.bEnumClass)
		{
			Fail(Enum.Line, "A UENUM needs 'enum class' or an explicit underlying type ('" + Enum.Name + "')");
		}
		// Scripts hold an enum's value in a byte.
		if (FindSpecifier(Enum.Specifiers, "BlueprintType") && Enum.UnderlyingType != "uint8")
		{
			Fail(Enum.Line, "A BlueprintType enum must have the underlying type uint8 ('" + Enum.Name + "' has " +
			                    (Enum.UnderlyingType.empty() ? std::string("none") : Enum.UnderlyingType) + ")");
		}
		Expect("{", "to open enum " + Enum.Name);
		while (!Current().Is("}"))
		{
			if (Current().Kind == ETokenKind::End)
			{
				Fail(Enum.Line, "Missing '}' to close enum " + Enum.Name);
			}
			FEnumValue Value;
			const FToken& NameToken = Current();
			Value.Line = NameToken.Line;
			Value.Name = ExpectIdentifier("an enumerator name in " + Enum.Name);
			if (IsMarker(NameToken))
			{
				Fail(NameToken.Line, "Expected an enumerator name in " + Enum.Name + ", found " + NameToken.Text);
			}
			if (Current().Is("="))
			{
				Advance();
				int Depth = 0;
				while (!(Depth == 0 && (Current().Is(",") || Current().Is("}") || Current().Is("UMETA"))))
				{
					if (Current().Kind == ETokenKind::End)
					{
						Fail(Value.Line, "Missing '}' to close enum " + Enum.Name);
					}
					Depth += Current().Is("(") ? 1 : Current().Is(")") ? -1 : 0;
					Advance();
				}
			}
			if (Current().Is("UMETA"))
			{
				Advance();
				ParseMetaList("UMETA", Value.MetaData);
				// UMETA(...) has no "meta=" wrapper: its keys are metadata directly.
			}
			ApplyDocComment(NameToken, Value.MetaData);
			for (const FEnumValue& Existing : Enum.Values)
			{
				if (Existing.Name == Value.Name)
				{
					Fail(Value.Line, "Enumerator '" + Value.Name + "' appears twice in " + Enum.Name);
				}
			}
			Enum.Values.push_back(std::move(Value));
			if (Current().Is(","))
			{
				Advance();
			}
			else if (!Current().Is("}"))
			{
				Fail(Current().Line, "Expected ',' or '}' in enum " + Enum.Name + ", found '" + Describe(Current()) + "'");
			}
		}
		Advance();
		if (Current().IsIdentifier() && IsMarker(Current()))
		{
			Fail(Current().Line, "Expected ';' after enum " + Enum.Name);
		}
		Header.Enums.push_back(std::move(Enum));
	}
} // namespace HeaderTool::Private
