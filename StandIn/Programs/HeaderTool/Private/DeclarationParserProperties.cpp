// UPROPERTY: one member variable and its specifiers.
#include "DeclarationParser.h"

#include <algorithm>

namespace HeaderTool::Private
{
	namespace
	{
		const FNames PropertySpecifiers = {"EditAnywhere",
		                                   "EditDefaultsOnly",
		                                   "EditInstanceOnly",
		                                   "VisibleAnywhere",
		                                   "VisibleDefaultsOnly",
		                                   "VisibleInstanceOnly",
		                                   "BlueprintReadWrite",
		                                   "BlueprintReadOnly",
		                                   "BlueprintAssignable",
		                                   "BlueprintCallable",
		                                   "BlueprintAuthorityOnly",
		                                   "Category",
		                                   "Config",
		                                   "GlobalConfig",
		                                   "Transient",
		                                   "DuplicateTransient",
		                                   "NonPIEDuplicateTransient",
		                                   "SaveGame",
		                                   "Instanced",
		                                   "Export",
		                                   "NoClear",
		                                   "EditFixedSize",
		                                   "AdvancedDisplay",
		                                   "SimpleDisplay",
		                                   "AssetRegistrySearchable",
		                                   "Interp",
		                                   "NonTransactional",
		                                   "TextExportTransient",
		                                   "SkipSerialization",
		                                   "Replicated",
		                                   "NotReplicated",
		                                   "BlueprintGetter",
		                                   "BlueprintSetter",
		                                   "meta"};
	} // namespace

	FProperty FDeclarationParser::ParseProperty(EAccess Access)
	{
		const FToken& MarkerToken = Advance();
		FProperty Property;
		Property.Line = MarkerToken.Line;
		Property.Access = Access;
		Property.Specifiers = ParseSpecifierList("UPROPERTY", Property.MetaData);
		CheckSpecifiers(Property.Specifiers, PropertySpecifiers, "property");
		ApplyDocComment(Current(), Property.MetaData);
		ApplyDocComment(MarkerToken, Property.MetaData);
		std::vector<FToken> Declaration = CollectDeclaration("UPROPERTY", Property.Line, false);
		// Drop an initializer: "= Value" or "{Value}".
		const auto Initializer = std::find_if(Declaration.begin(), Declaration.end(), [](const FToken& Token) {
			return Token.Is("=") || Token.Is("{");
		});
		Declaration.erase(Initializer, Declaration.end());
		while (!Declaration.empty() && (Declaration.front().Is("mutable")))
		{
			Declaration.erase(Declaration.begin());
		}
		if (!Declaration.empty() && Declaration.front().Is("static"))
		{
			Fail(Property.Line, "A UPROPERTY cannot be static");
		}
		for (const FToken& Token : Declaration)
		{
			if (Token.Is(":"))
			{
				Fail(Token.Line, "Bit-field properties are not supported; use bool");
			}
			if (Token.Is("[") || Token.Is("("))
			{
				Fail(Token.Line, "Expected a property declaration after UPROPERTY");
			}
			if (Token.Is(","))
			{
				bool bInsideTemplate = false;
				int Depth = 0;
				for (const FToken& Other : Declaration)
				{
					Depth += Other.Is("<") ? 1 : Other.Is(">") ? -1 : 0;
					if (&Other == &Token)
					{
						bInsideTemplate = Depth > 0;
						break;
					}
				}
				if (!bInsideTemplate)
				{
					Fail(Token.Line, "Declare one property per UPROPERTY");
				}
			}
		}
		if (Declaration.size() < 2 || !Declaration.back().IsIdentifier())
		{
			Fail(Property.Line, "Expected a property declaration after UPROPERTY");
		}
		Property.Name = Declaration.back().Text;
		Declaration.pop_back();
		const FTypeText Type = ParseTypeText(Declaration, Property.Line);
		if (Type.bReference)
		{
			Fail(Property.Line, "A UPROPERTY cannot be a reference");
		}
		Property.Type = (Type.bConst ? "const " : "") + Type.ValueType;
		if (Access == EAccess::Private &&
		    (FindSpecifier(Property.Specifiers, "BlueprintReadWrite") || FindSpecifier(Property.Specifiers, "BlueprintReadOnly")) &&
		    !Property.MetaData.Contains("AllowPrivateAccess"))
		{
			Fail(Property.Line, "BlueprintReadWrite and BlueprintReadOnly are not allowed on private members unless meta=(AllowPrivateAccess) is given ('" +
			                        Property.Name + "')");
		}
		return Property;
	}
} // namespace HeaderTool::Private
