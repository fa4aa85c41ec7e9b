#include "TestTypes.h"

int32 UTestPublisher::NumDestroyed = 0;
int32 UTestUpload::NumDestroyed = 0;
int32 UTestUpload::NextCallOrder = 0;

FString UTestOperations::MakeLabel(const FString& Name, const FString& Author, FText& OutError)
{
	if (Name.IsEmpty())
	{
		OutError = FText::FromString(TEXT("The name is empty."));
		return FString();
	}
	return Name + TEXT(" by ") + Author;
}

bool UTestOperations::IsValidName(const FString& Name, FText& OutReason)
{
	if (Name.IsEmpty() || Name[0] == TEXT('_'))
	{
		OutReason = FText::FromString(TEXT("A name cannot start with '_' or be empty."));
		return false;
	}
	return true;
}

ETestRequestResult UTestOperations::Classify(int32 Code)
{
	return Code == 0 ? ETestRequestResult::Started : Code < 0 ? ETestRequestResult::InvalidInput : ETestRequestResult::AlreadyRunning;
}

void UTestOperations::Touch(int32& Counter)
{
	++Counter;
}

void UTestOperations::Hidden(const FString& Value)
{
	(void)Value;
}

void UTestUpload::Start()
{
	Publisher->OnPublished.AddDynamic(this, &UTestUpload::HandlePublished);
}

void UTestUpload::StartTwice()
{
	Publisher->OnPublished.AddUniqueDynamic(this, &UTestUpload::HandlePublished);
	Publisher->OnPublished.AddUniqueDynamic(this, &UTestUpload::HandlePublished);
}

void UTestUpload::Stop()
{
	Publisher->OnPublished.RemoveDynamic(this, &UTestUpload::HandlePublished);
}

bool UTestUpload::IsListening()
{
	return Publisher->OnPublished.IsAlreadyBound(this, &UTestUpload::HandlePublished);
}

void UTestUpload::BindUnknownFunction()
{
	Publisher->OnPublished.AddDynamic(this, &UTestUpload::NotReflected);
}

void UTestUpload::HandlePublished(ETestRequestResult Result, const FString& ItemId, const FText& StatusMessage)
{
	++NumCalls;
	CallOrder = ++NextCallOrder;
	LastResult = Result;
	LastItemId = ItemId;
	LastStatus = StatusMessage.ToString();
}

void UTestUpload::NotReflected(ETestRequestResult Result, const FString& ItemId, const FText& StatusMessage)
{
	(void)Result;
	(void)ItemId;
	(void)StatusMessage;
}
