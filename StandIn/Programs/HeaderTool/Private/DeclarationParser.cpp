// What every kind of declaration goes through: the tokens, the annotations' specifiers and metadata, types, and
// the checks on the header as a whole.
#include "DeclarationParser.h"

#include <algorithm>

namespace HeaderTool::Private
{
	bool IsOneOf(const std::string& Name, const FNames& Names)
	{
		return std::any_of(Names.begin(), Names.end(), [&Name](const char* Candidate) {
			return EqualsNoCase(Name, Candidate);
		});
	}

	void FDeclarationParser::Run()
	{
		while (Current().Kind != ETokenKind::End)
		{
			ParseAtNamespaceScope();
		}
		CheckGeneratedInclude();
	}

	void FDeclarationParser::Expect(const char* Text, const std::string& Context)
	{
		if (!Current().Is(Text))
		{
			Fail(Current().Line, std::string("Expected '") + Text + "' " + Context + ", found '" + Describe(Current()) + "'");
		}
		Advance();
	}

	std::string FDeclarationParser::Describe(const FToken& Token)
	{
		if (Token.Kind == ETokenKind::End)
		{
			return "end of file";
		}
		if (Token.Kind == ETokenKind::String)
		{
			return "\"" + Token.Text + "\"";
		}
		return Token.Text;
	}

	std::string FDeclarationParser::ExpectIdentifier(const std::string& Context)
	{
		if (!Current().IsIdentifier())
		{
			Fail(Current().Line, "Expected " + Context + ", found '" + Describe(Current()) + "'");
		}
		return Advance().Text;
	}

	bool FDeclarationParser::IsMarker(const FToken& Token)
	{
		static const FNames Markers = {"UCLASS",
		                               "USTRUCT",
		                               "UENUM",
		                               "UFUNCTION",
		                               "UPROPERTY",
		                               "UMETA",
		                               "UPARAM",
		                               "GENERATED_BODY",
		                               "UINTERFACE",
		                               "GENERATED_UCLASS_BODY",
		                               "GENERATED_USTRUCT_BODY",
		                               "GENERATED_IINTERFACE_BODY",
		                               "GENERATED_UINTERFACE_BODY"};
		if (!Token.IsIdentifier())
		{
			return false;
		}
		if (Token.Text.rfind("DECLARE_DYNAMIC_", 0) == 0)
		{
			return true;
		}
		return std::any_of(Markers.begin(), Markers.end(), [&Token](const char* Marker) {
			return Token.Text == Marker;
		});
	}

	// Walks code outside reflected types, looking only for annotations.
	void FDeclarationParser::ParseAtNamespaceScope()
	{
		const FToken& Token = Current();
		if (!IsMarker(Token))
		{
			Advance();
			return;
		}
		if (Token.Text == "UCLASS" || Token.Text == "USTRUCT")
		{
			ParseClass(Token.Text == "USTRUCT");
		}
		else if (Token.Text == "UENUM")
		{
			ParseEnum();
		}
		else if (Token.Text.rfind("DECLARE_DYNAMIC_", 0) == 0)
		{
			ParseDelegate(std::string());
		}
		else if (Token.Text == "UINTERFACE")
		{
			Fail(Token.Line, "UINTERFACE is not supported by this header tool");
		}
		else if (Token.Text.rfind("GENERATED_", 0) == 0 && Token.Text != "GENERATED_BODY")
		{
			Fail(Token.Line, Token.Text + " is not supported; use GENERATED_BODY()");
		}
		else
		{
			Fail(Token.Line, Token.Text + " is only allowed inside a " +
			                     (Token.Text == "UMETA"    ? std::string("UENUM")
			                      : Token.Text == "UPARAM" ? std::string("UFUNCTION parameter list")
			                                               : std::string("UCLASS or USTRUCT")));
		}
	}

