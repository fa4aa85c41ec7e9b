// The host's reach into the object system and the log: reflected calls by name, garbage collection and verbosity.
#pragma once

#include "CoreMinimal.h"
#include "Dom/JsonObject.h"

namespace UE::StandIn::EditorHost
{
	/**
	 * Calls a reflected function by class and function name through reflection only, as a script does.
	 * Args, when given, is an object of input values by parameter name (and starting values of outputs), each of
	 * its parameter's own JSON kind.
	 * @return false with OutError set when the class, function or a parameter is unknown, scripts may not call it,
	 *         Args is not an object, or a value is not of its parameter's kind or range.
	 */
	bool CallReflectedFunction(const FString& ClassName, const FString& FunctionName, const TSharedPtr<FJsonValue>& Args, TSharedPtr<FJsonValue>& OutReturn,
	                           TSharedRef<FJsonObject>& OutOutputs, FString& OutError);

	/**
	 * Describes a reflected class, named as scripts name it (without its prefix letter), from its reflection data: its
	 * path, super class, flags, configuration name and tooltip, its functions in declaration order with their flags,
	 * category, tooltip and parameters, and its properties.
	 * @return false with OutError naming the class when there is none of that name.
	 */
	bool DescribeReflectedClass(const FString& ClassName, TSharedPtr<FJsonObject>& OutDescription, FString& OutError);

	/**
	 * Describes a reflected enum from its reflection data: its path, C++ form, underlying type, tooltip, whether scripts
	 * may hold it, and its values without the hidden "_MAX" one.
	 * @return false with OutError naming the enum when there is none of that name.
	 */
	bool DescribeReflectedEnum(const FString& EnumName, TSharedPtr<FJsonObject>& OutDescription, FString& OutError);

	/** Collects garbage. @return the live objects per class name. */
	TSharedRef<FJsonObject> CollectGarbageAndCountObjects();

	/** Sets a log category's runtime verbosity by names. @return false with OutError for an unknown category or level. */
	bool SetLogVerbosity(const FString& CategoryName, const FString& LevelName, FString& OutError);
} // namespace UE::StandIn::EditorHost
