// The SDK's entry points and interfaces, each answered by the offline Workshop.
#include "OfflineWorkshop.h"
#include "steam/steam_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace
{
	using OfflineWorkshop::FUpdate;
	using OfflineWorkshop::FWorkshop;

	// Steam takes tags of 1 to 255 printable ASCII characters, none of them a comma.
	constexpr size_t TagLengthLimit = 255;

	bool IsValidTag(const char* Tag)
	{
		if (!Tag)
		{
			return false;
		}
		const std::string_view Text(Tag);
		return !Text.empty() && Text.size() <= TagLengthLimit && std::all_of(Text.begin(), Text.end(), [](char Char) {
			// isprint in the C locale: space to tilde, which leaves out control characters and every byte of UTF-8 past ASCII.
			return Char >= 0x20 && Char <= 0x7E && Char != ',';
		});
	}

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
			return pchTitle && std::strlen(pchTitle) < k_cchPublishedDocumentTitleMax && FWorkshop::Get().EditUpdate(handle, [pchTitle](FUpdate& Update) {
				Update.Title = pchTitle;
				return true;
			});
		}

		bool SetItemDescription(UGCUpdateHandle_t handle, const char* pchDescription) override
		{
			return pchDescription && std::strlen(pchDescription) < k_cchPublishedDocumentDescriptionMax &&
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
				if (!IsValidTag(Tag))
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

	// The one user of the offline Workshop, while it is initialised.
	constexpr HSteamUser OfflineUser = 1;

	void* FindInterface(const char* Version)
	{
		static FSteamUGC UGC;
		static FSteamUtils Utils;
		if (std::strcmp(Version, STEAMUGC_INTERFACE_VERSION) == 0)
		{
			return static_cast<ISteamUGC*>(&UGC);
		}
		if (std::strcmp(Version, STEAMUTILS_INTERFACE_VERSION) == 0)
		{
			return static_cast<ISteamUtils*>(&Utils);
		}
		return nullptr;
	}
} // namespace

S_API ESteamAPIInitResult S_CALLTYPE SteamInternal_SteamAPI_Init(const char* pszInternalCheckInterfaceVersions, SteamErrMsg* pOutErrMsg)
{
	for (const char* Version = pszInternalCheckInterfaceVersions; Version && *Version; Version += std::strlen(Version) + 1)
	{
		if (!FindInterface(Version))
		{
			if (pOutErrMsg)
			{
				std::snprintf(*pOutErrMsg, sizeof(SteamErrMsg), "No interface of version '%s': the offline Workshop is older than these headers.", Version);
			}
			return k_ESteamAPIInitResult_VersionMismatch;
		}
	}
	return FWorkshop::Get().Init(pOutErrMsg);
}

S_API bool S_CALLTYPE SteamAPI_IsSteamRunning()
{
	return FWorkshop::Get().IsSteamRunning();
}

S_API HSteamUser S_CALLTYPE SteamAPI_GetHSteamUser()
{
	return FWorkshop::Get().IsInitialized() ? OfflineUser : 0;
}

S_API void* S_CALLTYPE SteamInternal_FindOrCreateUserInterface(HSteamUser hSteamUser, const char* pszVersion)
{
	return hSteamUser == OfflineUser && pszVersion && FWorkshop::Get().IsInitialized() ? FindInterface(pszVersion) : nullptr;
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
