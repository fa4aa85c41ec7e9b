#include "OfflineWorkshop.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <numeric>
#include <system_error>

namespace OfflineWorkshop
{
	namespace
	{
		// Steam takes preview images of at least 16 bytes and under one megabyte.
		constexpr uint64 PreviewSizeMinimum = 16;
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

		// A disk that is full is Steam's k_EResultDiskFull; any other failed write is an I/O failure.
		EResult GetWriteFailure(int ErrorNumber)
		{
			return ErrorNumber == ENOSPC || ErrorNumber == EDQUOT ? k_EResultDiskFull : k_EResultIOFailure;
		}

		bool RemoveAll(const std::filesystem::path& Path)
		{
			std::error_code Error;
			std::filesystem::remove_all(Path, Error);
			return !Error;
		}

		// A preview, or an extra one, as Steam checks it when the update is submitted.
		EResult CheckPreviewFile(const std::string& Path, uint64& OutSize)
		{
			std::error_code Error;
			if (!std::filesystem::is_regular_file(Path, Error))
			{
				return k_EResultFileNotFound;
			}
			OutSize = std::filesystem::file_size(Path, Error);
			if (Error)
			{
				return k_EResultFileNotFound;
			}
			if (OutSize < PreviewSizeMinimum)
			{
				return k_EResultInvalidParam;
			}
			return OutSize >= PreviewSizeLimit ? k_EResultLimitExceeded : k_EResultOK;
		}

		// The number in front of an extra preview's stored name, which keeps files of the same name apart.
		uint64 GetStoredNumber(const FExtraPreview& Preview)
		{
			return std::strtoull(Preview.StoredName.c_str(), nullptr, 10);
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
		Queries.clear();
		std::erase_if(Updates, [](const auto& Entry) {
			return !Entry.second->bSubmitted;
		});
	}

	bool FWorkshop::IsInitialized()
	{
		std::lock_guard Lock(Mutex);
		return bInitialized;
	}

