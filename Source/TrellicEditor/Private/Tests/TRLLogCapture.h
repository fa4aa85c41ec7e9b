// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"
#include "Misc/OutputDevice.h"
#include "Misc/OutputDeviceRedirector.h"

/** Records the log lines written while it lives, so that a spec can assert on their text, category and verbosity. */
class FTRLLogCapture : public FOutputDevice
{
public:
	struct FLine
	{
		FName Category;
		ELogVerbosity::Type Verbosity;
		FString Message;
	};

	FTRLLogCapture() { GLog->AddOutputDevice(this); }

	virtual ~FTRLLogCapture() override { GLog->RemoveOutputDevice(this); }

	virtual void Serialize(const TCHAR* Message, ELogVerbosity::Type Verbosity, const FName& Category) override
	{
		Lines.Add({Category, static_cast<ELogVerbosity::Type>(Verbosity & ELogVerbosity::VerbosityMask), FString(Message)});
		if (OnLine)
		{
			OnLine(Lines.Last());
		}
	}

	/** The lines written to one category, in order. */
	TArray<FLine> LinesOf(const FName Category) const
	{
		GLog->Flush();
		TArray<FLine> Found;
		for (const FLine& Line : Lines)
		{
			if (Line.Category == Category)
			{
				Found.Add(Line);
			}
		}
		return Found;
	}

	/** Runs as each line arrives, for a spec that must know the state of things at the moment a line is written. */
	TFunction<void(const FLine&)> OnLine;

private:
	TArray<FLine> Lines;
};
