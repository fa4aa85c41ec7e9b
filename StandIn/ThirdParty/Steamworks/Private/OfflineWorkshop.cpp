#include "OfflineWorkshop.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <numeric>
#include <system_error>

namespace OfflineWorkshop
{
	namespace
	{
		// Steam takes preview images under one megabyte.
		constexpr uint64 PreviewSizeLimit = 1024 * 1024;
		constexpr uint64 MaxChunkSize = 64 * 1024;
		// The app id that the offline Workshop answers until a host sets one.
		constexpr AppId_t DefaultAppId = 1000;

		std::filesystem::path DefaultFolder()
		{
			return std::filesystem::path("Saved") / "OfflineWorkshop";
		}

		void WriteMessage(SteamErrMsg* OutErrMsg, const char* Message)
		{
			if (OutErrMsg)
			{
				std::strncpy(*OutErrMsg, Message, sizeof(SteamErrMsg) - 1);
				(*OutErrMsg)[sizeof(SteamErrMsg) - 1] = '\0';
			}
		}

		uint64 GetHoldByte(const FHold& Hold, uint64 Total)
		{
			return (Total / Hold.Denominator) * Hold.Numerator + ((Total % Hold.Denominator) * Hold.Numerator) / Hold.Denominator;
		}

		// Bytes processed and total that make exactly the hold's fraction: the real ones when the hold lands on a byte,
		// else both scaled by the smallest factor that lands it.
		void GetHeldProgress(const FHold& Hold, uint64 Total, uint64& OutProcessed, uint64& OutTotal)
		{
			if (Total == 0)
			{
				OutProcessed = Hold.Numerator;
				OutTotal = Hold.Denominator;
				return;
			}
			// The fraction is in lowest terms, so Remainder's common divisor with the denominator divides Total.
			const uint64 Remainder = ((Hold.Numerator % Hold.Denominator) * (Total % Hold.Denominator)) % Hold.Denominator;
			const uint64 Divisor = std::gcd(Remainder, Hold.Denominator);
			OutProcessed = Hold.Numerator * (Total / Divisor);
			OutTotal = (Total / Divisor) * Hold.Denominator;
		}

		bool RemoveAll(const std::filesystem::path& Path)
		{
			std::error_code Error;
			std::filesystem::remove_all(Path, Error);
			return !Error;
		}

		bool ReplaceFolder(const std::filesystem::path& Incoming, const std::filesystem::path& Target)
		{
			std::error_code Error;
			if (!RemoveAll(Target))
			{
				return false;
			}
			std::filesystem::rename(Incoming, Target, Error);
			return !Error;
		}
	} // namespace

	FWorkshop& FWorkshop::Get()
	{
		static FWorkshop Workshop;
		return Workshop;
	}

	FWorkshop::FWorkshop()
	    : Folder(DefaultFolder())
	    , AppId(DefaultAppId)
	    , Random(std::random_device()())
	{
	}

	FWorkshop::~FWorkshop()
	{
		{
			std::lock_guard Lock(Mutex);
			bStopping = true;
		}
		Changed.notify_all();
		if (Worker.joinable())
		{
			Worker.join();
		}
	}

	ESteamAPIInitResult FWorkshop::Init(SteamErrMsg* OutErrMsg)
	{
		std::lock_guard Lock(Mutex);
		if (bRefuseNext)
		{
			bRefuseNext = false;
			WriteMessage(OutErrMsg, "Could not connect to the Steam client: it is not running (the offline Workshop refused this request).");
			return k_ESteamAPIInitResult_NoSteamClient;
		}
		if (!bInitialized)
		{
			bInitialized = true;
			++Session;
		}
		WriteMessage(OutErrMsg, "");
		return k_ESteamAPIInitResult_OK;
	}

	void FWorkshop::Shutdown()
	{
		std::lock_guard Lock(Mutex);
		if (!bInitialized)
		{
			return;
		}
		// Updates already submitted are finished by the worker, as the Steam client finishes them; their results are dropped.
		bInitialized = false;
		++Session;
		Completed.clear();
		CallResults.clear();
		std::erase_if(Updates, [](const auto& Entry) {
			return !Entry.second->bSubmitted;
		});
	}

	bool FWorkshop::IsInitialized()
	{
		std::lock_guard Lock(Mutex);
		return bInitialized;
	}

	template <typename ResultType>
	void FWorkshop::QueueResult(SteamAPICall_t Call, const ResultType& Result)
	{
		FCompletedCall Completion;
		Completion.Call = Call;
		Completion.CallbackId = ResultType::k_iCallback;
		Completion.Payload.resize(sizeof(ResultType));
		std::memcpy(Completion.Payload.data(), &Result, sizeof(ResultType));
		Completed.push_back(std::move(Completion));
	}

