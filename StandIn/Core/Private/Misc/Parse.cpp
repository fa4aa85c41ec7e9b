#include "Misc/Parse.h"

#include "Misc/Char.h"

namespace
{
	// A switch is a word of its own: it starts the stream, or follows a space or an opening quote.
	bool StartsWord(const TCHAR* Stream, const TCHAR* At)
	{
		return At == Stream || FChar::IsWhitespace(At[-1]) || At[-1] == TEXT('"');
	}

	bool EndsWord(TCHAR Next)
	{
		return Next == 0 || FChar::IsWhitespace(Next) || Next == TEXT('"');
	}

	// @return the character after Name when At starts with it in any case, or null.
	const TCHAR* MatchName(const TCHAR* At, const TCHAR* Name)
	{
		for (; *Name != 0; ++At, ++Name)
		{
			if (*At == 0 || FChar::ToLower(*At) != FChar::ToLower(*Name))
			{
				return nullptr;
			}
		}
		return At;
	}
} // namespace

bool FParse::Param(const TCHAR* Stream, const TCHAR* Param)
{
	if (Stream == nullptr || Param == nullptr || *Param == 0)
	{
		return false;
	}
	for (const TCHAR* At = Stream; *At != 0; ++At)
	{
		if ((*At == TEXT('-') || *At == TEXT('/')) && StartsWord(Stream, At))
		{
			const TCHAR* End = MatchName(At + 1, Param);
			if (End != nullptr && EndsWord(*End))
			{
				return true;
			}
		}
	}
	return false;
}
