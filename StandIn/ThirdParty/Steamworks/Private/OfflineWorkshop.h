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
#include <thread>

namespace OfflineWorkshop
{
	/** A failure that a control asked for. */
	struct FFailure
	{
		EResult Result = k_EResultFail;
		bool bAfterCreate = false;
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
		/** Runs Edit on an update that has not been submitted. @return false for any other handle, or what Edit returns */
		bool EditUpdate(UGCUpdateHandle_t Handle, const std::function<bool(FUpdate&)>& Edit);
		SteamAPICall_t SubmitItemUpdate(UGCUpdateHandle_t Handle, const char* ChangeNote);
		EItemUpdateStatus GetItemUpdateProgress(UGCUpdateHandle_t Handle, uint64* OutProcessed, uint64* OutTotal);

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
		void ResetControls();

	private:
		struct FCompletedCall
		{
			SteamAPICall_t Call = k_uAPICallInvalid;
			int CallbackId = 0;
			std::vector<uint8> Payload;
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
			uint64 PreviewSize = 0;
			std::string PreviewFileName;
		};

		void RunWorker();
		/** Runs one update's steps in Steam's order, each under its status; runs on the worker without the lock. */
		EResult RunUpdate(FUpdate& Update);
		/** Finds the item and checks the change note and the preview as Steam does at submission. */
		EResult PrepareConfig(FUpdate& Update, FStagedUpdate& Staged);
		EResult PrepareContent(FUpdate& Update, FStagedUpdate& Staged);
		EResult UploadContent(FUpdate& Update, FStagedUpdate& Staged);
		EResult UploadPreview(FUpdate& Update, FStagedUpdate& Staged);
		/** Puts what was sent in place of the item's own and records the item's new fields. */
		EResult Commit(FUpdate& Update, FStagedUpdate& Staged);
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

		bool bInitialized = false;
		uint64 Session = 0;
		SteamAPICall_t NextCall = 1;
		UGCUpdateHandle_t NextHandle = 1;
		std::map<UGCUpdateHandle_t, std::shared_ptr<FUpdate>> Updates;
		std::deque<FCompletedCall> Completed;
		std::map<SteamAPICall_t, CCallbackBase*> CallResults;
		std::mt19937_64 Random;

		std::deque<std::shared_ptr<FUpdate>> Jobs;
		std::thread Worker;
		bool bStopping = false;

		// Throttling state of the update being copied.
		std::chrono::steady_clock::time_point CopyStart;
		uint64 CopiedSinceStart = 0;
	};
} // namespace OfflineWorkshop
