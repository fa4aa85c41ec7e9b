// The stand-in hooks of the offline Workshop: its folder and the controls of its next request.
#include "OfflineWorkshop.h"
#include "StandIn/OfflineWorkshop.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace UE::StandIn
{
	namespace
	{
		using OfflineWorkshop::FWorkshop;

		// The fraction's decimals a hold keeps.
		constexpr uint64 HoldDenominator = 1000000;

		struct FNamedResult
		{
			const char* Name;
			EResult Result;
		};

		constexpr FNamedResult NamedResults[] = {
		    {"k_EResultOK", k_EResultOK},
		    {"k_EResultFail", k_EResultFail},
		    {"k_EResultNoConnection", k_EResultNoConnection},
		    {"k_EResultInvalidParam", k_EResultInvalidParam},
		    {"k_EResultFileNotFound", k_EResultFileNotFound},
		    {"k_EResultBusy", k_EResultBusy},
		    {"k_EResultDuplicateName", k_EResultDuplicateName},
		    {"k_EResultAccessDenied", k_EResultAccessDenied},
		    {"k_EResultTimeout", k_EResultTimeout},
		    {"k_EResultBanned", k_EResultBanned},
		    {"k_EResultServiceUnavailable", k_EResultServiceUnavailable},
		    {"k_EResultNotLoggedOn", k_EResultNotLoggedOn},
		    {"k_EResultInsufficientPrivilege", k_EResultInsufficientPrivilege},
		    {"k_EResultLimitExceeded", k_EResultLimitExceeded},
		    {"k_EResultDuplicateRequest", k_EResultDuplicateRequest},
		    {"k_EResultLockingFailed", k_EResultLockingFailed},
		    {"k_EResultIOFailure", k_EResultIOFailure},
		    {"k_EResultServiceReadOnly", k_EResultServiceReadOnly},
		    {"k_EResultDiskFull", k_EResultDiskFull},
		    {"k_EResultRemoteCallFailed", k_EResultRemoteCallFailed},
		};
	} // namespace

	std::string MakeDefaultOfflineWorkshopFolder(const std::string& ProjectDir)
	{
		return (std::filesystem::path(ProjectDir) / "Saved" / "OfflineWorkshop").generic_string();
	}

	void SetOfflineWorkshopFolder(const std::string& Folder)
	{
		FWorkshop::Get().SetFolder(Folder);
	}

	std::string GetOfflineWorkshopFolder()
	{
		return FWorkshop::Get().GetFolder().generic_string();
	}

	void SetOfflineWorkshopAppId(AppId_t AppId)
	{
		FWorkshop::Get().SetAppId(AppId);
	}

	void SetOfflineWorkshopBandwidth(uint64 BytesPerSecond)
	{
		FWorkshop::Get().SetBandwidth(BytesPerSecond);
	}

	void SetOfflineWorkshopLegalAgreementAccepted(bool bAccepted)
	{
		FWorkshop::Get().SetLegalAgreementAccepted(bAccepted);
	}

	bool HoldNextOfflineWorkshopUpdateAt(double Fraction)
	{
		if (!(Fraction >= 0.0 && Fraction <= 1.0))
		{
			return false;
		}
		OfflineWorkshop::FHold Hold;
		Hold.Numerator = static_cast<uint64>(std::llround(Fraction * static_cast<double>(HoldDenominator)));
		const uint64 Divisor = std::gcd(Hold.Numerator, HoldDenominator);
		Hold.Numerator /= Divisor;
		Hold.Denominator = HoldDenominator / Divisor;
		FWorkshop::Get().SetNextHold(Hold);
		return true;
	}

	bool WaitForOfflineWorkshopHold(double TimeoutSeconds)
	{
		return FWorkshop::Get().WaitForHold(TimeoutSeconds);
	}

	bool ReleaseOfflineWorkshopHold()
	{
		return FWorkshop::Get().ReleaseHold();
	}

	void RefuseNextOfflineWorkshopRequest()
	{
		FWorkshop::Get().RefuseNext();
	}

	void FailNextOfflineWorkshopRequest(EResult Result, bool bAfterCreate)
	{
		FWorkshop::Get().FailNext({Result, bAfterCreate});
	}

	void FailNextOfflineWorkshopAddDependency(EResult Result)
	{
		FWorkshop::Get().FailNextCall(OfflineWorkshop::EFailableCall::AddDependency, Result);
	}

	void FailNextOfflineWorkshopRemoveDependency(EResult Result)
	{
		FWorkshop::Get().FailNextCall(OfflineWorkshop::EFailableCall::RemoveDependency, Result);
	}

	void FailNextOfflineWorkshopDetailsQuery(EResult Result)
	{
		FWorkshop::Get().FailNextCall(OfflineWorkshop::EFailableCall::DetailsQuery, Result);
	}

	void RefuseNextOfflineWorkshopKeyValueTag()
	{
		FWorkshop::Get().RefuseNextCall(OfflineWorkshop::ERefusableCall::KeyValueTag);
	}

	void RefuseNextOfflineWorkshopPreview()
	{
		FWorkshop::Get().RefuseNextCall(OfflineWorkshop::ERefusableCall::Preview);
	}

	bool FindOfflineWorkshopResult(const std::string& Name, EResult& OutResult)
	{
		const auto Found = std::find_if(std::begin(NamedResults), std::end(NamedResults), [&Name](const FNamedResult& Candidate) {
			return Name == Candidate.Name;
		});
		if (Found == std::end(NamedResults))
		{
			return false;
		}
		OutResult = Found->Result;
		return true;
	}

	void ResetOfflineWorkshopControls()
	{
		FWorkshop::Get().ResetControls();
	}

	std::vector<FOfflineWorkshopItem> ListOfflineWorkshopItems()
	{
		const std::filesystem::path Root = FWorkshop::Get().GetFolder();
		std::vector<std::pair<OfflineWorkshop::FItemRecord, std::filesystem::path>> Records;
		std::error_code Error;
		if (std::filesystem::is_directory(Root, Error))
		{
			for (const std::filesystem::directory_entry& Entry : std::filesystem::directory_iterator(Root, Error))
			{
				OfflineWorkshop::FItemRecord Record;
				if (Entry.is_directory(Error) && OfflineWorkshop::ReadItemRecord(Entry.path(), Record))
				{
					Records.emplace_back(std::move(Record), Entry.path());
				}
			}
		}
		std::sort(Records.begin(), Records.end(), [](const auto& Left, const auto& Right) {
			return Left.first.CreatedTicks != Right.first.CreatedTicks ? Left.first.CreatedTicks < Right.first.CreatedTicks : Left.first.Id < Right.first.Id;
		});
		std::vector<FOfflineWorkshopItem> Items;
		for (const auto& [Record, ItemFolder] : Records)
		{
			FOfflineWorkshopItem Item;
			Item.Id = Record.Id;
			Item.Title = Record.Title;
			Item.Description = Record.Description;
			Item.Tags = Record.Tags;
			Item.Visibility = OfflineWorkshop::GetVisibilityWord(Record.Visibility);
			Item.PreviewFileName = Record.PreviewFileName;
			Item.ChangeNotes = Record.ChangeNotes;
			Item.ContentFiles = OfflineWorkshop::ListRelativeFiles(ItemFolder / "content");
			Item.Children = Record.Children;
			Item.KeyValueTags = Record.KeyValueTags;
			for (const OfflineWorkshop::FExtraPreview& Preview : Record.ExtraPreviews)
			{
				Item.ExtraPreviewFileNames.push_back(Preview.FileName);
			}
			Items.push_back(std::move(Item));
		}
		return Items;
	}
} // namespace UE::StandIn