	// Reads "(Spec, Spec=Value, Spec=(A, B), meta=(Key=Value))" after a marker.
	std::vector<FSpecifier> FDeclarationParser::ParseSpecifierList(const std::string& Marker, FMetaData& OutMetaData)
	{
		std::vector<FSpecifier> Specifiers;
		Expect("(", "after " + Marker);
		while (!Current().Is(")"))
		{
			if (Current().Kind == ETokenKind::End)
			{
				Fail(Current().Line, "Missing ')' to close " + Marker + "(");
			}
			FSpecifier Specifier;
			Specifier.Line = Current().Line;
			Specifier.Name = ExpectIdentifier("a specifier name in " + Marker);
			if (Current().Is("="))
			{
				Advance();
				if (EqualsNoCase(Specifier.Name, "meta"))
				{
					ParseMetaList(Marker, OutMetaData);
				}
				else if (Current().Is("("))
				{
					Advance();
					while (!Current().Is(")"))
					{
						Specifier.Values.push_back(ParseValue(Marker));
						if (Current().Is(","))
						{
							Advance();
						}
						else if (!Current().Is(")"))
						{
							Fail(Current().Line, "Expected ',' or ')' in the values of '" + Specifier.Name + "', found '" + Describe(Current()) + "'");
						}
					}
					Advance();
				}
				else
				{
					Specifier.Values.push_back(ParseValue(Marker));
				}
			}
			else if (EqualsNoCase(Specifier.Name, "meta"))
			{
				Fail(Specifier.Line, "Expected '=(...)' after 'meta' in " + Marker);
			}
			if (!EqualsNoCase(Specifier.Name, "meta"))
			{
				Specifiers.push_back(Specifier);
			}
			if (Current().Is(","))
			{
				Advance();
				if (Current().Is(")"))
				{
					Fail(Current().Line, "Expected a specifier after ',' in " + Marker);
				}
			}
			else if (!Current().Is(")"))
			{
				Fail(Current().Line, "Expected ',' or ')' in " + Marker + ", found '" + Describe(Current()) + "'");
			}
		}
		Advance();
		return Specifiers;
	}

	// Reads "(Key=Value, Key)" for meta=; a key without a value means "true".
	void FDeclarationParser::ParseMetaList(const std::string& Marker, FMetaData& OutMetaData)
	{
		Expect("(", "after 'meta=' in " + Marker);
		while (!Current().Is(")"))
		{
			const std::string Key = ExpectIdentifier("a metadata key in " + Marker);
			std::string Value = "true";
			if (Current().Is("="))
			{
				Advance();
				Value = ParseValue(Marker);
			}
			OutMetaData.Set(Key, Value);
			if (Current().Is(","))
			{
				Advance();
			}
			else if (!Current().Is(")"))
			{
				Fail(Current().Line, "Expected ',' or ')' in the metadata of " + Marker + ", found '" + Describe(Current()) + "'");
			}
		}
		Advance();
	}

	// One value: a string, or the tokens up to the next ',' or ')' (identifiers, numbers, signs).
	std::string FDeclarationParser::ParseValue(const std::string& Marker)
	{
		if (Current().Kind == ETokenKind::String)
		{
			return Advance().Text;
		}
		std::string Value;
		while (!Current().Is(",") && !Current().Is(")"))
		{
			const FToken& Token = Current();
			if (Token.Kind == ETokenKind::End || Token.Is("(") || Token.Is(";") || Token.Is("{") || Token.Is("}") || Token.Is("="))
			{
				Fail(Token.Line, "Malformed value in " + Marker + " near '" + Describe(Token) + "'");
			}
			Value += Token.Text;
			Advance();
		}
		if (Value.empty())
		{
			Fail(Current().Line, "Expected a value after '=' in " + Marker);
		}
		return Value;
	}

	void FDeclarationParser::CheckSpecifiers(const std::vector<FSpecifier>& Specifiers, const FNames& Known, const std::string& Kind, const FNames& Unsupported)
	{
		for (const FSpecifier& Specifier : Specifiers)
		{
			if (IsOneOf(Specifier.Name, Unsupported))
			{
				Fail(Specifier.Line, "Function specifier '" + Specifier.Name + "' is not supported by this header tool");
			}
			if (!IsOneOf(Specifier.Name, Known))
			{
				Fail(Specifier.Line, "Unknown " + Kind + " specifier '" + Specifier.Name + "'");
			}
		}
	}