	void FWorkshop::RunCallbacks()
	{
		for (;;)
		{
			CCallbackBase* Receiver = nullptr;
			FCompletedCall Completion;
			{
				std::lock_guard Lock(Mutex);
				const auto Ready = std::find_if(Completed.begin(), Completed.end(), [this](const FCompletedCall& Candidate) {
					return CallResults.contains(Candidate.Call);
				});
				if (Ready == Completed.end())
				{
					return;
				}
				Completion = std::move(*Ready);
				Completed.erase(Ready);
				Receiver = CallResults[Completion.Call];
				CallResults.erase(Completion.Call);
			}
			// Called without the lock: the receiver may make further calls, or register and cancel others.
			const bool bMatches =
			    Receiver->GetICallback() == Completion.CallbackId && static_cast<size_t>(Receiver->GetCallbackSizeBytes()) == Completion.Payload.size();
			if (!bMatches)
			{
				Completion.Payload.assign(static_cast<size_t>(Receiver->GetCallbackSizeBytes()), 0);
			}
			Receiver->Run(Completion.Payload.data(), !bMatches, Completion.Call);
		}
	}

	void FWorkshop::RegisterCallResult(CCallbackBase* Receiver, SteamAPICall_t Call)
	{
		std::lock_guard Lock(Mutex);
		if (bInitialized && Receiver && Call != k_uAPICallInvalid)
		{
			CallResults[Call] = Receiver;
		}
	}

	void FWorkshop::UnregisterCallResult(CCallbackBase* Receiver, SteamAPICall_t Call)
	{
		std::lock_guard Lock(Mutex);
		const auto Found = CallResults.find(Call);
		if (Found != CallResults.end() && Found->second == Receiver)
		{
			CallResults.erase(Found);
		}
	}

	AppId_t FWorkshop::GetAppId()
	{
		std::lock_guard Lock(Mutex);
		return AppId;
	}

	PublishedFileId_t FWorkshop::MakeItemId(const std::filesystem::path& Root)
	{
		for (;;)
		{
			const PublishedFileId_t Candidate = Random();
			std::error_code Error;
			if (Candidate != k_PublishedFileIdInvalid && !std::filesystem::exists(GetItemFolder(Root, Candidate), Error))
			{
				return Candidate;
			}
		}
	}

	SteamAPICall_t FWorkshop::CreateItem(AppId_t ConsumerAppId, EWorkshopFileType FileType)
	{
		(void)FileType;
		std::lock_guard Lock(Mutex);
		if (!bInitialized)
		{
			return k_uAPICallInvalid;
		}
		CreateItemResult_t Result{};
		Result.m_eResult = k_EResultOK;
		Result.m_nPublishedFileId = k_PublishedFileIdInvalid;
		Result.m_bUserNeedsToAcceptWorkshopLegalAgreement = !bLegalAgreementAccepted;
		if (NextFailure && !NextFailure->bAfterCreate)
		{
			Result.m_eResult = NextFailure->Result;
			NextFailure.reset();
		}
		else if (ConsumerAppId != AppId)
		{
			Result.m_eResult = k_EResultInvalidParam;
		}
		else
		{
			const std::filesystem::path Root = std::filesystem::absolute(Folder);
			FItemRecord Record;
			Record.Id = MakeItemId(Root);
			Record.AppId = AppId;
			Record.CreatedTicks = static_cast<uint64>(std::chrono::system_clock::now().time_since_epoch().count());
			const std::filesystem::path ItemFolder = GetItemFolder(Root, Record.Id);
			std::error_code Error;
			std::filesystem::create_directories(ItemFolder, Error);
			if (!Error && WriteItemRecord(ItemFolder, Record))
			{
				Result.m_nPublishedFileId = Record.Id;
			}
			else
			{
				RemoveAll(ItemFolder);
				Result.m_eResult = k_EResultIOFailure;
			}
		}
		const SteamAPICall_t Call = NextCall++;
		QueueResult(Call, Result);
		return Call;
	}

	UGCUpdateHandle_t FWorkshop::StartItemUpdate(AppId_t ConsumerAppId, PublishedFileId_t ItemId)
	{
		std::lock_guard Lock(Mutex);
		if (!bInitialized)
		{
			return k_UGCUpdateHandleInvalid;
		}
		auto Update = std::make_shared<FUpdate>();
		Update->Handle = NextHandle++;
		Update->AppId = ConsumerAppId;
		Update->ItemId = ItemId;
		Update->Session = Session;
		Updates[Update->Handle] = Update;
		return Update->Handle;
	}

