// UFUNCTION: the declaration, its parameters (with UPARAM) and what scripts may call.
#include "DeclarationParser.h"

#include <algorithm>

namespace HeaderTool::Private
{
	namespace
	{
		const FNames FunctionSpecifiers = {
		    "BlueprintCallable", "BlueprintPure", "BlueprintAuthorityOnly", "BlueprintCosmetic", "CallInEditor", "Category", "Exec", "meta"};
		const FNames ParamSpecifiers = {"ref", "DisplayName", "Required", "NotReplicated", "meta"};
		// Understood, but they need generated function bodies that this tool does not write.
		const FNames UnsupportedFunctionSpecifiers = {"BlueprintImplementableEvent",
		                                              "BlueprintNativeEvent",
		                                              "Server",
		                                              "Client",
		                                              "NetMulticast",
		                                              "Reliable",
		                                              "Unreliable",
		                                              "WithValidation",
		                                              "CustomThunk",
		                                              "SealedEvent"};
	} // namespace

	bool FDeclarationParser::IsDeclarationKeyword(const FToken& Token)
	{
		static const FNames Keywords = {"static", "virtual", "inline", "FORCEINLINE", "FORCENOINLINE", "explicit", "constexpr", "UE_NODISCARD"};
		if (!Token.IsIdentifier())
		{
			return false;
		}
		if (Token.Text.size() > 4 && Token.Text.compare(Token.Text.size() - 4, 4, "_API") == 0)
		{
			return true;
		}
		return std::any_of(Keywords.begin(), Keywords.end(), [&Token](const char* Keyword) {
			return Token.Text == Keyword;
		});
	}

	FFunction FDeclarationParser::ParseFunction(EAccess Access)
	{
		const FToken& MarkerToken = Advance();
		FFunction Function;
		Function.Line = MarkerToken.Line;
		Function.Access = Access;
		Function.Specifiers = ParseSpecifierList("UFUNCTION", Function.MetaData);
		CheckSpecifiers(Function.Specifiers, FunctionSpecifiers, "function", UnsupportedFunctionSpecifiers);
		ApplyDocComment(Current(), Function.MetaData);
		ApplyDocComment(MarkerToken, Function.MetaData);
		std::vector<FToken> Declaration = CollectDeclaration("UFUNCTION", Function.Line, true);

		size_t Position = 0;
		while (Position < Declaration.size())
		{
			const FToken& Token = Declaration[Position];
			if (Token.Is("[") && Position + 1 < Declaration.size() && Declaration[Position + 1].Is("["))
			{
				while (Position < Declaration.size() && !Declaration[Position].Is("]"))
				{
					++Position;
				}
				Position += 2;
				continue;
			}
			if (!IsDeclarationKeyword(Token))
			{
				break;
			}
			Function.bStatic |= Token.Is("static");
			Function.bVirtual |= Token.Is("virtual");
			++Position;
		}

		// The name is the identifier just before the first '(' outside template brackets.
		size_t OpenParen = Declaration.size();
		int AngleDepth = 0;
		for (size_t Search = Position; Search < Declaration.size(); ++Search)
		{
			if (Declaration[Search].Is("<"))
			{
				++AngleDepth;
			}
			else if (Declaration[Search].Is(">"))
			{
				--AngleDepth;
			}
			else if (Declaration[Search].Is("(") && AngleDepth == 0)
			{
				OpenParen = Search;
				break;
			}
		}
		if (OpenParen == Declaration.size() || OpenParen == Position || !Declaration[OpenParen - 1].IsIdentifier())
		{
			Fail(Function.Line, "Expected a function declaration after UFUNCTION");
		}
		Function.Name = Declaration[OpenParen - 1].Text;
		if (Function.Name == "operator" || OpenParen - 1 == Position)
		{
			Fail(Function.Line, "UFUNCTION '" + Function.Name + "' must be a named function with a return type");
		}
		const std::vector<FToken> ReturnTokens(Declaration.begin() + static_cast<std::ptrdiff_t>(Position),
		                                       Declaration.begin() + static_cast<std::ptrdiff_t>(OpenParen - 1));
		const FTypeText Return = ParseTypeText(ReturnTokens, Function.Line);
		if (Return.ValueType != "void")
		{
			if (Return.bReference)
			{
				Fail(Function.Line, "UFUNCTION '" + Function.Name + "' may not return a reference");
			}
			Function.ReturnType = Return.ValueType;
		}

		// Split the parameters at top-level commas.
		size_t CloseParen = OpenParen;
		int Depth = 0;
		for (size_t Search = OpenParen; Search < Declaration.size(); ++Search)
		{
			if (Declaration[Search].Is("(") || Declaration[Search].Is("[") || Declaration[Search].Is("{"))
			{
				++Depth;
			}
			else if (Declaration[Search].Is(")") || Declaration[Search].Is("]") || Declaration[Search].Is("}"))
			{
				if (--Depth == 0)
				{
					CloseParen = Search;
					break;
				}
			}
		}
		std::vector<std::vector<FToken>> ParamTokens;
		SplitTopLevel(Declaration, OpenParen + 1, CloseParen, ParamTokens);
		for (const std::vector<FToken>& Tokens : ParamTokens)
		{
			if (Tokens.size() == 1 && Tokens[0].Is("void") && ParamTokens.size() == 1)
			{
				break;
			}
			Function.Params.push_back(ParseParam(Tokens, Function));
		}

		for (size_t Search = CloseParen + 1; Search < Declaration.size(); ++Search)
		{
			const FToken& Token = Declaration[Search];
			if (Token.Is("const"))
			{
				Function.bConst = true;
			}
			else if (Token.Is("->"))
			{
				Fail(Token.Line, "UFUNCTION '" + Function.Name + "' may not use a trailing return type");
			}
		}
		if (Function.bStatic && Function.bConst)
		{
			Fail(Function.Line, "A static UFUNCTION cannot be const");
		}
		ValidateFunction(Function);
		return Function;
	}

