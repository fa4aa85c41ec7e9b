// Reads the reflection annotations of one header into an FHeader, refusing what it cannot understand.
#pragma once

#include "HeaderModel.h"

#include <string>

namespace HeaderTool
{
	/**
	 * Parses Source. Header.Path, BaseName, RelativePath and IncludePath must be set by the caller.
	 * Throws FParseError with the file, line and reason when an annotation is malformed or unsupported.
	 */
	void ParseHeader(const std::string& Source, FHeader& Header);

	/** Case-insensitive comparison, as specifier names are matched. */
	bool EqualsNoCase(const std::string& A, const std::string& B);

	/** The specifier of that name, or null. */
	const FSpecifier* FindSpecifier(const std::vector<FSpecifier>& Specifiers, const std::string& Name);
} // namespace HeaderTool
