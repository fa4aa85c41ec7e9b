// The parser behind ParseHeader: one pass over a header's tokens that reads each reflected declaration into the
// header's model. Its mechanics (tokens, specifiers, metadata, types) are in DeclarationParser.cpp, and each kind of
// declaration in a file of its own: classes and structs, functions, properties, enums and delegates.
#pragma once

#include "HeaderModel.h"
#include "HeaderParser.h"
#include "HeaderTokenizer.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace HeaderTool::Private
{
	using FNames = std::initializer_list<const char*>;

	/** @return whether Name is one of Names, ignoring case. */
	bool IsOneOf(const std::string& Name, const FNames& Names);

	class FDeclarationParser
	{
	public:
		FDeclarationParser(FTokenizedHeader&& InTokens, FHeader& InHeader)
		    : Tokens(std::move(InTokens.Tokens))
		    , Includes(std::move(InTokens.Includes))
		    , Header(InHeader)
		{
		}

		/** Reads every declaration into the header. Throws FParseError at the first that it cannot understand. */
		void Run();

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

		void Expect(const char* Text, const std::string& Context);
		static std::string Describe(const FToken& Token);
		std::string ExpectIdentifier(const std::string& Context);
		static bool IsMarker(const FToken& Token);
		void ParseAtNamespaceScope();

		std::vector<FSpecifier> ParseSpecifierList(const std::string& Marker, FMetaData& OutMetaData);
		void ParseMetaList(const std::string& Marker, FMetaData& OutMetaData);
		std::string ParseValue(const std::string& Marker);
		/** Refuses a specifier that Known does not list, or one that Unsupported lists. */
		void CheckSpecifiers(const std::vector<FSpecifier>& Specifiers, const FNames& Known, const std::string& Kind, const FNames& Unsupported = {});
		void ApplyDocComment(const FToken& AnnotationToken, FMetaData& MetaData);
		void CheckTypePrefix(const std::string& Name, const std::string& Prefixes, int Line);
		std::string ParseQualifiedName(const std::string& Context);
		void SkipBalanced(const char* Open, const char* Close);
		std::vector<FToken> CollectDeclaration(const std::string& Marker, int MarkerLine, bool bAllowBody);
		static void SplitTopLevel(const std::vector<FToken>& Tokens, size_t Begin, size_t End, std::vector<std::vector<FToken>>& OutParts);
		FTypeText ParseTypeText(std::vector<FToken> Tokens, int Line);
		static std::string JoinTokens(const std::vector<FToken>& Tokens);
		void CheckGeneratedInclude();
		int FirstReflectedLine() const;

		// Classes and structs.
		void ParseClass(bool bStruct);
		void ParseClassBody(FClass& Class);
		void RequireGeneratedBody(const FClass& Class, int Line);

		// Functions.
		static bool IsDeclarationKeyword(const FToken& Token);
		FFunction ParseFunction(EAccess Access);
		void ValidateFunction(const FFunction& Function);
		FParam ParseParam(std::vector<FToken> Tokens, const FFunction& Function);

		// Properties, enums, delegates.
		FProperty ParseProperty(EAccess Access);
		void ParseEnum();
		void ParseDelegate(const std::string& OuterClass);

		std::vector<FToken> Tokens;
		std::vector<FIncludeDirective> Includes;
		FHeader& Header;
		size_t Index = 0;
	};
} // namespace HeaderTool::Private
