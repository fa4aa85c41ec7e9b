// Reflected types that the object system's tests read back: a scripting-style operations class, an
// upload that binds a publisher's dynamic delegate by name, and a configuration class.
#pragma once

#include "CoreMinimal.h"
#include "Engine/DeveloperSettings.h"
#include "UObject/Object.h"
#include "TestTypes.generated.h"

/** Outcome of a test request. The work itself runs elsewhere. */
UENUM(BlueprintType)
enum class ETestRequestResult : uint8
{
	/** The request was started. */
	Started UMETA(DisplayName = "Started"),
	InvalidInput = 3 UMETA(DisplayName = "Invalid Input", ToolTip = "The input could not be resolved."),
	AlreadyRunning,
};

UENUM()
enum class ETestVisibility : int32
{
	Public,
	FriendsOnly,
	Private,
};

DECLARE_DYNAMIC_MULTICAST_DELEGATE_ThreeParams(FTestOnPublished, ETestRequestResult, Result, const FString&, ItemId, const FText&, StatusMessage);

/** A record held by value, with an object it keeps alive. */
USTRUCT(BlueprintType)
struct FTestRecord
{
	GENERATED_BODY()

	UPROPERTY(EditAnywhere, Category = "Record")
	FString Label;

	UPROPERTY()
	int32 Count = 0;

	UPROPERTY()
	TObjectPtr<UObject> Attachment;
};

/**
 * Operations on test mods.
 *
 * Every function is static.
 */
UCLASS(MinimalAPI)
class UTestOperations : public UObject
{
	GENERATED_BODY()

public:
	/**
	 * Join a name and an author into a label.
	 *
	 * @param Name the name
	 * @param Author who made it
	 */
	UFUNCTION(BlueprintCallable, Category = "Tests|Authoring")
	static FString MakeLabel(const FString& Name, const FString& Author, FText& OutError);

	/** Check a name before trying to use it. */
	UFUNCTION(BlueprintPure, Category = "Tests|Authoring")
	static bool IsValidName(const FString& Name, FText& OutReason);

	UFUNCTION(BlueprintCallable, BlueprintPure, Category = "Tests|Authoring", meta = (DisplayName = "Classify Code"))
	static ETestRequestResult Classify(int32 Code);

	/** Counts calls; returns nothing. */
	UFUNCTION(BlueprintCallable, Category = "Tests|Authoring")
	static void Touch(UPARAM(ref) int32& Counter);

	/** Not reflected: native only. */
	static int32 NativeOnly() { return 1; }

private:
	/** Reached by name only. */
	UFUNCTION()
	static void Hidden(const FString& Value);
};

/** Publishes things and says when it is done through a dynamic delegate. */
UCLASS()
class UTestPublisher : public UObject
{
	GENERATED_BODY()

public:
	UPROPERTY(BlueprintAssignable)
	FTestOnPublished OnPublished;

	/** Something only this publisher holds. */
	UPROPERTY()
	TObjectPtr<UObject> Payload;

	UPROPERTY()
	FTestRecord Record;

	UPROPERTY()
	TArray<TObjectPtr<UObject>> Extras;

	static int32 NumDestroyed;
	~UTestPublisher() override { ++NumDestroyed; }
};

/** A running upload: owns its publisher and hears from it by function name. */
UCLASS()
class UTestUpload : public UObject
{
	GENERATED_BODY()

public:
	void Start();
	void StartTwice();
	void Stop();
	bool IsListening();
	void BindUnknownFunction();

	void Ping() { ++NumPings; }

	int32 NumPings = 0;
	int32 NumCalls = 0;
	int32 CallOrder = 0;
	static int32 NextCallOrder;
	ETestRequestResult LastResult = ETestRequestResult::Started;
	FString LastItemId;
	FString LastStatus;

	UPROPERTY()
	TObjectPtr<UTestPublisher> Publisher;

	static int32 NumDestroyed;
	~UTestUpload() override { ++NumDestroyed; }

private:
	UFUNCTION()
	void HandlePublished(ETestRequestResult Result, const FString& ItemId, const FText& StatusMessage);

	void NotReflected(ETestRequestResult Result, const FString& ItemId, const FText& StatusMessage);
};

/** Settings read from the project's DefaultGame.ini. */
UCLASS(config = Game, defaultconfig, meta = (DisplayName = "Test Settings"))
class UTestSettings : public UDeveloperSettings
{
	GENERATED_BODY()

public:
	UPROPERTY(Config)
	int32 ApiVersion = 1;

	UPROPERTY(Config)
	FString Directory = TEXT("Mods");

	UPROPERTY(Config)
	ETestVisibility Visibility = ETestVisibility::Public;

	UPROPERTY(Config)
	bool bIncludeEngineContent = false;

	UPROPERTY(Config)
	bool bVerbose = true;

	UPROPERTY(Config)
	TArray<FString> Paths;

	UPROPERTY(Config)
	double Ratio = 0.5;

	/** Not read from configuration. */
	UPROPERTY()
	FString Untouched = TEXT("Kept");
};
