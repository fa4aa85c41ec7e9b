// The offline Workshop: what answers the SDK's calls here. Items live in a folder (see ItemStore.h); submitted
// updates are copied by a worker thread of its own, and every result waits in a queue until SteamAPI_RunCallbacks
// hands it to its call result on the caller's thread.
#pragma once

#include "ItemStore.h"
#include "steam/steam_api.h"
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <thread>

namespace OfflineWorkshop
{
	/** A failure that a control asked for. */
	struct FFailure
	{
		EResult Result = k_EResultFail;
		bool bAfterCreate = false;
	};

	/** A call that a control can make fail with an EResult of its choice. */
	enum class EFailableCall : uint8
	{
		AddDependency,
		RemoveDependency,
		DetailsQuery
	};

	/** Calls that answer only true or false, which a control can make refuse. */
	enum class ERefusableCall : uint8
	{
		/** AddItemKeyValueTag or RemoveItemKeyValueTags. */
		KeyValueTag,
		/** AddItemPreviewFile or RemoveItemPreview. */
		Preview
	};

	/** Where an update pauses: Numerator / Denominator of its bytes, in lowest terms. */
	struct FHold
	{
		uint64 Numerator = 0;
		uint64 Denominator = 1;
	};

	/** One update, from StartItemUpdate until its result is queued. */
	struct FUpdate
	{
		UGCUpdateHandle_t Handle = k_UGCUpdateHandleInvalid;
		AppId_t AppId = 0;
		PublishedFileId_t ItemId = 0;
		uint64 Session = 0;
		std::optional<std::string> Title;
		std::optional<std::string> Description;
		std::optional<std::vector<std::string>> Tags;
		std::optional<ERemoteStoragePublishedFileVisibility> Visibility;
		std::optional<std::string> ContentFolder;
		std::optional<std::string> PreviewFile;
		std::optional<std::string> ChangeNote;
		/** Keys whose values go, before the added tags come. */
		std::vector<std::string> RemovedKeys;
		std::vector<std::pair<std::string, std::string>> AddedKeyValueTags;
		/** Indices of the item's extra previews as they were before the update. */
		std::vector<uint32> RemovedPreviews;
		std::vector<std::pair<std::string, EItemPreviewType>> AddedPreviews;
		bool bSubmitted = false;
		SteamAPICall_t Call = k_uAPICallInvalid;
		std::optional<FFailure> Failure;
		std::optional<FHold> Hold;
		bool bHoldReached = false;
		bool bHeld = false;
		EItemUpdateStatus Status = k_EItemUpdateStatusInvalid;
		/** Bytes of the current stage done, and in all; each stage counts afresh. */
		uint64 Processed = 0;
		uint64 Total = 0;
	};

	/** One item of a query's answer, as it was when the query was sent. */
	struct FQueryResult
	{
		PublishedFileId_t Id = 0;
		EResult Result = k_EResultOK;
		FItemRecord Record;
		std::filesystem::path ItemFolder;
	};

	/** One query, from CreateQueryUGCDetailsRequest until it is released. */
	struct FQuery
	{
		std::vector<PublishedFileId_t> Ids;
		bool bReturnChildren = false;
		bool bReturnAdditionalPreviews = false;
		bool bSent = false;
		/** Set once the answer has been delivered; only then can its items be read. */
		bool bAnswered = false;
		EResult Result = k_EResultOK;
		std::vector<FQueryResult> Results;
	};

	class FWorkshop
	{
	public:
		static FWorkshop& Get();

		FWorkshop();
		~FWorkshop();
		FWorkshop(const FWorkshop&) = delete;
		FWorkshop& operator=(const FWorkshop&) = delete;

		ESteamAPIInitResult Init(SteamErrMsg* OutErrMsg);
		void Shutdown();
		bool IsInitialized();
		/** False once after RefuseNext, as though the Steam client had gone away. */
		bool IsSteamRunning();
		void RunCallbacks();
		void RegisterCallResult(CCallbackBase* Receiver, SteamAPICall_t Call);
		void UnregisterCallResult(CCallbackBase* Receiver, SteamAPICall_t Call);

		AppId_t GetAppId();
		SteamAPICall_t CreateItem(AppId_t ConsumerAppId, EWorkshopFileType FileType);
		UGCUpdateHandle_t StartItemUpdate(AppId_t ConsumerAppId, PublishedFileId_t ItemId);
		/**
		 * Runs Edit on an update that has not been submitted, unless a control makes this Refusable call refuse.
		 * @return false for any other handle or a refusal, else what Edit returns
		 */
		bool EditUpdate(UGCUpdateHandle_t Handle, const std::function<bool(FUpdate&)>& Edit, std::optional<ERefusableCall> Refusable = {});
		SteamAPICall_t SubmitItemUpdate(UGCUpdateHandle_t Handle, const char* ChangeNote);
		EItemUpdateStatus GetItemUpdateProgress(UGCUpdateHandle_t Handle, uint64* OutProcessed, uint64* OutTotal);
		/** Adds Child to Parent's children, or takes it off, at once; the answer waits for RunCallbacks. */
		SteamAPICall_t ChangeDependency(PublishedFileId_t Parent, PublishedFileId_t Child, bool bAdd);
		UGCQueryHandle_t CreateDetailsQuery(const PublishedFileId_t* Ids, uint32 Count);
		/** Runs Edit on a query that has not been sent. @return false for any other handle */
		bool EditQuery(UGCQueryHandle_t Handle, const std::function<void(FQuery&)>& Edit);
		/** Reads the items as they are now; the answer waits for RunCallbacks. */
		SteamAPICall_t SendQuery(UGCQueryHandle_t Handle);
		/** Runs Read on the answered query's item at Index. @return false before the answer or out of range, else what Read returns */
		bool ReadQueryResult(UGCQueryHandle_t Handle, uint32 Index, const std::function<bool(const FQuery&, const FQueryResult&)>& Read);
		bool ReleaseQuery(UGCQueryHandle_t Handle);

