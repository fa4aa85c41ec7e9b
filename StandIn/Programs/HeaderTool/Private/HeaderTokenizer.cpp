#include "HeaderTokenizer.h"

#include "HeaderModel.h"

#include <cctype>

namespace HeaderTool
{
	namespace
	{
		bool IsIdentifierStart(char C)
		{
			return std::isalpha(static_cast<unsigned char>(C)) || C == '_' || static_cast<unsigned char>(C) >= 0x80;
		}

		bool IsIdentifierChar(char C)
		{
			return IsIdentifierStart(C) || std::isdigit(static_cast<unsigned char>(C));
		}

		std::string Trim(const std::string& Text)
		{
			const size_t First = Text.find_first_not_of(" \t\r\n");
			if (First == std::string::npos)
			{
				return {};
			}
			const size_t Last = Text.find_last_not_of(" \t\r\n");
			return Text.substr(First, Last - First + 1);
		}

		class FTokenizer
		{
		public:
			FTokenizer(const std::string& InSource, const std::string& InFile)
			    : Source(InSource)
			    , File(InFile)
			{
			}

			FTokenizedHeader Run()
			{
				FTokenizedHeader Result;
				while (Pos < Source.size())
				{
					const char C = Source[Pos];
					if (C == '\n')
					{
						++Line;
						++Pos;
						bLineHasToken = false;
						continue;
					}
					if (C == ' ' || C == '\t' || C == '\r' || C == '\f' || C == '\v')
					{
						++Pos;
						continue;
					}
					if (C == '#' && !bLineHasToken)
					{
						ReadDirective(Result);
						continue;
					}
					if (C == '/' && Peek(1) == '/')
					{
						ReadLineComment();
						continue;
					}
					if (C == '/' && Peek(1) == '*')
					{
						ReadBlockComment();
						continue;
					}
					Result.Tokens.push_back(ReadToken());
				}
				FToken End;
				End.Kind = ETokenKind::End;
				End.Line = Line;
				Result.Tokens.push_back(End);
				return Result;
			}

		private:
			char Peek(size_t Offset) const { return Pos + Offset < Source.size() ? Source[Pos + Offset] : '\0'; }

			[[noreturn]] void Fail(int AtLine, const std::string& Reason) const { throw FParseError{File, AtLine, Reason}; }

			void ReadLineComment()
			{
				const size_t End = Source.find('\n', Pos);
				const std::string Text = Source.substr(Pos, End == std::string::npos ? std::string::npos : End - Pos);
				Pos = End == std::string::npos ? Source.size() : End;
				// A comment after code on the same line belongs to that code, not to what follows.
				if (bLineHasToken)
				{
					return;
				}
				if (bPendingIsLineComment && PendingCommentEndLine == Line - 1)
				{
					PendingComment += "\n" + Text;
				}
				else
				{
					PendingComment = Text;
				}
				bPendingIsLineComment = true;
				PendingCommentEndLine = Line;
			}

			void ReadBlockComment()
			{
				const int StartLine = Line;
				const size_t End = Source.find("*/", Pos + 2);
				if (End == std::string::npos)
				{
					Fail(StartLine, "Unterminated comment");
				}
				const std::string Text = Source.substr(Pos, End + 2 - Pos);
				for (char C : Text)
				{
					Line += C == '\n' ? 1 : 0;
				}
				Pos = End + 2;
				if (!bLineHasToken || Line != StartLine)
				{
					PendingComment = Text;
					bPendingIsLineComment = false;
					PendingCommentEndLine = Line;
				}
			}