	void FDeclarationParser::ApplyDocComment(const FToken& AnnotationToken, FMetaData& MetaData)
	{
		if (!AnnotationToken.Comment.empty() && !MetaData.Contains("ToolTip"))
		{
			const std::string ToolTip = FormatCommentForToolTip(AnnotationToken.Comment);
			if (!ToolTip.empty())
			{
				MetaData.Set("ToolTip", ToolTip);
			}
		}
	}

	void FDeclarationParser::CheckTypePrefix(const std::string& Name, const std::string& Prefixes, int Line)
	{
		if (Name.size() < 2 || Prefixes.find(Name[0]) == std::string::npos)
		{
			Fail(Line, "The name '" + Name + "' must start with " + (Prefixes.size() == 1 ? "'" + Prefixes + "'" : "'U' or 'A'"));
		}
	}

	std::string FDeclarationParser::ParseQualifiedName(const std::string& Context)
	{
		std::string Name;
		if (Current().Is("::"))
		{
			Name += Advance().Text;
		}
		Name += ExpectIdentifier(Context);
		while (Current().Is("::"))
		{
			Name += Advance().Text;
			Name += ExpectIdentifier(Context);
		}
		return Name;
	}

	void FDeclarationParser::SkipBalanced(const char* Open, const char* Close)
	{
		const int StartLine = Current().Line;
		int Depth = 0;
		do
		{
			if (Current().Kind == ETokenKind::End)
			{
				Fail(StartLine, std::string("Missing '") + Close + "'");
			}
			if (Current().Is(Open))
			{
				++Depth;
			}
			else if (Current().Is(Close))
			{
				--Depth;
			}
			Advance();
		} while (Depth > 0);
	}

	// Collects the tokens of one declaration up to ';' or an opening body brace at depth zero.
	std::vector<FToken> FDeclarationParser::CollectDeclaration(const std::string& Marker, int MarkerLine, bool bAllowBody)
	{
		std::vector<FToken> Declaration;
		int Depth = 0;
		while (true)
		{
			const FToken& Token = Current();
			if (Token.Kind == ETokenKind::End || (Depth == 0 && Token.Is("}")))
			{
				Fail(MarkerLine, "Expected a declaration ending in ';' after " + Marker);
			}
			if (Depth == 0 && Token.Is(";"))
			{
				Advance();
				break;
			}
			if (Depth == 0 && Token.Is("{") && bAllowBody)
			{
				SkipBalanced("{", "}");
				if (Current().Is(";"))
				{
					Advance();
				}
				break;
			}
			if (IsMarker(Token) && Token.Text != "UPARAM")
			{
				Fail(Token.Line, "Expected a declaration after " + Marker + ", found " + Token.Text);
			}
			if (Token.Is("(") || Token.Is("[") || Token.Is("{"))
			{
				++Depth;
			}
			else if (Token.Is(")") || Token.Is("]") || Token.Is("}"))
			{
				--Depth;
			}
			Declaration.push_back(Token);
			Advance();
		}
		return Declaration;
	}

	void FDeclarationParser::SplitTopLevel(const std::vector<FToken>& Tokens, size_t Begin, size_t End, std::vector<std::vector<FToken>>& OutParts)
	{
		std::vector<FToken> Part;
		int Depth = 0;
		for (size_t Position = Begin; Position < End; ++Position)
		{
			const FToken& Token = Tokens[Position];
			if (Token.Is("(") || Token.Is("[") || Token.Is("{") || Token.Is("<"))
			{
				++Depth;
			}
			else if (Token.Is(")") || Token.Is("]") || Token.Is("}") || Token.Is(">"))
			{
				--Depth;
			}
			if (Depth == 0 && Token.Is(","))
			{
				OutParts.push_back(std::move(Part));
				Part.clear();
				continue;
			}
			Part.push_back(Token);
		}
		if (!Part.empty() || !OutParts.empty())
		{
			OutParts.push_back(std::move(Part));
		}
	}

