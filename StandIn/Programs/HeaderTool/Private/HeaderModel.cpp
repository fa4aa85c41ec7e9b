#include "HeaderModel.h"

namespace HeaderTool
{
	void FMetaData::Set(const std::string& Key, const std::string& Value)
	{
		for (auto& Entry : Entries)
		{
			if (Entry.first == Key)
			{
				Entry.second = Value;
				return;
			}
		}
		Entries.emplace_back(Key, Value);
	}

	const std::string* FMetaData::Find(const std::string& Key) const
	{
		for (const auto& Entry : Entries)
		{
			if (Entry.first == Key)
			{
				return &Entry.second;
			}
		}
		return nullptr;
	}

	std::string FParseError::Describe() const
	{
		return File + ":" + std::to_string(Line) + ": error: " + Reason;
	}
} // namespace HeaderTool