		void SetFolder(const std::filesystem::path& InFolder);
		std::filesystem::path GetFolder();
		void SetAppId(AppId_t InAppId);
		void SetBandwidth(uint64 BytesPerSecond);
		void SetLegalAgreementAccepted(bool bAccepted);
		void SetNextHold(const FHold& Hold);
		bool WaitForHold(double TimeoutSeconds);
		bool ReleaseHold();
		void RefuseNext();
		void FailNext(const FFailure& Failure);
		void FailNextCall(EFailableCall Call, EResult Result);
		void RefuseNextCall(ERefusableCall Call);
		void ResetControls();

	private:
		struct FCompletedCall
		{
			SteamAPICall_t Call = k_uAPICallInvalid;
			int CallbackId = 0;
			std::vector<uint8> Payload;
			/** The query this answers, marked answered when it is delivered. */
			UGCQueryHandle_t Query = k_UGCQueryHandleInvalid;
		};

		template <typename ResultType>
		void QueueResult(SteamAPICall_t Call, const ResultType& Result);

		/** What the steps of one update hand on to the next. */
		struct FStagedUpdate
		{
			/** The item's folder; empty until the item is found. */
			std::filesystem::path ItemFolder;
			FItemRecord Record;
			/** The content's files, relative to the content folder, and their bytes in all. */
			std::vector<std::string> Files;
			uint64 ContentSize = 0;
			/** The bytes of the preview and of every extra preview, sent in one stage. */
			uint64 PreviewSize = 0;
			std::string PreviewFileName;
		};

		void RunWorker();
		/** Runs one update's steps in Steam's order, each under its status; runs on the worker without the lock. */
		EResult RunUpdate(FUpdate& Update);
		/** Finds the item and checks the change note and the previews as Steam does at submission. */
		EResult PrepareConfig(FUpdate& Update, FStagedUpdate& Staged);
		EResult PrepareContent(FUpdate& Update, FStagedUpdate& Staged);
		EResult UploadContent(FUpdate& Update, FStagedUpdate& Staged);
		EResult UploadPreview(FUpdate& Update, FStagedUpdate& Staged);
		/** Puts what was sent in place of the item's own and records the item's new fields. */
		EResult Commit(FUpdate& Update, FStagedUpdate& Staged);
		/** Applies the update's key-value tags and extra previews to Record, moving the previews' files into place. */
		EResult CommitExtras(const FUpdate& Update, const std::filesystem::path& ItemFolder, FItemRecord& Record);
		/** Copies one file, counting its bytes in the update's stage. @return k_EResultDiskFull when the disk is full */
		EResult CopyFile(FUpdate& Update, const std::filesystem::path& From, const std::filesystem::path& To);
		/** Copies Size bytes, pausing at the update's hold and keeping to the bandwidth. */
		bool CopyBytes(FUpdate& Update, std::istream& In, std::ostream& Out, uint64 Size);
		/** Pauses while the update waits at its hold. @return false when the workshop is going away */
		bool WaitAtHold(FUpdate& Update);
		/** Starts a stage: Steam counts each stage's bytes afresh, against that stage's total. */
		void SetStage(FUpdate& Update, EItemUpdateStatus Status, uint64 Total);
		void AddProcessed(FUpdate& Update, uint64 Bytes);
		PublishedFileId_t MakeItemId(const std::filesystem::path& Root);

		std::mutex Mutex;
		std::condition_variable Changed;

		std::filesystem::path Folder;
		AppId_t AppId;
		uint64 Bandwidth = 0;
		bool bLegalAgreementAccepted = true;
		bool bRefuseNext = false;
		std::optional<FFailure> NextFailure;
		std::optional<FHold> NextHold;
		std::map<EFailableCall, EResult> NextCallFailures;
		std::set<ERefusableCall> NextCallRefusals;

		bool bInitialized = false;
		uint64 Session = 0;
		SteamAPICall_t NextCall = 1;
		UGCUpdateHandle_t NextHandle = 1;
		std::map<UGCUpdateHandle_t, std::shared_ptr<FUpdate>> Updates;
		std::deque<FCompletedCall> Completed;
		std::map<SteamAPICall_t, CCallbackBase*> CallResults;
		UGCQueryHandle_t NextQuery = 1;
		std::map<UGCQueryHandle_t, FQuery> Queries;
		std::mt19937_64 Random;

		std::deque<std::shared_ptr<FUpdate>> Jobs;
		std::thread Worker;
		bool bStopping = false;

		// Throttling state of the update being copied.
		std::chrono::steady_clock::time_point CopyStart;
		uint64 CopiedSinceStart = 0;
	};
} // namespace OfflineWorkshop
