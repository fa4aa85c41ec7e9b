// Runs trellic-editor on a script in a temporary folder and reads back the JSON lines it wrote.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"

#include <string>
#include <vector>

struct FHostRun
{
	/** Every line the host wrote, parsed; a line that did not parse fails the test that reads it. */
	TArray<TSharedPtr<FJsonObject>> Lines;
	int ExitCode = -1;
	/** The raw standard output, for lines a parser would normalise. */
	std::string RawOutput;
	/** What the host wrote to standard error. */
	std::string StdErr;

	/** @return the replies in order. */
	TArray<TSharedPtr<FJsonObject>> Replies() const;
	/** @return the events named Name, in order. */
	TArray<TSharedPtr<FJsonObject>> Events(const FString& Name) const;
	/** @return the index in Lines of the first reply to Command (from Start), or INDEX_NONE. */
	int32 IndexOfReply(const FString& Command, int32 Start = 0) const;
};

/** A temporary folder holding a fresh copy of the demo project, removed at the end of the test. */
class FHostSandbox
{
public:
	FHostSandbox();
	~FHostSandbox();

	const std::string& GetRoot() const { return Root; }
	std::string GetProjectFolder() const { return Root + "/Project"; }
	std::string GetModsRoot() const { return GetProjectFolder() + "/Mods"; }

	/**
	 * Runs the host on these request lines (JSON, one a line) with extra command-line arguments, on the sandbox's
	 * project: copied from the demo project when there is none yet, opened otherwise.
	 */
	FHostRun Run(const std::vector<std::string>& Requests, const std::vector<std::string>& ExtraArguments = {}) const;

	/** Runs the host on these request lines with exactly these arguments after --script. */
	FHostRun RunWithArguments(const std::vector<std::string>& Requests, const std::vector<std::string>& Arguments) const;

private:
	std::string Root;
	mutable int RunCount = 0;
};

/** @return the "string" member of a text object. */
FString TextString(const TSharedPtr<FJsonValue>& TextValue);
