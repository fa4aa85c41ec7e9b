// DECLARE_DYNAMIC_* delegate macros: the delegate type and its parameters.
#include "DeclarationParser.h"

#include <algorithm>

namespace HeaderTool::Private
{
	namespace
	{
		const char* const NumberWords[] = {"One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine"};
	} // namespace

	// DECLARE_DYNAMIC_[MULTICAST_]DELEGATE[_RetVal][_<N>Param(s)](...)
	void FDeclarationParser::ParseDelegate(const std::string& OuterClass)
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
} // namespace HeaderTool::Private