	bool FWorkshop::IsSteamRunning()
	{
		std::lock_guard Lock(Mutex);
		if (bRefuseNext)
		{
			bRefuseNext = false;
			return false;
		}
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
				if (const auto Query = Queries.find(Completion.Query); Query != Queries.end())
				{
					Query->second.bAnswered = true;
				}
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

	bool FWorkshop::EditUpdate(UGCUpdateHandle_t Handle, const std::function<bool(FUpdate&)>& Edit, std::optional<ERefusableCall> Refusable)
	{
		std::lock_guard Lock(Mutex);
		const auto Found = Updates.find(Handle);
		if (!bInitialized || Found == Updates.end() || Found->second->bSubmitted)
		{
			return false;
		}
		if (Refusable && NextCallRefusals.erase(*Refusable) > 0)
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

	SteamAPICall_t FWorkshop::ChangeDependency(PublishedFileId_t Parent, PublishedFileId_t Child, bool bAdd)
	{
		std::lock_guard Lock(Mutex);
		if (!bInitialized)
		{
			return k_uAPICallInvalid;
		}
		const std::filesystem::path Root = std::filesystem::absolute(Folder);
		const EFailableCall Call = bAdd ? EFailableCall::AddDependency : EFailableCall::RemoveDependency;
		EResult Result = k_EResultOK;
		FItemRecord Record;
		FItemRecord ChildRecord;
		if (const auto Failure = NextCallFailures.find(Call); Failure != NextCallFailures.end())
		{
			Result = Failure->second;
			NextCallFailures.erase(Failure);
		}
		else if (Parent == Child)
		{
			Result = k_EResultInvalidParam;
		}
		// An item that is gone can still be taken off; only one that is added must exist.
		else if (!ReadItemRecord(GetItemFolder(Root, Parent), Record) || (bAdd && !ReadItemRecord(GetItemFolder(Root, Child), ChildRecord)))
		{
			Result = k_EResultFileNotFound;
		}
		else
		{
			const auto Found = std::find(Record.Children.begin(), Record.Children.end(), Child);
			if (bAdd && Found == Record.Children.end())
			{
				Record.Children.push_back(Child);
			}
			else if (!bAdd && Found != Record.Children.end())
			{
				Record.Children.erase(Found);
			}
			errno = 0;
			if (!WriteItemRecord(GetItemFolder(Root, Parent), Record))
			{
				Result = GetWriteFailure(errno);
			}
		}
		const SteamAPICall_t CallId = NextCall++;
		if (bAdd)
		{
			AddUGCDependencyResult_t Answer{};
			Answer.m_eResult = Result;
			Answer.m_nPublishedFileId = Parent;
			Answer.m_nChildPublishedFileId = Child;
			QueueResult(CallId, Answer);
		}
		else
		{
			RemoveUGCDependencyResult_t Answer{};
			Answer.m_eResult = Result;
			Answer.m_nPublishedFileId = Parent;
			Answer.m_nChildPublishedFileId = Child;
			QueueResult(CallId, Answer);
		}
		return CallId;
	}

	UGCQueryHandle_t FWorkshop::CreateDetailsQuery(const PublishedFileId_t* Ids, uint32 Count)
	{
		std::lock_guard Lock(Mutex);
		if (!bInitialized || !Ids || Count == 0)
		{
			return k_UGCQueryHandleInvalid;
		}
		const UGCQueryHandle_t Handle = NextQuery++;
		Queries[Handle].Ids.assign(Ids, Ids + Count);
		return Handle;
	}

	bool FWorkshop::EditQuery(UGCQueryHandle_t Handle, const std::function<void(FQuery&)>& Edit)
	{
		std::lock_guard Lock(Mutex);
		const auto Found = Queries.find(Handle);
		if (!bInitialized || Found == Queries.end() || Found->second.bSent)
		{
			return false;
		}
		Edit(Found->second);
		return true;
	}

	SteamAPICall_t FWorkshop::SendQuery(UGCQueryHandle_t Handle)
	{
		std::lock_guard Lock(Mutex);
		const auto Found = Queries.find(Handle);
		if (!bInitialized || Found == Queries.end() || Found->second.bSent)
		{
			return k_uAPICallInvalid;
		}
		FQuery& Query = Found->second;
		Query.bSent = true;
		if (const auto Failure = NextCallFailures.find(EFailableCall::DetailsQuery); Failure != NextCallFailures.end())
		{
			Query.Result = Failure->second;
			NextCallFailures.erase(Failure);
		}
		else
		{
			// Read now, under the lock, so that the answer is the items as they were when it was asked.
			const std::filesystem::path Root = std::filesystem::absolute(Folder);
			for (const PublishedFileId_t Id : Query.Ids)
			{
				FQueryResult& Result = Query.Results.emplace_back();
				Result.Id = Id;
				Result.ItemFolder = GetItemFolder(Root, Id);
				Result.Result = ReadItemRecord(Result.ItemFolder, Result.Record) ? k_EResultOK : k_EResultFileNotFound;
			}
		}
		SteamUGCQueryCompleted_t Answer{};
		Answer.m_handle = Handle;
		Answer.m_eResult = Query.Result;
		Answer.m_unNumResultsReturned = static_cast<uint32>(Query.Results.size());
		Answer.m_unTotalMatchingResults = Answer.m_unNumResultsReturned;
		Answer.m_bCachedData = false;
		const SteamAPICall_t Call = NextCall++;
		QueueResult(Call, Answer);
		Completed.back().Query = Handle;
		return Call;
	}

	bool FWorkshop::ReadQueryResult(UGCQueryHandle_t Handle, uint32 Index, const std::function<bool(const FQuery&, const FQueryResult&)>& Read)
	{
		std::lock_guard Lock(Mutex);
		const auto Found = Queries.find(Handle);
		if (Found == Queries.end() || !Found->second.bAnswered || Index >= Found->second.Results.size())
		{
			return false;
		}
		return Read(Found->second, Found->second.Results[Index]);
	}

	bool FWorkshop::ReleaseQuery(UGCQueryHandle_t Handle)
	{
		std::lock_guard Lock(Mutex);
		return Queries.erase(Handle) > 0;
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

	void FWorkshop::SetStage(FUpdate& Update, EItemUpdateStatus Status, uint64 Total)
	{
		std::lock_guard Lock(Mutex);
		Update.Status = Status;
		Update.Processed = 0;
		Update.Total = Total;
	}

	void FWorkshop::AddProcessed(FUpdate& Update, uint64 Bytes)
	{
		std::lock_guard Lock(Mutex);
		Update.Processed += Bytes;
	}

	bool FWorkshop::WaitAtHold(FUpdate& Update)
	{
		std::unique_lock Lock(Mutex);
		const bool bDue = Update.Hold && !Update.bHoldReached && Update.Status == k_EItemUpdateStatusUploadingContent &&
		                  Update.Processed >= GetHoldByte(*Update.Hold, Update.Total);
		if (bDue)
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
				if (Update.Hold && !Update.bHoldReached && Update.Status == k_EItemUpdateStatusUploadingContent)
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

	EResult FWorkshop::CopyFile(FUpdate& Update, const std::filesystem::path& From, const std::filesystem::path& To)
	{
		std::error_code Error;
		const uint64 Size = std::filesystem::file_size(From, Error);
		std::ifstream In(From, std::ios::binary);
		if (Error || !In)
		{
			return k_EResultFileNotFound;
		}
		errno = 0;
		std::filesystem::create_directories(To.parent_path(), Error);
		if (Error)
		{
			return GetWriteFailure(Error.value());
		}
		std::ofstream Out(To, std::ios::binary | std::ios::trunc);
		if (Out && CopyBytes(Update, In, Out, Size) && Out.flush())
		{
			return k_EResultOK;
		}
		return In ? GetWriteFailure(errno) : k_EResultIOFailure;
	}

	EResult FWorkshop::RunUpdate(FUpdate& Update)
	{
		{
			std::lock_guard Lock(Mutex);
			CopyStart = std::chrono::steady_clock::now();
			CopiedSinceStart = 0;
		}
		if (Update.Failure)
		{
			return Update.Failure->Result;
		}
		FStagedUpdate Staged;
		EResult Result = PrepareConfig(Update, Staged);
		if (Result == k_EResultOK)
		{
			Result = PrepareContent(Update, Staged);
		}
		if (Result == k_EResultOK)
		{
			Result = UploadContent(Update, Staged);
		}
		if (Result == k_EResultOK)
		{
			Result = UploadPreview(Update, Staged);
		}
		if (Result == k_EResultOK)
		{
			Result = Commit(Update, Staged);
		}
		if (!Staged.ItemFolder.empty())
		{
			RemoveAll(Staged.ItemFolder / "content.incoming");
			RemoveAll(Staged.ItemFolder / "preview.incoming");
			RemoveAll(Staged.ItemFolder / "extra-previews.incoming");
		}
		return Result;
	}

	EResult FWorkshop::PrepareConfig(FUpdate& Update, FStagedUpdate& Staged)
	{
		std::filesystem::path Root;
		{
			std::lock_guard Lock(Mutex);
			Root = std::filesystem::absolute(Folder);
		}
		const std::filesystem::path ItemFolder = GetItemFolder(Root, Update.ItemId);
		if (!ReadItemRecord(ItemFolder, Staged.Record))
		{
			return k_EResultFileNotFound;
		}
		Staged.ItemFolder = ItemFolder;
		if (Update.ChangeNote && Update.ChangeNote->size() >= k_cchPublishedDocumentChangeDescriptionMax)
		{
			return k_EResultInvalidParam;
		}
		std::vector<std::string> Previews;
		if (Update.PreviewFile)
		{
			Previews.push_back(*Update.PreviewFile);
		}
		for (const auto& [Path, Type] : Update.AddedPreviews)
		{
			Previews.push_back(Path);
		}
		for (const std::string& Path : Previews)
		{
			uint64 Size = 0;
			const EResult Result = CheckPreviewFile(Path, Size);
			if (Result != k_EResultOK)
			{
				return Result;
			}
			Staged.PreviewSize += Size;
		}
		const bool bKnownPreviews = std::all_of(Update.RemovedPreviews.begin(), Update.RemovedPreviews.end(), [&Staged](uint32 Index) {
			return Index < Staged.Record.ExtraPreviews.size();
		});
		return bKnownPreviews ? k_EResultOK : k_EResultInvalidParam;
	}

	EResult FWorkshop::PrepareContent(FUpdate& Update, FStagedUpdate& Staged)
	{
		if (!Update.ContentFolder)
		{
			return k_EResultOK;
		}
		Staged.Files = ListRelativeFiles(*Update.ContentFolder);
		if (Staged.Files.empty())
		{
			return k_EResultFileNotFound;
		}
		std::vector<uint64> Sizes;
		for (const std::string& File : Staged.Files)
		{
			std::error_code Error;
			Sizes.push_back(std::filesystem::file_size(std::filesystem::path(*Update.ContentFolder) / File, Error));
			if (Error)
			{
				return k_EResultFileNotFound;
			}
			Staged.ContentSize += Sizes.back();
		}
		// Steam looks the content over before it sends any of it, and counts that stage's bytes on their own.
		SetStage(Update, k_EItemUpdateStatusPreparingContent, Staged.ContentSize);
		for (const uint64 Size : Sizes)
		{
			AddProcessed(Update, Size);
		}
		return k_EResultOK;
	}

	EResult FWorkshop::UploadContent(FUpdate& Update, FStagedUpdate& Staged)
	{
		if (!Update.ContentFolder)
		{
			return k_EResultOK;
		}
		SetStage(Update, k_EItemUpdateStatusUploadingContent, Staged.ContentSize);
		const std::filesystem::path Incoming = Staged.ItemFolder / "content.incoming";
		RemoveAll(Incoming);
		for (const std::string& File : Staged.Files)
		{
			const EResult Result = CopyFile(Update, std::filesystem::path(*Update.ContentFolder) / File, Incoming / File);
			if (Result != k_EResultOK)
			{
				return Result;
			}
		}
		// A hold at the very end pauses once all the content is sent, before anything else is.
		return WaitAtHold(Update) ? k_EResultOK : k_EResultIOFailure;
	}

	EResult FWorkshop::UploadPreview(FUpdate& Update, FStagedUpdate& Staged)
	{
		if (!Update.PreviewFile && Update.AddedPreviews.empty())
		{
			return k_EResultOK;
		}
		SetStage(Update, k_EItemUpdateStatusUploadingPreviewFile, Staged.PreviewSize);
		EResult Result = k_EResultOK;
		if (Update.PreviewFile)
		{
			const std::filesystem::path Incoming = Staged.ItemFolder / "preview.incoming";
			RemoveAll(Incoming);
			Staged.PreviewFileName = std::filesystem::path(*Update.PreviewFile).filename().string();
			Result = CopyFile(Update, *Update.PreviewFile, Incoming / Staged.PreviewFileName);
		}
		// Numbered by their place in the update; Commit gives them their stored names.
		const std::filesystem::path ExtraIncoming = Staged.ItemFolder / "extra-previews.incoming";
		RemoveAll(ExtraIncoming);
		for (size_t Index = 0; Index < Update.AddedPreviews.size() && Result == k_EResultOK; ++Index)
		{
			Result = CopyFile(Update, Update.AddedPreviews[Index].first, ExtraIncoming / std::to_string(Index));
		}
		return Result;
	}

	EResult FWorkshop::Commit(FUpdate& Update, FStagedUpdate& Staged)
	{
		SetStage(Update, k_EItemUpdateStatusCommittingChanges, 0);
		if (Update.ContentFolder && !ReplaceFolder(Staged.ItemFolder / "content.incoming", Staged.ItemFolder / "content"))
		{
			return k_EResultIOFailure;
		}
		if (Update.PreviewFile && !ReplaceFolder(Staged.ItemFolder / "preview.incoming", Staged.ItemFolder / "preview"))
		{
			return k_EResultIOFailure;
		}
		// Read afresh under the lock: the item's dependencies may have changed while the update was sent.
		std::lock_guard Lock(Mutex);
		FItemRecord Record;
		if (!ReadItemRecord(Staged.ItemFolder, Record))
		{
			return k_EResultFileNotFound;
		}
		if (Update.PreviewFile)
		{
			Record.PreviewFileName = Staged.PreviewFileName;
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
		const EResult Extras = CommitExtras(Update, Staged.ItemFolder, Record);
		if (Extras != k_EResultOK)
		{
			return Extras;
		}
		errno = 0;
		return WriteItemRecord(Staged.ItemFolder, Record) ? k_EResultOK : GetWriteFailure(errno);
	}

	EResult FWorkshop::CommitExtras(const FUpdate& Update, const std::filesystem::path& ItemFolder, FItemRecord& Record)
	{
		for (const std::string& Key : Update.RemovedKeys)
		{
			std::erase_if(Record.KeyValueTags, [&Key](const auto& Tag) {
				return Tag.first == Key;
			});
		}
		Record.KeyValueTags.insert(Record.KeyValueTags.end(), Update.AddedKeyValueTags.begin(), Update.AddedKeyValueTags.end());

		// Indices count the previews as they were before the update, so one removal does not shift another.
		std::vector<FExtraPreview> Kept;
		std::vector<FExtraPreview> Removed;
		uint64 NextNumber = 1;
		for (size_t Index = 0; Index < Record.ExtraPreviews.size(); ++Index)
		{
			const FExtraPreview& Preview = Record.ExtraPreviews[Index];
			NextNumber = std::max(NextNumber, GetStoredNumber(Preview) + 1);
			const bool bRemoved = std::find(Update.RemovedPreviews.begin(), Update.RemovedPreviews.end(), Index) != Update.RemovedPreviews.end();
			(bRemoved ? Removed : Kept).push_back(Preview);
		}
		const std::filesystem::path Stored = ItemFolder / "extra-previews";
		std::error_code Error;
		std::filesystem::create_directories(Stored, Error);
		for (size_t Index = 0; Index < Update.AddedPreviews.size() && !Error; ++Index)
		{
			const auto& [Path, Type] = Update.AddedPreviews[Index];
			FExtraPreview& Preview = Kept.emplace_back();
			Preview.Type = Type;
			Preview.FileName = std::filesystem::path(Path).filename().string();
			Preview.StoredName = std::to_string(NextNumber++) + "-" + Preview.FileName;
			std::filesystem::rename(ItemFolder / "extra-previews.incoming" / std::to_string(Index), Stored / Preview.StoredName, Error);
		}
		if (Error)
		{
			return k_EResultIOFailure;
		}
		for (const FExtraPreview& Preview : Removed)
		{
			std::filesystem::remove(Stored / Preview.StoredName, Error);
		}
		Record.ExtraPreviews = std::move(Kept);
		return k_EResultOK;
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

	void FWorkshop::FailNextCall(EFailableCall Call, EResult Result)
	{
		std::lock_guard Lock(Mutex);
		NextCallFailures[Call] = Result;
	}

	void FWorkshop::RefuseNextCall(ERefusableCall Call)
	{
		std::lock_guard Lock(Mutex);
		NextCallRefusals.insert(Call);
	}

	void FWorkshop::ResetControls()
	{
		std::lock_guard Lock(Mutex);
		bRefuseNext = false;
		NextFailure.reset();
		NextHold.reset();
		NextCallFailures.clear();
		NextCallRefusals.clear();
		Bandwidth = 0;
		bLegalAgreementAccepted = true;
	}
} // namespace OfflineWorkshop
