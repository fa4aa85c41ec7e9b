// What every part of the SDK shares: handles of the Steam client, the message of a failed initialisation, how an
// interface is found, and the call results that asynchronous calls answer through.
#pragma once

#include "steam/steamtypes.h"

/** A connection to the Steam client. */
typedef int32 HSteamPipe;
/** A logged-in user of the Steam client; 0 while the SDK is not initialised. */
typedef int32 HSteamUser;

/** The longest message a failed initialisation gives, its terminating null included. */
enum
{
	k_cchMaxSteamErrMsg = 1024
};
/** A failed initialisation's message, in UTF-8. */
typedef char SteamErrMsg[k_cchMaxSteamErrMsg];

/** Where the callback numbers of the Workshop's results start. */
enum
{
	k_iSteamUGCCallbacks = 3400
};

/** @return the user the SDK was initialised for; 0 when it is not initialised */
S_API HSteamUser S_CALLTYPE SteamAPI_GetHSteamUser();

/**
 * The interface of version pszVersion for hSteamUser; what the inline accessors such as SteamUGC() call.
 * @return null for user 0 or a version the library does not implement
 */
S_API void* S_CALLTYPE SteamInternal_FindOrCreateUserInterface(HSteamUser hSteamUser, const char* pszVersion);

/**
 * A receiver of one kind of callback; CCallResult is the one that TrellicSteam uses. The library calls it through its
 * virtual functions, so their order is part of the binary interface, and it has no virtual destructor, which would
 * change that order.
 */
class CCallbackBase
{
public:
	CCallbackBase()
	    : m_nCallbackFlags(0)
	    , m_iCallback(0)
	{
	}

	/** Delivers a callback that belongs to no particular call. */
	virtual void Run(void* pvParam) = 0;
	/** Delivers the result of the call hSteamAPICall; bIOFailure when it never completed. */
	virtual void Run(void* pvParam, bool bIOFailure, SteamAPICall_t hSteamAPICall) = 0;
	/** The callback number of the result structure this receiver takes. */
	int GetICallback() { return m_iCallback; }
	/** The size of that structure, which the library checks before delivering. */
	virtual int GetCallbackSizeBytes() = 0;

	CCallbackBase(const CCallbackBase&) = delete;
	CCallbackBase& operator=(const CCallbackBase&) = delete;

protected:
	enum
	{
		k_ECallbackFlagsRegistered = 0x01,
		k_ECallbackFlagsGameServer = 0x02
	};
	uint8 m_nCallbackFlags;
	int m_iCallback;
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

	CCallResult()
	    : m_hAPICall(k_uAPICallInvalid)
	    , m_pObj(nullptr)
	    , m_Func(nullptr)
	{
		m_iCallback = P::k_iCallback;
	}

	~CCallResult() { Cancel(); }

	/** Waits for the result of hAPICall and calls (p->*func)(Result, bIOFailure) with it. */
	void Set(SteamAPICall_t hAPICall, T* p, func_t func)
	{
		if (m_hAPICall != k_uAPICallInvalid)
		{
			SteamAPI_UnregisterCallResult(this, m_hAPICall);
		}
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
	// The library forgets the registration before it delivers, so neither Run unregisters; each clears the call first,
	// so that the function may Set another call on this same object.
	void Run(void* pvParam) override
	{
		m_hAPICall = k_uAPICallInvalid;
		(m_pObj->*m_Func)(static_cast<P*>(pvParam), false);
	}

	void Run(void* pvParam, bool bIOFailure, SteamAPICall_t hSteamAPICall) override
	{
		// A result for a call this object no longer waits for (cancelled, or replaced by Set) is not its business.
		if (hSteamAPICall == m_hAPICall)
		{
			m_hAPICall = k_uAPICallInvalid;
			(m_pObj->*m_Func)(static_cast<P*>(pvParam), bIOFailure);
		}
	}

	int GetCallbackSizeBytes() override { return static_cast<int>(sizeof(P)); }

	SteamAPICall_t m_hAPICall;
	T* m_pObj;
	func_t m_Func;
};
