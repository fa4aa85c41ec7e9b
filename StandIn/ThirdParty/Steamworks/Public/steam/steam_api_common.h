// What every part of the SDK shares: initialisation results and the call results that asynchronous calls answer through.
#pragma once

#include "steam/steamtypes.h"

/** Why SteamAPI_InitEx failed, or that it did not. */
enum ESteamAPIInitResult
{
	k_ESteamAPIInitResult_OK = 0,
	/** Some other failure. */
	k_ESteamAPIInitResult_FailedGeneric = 1,
	/** Steam could not be reached: the Steam client is probably not running. */
	k_ESteamAPIInitResult_NoSteamClient = 2,
	/** The Steam client is older than this SDK. */
	k_ESteamAPIInitResult_VersionMismatch = 3,
};

/** A failed initialisation's message, in UTF-8. */
typedef char SteamErrMsg[1024];

/** Where the callback numbers of the Workshop's results start. */
enum
{
	k_iSteamUGCCallbacks = 3400
};

/** A receiver of one kind of callback; CCallResult is the one that TrellicSteam uses. */
class CCallbackBase
{
public:
	CCallbackBase() = default;
	virtual ~CCallbackBase() = default;

	/** Delivers a callback that belongs to no particular call. */
	virtual void Run(void* pvParam) = 0;
	/** Delivers the result of the call hSteamAPICall; bIOFailure when it never completed. */
	virtual void Run(void* pvParam, bool bIOFailure, SteamAPICall_t hSteamAPICall) = 0;
	/** The callback number of the result structure this receiver takes. */
	int GetICallback() { return m_iCallback; }
	/** The size of that structure, which the SDK checks before delivering. */
	virtual int GetCallbackSizeBytes() = 0;

protected:
	enum
	{
		k_ECallbackFlagsRegistered = 0x01,
		k_ECallbackFlagsGameServer = 0x02
	};
	uint8 m_nCallbackFlags = 0;
	int m_iCallback = 0;
};

/** Hands pCallback the result of hAPICall once it has arrived, from inside SteamAPI_RunCallbacks. */
S_API void S_CALLTYPE SteamAPI_RegisterCallResult(CCallbackBase* pCallback, SteamAPICall_t hAPICall);
/** Forgets a registration made with SteamAPI_RegisterCallResult; its result is then never delivered. */
S_API void S_CALLTYPE SteamAPI_UnregisterCallResult(CCallbackBase* pCallback, SteamAPICall_t hAPICall);

/**
 * Calls a member function of T with the result P of one asynchronous call, from inside SteamAPI_RunCallbacks on the
 * thread that runs it. Set it right after making the call; a second Set forgets the first call.
 */
template <class T, class P>
class CCallResult : private CCallbackBase
{
public:
	typedef void (T::*func_t)(P*, bool);

	CCallResult() { m_iCallback = P::k_iCallback; }
	~CCallResult() { Cancel(); }

	CCallResult(const CCallResult&) = delete;
	CCallResult& operator=(const CCallResult&) = delete;

	/** Waits for the result of hAPICall and calls (p->*func)(Result, bIOFailure) with it. */
	void Set(SteamAPICall_t hAPICall, T* p, func_t func)
	{
		Cancel();
		m_hAPICall = hAPICall;
		m_pObj = p;
		m_Func = func;
		if (hAPICall != k_uAPICallInvalid)
		{
			SteamAPI_RegisterCallResult(this, hAPICall);
		}
	}

	/** @return true while a call's result is awaited. */
	bool IsActive() const { return m_hAPICall != k_uAPICallInvalid; }

	/** Stops waiting; the result is never delivered. */
	void Cancel()
	{
		if (m_hAPICall != k_uAPICallInvalid)
		{
			SteamAPI_UnregisterCallResult(this, m_hAPICall);
			m_hAPICall = k_uAPICallInvalid;
		}
	}

	void SetGameserverFlag() { m_nCallbackFlags |= k_ECallbackFlagsGameServer; }

private:
	void Run(void* pvParam) override { Run(pvParam, false, m_hAPICall); }

	void Run(void* pvParam, bool bIOFailure, SteamAPICall_t hSteamAPICall) override
	{
		if (hSteamAPICall != m_hAPICall)
		{
			return;
		}
		// Cleared first, so that the function may Set another call on this same object.
		m_hAPICall = k_uAPICallInvalid;
		(m_pObj->*m_Func)(static_cast<P*>(pvParam), bIOFailure);
	}

	int GetCallbackSizeBytes() override { return static_cast<int>(sizeof(P)); }

	SteamAPICall_t m_hAPICall = k_uAPICallInvalid;
	T* m_pObj = nullptr;
	func_t m_Func = nullptr;
};