	bool FWorkshop::EditUpdate(UGCUpdateHandle_t Handle, const std::function<bool(FUpdate&)>& Edit)
	{
		std::lock_guard Lock(Mutex);
		const auto Found = Updates.find(Handle);
		if (!bInitialized || Found == Updates.end() || Found->second->bSubmitted)
		{
			return false;
		}
		return Edit(*Found->second);
	}

	SteamAPICall_t FWorkshop::SubmitItemUpdate(UGCUpdateHandle_t Handle, const char* ChangeNote)
	{
		std::unique_lock Lock(Mutex);
		const auto Found = Updates.find(Handle);
		if (!bInitialized || Found == Updates.end() || Found->second->bSubmitted)
		{
			return k_uAPICallInvalid;
		}
		FUpdate& Update = *Found->second;
		Update.bSubmitted = true;
		if (ChangeNote)
		{
			Update.ChangeNote = ChangeNote;
		}
		Update.Hold = NextHold;
		NextHold.reset();
		Update.Failure = NextFailure;
		NextFailure.reset();
		Update.Call = NextCall++;
		Update.Status = k_EItemUpdateStatusPreparingConfig;
		// Read before the lock goes: from then on the worker may finish the update and drop it.
		const SteamAPICall_t Call = Update.Call;
		Jobs.push_back(Found->second);
		if (!Worker.joinable())
		{
			Worker = std::thread([this]() {
				RunWorker();
			});
		}
		Lock.unlock();
		Changed.notify_all();
		return Call;
	}

	EItemUpdateStatus FWorkshop::GetItemUpdateProgress(UGCUpdateHandle_t Handle, uint64* OutProcessed, uint64* OutTotal)
	{
		std::lock_guard Lock(Mutex);
		uint64 Processed = 0;
		uint64 Total = 0;
		EItemUpdateStatus Status = k_EItemUpdateStatusInvalid;
		const auto Found = Updates.find(Handle);
		if (Found != Updates.end() && Found->second->bSubmitted)
		{
			const FUpdate& Update = *Found->second;
			Status = Update.Status;
			if (Update.bHeld && Update.Hold)
			{
				GetHeldProgress(*Update.Hold, Update.Total, Processed, Total);
			}
			else
			{
				Processed = Update.Processed;
				Total = Update.Total;
			}
		}
		if (OutProcessed)
		{
			*OutProcessed = Processed;
		}
		if (OutTotal)
		{
			*OutTotal = Total;
		}
		return Status;
	}

	void FWorkshop::RunWorker()
	{
		std::unique_lock Lock(Mutex);
		while (!bStopping)
		{
			if (Jobs.empty())
			{
				Changed.wait(Lock);
				continue;
			}
			const std::shared_ptr<FUpdate> Update = Jobs.front();
			Jobs.pop_front();
			Lock.unlock();
			const EResult Outcome = RunUpdate(*Update);
			Lock.lock();
			Update->Status = k_EItemUpdateStatusInvalid;
			Updates.erase(Update->Handle);
			if (bInitialized && Update->Session == Session)
			{
				SubmitItemUpdateResult_t Result{};
				Result.m_eResult = Outcome;
				Result.m_bUserNeedsToAcceptWorkshopLegalAgreement = !bLegalAgreementAccepted;
				Result.m_nPublishedFileId = Update->ItemId;
				QueueResult(Update->Call, Result);
			}
		}
	}

	void FWorkshop::SetStatus(FUpdate& Update, EItemUpdateStatus Status)
	{
		std::lock_guard Lock(Mutex);
		Update.Status = Status;
	}

	bool FWorkshop::WaitAtHold(FUpdate& Update)
	{
		std::unique_lock Lock(Mutex);
		if (Update.Hold && !Update.bHoldReached && Update.Processed >= GetHoldByte(*Update.Hold, Update.Total))
		{
			Update.bHoldReached = true;
			Update.bHeld = true;
			Changed.notify_all();
			Changed.wait(Lock, [this, &Update]() {
				return !Update.bHeld || bStopping;
			});
			// Time spent waiting is not time spent copying.
			CopyStart = std::chrono::steady_clock::now();
			CopiedSinceStart = 0;
		}
		return !bStopping;
	}