			// Reads one preprocessor directive with its continuation lines; skips #if 0 blocks whole.
			void ReadDirective(FTokenizedHeader& Result)
			{
				const int StartLine = Line;
				std::string Text;
				while (Pos < Source.size())
				{
					const char C = Source[Pos];
					if (C == '\\' && Peek(1) == '\n')
					{
						Pos += 2;
						++Line;
						continue;
					}
					if (C == '\\' && Peek(1) == '\r' && Peek(2) == '\n')
					{
						Pos += 3;
						++Line;
						continue;
					}
					if (C == '\n')
					{
						break;
					}
					if (C == '/' && Peek(1) == '*')
					{
						const size_t End = Source.find("*/", Pos + 2);
						if (End == std::string::npos)
						{
							Fail(Line, "Unterminated comment");
						}
						for (size_t Index = Pos; Index < End; ++Index)
						{
							Line += Source[Index] == '\n' ? 1 : 0;
						}
						Pos = End + 2;
						Text += ' ';
						continue;
					}
					if (C == '/' && Peek(1) == '/')
					{
						const size_t End = Source.find('\n', Pos);
						Pos = End == std::string::npos ? Source.size() : End;
						break;
					}
					Text += C;
					++Pos;
				}
				PendingComment.clear();
				const std::string Body = Trim(Text.substr(1));
				const size_t NameEnd = Body.find_first_of(" \t(<\"");
				const std::string Directive = Body.substr(0, NameEnd);
				const std::string Argument = NameEnd == std::string::npos ? std::string() : Trim(Body.substr(NameEnd));
				if (Directive == "include")
				{
					if (Argument.size() >= 2 && (Argument.front() == '"' || Argument.front() == '<'))
					{
						const char Close = Argument.front() == '"' ? '"' : '>';
						const size_t CloseAt = Argument.find(Close, 1);
						if (CloseAt != std::string::npos)
						{
							Result.Includes.push_back({Argument.substr(1, CloseAt - 1), StartLine});
						}
					}
				}
				else if (Directive == "if" && Argument == "0")
				{
					SkipDisabledBlock(StartLine);
				}
			}

			// Skips to the #else, #elif or #endif that closes an #if 0 at this nesting level.
			void SkipDisabledBlock(int StartLine)
			{
				int Depth = 1;
				while (Pos < Source.size())
				{
					const size_t LineEnd = Source.find('\n', Pos);
					const std::string LineText = Trim(Source.substr(Pos, LineEnd == std::string::npos ? std::string::npos : LineEnd - Pos));
					Pos = LineEnd == std::string::npos ? Source.size() : LineEnd + 1;
					++Line;
					if (LineText.empty() || LineText[0] != '#')
					{
						continue;
					}
					const std::string Directive = Trim(LineText.substr(1));
					if (Directive.rfind("if", 0) == 0)
					{
						++Depth;
					}
					else if (Directive.rfind("endif", 0) == 0)
					{
						if (--Depth == 0)
						{
							return;
						}
					}
					else if (Depth == 1 && (Directive.rfind("else", 0) == 0 || Directive.rfind("elif", 0) == 0))
					{
						return;
					}
				}
				Fail(StartLine, "Unterminated #if 0 block");
			}

			FToken ReadToken()
			{
				FToken Token;
				Token.Line = Line;
				Token.Comment = PendingComment;
				PendingComment.clear();
				bLineHasToken = true;
				const char C = Source[Pos];

				if (C == 'R' && Peek(1) == '"')
				{
					ReadRawString(Token, 1);
					return Token;
				}
				if ((C == 'u' || C == 'U' || C == 'L') && (Peek(1) == '"' || Peek(1) == '\''))
				{
					++Pos;
					ReadQuoted(Token);
					return Token;
				}
				if (C == 'u' && Peek(1) == '8' && (Peek(2) == '"' || Peek(2) == '\''))
				{
					Pos += 2;
					ReadQuoted(Token);
					return Token;
				}
				if ((C == 'u' || C == 'U' || C == 'L') && Peek(1) == 'R' && Peek(2) == '"')
				{
					ReadRawString(Token, 2);
					return Token;
				}
				if (IsIdentifierStart(C))
				{
					const size_t Start = Pos;
					while (Pos < Source.size() && IsIdentifierChar(Source[Pos]))
					{
						++Pos;
					}
					Token.Kind = ETokenKind::Identifier;
					Token.Text = Source.substr(Start, Pos - Start);
					return Token;
				}
				if (std::isdigit(static_cast<unsigned char>(C)) || (C == '.' && std::isdigit(static_cast<unsigned char>(Peek(1)))))
				{
					const size_t Start = Pos;
					while (Pos < Source.size())
					{
						const char D = Source[Pos];
						if (IsIdentifierChar(D) || D == '.' || (D == '\'' && IsIdentifierChar(Peek(1))))
						{
							++Pos;
						}
						else if ((D == '+' || D == '-') &&
						         (Source[Pos - 1] == 'e' || Source[Pos - 1] == 'E' || Source[Pos - 1] == 'p' || Source[Pos - 1] == 'P'))
						{
							++Pos;
						}
						else
						{
							break;
						}
					}
					Token.Kind = ETokenKind::Number;
					Token.Text = Source.substr(Start, Pos - Start);
					return Token;
				}
				if (C == '"' || C == '\'')
				{
					ReadQuoted(Token);
					return Token;
				}
				Token.Kind = ETokenKind::Symbol;
				if ((C == ':' && Peek(1) == ':') || (C == '-' && Peek(1) == '>') || (C == '&' && Peek(1) == '&') || (C == '|' && Peek(1) == '|'))
				{
					Token.Text = Source.substr(Pos, 2);
					Pos += 2;
					return Token;
				}
				Token.Text = std::string(1, C);
				++Pos;
				return Token;
			}

