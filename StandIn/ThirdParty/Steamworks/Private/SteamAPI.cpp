// The SDK's entry points and interfaces, each answered by the offline Workshop.
#include "OfflineWorkshop.h"
#include "steam/steam_api.h"

namespace
{
	using OfflineWorkshop::FUpdate;
	using OfflineWorkshop::FWorkshop;

	// Steam takes tags of at most 255 characters, none with a comma.
	constexpr size_t TagLengthLimit = 255;

	class FSteamUGC final : public ISteamUGC
	{
	public:
		SteamAPICall_t CreateItem(AppId_t nConsumerAppId, EWorkshopFileType eFileType) override
		{
			return FWorkshop::Get().CreateItem(nConsumerAppId, eFileType);
		}

		UGCUpdateHandle_t StartItemUpdate(AppId_t nConsumerAppId, PublishedFileId_t nPublishedFileID) override
		{
			return FWorkshop::Get().StartItemUpdate(nConsumerAppId, nPublishedFileID);
		}

		bool SetItemTitle(UGCUpdateHandle_t handle, const char* pchTitle) override
		{
			return pchTitle && OfflineWorkshop::CountCharacters(pchTitle) < k_cchPublishedDocumentTitleMax &&
			       FWorkshop::Get().EditUpdate(handle, [pchTitle](FUpdate& Update) {
				       Update.Title = pchTitle;
				       return true;
			       });
		}

		bool SetItemDescription(UGCUpdateHandle_t handle, const char* pchDescription) override
		{
			return pchDescription && OfflineWorkshop::CountCharacters(pchDescription) <= k_cchPublishedDocumentDescriptionMax &&
			       FWorkshop::Get().EditUpdate(handle, [pchDescription](FUpdate& Update) {
				       Update.Description = pchDescription;
				       return true;
			       });
		}

		bool SetItemVisibility(UGCUpdateHandle_t handle, ERemoteStoragePublishedFileVisibility eVisibility) override
		{
			const bool bKnown = eVisibility >= k_ERemoteStoragePublishedFileVisibilityPublic && eVisibility <= k_ERemoteStoragePublishedFileVisibilityUnlisted;
			return bKnown && FWorkshop::Get().EditUpdate(handle, [eVisibility](FUpdate& Update) {
				Update.Visibility = eVisibility;
				return true;
			});
		}

		bool SetItemTags(UGCUpdateHandle_t updateHandle, const SteamParamStringArray_t* pTags, bool bAllowAdminTags) override
		{
			(void)bAllowAdminTags;
			if (!pTags || pTags->m_nNumStrings < 0 || (pTags->m_nNumStrings > 0 && !pTags->m_ppStrings))
			{
				return false;
			}
			std::vector<std::string> Tags;
			for (int32 Index = 0; Index < pTags->m_nNumStrings; ++Index)
			{
				const char* Tag = pTags->m_ppStrings[Index];
				if (!Tag || OfflineWorkshop::CountCharacters(Tag) > TagLengthLimit || std::string(Tag).find(',') != std::string::npos)
				{
					return false;
				}
				Tags.emplace_back(Tag);
			}
			return FWorkshop::Get().EditUpdate(updateHandle, [&Tags](FUpdate& Update) {
				Update.Tags = Tags;
				return true;
			});
		}

		bool SetItemContent(UGCUpdateHandle_t handle, const char* pszContentFolder) override
		{
			return pszContentFolder && FWorkshop::Get().EditUpdate(handle, [pszContentFolder](FUpdate& Update) {
				Update.ContentFolder = pszContentFolder;
				return true;
			});
		}

		bool SetItemPreview(UGCUpdateHandle_t handle, const char* pszPreviewFile) override
		{
			return pszPreviewFile && FWorkshop::Get().EditUpdate(handle, [pszPreviewFile](FUpdate& Update) {
				Update.PreviewFile = pszPreviewFile;
				return true;
			});
		}

		SteamAPICall_t SubmitItemUpdate(UGCUpdateHandle_t handle, const char* pchChangeNote) override
		{
			return FWorkshop::Get().SubmitItemUpdate(handle, pchChangeNote);
		}

		EItemUpdateStatus GetItemUpdateProgress(UGCUpdateHandle_t handle, uint64* punBytesProcessed, uint64* punBytesTotal) override
		{
			return FWorkshop::Get().GetItemUpdateProgress(handle, punBytesProcessed, punBytesTotal);
		}
	};

	class FSteamUtils final : public ISteamUtils
	{
	public:
		uint32 GetAppID() override { return FWorkshop::Get().GetAppId(); }
	};
} // namespace

S_API ESteamAPIInitResult S_CALLTYPE SteamAPI_InitEx(SteamErrMsg* pOutErrMsg)
{
	return FWorkshop::Get().Init(pOutErrMsg);
}

S_API void S_CALLTYPE SteamAPI_Shutdown()
{
	FWorkshop::Get().Shutdown();
}

S_API void S_CALLTYPE SteamAPI_RunCallbacks()
{
	FWorkshop::Get().RunCallbacks();
}

S_API void S_CALLTYPE SteamAPI_RegisterCallResult(CCallbackBase* pCallback, SteamAPICall_t hAPICall)
{
	FWorkshop::Get().RegisterCallResult(pCallback, hAPICall);
}

S_API void S_CALLTYPE SteamAPI_UnregisterCallResult(CCallbackBase* pCallback, SteamAPICall_t hAPICall)
{
	FWorkshop::Get().UnregisterCallResult(pCallback, hAPICall);
}

ISteamUGC* SteamUGC()
{
	static FSteamUGC UGC;
	return FWorkshop::Get().IsInitialized() ? &UGC : nullptr;
}

ISteamUtils* SteamUtils()
{
	static FSteamUtils Utils;
	return FWorkshop::Get().IsInitialized() ? &Utils : nullptr;
}