	bool FWorkshop::CopyBytes(FUpdate& Update, std::istream& In, std::ostream& Out, uint64 Size)
	{
		uint64 BytesPerSecond = 0;
		{
			std::lock_guard Lock(Mutex);
			BytesPerSecond = Bandwidth;
		}
		// Small chunks under a bandwidth limit, so that progress moves about twenty times a second.
		const uint64 ChunkLimit = BytesPerSecond > 0 ? std::clamp<uint64>(BytesPerSecond / 20, 1, MaxChunkSize) : MaxChunkSize;
		std::vector<char> Buffer(static_cast<size_t>(ChunkLimit));
		uint64 Left = Size;
		while (Left > 0)
		{
			if (!WaitAtHold(Update))
			{
				return false;
			}
			uint64 Chunk = std::min(Left, ChunkLimit);
			{
				std::lock_guard Lock(Mutex);
				if (Update.Hold && !Update.bHoldReached)
				{
					Chunk = std::min(Chunk, GetHoldByte(*Update.Hold, Update.Total) - Update.Processed);
				}
			}
			In.read(Buffer.data(), static_cast<std::streamsize>(Chunk));
			Out.write(Buffer.data(), static_cast<std::streamsize>(Chunk));
			if (!In || !Out)
			{
				return false;
			}
			Left -= Chunk;
			std::unique_lock Lock(Mutex);
			Update.Processed += Chunk;
			CopiedSinceStart += Chunk;
			if (BytesPerSecond > 0)
			{
				const auto Due = CopyStart + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
				                                 std::chrono::duration<double>(static_cast<double>(CopiedSinceStart) / static_cast<double>(BytesPerSecond)));
				Changed.wait_until(Lock, Due, [this]() {
					return bStopping;
				});
			}
			if (bStopping)
			{
				return false;
			}
		}
		return true;
	}

	EResult FWorkshop::RunUpdate(FUpdate& Update)
	{
		std::filesystem::path Root;
		{
			std::lock_guard Lock(Mutex);
			Root = std::filesystem::absolute(Folder);
			CopyStart = std::chrono::steady_clock::now();
			CopiedSinceStart = 0;
		}
		if (Update.Failure)
		{
			return Update.Failure->Result;
		}
		const std::filesystem::path ItemFolder = GetItemFolder(Root, Update.ItemId);
		FItemRecord Record;
		if (!ReadItemRecord(ItemFolder, Record))
		{
			return k_EResultFileNotFound;
		}
		if (Update.ChangeNote && CountCharacters(*Update.ChangeNote) > k_cchPublishedDocumentChangeDescriptionMax)
		{
			return k_EResultInvalidParam;
		}

		std::error_code Error;
		uint64 PreviewSize = 0;
		if (Update.PreviewFile)
		{
			if (!std::filesystem::is_regular_file(*Update.PreviewFile, Error))
			{
				return k_EResultFileNotFound;
			}
			PreviewSize = std::filesystem::file_size(*Update.PreviewFile, Error);
			if (Error)
			{
				return k_EResultFileNotFound;
			}
			if (PreviewSize >= PreviewSizeLimit)
			{
				return k_EResultLimitExceeded;
			}
		}

		std::vector<std::string> Files;
		uint64 ContentSize = 0;
		if (Update.ContentFolder)
		{
			SetStatus(Update, k_EItemUpdateStatusPreparingContent);
			Files = ListRelativeFiles(*Update.ContentFolder);
			if (Files.empty())
			{
				return k_EResultFileNotFound;
			}
			for (const std::string& File : Files)
			{
				ContentSize += std::filesystem::file_size(std::filesystem::path(*Update.ContentFolder) / File, Error);
				if (Error)
				{
					return k_EResultFileNotFound;
				}
			}
		}
		{
			std::lock_guard Lock(Mutex);
			Update.Processed = 0;
			Update.Total = ContentSize + PreviewSize;
		}

		const std::filesystem::path IncomingContent = ItemFolder / "content.incoming";
		const std::filesystem::path IncomingPreview = ItemFolder / "preview.incoming";
		RemoveAll(IncomingContent);
		RemoveAll(IncomingPreview);
		const auto Abandon = [&IncomingContent, &IncomingPreview]() {
			RemoveAll(IncomingContent);
			RemoveAll(IncomingPreview);
			return k_EResultIOFailure;
		};
		const auto Copy = [this, &Update](const std::filesystem::path& From, const std::filesystem::path& To) {
			std::error_code CopyError;
			std::filesystem::create_directories(To.parent_path(), CopyError);
			std::ifstream In(From, std::ios::binary);
			std::ofstream Out(To, std::ios::binary | std::ios::trunc);
			const uint64 Size = std::filesystem::file_size(From, CopyError);
			return !CopyError && In && Out && CopyBytes(Update, In, Out, Size) && Out.flush();
		};

		if (Update.ContentFolder)
		{
			SetStatus(Update, k_EItemUpdateStatusUploadingContent);
			std::filesystem::create_directories(IncomingContent, Error);
			for (const std::string& File : Files)
			{
				if (!Copy(std::filesystem::path(*Update.ContentFolder) / File, IncomingContent / File))
				{
					return Abandon();
				}
			}
		}
		const std::string PreviewFileName = Update.PreviewFile ? std::filesystem::path(*Update.PreviewFile).filename().string() : std::string();
		if (Update.PreviewFile)
		{
			SetStatus(Update, k_EItemUpdateStatusUploadingPreviewFile);
			if (!Copy(*Update.PreviewFile, IncomingPreview / PreviewFileName))
			{
				return Abandon();
			}
		}
		// A hold at the very end pauses once everything is copied, before anything is committed.
		if (!WaitAtHold(Update))
		{
			return Abandon();
		}

		SetStatus(Update, k_EItemUpdateStatusCommittingChanges);
		if (Update.ContentFolder && !ReplaceFolder(IncomingContent, ItemFolder / "content"))
		{
			return Abandon();
		}
		if (Update.PreviewFile)
		{
			if (!ReplaceFolder(IncomingPreview, ItemFolder / "preview"))
			{
				return Abandon();
			}
			Record.PreviewFileName = PreviewFileName;
		}
		if (Update.Title)
		{
			Record.Title = *Update.Title;
		}
		if (Update.Description)
		{
			Record.Description = *Update.Description;
		}
		if (Update.Tags)
		{
			Record.Tags = *Update.Tags;
		}
		if (Update.Visibility)
		{
			Record.Visibility = *Update.Visibility;
		}
		if (Update.ChangeNote && !Update.ChangeNote->empty())
		{
			Record.ChangeNotes.push_back(*Update.ChangeNote);
		}
		return WriteItemRecord(ItemFolder, Record) ? k_EResultOK : k_EResultIOFailure;
	}

	void FWorkshop::SetFolder(const std::filesystem::path& InFolder)
	{
		std::lock_guard Lock(Mutex);
		Folder = InFolder.empty() ? DefaultFolder() : InFolder;
	}

	std::filesystem::path FWorkshop::GetFolder()
	{
		std::lock_guard Lock(Mutex);
		return std::filesystem::absolute(Folder);
	}

	void FWorkshop::SetAppId(AppId_t InAppId)
	{
		std::lock_guard Lock(Mutex);
		AppId = InAppId;
	}

	void FWorkshop::SetBandwidth(uint64 BytesPerSecond)
	{
		std::lock_guard Lock(Mutex);
		Bandwidth = BytesPerSecond;
	}

	void FWorkshop::SetLegalAgreementAccepted(bool bAccepted)
	{
		std::lock_guard Lock(Mutex);
		bLegalAgreementAccepted = bAccepted;
	}

	void FWorkshop::SetNextHold(const FHold& Hold)
	{
		std::lock_guard Lock(Mutex);
		NextHold = Hold;
	}

	bool FWorkshop::WaitForHold(double TimeoutSeconds)
	{
		std::unique_lock Lock(Mutex);
		return Changed.wait_for(Lock, std::chrono::duration<double>(TimeoutSeconds), [this]() {
			return std::any_of(Updates.begin(), Updates.end(), [](const auto& Entry) {
				return Entry.second->bHeld;
			});
		});
	}

	bool FWorkshop::ReleaseHold()
	{
		bool bReleased = false;
		{
			std::lock_guard Lock(Mutex);
			for (auto& [Handle, Update] : Updates)
			{
				bReleased = bReleased || Update->bHeld;
				Update->bHeld = false;
			}
		}
		Changed.notify_all();
		return bReleased;
	}

	void FWorkshop::RefuseNext()
	{
		std::lock_guard Lock(Mutex);
		bRefuseNext = true;
	}

	void FWorkshop::FailNext(const FFailure& Failure)
	{
		std::lock_guard Lock(Mutex);
		NextFailure = Failure;
	}

	void FWorkshop::ResetControls()
	{
		std::lock_guard Lock(Mutex);
		bRefuseNext = false;
		NextFailure.reset();
		NextHold.reset();
		Bandwidth = 0;
		bLegalAgreementAccepted = true;
	}
} // namespace OfflineWorkshop