	void FDeclarationParser::ValidateFunction(const FFunction& Function)
	{
		const FSpecifier* Pure = FindSpecifier(Function.Specifiers, "BlueprintPure");
		const bool bPure = Pure && (Pure->Values.empty() || !EqualsNoCase(Pure->Values[0], "false"));
		if (bPure)
		{
			const bool bHasOutput = !Function.ReturnType.empty() || std::any_of(Function.Params.begin(), Function.Params.end(), [](const FParam& Param) {
				return Param.Type.bReference && !Param.Type.bConst;
			});
			if (!bHasOutput)
			{
				Fail(Function.Line,
				     "BlueprintPure specifier is not allowed for functions with no return value and no output parameters ('" + Function.Name + "')");
			}
		}
		if (bPure || FindSpecifier(Function.Specifiers, "BlueprintCallable"))
		{
			// The engine's scripting has no pin for the integers it does not use.
			static const FNames NotForScripts = {"int8", "int16", "uint16", "uint32", "uint64"};
			if (IsOneOf(Function.ReturnType, NotForScripts))
			{
				Fail(Function.Line, "Type '" + Function.ReturnType + "' is not supported by blueprint. Function: " + Function.Name + " Return value");
			}
			for (const FParam& Param : Function.Params)
			{
				if (IsOneOf(Param.Type.ValueType, NotForScripts))
				{
					Fail(Param.Line,
					     "Type '" + Param.Type.ValueType + "' is not supported by blueprint. Function: " + Function.Name + " Parameter: " + Param.Name);
				}
			}
		}
		for (size_t First = 0; First < Function.Params.size(); ++First)
		{
			for (size_t Second = First + 1; Second < Function.Params.size(); ++Second)
			{
				if (Function.Params[First].Name == Function.Params[Second].Name)
				{
					Fail(Function.Params[Second].Line, "Parameter '" + Function.Params[Second].Name + "' appears twice in '" + Function.Name + "'");
				}
			}
			if (Function.Params[First].Name == "ReturnValue")
			{
				Fail(Function.Params[First].Line, "A parameter may not be called 'ReturnValue'");
			}
		}
	}

	FParam FDeclarationParser::ParseParam(std::vector<FToken> Tokens, const FFunction& Function)
	{
		FParam Param;
		Param.Line = Tokens.empty() ? Function.Line : Tokens.front().Line;
		if (Tokens.empty())
		{
			Fail(Param.Line, "Empty parameter in '" + Function.Name + "'");
		}
		if (Tokens.front().Is("UPARAM"))
		{
			// Parse the UPARAM(...) specifiers with the normal reader over a sub-range.
			size_t Close = 1;
			int Depth = 0;
			for (; Close < Tokens.size(); ++Close)
			{
				Depth += Tokens[Close].Is("(") ? 1 : Tokens[Close].Is(")") ? -1 : 0;
				if (Depth == 0)
				{
					break;
				}
			}
			if (Close >= Tokens.size())
			{
				Fail(Param.Line, "Missing ')' to close UPARAM(");
			}
			std::vector<FToken> Sub(Tokens.begin() + 1, Tokens.begin() + static_cast<std::ptrdiff_t>(Close) + 1);
			FToken End;
			End.Kind = ETokenKind::End;
			End.Line = Param.Line;
			Sub.push_back(End);
			FTokenizedHeader SubTokens;
			SubTokens.Tokens = std::move(Sub);
			FDeclarationParser SubParser(std::move(SubTokens), Header);
			Param.UParamSpecifiers = SubParser.ParseSpecifierList("UPARAM", Param.MetaData);
			CheckSpecifiers(Param.UParamSpecifiers, ParamSpecifiers, "parameter");
			Tokens.erase(Tokens.begin(), Tokens.begin() + static_cast<std::ptrdiff_t>(Close) + 1);
		}
		for (const FToken& Token : Tokens)
		{
			if (IsMarker(Token))
			{
				Fail(Token.Line, Token.Text + " is not allowed in a parameter list");
			}
		}
		const auto Equals = std::find_if(Tokens.begin(), Tokens.end(), [](const FToken& Token) {
			return Token.Is("=");
		});
		if (Equals != Tokens.end())
		{
			Param.DefaultValue = JoinTokens(std::vector<FToken>(Equals + 1, Tokens.end()));
			Tokens.erase(Equals, Tokens.end());
		}
		if (Tokens.size() < 2 || !Tokens.back().IsIdentifier())
		{
			Fail(Param.Line, "Every parameter of UFUNCTION '" + Function.Name + "' needs a type and a name");
		}
		if (std::any_of(Tokens.begin(), Tokens.end(), [](const FToken& Token) {
			    return Token.Is("[");
		    }))
		{
			Fail(Param.Line, "Array parameters are not supported ('" + Function.Name + "')");
		}
		Param.Name = Tokens.back().Text;
		Tokens.pop_back();
		Param.Type = ParseTypeText(Tokens, Param.Line);
		const FSpecifier* DisplayName = FindSpecifier(Param.UParamSpecifiers, "DisplayName");
		if (DisplayName && !DisplayName->Values.empty())
		{
			Param.MetaData.Set("DisplayName", DisplayName->Values[0]);
		}
		if (FindSpecifier(Param.UParamSpecifiers, "ref") && (!Param.Type.bReference || Param.Type.bConst))
		{
			Fail(Param.Line, "UPARAM(ref) needs a non-const reference parameter ('" + Param.Name + "')");
		}
		return Param;
	}
} // namespace HeaderTool::Private
