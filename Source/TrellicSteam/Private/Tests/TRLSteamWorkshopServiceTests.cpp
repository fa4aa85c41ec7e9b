// Copyright Trellic contributors. All Rights Reserved.

#include "Misc/AutomationTest.h"
#include "TRLSteamWorkshopService.h"

#if WITH_DEV_AUTOMATION_TESTS

BEGIN_DEFINE_SPEC(FTRLSteamWorkshopServiceSpec, "Trellic.TrellicSteam.TRLSteamWorkshopService",
                  EAutomationTestFlags::EditorContext | EAutomationTestFlags::ProductFilter)
END_DEFINE_SPEC(FTRLSteamWorkshopServiceSpec)

void FTRLSteamWorkshopServiceSpec::Define()
{
	Describe("GetUpdateFraction", [this]() {
		It("only grows over a whole update, although Steam counts each stage's bytes afresh against a total of its own", [this]() {
			struct FReport
			{
				EItemUpdateStatus Status;
				uint64 Processed;
				uint64 Total;
			};
			const FReport Reports[] = {
			    {k_EItemUpdateStatusPreparingConfig, 0, 0},          {k_EItemUpdateStatusPreparingContent, 0, 5000},
			    {k_EItemUpdateStatusPreparingContent, 5000, 5000},   {k_EItemUpdateStatusUploadingContent, 0, 3000},
			    {k_EItemUpdateStatusUploadingContent, 1500, 3000},   {k_EItemUpdateStatusUploadingContent, 3000, 3000},
			    {k_EItemUpdateStatusUploadingPreviewFile, 0, 60000}, {k_EItemUpdateStatusUploadingPreviewFile, 60000, 60000},
			    {k_EItemUpdateStatusCommittingChanges, 0, 0},
			};
			float Before = 0.0f;
			for (const FReport& Report : Reports)
			{
				const float Fraction = FTRLSteamWorkshopService::GetUpdateFraction(Report.Status, Report.Processed, Report.Total);
				const FString What = FString::Printf(TEXT("stage %d at %llu of %llu"), static_cast<int32>(Report.Status), Report.Processed, Report.Total);
				TestTrue(What + TEXT(" is no less than before"), Fraction >= Before);
				TestTrue(What + TEXT(" is at most the whole"), Fraction <= 1.0f);
				TestTrue(What + TEXT(" moves when bytes are done"), Report.Processed == 0 || Fraction > Before);
				Before = Fraction;
			}
			TestEqual(TEXT("an unknown status"), FTRLSteamWorkshopService::GetUpdateFraction(k_EItemUpdateStatusInvalid, 10, 20), 0.0f);
		});
	});

	Describe("MakeAnswer", [this]() {
		It("names the Workshop legal agreement when the account has not accepted it, and only on an upload that went through", [this]() {
			using ECall = FTRLSteamWorkshopService::ECall;
			const FTRLWorkshopAnswer Uploaded = FTRLSteamWorkshopService::MakeAnswer(ECall::SubmitItemUpdate, k_EResultOK, true, 77, 480);
			TestEqual(TEXT("result"), static_cast<int32>(Uploaded.Result), static_cast<int32>(ETRLWorkshopResult::LegalAgreementRequired));
			TestEqualSensitive(TEXT("message"), Uploaded.Message.ToString(),
			                   FString(TEXT("Workshop item 77 was uploaded, but Steam keeps it hidden until you accept the Steam Workshop legal agreement. "
			                                "Open https://steamcommunity.com/sharedfiles/workshoplegalagreement with the publishing account and accept it.")));
			TestEqual(TEXT("item"), Uploaded.ItemId, 77ull);

			const FTRLWorkshopAnswer Failed = FTRLSteamWorkshopService::MakeAnswer(ECall::SubmitItemUpdate, k_EResultTimeout, true, 77, 480);
			TestEqual(TEXT("a failure stays that failure"), static_cast<int32>(Failed.Result), static_cast<int32>(ETRLWorkshopResult::Timeout));
		});
	});
}

#endif
