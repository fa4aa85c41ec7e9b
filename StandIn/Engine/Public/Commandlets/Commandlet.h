// UCommandlet: a command-line applet. The editor started with -run=<Name> makes one of the class U<Name>Commandlet,
// calls Main with the switches that follow, and ends with its result as the exit code; no engine loop runs meanwhile.
#pragma once

#include "Containers/Map.h"
#include "CoreMinimal.h"
#include "UObject/Object.h"
#include "Commandlet.generated.h"

UCLASS(Abstract, Transient)
class ENGINE_API UCommandlet : public UObject
{
	GENERATED_BODY()

public:
	UCommandlet(const FObjectInitializer& ObjectInitializer = FObjectInitializer::Get());

	/**
	 * The commandlet's work.
	 * @param Params the command line after -run=<Name>
	 * @return the program's exit code: 0 for success
	 */
	virtual int32 Main(const FString& Params);

	/**
	 * Splits a command line: blanks separate tokens, and double quotes keep blanks inside one. A token that begins
	 * with "-" or "/" is a switch, kept without that character; a switch of the form Key=Value also goes to Params,
	 * its value without surrounding quotes. Every other token goes to Tokens.
	 */
	static void ParseCommandLine(const TCHAR* CmdLine, TArray<FString>& Tokens, TArray<FString>& Switches, TMap<FString, FString>& Params);

	/** Description of the commandlet's purpose. */
	FString HelpDescription;

	/** Usage template, as help shows it. */
	FString HelpUsage;

	/** Whether the server's objects are loaded for the commandlet. */
	uint32 IsServer : 1;

	/** Whether the client's objects are loaded for the commandlet. */
	uint32 IsClient : 1;

	/** Whether the editor's objects are loaded for the commandlet. */
	uint32 IsEditor : 1;
};
