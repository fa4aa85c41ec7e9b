// The SDK's entry points and interfaces, each answered by the offline Workshop.
#include "OfflineWorkshop.h"
#include "steam/steam_api.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace
{
	using OfflineWorkshop::ERefusableCall;
	using OfflineWorkshop::FQuery;
	using OfflineWorkshop::FQueryResult;
	using OfflineWorkshop::FUpdate;
	using OfflineWorkshop::FWorkshop;

	// Steam takes tags of 1 to 255 printable ASCII characters, none of them a comma.
	constexpr size_t TagLengthLimit = 255;
	// A key-value tag's key is 1 to 255 letters, digits and underscores; its value at most 255 bytes. One update
	// removes at most 100 keys and adds at most 100 tags.
	constexpr size_t KeyValueLengthLimit = 255;
	constexpr size_t KeyValueTagsPerUpdate = 100;

	bool IsValidKey(const char* Key)
	{
		if (!Key)
		{
			return false;
		}
		const std::string_view Text(Key);
		return !Text.empty() && Text.size() <= KeyValueLengthLimit && std::all_of(Text.begin(), Text.end(), [](char Char) {
			return (Char >= 'a' && Char <= 'z') || (Char >= 'A' && Char <= 'Z') || (Char >= '0' && Char <= '9') || Char == '_';
		});
	}

	// Copies Text into a buffer of Size bytes, cut to fit with its terminator. @return false when there is no buffer
	bool CopyText(const std::string& Text, char* Buffer, uint32 Size)
	{
		if (!Buffer || Size == 0)
		{
			return false;
		}
		const size_t Length = std::min<size_t>(Text.size(), Size - 1);
		std::memcpy(Buffer, Text.data(), Length);
		Buffer[Length] = '\0';
		return true;
	}

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

		bool RemoveItemKeyValueTags(UGCUpdateHandle_t handle, const char* pchKey) override
		{
			return pchKey && FWorkshop::Get().EditUpdate(
			                     handle,
			                     [pchKey](FUpdate& Update) {
				                     if (Update.RemovedKeys.size() >= KeyValueTagsPerUpdate)
				                     {
					                     return false;
				                     }
				                     Update.RemovedKeys.emplace_back(pchKey);
				                     return true;
			                     },
			                     ERefusableCall::KeyValueTag);
		}

		bool AddItemKeyValueTag(UGCUpdateHandle_t handle, const char* pchKey, const char* pchValue) override
		{
			return IsValidKey(pchKey) && pchValue && std::strlen(pchValue) <= KeyValueLengthLimit &&
			       FWorkshop::Get().EditUpdate(
			           handle,
			           [pchKey, pchValue](FUpdate& Update) {
				           if (Update.AddedKeyValueTags.size() >= KeyValueTagsPerUpdate)
				           {
					           return false;
				           }
				           Update.AddedKeyValueTags.emplace_back(pchKey, pchValue);
				           return true;
			           },
			           ERefusableCall::KeyValueTag);
		}

		bool AddItemPreviewFile(UGCUpdateHandle_t handle, const char* pszPreviewFile, EItemPreviewType type) override
		{
			const bool bFileType = type != k_EItemPreviewType_YouTubeVideo && type != k_EItemPreviewType_Sketchfab;
			return pszPreviewFile && bFileType &&
			       FWorkshop::Get().EditUpdate(
			           handle,
			           [pszPreviewFile, type](FUpdate& Update) {
				           Update.AddedPreviews.emplace_back(pszPreviewFile, type);
				           return true;
			           },
			           ERefusableCall::Preview);
		}

		bool RemoveItemPreview(UGCUpdateHandle_t handle, uint32 index) override
		{
			return FWorkshop::Get().EditUpdate(
			    handle,
			    [index](FUpdate& Update) {
				    Update.RemovedPreviews.push_back(index);
				    return true;
			    },
			    ERefusableCall::Preview);
		}

		SteamAPICall_t AddDependency(PublishedFileId_t nParentPublishedFileID, PublishedFileId_t nChildPublishedFileID) override
		{
			return FWorkshop::Get().ChangeDependency(nParentPublishedFileID, nChildPublishedFileID, true);
		}

		SteamAPICall_t RemoveDependency(PublishedFileId_t nParentPublishedFileID, PublishedFileId_t nChildPublishedFileID) override
		{
			return FWorkshop::Get().ChangeDependency(nParentPublishedFileID, nChildPublishedFileID, false);
		}

		UGCQueryHandle_t CreateQueryUGCDetailsRequest(PublishedFileId_t* pvecPublishedFileID, uint32 unNumPublishedFileIDs) override
		{
			return FWorkshop::Get().CreateDetailsQuery(pvecPublishedFileID, unNumPublishedFileIDs);
		}

		bool SetReturnChildren(UGCQueryHandle_t handle, bool bReturnChildren) override
		{
			return FWorkshop::Get().EditQuery(handle, [bReturnChildren](FQuery& Query) {
				Query.bReturnChildren = bReturnChildren;
			});
		}

		bool SetReturnAdditionalPreviews(UGCQueryHandle_t handle, bool bReturnAdditionalPreviews) override
		{
			return FWorkshop::Get().EditQuery(handle, [bReturnAdditionalPreviews](FQuery& Query) {
				Query.bReturnAdditionalPreviews = bReturnAdditionalPreviews;
			});
		}

		// The offline Workshop keeps no cache: every answer is read from its items.
		bool SetAllowCachedResponse(UGCQueryHandle_t handle, uint32 /*unMaxAgeSeconds*/) override
		{
			return FWorkshop::Get().EditQuery(handle, [](FQuery&) {});
		}

		SteamAPICall_t SendQueryUGCRequest(UGCQueryHandle_t handle) override { return FWorkshop::Get().SendQuery(handle); }

		bool GetQueryUGCResult(UGCQueryHandle_t handle, uint32 index, SteamUGCDetails_t* pDetails) override
		{
			return pDetails && FWorkshop::Get().ReadQueryResult(handle, index, [pDetails](const FQuery&, const FQueryResult& Result) {
				*pDetails = SteamUGCDetails_t{};
				pDetails->m_nPublishedFileId = Result.Id;
				pDetails->m_eResult = Result.Result;
				pDetails->m_unNumChildren = static_cast<uint32>(Result.Record.Children.size());
				return true;
			});
		}

		bool GetQueryUGCChildren(UGCQueryHandle_t handle, uint32 index, PublishedFileId_t* pvecPublishedFileID, uint32 cMaxEntries) override
		{
			return pvecPublishedFileID &&
			       FWorkshop::Get().ReadQueryResult(handle, index, [pvecPublishedFileID, cMaxEntries](const FQuery& Query, const FQueryResult& Result) {
				       const std::vector<PublishedFileId_t>& Children = Result.Record.Children;
				       std::copy_n(Children.begin(), std::min<size_t>(Children.size(), cMaxEntries), pvecPublishedFileID);
				       return Query.bReturnChildren;
			       });
		}

		uint32 GetQueryUGCNumAdditionalPreviews(UGCQueryHandle_t handle, uint32 index) override
		{
			uint32 Count = 0;
			FWorkshop::Get().ReadQueryResult(handle, index, [&Count](const FQuery& Query, const FQueryResult& Result) {
				Count = Query.bReturnAdditionalPreviews ? static_cast<uint32>(Result.Record.ExtraPreviews.size()) : 0;
				return true;
			});
			return Count;
		}

		bool GetQueryUGCAdditionalPreview(UGCQueryHandle_t handle, uint32 index, uint32 previewIndex, char* pchURLOrVideoID, uint32 cchURLSize,
		                                  char* pchOriginalFileName, uint32 cchOriginalFileNameSize, EItemPreviewType* pPreviewType) override
		{
			return FWorkshop::Get().ReadQueryResult(handle, index, [=](const FQuery& Query, const FQueryResult& Result) {
				const auto& Previews = Result.Record.ExtraPreviews;
				if (!Query.bReturnAdditionalPreviews || previewIndex >= Previews.size() || !pPreviewType)
				{
					return false;
				}
				// Where the page would load it from: here, the stored file.
				const std::string Location = (Result.ItemFolder / "extra-previews" / Previews[previewIndex].StoredName).generic_string();
				*pPreviewType = Previews[previewIndex].Type;
				return CopyText(Location, pchURLOrVideoID, cchURLSize) &&
				       CopyText(Previews[previewIndex].FileName, pchOriginalFileName, cchOriginalFileNameSize);
			});
		}

		bool ReleaseQueryUGCRequest(UGCQueryHandle_t handle) override { return FWorkshop::Get().ReleaseQuery(handle); }

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
