#include "HeaderParser.h"

#include "HeaderTokenizer.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace HeaderTool
{
	bool EqualsNoCase(const std::string& A, const std::string& B)
	{
		return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
			       return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
		       });
	}

	const FSpecifier* FindSpecifier(const std::vector<FSpecifier>& Specifiers, const std::string& Name)
	{
		for (const FSpecifier& Specifier : Specifiers)
		{
			if (EqualsNoCase(Specifier.Name, Name))
			{
				return &Specifier;
			}
		}
		return nullptr;
	}

	namespace
	{
		using FNames = std::initializer_list<const char*>;

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
		const FNames EnumSpecifiers = {"BlueprintType", "Flags", "meta"};
		const FNames FunctionSpecifiers = {
		    "BlueprintCallable", "BlueprintPure", "BlueprintAuthorityOnly", "BlueprintCosmetic", "CallInEditor", "Category", "Exec", "meta"};
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

		bool IsOneOf(const std::string& Name, const FNames& Names)
		{
			return std::any_of(Names.begin(), Names.end(), [&Name](const char* Candidate) {
				return EqualsNoCase(Name, Candidate);
			});
		}

		const char* const NumberWords[] = {"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine"};

		class FParser
		{
		public:
			FParser(FTokenizedHeader&& InTokens, FHeader& InHeader)
			    : Tokens(std::move(InTokens.Tokens))
			    , Includes(std::move(InTokens.Includes))
			    , Header(InHeader)
			{
			}

			void Run()
			{
				while (Current().Kind != ETokenKind::End)
				{
					ParseAtNamespaceScope();
				}
				CheckGeneratedInclude();
			}

		private:
			const FToken& Current() const { return Tokens[Index]; }
			const FToken& PeekToken(size_t Offset) const { return Tokens[std::min(Index + Offset, Tokens.size() - 1)]; }
			const FToken& Advance()
			{
				const FToken& Token = Tokens[Index];
				if (Index + 1 < Tokens.size())
				{
					++Index;
				}
				return Token;
			}

			[[noreturn]] void Fail(int Line, const std::string& Reason) const { throw FParseError{Header.Path, Line, Reason}; }

			void Expect(const char* Text, const std::string& Context)
			{
				if (!Current().Is(Text))
				{
					Fail(Current().Line, std::string("Expected '") + Text + "' " + Context + ", found '" + Describe(Current()) + "'");
				}
				Advance();
			}

			static std::string Describe(const FToken& Token)
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

			std::string ExpectIdentifier(const std::string& Context)
			{
				if (!Current().IsIdentifier())
				{
					Fail(Current().Line, "Expected " + Context + ", found '" + Describe(Current()) + "'");
				}
				return Advance().Text;
			}

			static bool IsMarker(const FToken& Token)
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
			void ParseAtNamespaceScope()
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
			std::vector<FSpecifier> ParseSpecifierList(const std::string& Marker, FMetaData& OutMetaData)
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
			void ParseMetaList(const std::string& Marker, FMetaData& OutMetaData)
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
			std::string ParseValue(const std::string& Marker)
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

			void CheckSpecifiers(const std::vector<FSpecifier>& Specifiers, const FNames& Known, const std::string& Kind)
			{
				for (const FSpecifier& Specifier : Specifiers)
				{
					if (Kind == "function" && IsOneOf(Specifier.Name, UnsupportedFunctionSpecifiers))
					{
						Fail(Specifier.Line, "Function specifier '" + Specifier.Name + "' is not supported by this header tool");
					}
					if (!IsOneOf(Specifier.Name, Known))
					{
						Fail(Specifier.Line, "Unknown " + Kind + " specifier '" + Specifier.Name + "'");
					}
				}
			}

			void ApplyDocComment(const FToken& AnnotationToken, FMetaData& MetaData)
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

			void ParseClass(bool bStruct)
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

			void CheckTypePrefix(const std::string& Name, const std::string& Prefixes, int Line)
			{
				if (Name.size() < 2 || Prefixes.find(Name[0]) == std::string::npos)
				{
					Fail(Line, "The name '" + Name + "' must start with " + (Prefixes.size() == 1 ? "'" + Prefixes + "'" : "'U' or 'A'"));
				}
			}

			std::string ParseQualifiedName(const std::string& Context)
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

			void ParseClassBody(FClass& Class)
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
								Fail(Function.Line, "'" + Function.Name + "' is already a UFUNCTION of " + Class.Name + " (line " +
								                        std::to_string(Existing.Line) + "); reflected functions cannot be overloaded");
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

			void RequireGeneratedBody(const FClass& Class, int Line)
			{
				if (Class.GeneratedBodyLine == 0)
				{
					Fail(Line, "GENERATED_BODY() must come before the reflected members of " + Class.Name);
				}
			}

			void SkipBalanced(const char* Open, const char* Close)
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
			std::vector<FToken> CollectDeclaration(const std::string& Marker, int MarkerLine, bool bAllowBody)
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

			static bool IsDeclarationKeyword(const FToken& Token)
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

			FFunction ParseFunction(EAccess Access)
			{
				const FToken& MarkerToken = Advance();
				FFunction Function;
				Function.Line = MarkerToken.Line;
				Function.Access = Access;
				Function.Specifiers = ParseSpecifierList("UFUNCTION", Function.MetaData);
				CheckSpecifiers(Function.Specifiers, FunctionSpecifiers, "function");
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

			void ValidateFunction(const FFunction& Function)
			{
				const FSpecifier* Pure = FindSpecifier(Function.Specifiers, "BlueprintPure");
				const bool bPure = Pure && (Pure->Values.empty() || !EqualsNoCase(Pure->Values[0], "false"));
				if (bPure)
				{
					const bool bHasOutput =
					    !Function.ReturnType.empty() || std::any_of(Function.Params.begin(), Function.Params.end(), [](const FParam& Param) {
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

			static void SplitTopLevel(const std::vector<FToken>& Tokens, size_t Begin, size_t End, std::vector<std::vector<FToken>>& OutParts)
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

			FParam ParseParam(std::vector<FToken> Tokens, const FFunction& Function)
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
					FParser SubParser(std::move(SubTokens), Header);
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

			FTypeText ParseTypeText(std::vector<FToken> Tokens, int Line)
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

			static std::string JoinTokens(const std::vector<FToken>& Tokens)
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

			FProperty ParseProperty(EAccess Access)
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
					Fail(Property.Line,
					     "BlueprintReadWrite and BlueprintReadOnly are not allowed on private members unless meta=(AllowPrivateAccess) is given ('" +
					         Property.Name + "')");
				}
				return Property;
			}

			void ParseEnum()
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

			// DECLARE_DYNAMIC_[MULTICAST_]DELEGATE[_RetVal][_<N>Param(s)](...)
			void ParseDelegate(const std::string& OuterClass)
			{
				const FToken& MacroToken = Advance();
				const std::string& Macro = MacroToken.Text;
				FDelegate Delegate;
				Delegate.Line = MacroToken.Line;
				Delegate.OuterClass = OuterClass;
				std::string Rest = Macro.substr(std::string("DECLARE_DYNAMIC_").size());
				if (Rest.rfind("MULTICAST_", 0) == 0)
				{
					Delegate.bMulticast = true;
					Rest = Rest.substr(std::string("MULTICAST_").size());
				}
				if (Rest.rfind("SPARSE_", 0) == 0)
				{
					Fail(Delegate.Line, "Sparse dynamic delegates are not supported by this header tool");
				}
				if (Rest.rfind("DELEGATE", 0) != 0)
				{
					Fail(Delegate.Line, "Unknown delegate macro " + Macro);
				}
				Rest = Rest.substr(std::string("DELEGATE").size());
				if (Rest.rfind("_RetVal", 0) == 0)
				{
					Fail(Delegate.Line, "Dynamic delegates with a return value are not supported by this header tool");
				}
				size_t ParamCount = 0;
				if (!Rest.empty())
				{
					bool bMatched = false;
					for (size_t Number = 0; Number < std::size(NumberWords) && !bMatched; ++Number)
					{
						const std::string Suffix = std::string("_") + NumberWords[Number] + (Number == 0 ? "Param" : "Params");
						if (Rest == Suffix)
						{
							ParamCount = Number + 1;
							bMatched = true;
						}
					}
					if (!bMatched)
					{
						Fail(Delegate.Line, "Unknown delegate macro " + Macro);
					}
				}
				const size_t ArgsStart = Index;
				if (!Current().Is("("))
				{
					Fail(Delegate.Line, "Expected '(' after " + Macro);
				}
				SkipBalanced("(", ")");
				const size_t ArgsEnd = Index - 1;
				std::vector<std::vector<FToken>> Args;
				SplitTopLevel(Tokens, ArgsStart + 1, ArgsEnd, Args);
				if (Args.size() != 1 + 2 * ParamCount)
				{
					Fail(Delegate.Line, Macro + " expects " + std::to_string(1 + 2 * ParamCount) + " arguments, found " + std::to_string(Args.size()));
				}
				if (Args[0].size() != 1 || !Args[0][0].IsIdentifier())
				{
					Fail(Delegate.Line, "Expected the delegate's type name as the first argument of " + Macro);
				}
				Delegate.Name = Args[0][0].Text;
				CheckTypePrefix(Delegate.Name, "F", Delegate.Line);
				for (size_t Param = 0; Param < ParamCount; ++Param)
				{
					const std::vector<FToken>& TypeTokens = Args[1 + 2 * Param];
					const std::vector<FToken>& NameTokens = Args[2 + 2 * Param];
					if (NameTokens.size() != 1 || !NameTokens[0].IsIdentifier())
					{
						Fail(Delegate.Line, "Expected a parameter name in " + Macro);
					}
					FParam Parsed;
					Parsed.Line = Delegate.Line;
					Parsed.Name = NameTokens[0].Text;
					Parsed.Type = ParseTypeText(TypeTokens, Delegate.Line);
					Delegate.Params.push_back(std::move(Parsed));
				}
				if (Current().Is(";"))
				{
					Advance();
				}
				Header.Delegates.push_back(std::move(Delegate));
			}

			// A header with reflected types must include its generated header, and as its last include.
			void CheckGeneratedInclude()
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

			int FirstReflectedLine() const
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

			std::vector<FToken> Tokens;
			std::vector<FIncludeDirective> Includes;
			FHeader& Header;
			size_t Index = 0;
		};
	} // namespace

	void ParseHeader(const std::string& Source, FHeader& Header)
	{
		FParser(Tokenize(Source, Header.Path), Header).Run();
	}
} // namespace HeaderTool
