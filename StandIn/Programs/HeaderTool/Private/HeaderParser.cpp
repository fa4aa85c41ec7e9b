#include "HeaderParser.h"

#include "DeclarationParser.h"

#include <algorithm>
#include <cctype>

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

	void ParseHeader(const std::string& Source, FHeader& Header)
	{
		Private::FDeclarationParser(Tokenize(Source, Header.Path), Header).Run();
	}
} // namespace HeaderTool