			// Reads "..." or '...' and keeps the text between the quotes with its escapes resolved.
			void ReadQuoted(FToken& Token)
			{
				const char Quote = Source[Pos];
				const int StartLine = Line;
				Token.Kind = Quote == '"' ? ETokenKind::String : ETokenKind::Char;
				++Pos;
				std::string Value;
				while (true)
				{
					if (Pos >= Source.size() || Source[Pos] == '\n')
					{
						Fail(StartLine, Quote == '"' ? "Unterminated string literal" : "Unterminated character literal");
					}
					const char C = Source[Pos++];
					if (C == Quote)
					{
						break;
					}
					if (C != '\\')
					{
						Value += C;
						continue;
					}
					const char Escaped = Pos < Source.size() ? Source[Pos++] : '\0';
					switch (Escaped)
					{
						case 'n':
							Value += '\n';
							break;
						case 't':
							Value += '\t';
							break;
						case 'r':
							Value += '\r';
							break;
						case '0':
							Value += '\0';
							break;
						case '\n':
							++Line;
							break;
						default:
							Value += Escaped;
							break;
					}
				}
				Token.Text = Value;
			}

			void ReadRawString(FToken& Token, size_t PrefixLength)
			{
				const int StartLine = Line;
				Pos += PrefixLength + 1;
				const size_t Open = Source.find('(', Pos);
				if (Open == std::string::npos)
				{
					Fail(StartLine, "Malformed raw string literal");
				}
				const std::string Delimiter = ")" + Source.substr(Pos, Open - Pos) + "\"";
				const size_t Close = Source.find(Delimiter, Open + 1);
				if (Close == std::string::npos)
				{
					Fail(StartLine, "Unterminated raw string literal");
				}
				Token.Kind = ETokenKind::String;
				Token.Text = Source.substr(Open + 1, Close - Open - 1);
				for (char C : Token.Text)
				{
					Line += C == '\n' ? 1 : 0;
				}
				Pos = Close + Delimiter.size();
			}

			const std::string& Source;
			const std::string& File;
			size_t Pos = 0;
			int Line = 1;
			bool bLineHasToken = false;
			std::string PendingComment;
			bool bPendingIsLineComment = false;
			int PendingCommentEndLine = 0;
		};
	} // namespace

	FTokenizedHeader Tokenize(const std::string& Source, const std::string& File)
	{
		return FTokenizer(Source, File).Run();
	}

	std::string FormatCommentForToolTip(const std::string& RawComment)
	{
		std::string Body = RawComment;
		const bool bBlock = Body.rfind("/*", 0) == 0;
		if (bBlock)
		{
			Body = Body.substr(2, Body.size() >= 4 ? Body.size() - 4 : 0);
		}

		std::vector<std::string> Lines;
		size_t Start = 0;
		while (Start <= Body.size())
		{
			const size_t End = Body.find('\n', Start);
			std::string LineText = Trim(Body.substr(Start, End == std::string::npos ? std::string::npos : End - Start));
			if (bBlock)
			{
				// Javadoc style: the asterisks that open (and a closing "**/" that ends) a line are layout, not text.
				const size_t TextStart = LineText.find_first_not_of('*');
				LineText = TextStart == std::string::npos ? std::string() : Trim(LineText.substr(TextStart));
				if (End == std::string::npos)
				{
					const size_t TextEnd = LineText.find_last_not_of('*');
					LineText = TextEnd == std::string::npos ? std::string() : Trim(LineText.substr(0, TextEnd + 1));
				}
			}
			else
			{
				const size_t TextStart = LineText.find_first_not_of('/');
				LineText = TextStart == std::string::npos ? std::string() : Trim(LineText.substr(TextStart));
			}
			Lines.push_back(LineText);
			if (End == std::string::npos)
			{
				break;
			}
			Start = End + 1;
		}

		std::string Result;
		bool bPendingBlank = false;
		for (const std::string& LineText : Lines)
		{
			if (LineText.empty())
			{
				bPendingBlank = !Result.empty();
				continue;
			}
			if (!Result.empty())
			{
				Result += bPendingBlank ? "\n\n" : "\n";
			}
			Result += LineText;
			bPendingBlank = false;
		}
		return Result;
	}
} // namespace HeaderTool
