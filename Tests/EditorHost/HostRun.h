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

	/**
	 * Runs the host as a commandlet run of the editor: the project's arguments, then -run=<Commandlet> and Arguments.
	 * Lines holds standard output's lines parsed as JSON (null for a line that is not).
	 */
	FHostRun RunCommandlet(const std::string& Commandlet, const std::vector<std::string>& Arguments) const;

	/** Runs the host with exactly these arguments. Lines holds standard output's lines parsed as JSON (null for a line that is not). */
	FHostRun RunProgram(const std::vector<std::string>& Arguments) const;

	/**
	 * Runs the host in interactive mode on the sandbox's project, with Typed as what a person types (through a pipe,
	 * so no line editing); RawOutput is what the person reads.
	 */
	FHostRun RunInteractive(const std::string& Typed) const;

	/** The host's arguments that open the project: a copy of the demo project the first time, opening it afterwards. */
	std::vector<std::string> NextProjectArguments() const;

private:
	/** Runs Command in a shell with standard error to a file of the sandbox, and reads both streams back. */
	FHostRun RunHostCommand(std::string Command) const;

	std::string Root;
	mutable int RunCount = 0;
};

/**
 * trellic-editor running while the test acts, for what a whole script cannot do: reading the project's files while a
 * run is held, or ending the host abruptly. Its input is a pipe the test writes to; it is killed if still running
 * when the object goes.
 */
class FHostProcess
{
public:
	/**
	 * Starts the host on the sandbox's project with Arguments after the project's: by default in script mode on
	 * standard input.
	 */
	explicit FHostProcess(const FHostSandbox& Sandbox, const std::vector<std::string>& Arguments = {"--script", "-"});
	~FHostProcess();

	FHostProcess(const FHostProcess&) = delete;
	FHostProcess& operator=(const FHostProcess&) = delete;

	/**
	 * Writes a request to the host's input and reads until its reply.
	 * @return the reply, or null when the host ended or did not answer within the time
	 */
	TSharedPtr<FJsonObject> Request(const std::string& Line, double TimeoutSeconds = 60.0);

	/** Writes Text to the host's input as it is, as a person types it. */
	void Write(const std::string& Text);

	/** Reads what the host writes until its output holds Text. @return whether it does within the time */
	bool WaitForOutput(const std::string& Text, double TimeoutSeconds = 60.0);

	/** Sends the host alone what Ctrl-C sends a terminal's program (SIGINT). */
	void Interrupt();

	/** Closes the host's input and waits for it to end. @return its exit code, or -1 when it did not end in time. */
	int Wait(double TimeoutSeconds = 60.0);

	/** Everything the host wrote so far, and its lines parsed. */
	const FHostRun& GetRun() const { return Output; }

private:
	/** Reads what the host wrote until Done says so, the host closes its output, or the time is up. */
	void ReadUntil(double TimeoutSeconds, const TFunction<bool()>& Done);

	int ProcessId = -1;
	int InputFd = -1;
	int OutputFd = -1;
	size_t ParsedBytes = 0;
	FHostRun Output;
};

/** @return the "string" member of a text object. */
FString TextString(const TSharedPtr<FJsonValue>& TextValue);

/** @return a file's bytes; none when it cannot be read. */
std::string ReadFile(const std::string& Path);
