// Writes the code that registers a module's reflected types: one <Header>.generated.h per header,
// and one <Module>.gen.cpp with the reflection data and the native thunks of every reflected function.
#pragma once

#include "HeaderModel.h"

#include <string>
#include <vector>

namespace HeaderTool
{
	/** The text of <Header>.generated.h; valid (and nearly empty) for a header without reflected types. */
	std::string GenerateHeader(const std::string& ModuleName, const FHeader& Header);

	/** The text of <Module>.gen.cpp for every header of the module. */
	std::string GenerateModuleSource(const std::string& ModuleName, const std::vector<FHeader>& Headers);
} // namespace HeaderTool
