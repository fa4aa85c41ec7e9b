// Copyright Trellic contributors. All Rights Reserved.

#pragma once

#include "CoreMinimal.h"

#if WITH_DEV_AUTOMATION_TESTS

#include "Misc/Optional.h"
#include "TRLWorkshopService.h"

/**
 * A Workshop service for specs, installed with FTRLScopedWorkshopServiceOverride: it refuses or accepts as told,
 * records what it was asked, and gives an answer when the spec calls AnswerCreate, AnswerSubmit, AnswerQuery or
 * AnswerDependency. It keeps the publisher's delegates after Disconnect, so that a spec can also try an answer that
 * comes too late.
 */
class FTRLFakeWorkshopService : public ITRLWorkshopService
{
public:
	/** What Connect answers, with RefusalMessage when it is not Success. */
	ETRLWorkshopResult ConnectResult = ETRLWorkshopResult::Success;
	FText RefusalMessage;
	/** When set, SubmitItemUpdate answers with it inside the call, as a refusal at the call. */
	TOptional<FTRLWorkshopAnswer> SubmitRefusal;
	/** What GetUpdateProgress answers. */
	float Progress = 0.0f;

	int32 NumConnects = 0;
	int32 NumDisconnects = 0;
	int32 NumCreates = 0;
	int32 NumSubmits = 0;
	uint64 SubmittedItemId = 0;
	FTRLWorkshopItemUpdate SubmittedUpdate;
	/** Every call asked of the Workshop after Connect, in order: "CreateItem", "Submit 5", "Query 5", "Add 5 7", "Remove 5 7". */
	TArray<FString> Calls;

	/** @return an answer of the given result, item and message */
	static FTRLWorkshopAnswer MakeAnswer(ETRLWorkshopResult Result, uint64 ItemId, const FText& Message = FText::GetEmpty())
	{
		return FTRLWorkshopAnswer{Result, Message, ItemId};
	}

	// Each gives the answer to the last call of its kind as though it had arrived, from a copy of the delegate, which the
	// answer may replace. @return false when no such call was made.
	bool AnswerCreate(const FTRLWorkshopAnswer& Answer) { return FTRLOnWorkshopAnswer(OnCreated).ExecuteIfBound(Answer); }
	bool AnswerSubmit(const FTRLWorkshopAnswer& Answer) { return FTRLOnWorkshopAnswer(OnSubmitted).ExecuteIfBound(Answer); }
	bool AnswerQuery(const FTRLWorkshopAnswer& Answer, const FTRLWorkshopItemDetails& Details = FTRLWorkshopItemDetails())
	{
		return FTRLOnWorkshopDetails(OnQueried).ExecuteIfBound(Answer, Details);
	}
	/** Answers the last AddDependency or RemoveDependency. */
	bool AnswerDependency(const FTRLWorkshopAnswer& Answer) { return FTRLOnWorkshopAnswer(OnDependencyChanged).ExecuteIfBound(Answer); }

	virtual ETRLWorkshopResult Connect(FText& OutMessage) override
	{
		++NumConnects;
		if (ConnectResult != ETRLWorkshopResult::Success)
		{
			OutMessage = RefusalMessage;
		}
		return ConnectResult;
	}

	virtual void Disconnect() override { ++NumDisconnects; }

	virtual void CreateItem(FTRLOnWorkshopAnswer OnAnswer) override
	{
		++NumCreates;
		Calls.Add(TEXT("CreateItem"));
		OnCreated = MoveTemp(OnAnswer);
	}

	virtual void SubmitItemUpdate(uint64 ItemId, const FTRLWorkshopItemUpdate& Update, FTRLOnWorkshopAnswer OnAnswer) override
	{
		++NumSubmits;
		Calls.Add(FString::Printf(TEXT("Submit %llu"), ItemId));
		SubmittedItemId = ItemId;
		SubmittedUpdate = Update;
		OnSubmitted = MoveTemp(OnAnswer);
		if (SubmitRefusal.IsSet())
		{
			AnswerSubmit(SubmitRefusal.GetValue());
		}
	}

	virtual void QueryItemDetails(uint64 ItemId, FTRLOnWorkshopDetails OnAnswer) override
	{
		Calls.Add(FString::Printf(TEXT("Query %llu"), ItemId));
		OnQueried = MoveTemp(OnAnswer);
	}

	virtual void AddDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer) override
	{
		Calls.Add(FString::Printf(TEXT("Add %llu %llu"), ItemId, ChildId));
		OnDependencyChanged = MoveTemp(OnAnswer);
	}

	virtual void RemoveDependency(uint64 ItemId, uint64 ChildId, FTRLOnWorkshopAnswer OnAnswer) override
	{
		Calls.Add(FString::Printf(TEXT("Remove %llu %llu"), ItemId, ChildId));
		OnDependencyChanged = MoveTemp(OnAnswer);
	}

	virtual float GetUpdateProgress() const override { return Progress; }

	virtual void RunCallbacks() override {}

private:
	FTRLOnWorkshopAnswer OnCreated;
	FTRLOnWorkshopAnswer OnSubmitted;
	FTRLOnWorkshopDetails OnQueried;
	FTRLOnWorkshopAnswer OnDependencyChanged;
};

#endif // WITH_DEV_AUTOMATION_TESTS
