// Commandlet mode: trellic-editor --project <file> -run=<Name> ... runs the commandlet class U<Name>Commandlet as the
// editor does, found through reflection by name, with the switches that follow, and ends with its result.
#pragma once

#include "CoreMinimal.h"
#include "HostOptions.h"
#include "HostWorkshop.h"

namespace UE::StandIn::EditorHost
{
	/**
	 * The commandlet's parameters, as the editor hands them to Main: the arguments after -run=<Name>, joined with
	 * blanks; an argument with a blank in it is quoted, after its "=" when it has one (-ChangeNote="A note").
	 */
	FString MakeCommandletParams(const TArray<FString>& Arguments);

	/**
	 * Reads --uat-next: "exit:<n>" (0 to 255), "crash" or "stage:<fault>", how the commandlet's next automation tool
	 * run ends.
	 * @return false with OutError for anything else
	 */
	bool ParseUatNext(const FString& Value, TMap<FString, FString>& OutEnvironment, FString& OutError);

	/**
	 * Reads --workshop-next: "refuse", "fail:<EResult>" or "fail-after-create:<EResult>", with the EResult named as the
	 * SDK names it (k_EResultAccessDenied).
	 * @return false with OutError for anything else
	 */
	bool ParseWorkshopNext(const FString& Value, FWorkshopNextRequest& OutNext, FString& OutError);

	/**
	 * Opens the project, starts the plug-in's modules as a commandlet run of the editor does (no Slate application, so
	 * no notifications, and no menus), runs the commandlet and shuts the modules down. Log lines go to standard error;
	 * standard output is the commandlet's.
	 * @return the commandlet's result, or 2 with a message on standard error when it cannot be run
	 */
	int RunCommandletMode(const FHostOptions& Options);
} // namespace UE::StandIn::EditorHost
