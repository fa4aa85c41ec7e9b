#include "JsonLog.h"

#include <cstdio>

namespace UE::Json::Private
{
	namespace
	{
		void Report(const char* Verbosity, const FString& Message)
		{
			std::fprintf(stderr, "LogJson: %s: %s\n", Verbosity, Message.ToUtf8().c_str());
		}
	} // namespace

	void LogJsonWarning(const FString& Message)
	{
		Report("Warning", Message);
	}

	void LogJsonError(const FString& Message)
	{
		Report("Error", Message);
	}
} // namespace UE::Json::Private
