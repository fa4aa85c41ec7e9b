// Splits a C++ header into tokens for the header tool: comments become the doc text of the next token,
// preprocessor lines are set aside (includes are kept), and every token knows its line.
#pragma once

#include <string>
#include <vector>

namespace HeaderTool
{
	enum class ETokenKind
	{
		Identifier,
		Number,
		String,
		Char,
		Symbol,
		End
	};

	struct FToken
	{
		ETokenKind Kind = ETokenKind::End;
		std::string Text;
		int Line = 0;
		/** The comment written just above this token (markers removed, not yet formatted), or empty. */
		std::string Comment;

		bool Is(const char* InText) const { return Kind != ETokenKind::String && Kind != ETokenKind::Char && Text == InText; }
		bool IsIdentifier() const { return Kind == ETokenKind::Identifier; }
	};

	struct FIncludeDirective
	{
		std::string Path;
		int Line = 0;
	};

	struct FTokenizedHeader
	{
		std::vector<FToken> Tokens; // always ends with an End token
		std::vector<FIncludeDirective> Includes;
	};

	/** Tokenizes Source; throws FParseError (with File) on an unterminated comment, string or #if 0 block. */
	FTokenizedHeader Tokenize(const std::string& Source, const std::string& File);

	/** Turns a raw comment into tooltip text: markers and leading asterisks gone, lines trimmed, blank edges dropped. */
	std::string FormatCommentForToolTip(const std::string& RawComment);
} // namespace HeaderTool