	FTypeText FDeclarationParser::ParseTypeText(std::vector<FToken> Tokens, int Line)
	{
		FTypeText Type;
		if (!Tokens.empty() && Tokens.back().Is("&&"))
		{
			Fail(Line, "Rvalue references are not supported in reflected declarations");
		}
		if (!Tokens.empty() && Tokens.back().Is("&"))
		{
			Type.bReference = true;
			Tokens.pop_back();
		}
		// Top-level const: in front ("const FString&") or just before the reference ("FString const&").
		if (!Tokens.empty() && Tokens.front().Is("const") && !(Tokens.size() > 1 && Tokens.back().Is("*")))
		{
			Type.bConst = true;
			Tokens.erase(Tokens.begin());
		}
		else if (!Tokens.empty() && Tokens.back().Is("const"))
		{
			Type.bConst = true;
			Tokens.pop_back();
		}
		if (Tokens.empty())
		{
			Fail(Line, "Missing type");
		}
		for (const FToken& Token : Tokens)
		{
			if (Token.Is("&") || Token.Is("&&") || Token.Is("(") || Token.Is("["))
			{
				Fail(Token.Line, "Unsupported type '" + JoinTokens(Tokens) + "'");
			}
		}
		Type.ValueType = JoinTokens(Tokens);
		return Type;
	}

	std::string FDeclarationParser::JoinTokens(const std::vector<FToken>& Tokens)
	{
		std::string Text;
		const FToken* Previous = nullptr;
		for (const FToken& Token : Tokens)
		{
			const bool bWord = Token.Kind == ETokenKind::Identifier || Token.Kind == ETokenKind::Number;
			if (Previous)
			{
				const bool bPreviousWord = Previous->Kind == ETokenKind::Identifier || Previous->Kind == ETokenKind::Number;
				if ((bWord && bPreviousWord) || Previous->Is(",") || (bWord && Previous->Is(">")) || (bWord && Previous->Is("*")) ||
				    (bWord && Previous->Is("&")))
				{
					Text += ' ';
				}
			}
			if (Token.Kind == ETokenKind::String)
			{
				Text += "\"" + Token.Text + "\"";
			}
			else if (Token.Kind == ETokenKind::Char)
			{
				Text += "'" + Token.Text + "'";
			}
			else
			{
				Text += Token.Text;
			}
			Previous = &Token;
		}
		return Text;
	}

	// A header with reflected types must include its generated header, and as its last include.
	void FDeclarationParser::CheckGeneratedInclude()
	{
		if (!Header.HasReflectedTypes())
		{
			return;
		}
		const std::string Expected = Header.BaseName + ".generated.h";
		const auto Found = std::find_if(Includes.begin(), Includes.end(), [&Expected](const FIncludeDirective& Include) {
			return Include.Path == Expected;
		});
		const int FirstTypeLine = FirstReflectedLine();
		if (Found == Includes.end())
		{
			Fail(FirstTypeLine, "Expected an include of \"" + Expected + "\" before the first reflected type");
		}
		if (Found + 1 != Includes.end())
		{
			Fail((Found + 1)->Line, "The include of \"" + Expected + "\" must be the last include");
		}
		if (Found->Line > FirstTypeLine)
		{
			Fail(Found->Line, "\"" + Expected + "\" must be included before the first reflected type");
		}
	}

	int FDeclarationParser::FirstReflectedLine() const
	{
		int Line = 1 << 30;
		for (const FClass& Class : Header.Classes)
		{
			Line = std::min(Line, Class.Line);
		}
		for (const FEnum& Enum : Header.Enums)
		{
			Line = std::min(Line, Enum.Line);
		}
		for (const FDelegate& Delegate : Header.Delegates)
		{
			Line = std::min(Line, Delegate.Line);
		}
		return Line;
	}
} // namespace HeaderTool::Private
