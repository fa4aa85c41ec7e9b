// The handle that identifies one binding of a delegate, and the interface every binding implements.
#pragma once

#include "CoreTypes.h"
#include "Templates/TypeHash.h"

/** The object a binding calls into, used to remove every binding of one object (RemoveAll, UnRegister... APIs). */
using FDelegateUserObjectConst = const void*;
using FDelegateUserObject = void*;

/** Identifies one binding so that it can be removed from a multicast delegate later. An empty handle (id 0) names none. */
class FDelegateHandle
{
public:
	enum EGenerateNewHandleType
	{
		GenerateNewHandle
	};

	/** An empty handle that matches no binding. */
	FDelegateHandle() = default;

	/** A handle unique within the program. */
	explicit FDelegateHandle(EGenerateNewHandleType)
	    : ID(GenerateNewID())
	{
	}

	/** @return true if the handle was issued for a binding (it may have been removed since). */
	bool IsValid() const { return ID != 0; }

	/** Makes the handle empty. */
	void Reset() { ID = 0; }

	bool operator==(const FDelegateHandle& Other) const { return ID == Other.ID; }
	bool operator!=(const FDelegateHandle& Other) const { return ID != Other.ID; }

	friend uint32 GetTypeHash(const FDelegateHandle& Handle) { return GetTypeHash(Handle.ID); }

private:
	static uint64 GenerateNewID();

	uint64 ID = 0;
};

/** What every delegate binding answers, whatever it calls. */
class IDelegateInstance
{
public:
	virtual ~IDelegateInstance() = default;

	/** @return false once an object the binding holds weakly is gone. */
	virtual bool IsSafeToExecute() const = 0;

	/** @return true if the binding calls into UserObject. */
	virtual bool HasSameObject(FDelegateUserObjectConst UserObject) const = 0;

	/** @return the handle issued when the binding was made. */
	virtual FDelegateHandle GetHandle() const = 0;
};
