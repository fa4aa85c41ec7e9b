// Intrusive reference counting: FRefCountBase holds the count, TRefCountPtr holds a reference.
#pragma once

#include "CoreTypes.h"
#include <atomic>
#include <utility>

/** Base of an object whose lifetime is shared through TRefCountPtr; deletes itself at the last Release. */
class FRefCountBase
{
public:
	FRefCountBase() = default;
	FRefCountBase(const FRefCountBase&) = delete;
	FRefCountBase& operator=(const FRefCountBase&) = delete;
	virtual ~FRefCountBase() = default;

	uint32 AddRef() const { return ++NumRefs; }
	uint32 Release() const
	{
		const uint32 Remaining = --NumRefs;
		if (Remaining == 0)
		{
			delete this;
		}
		return Remaining;
	}
	uint32 GetRefCount() const { return NumRefs.load(); }

private:
	mutable std::atomic<uint32> NumRefs{0};
};

/** A counted reference to an object that has AddRef and Release; null when empty. */
template <typename ReferencedType>
class TRefCountPtr
{
public:
	TRefCountPtr() = default;
	TRefCountPtr(ReferencedType* InReference)
	    : Reference(InReference)
	{
		if (Reference)
		{
			Reference->AddRef();
		}
	}
	TRefCountPtr(const TRefCountPtr& Other)
	    : TRefCountPtr(Other.Reference)
	{
	}
	TRefCountPtr(TRefCountPtr&& Other)
	    : Reference(std::exchange(Other.Reference, nullptr))
	{
	}
	~TRefCountPtr()
	{
		if (Reference)
		{
			Reference->Release();
		}
	}
	TRefCountPtr& operator=(TRefCountPtr Other)
	{
		std::swap(Reference, Other.Reference);
		return *this;
	}

	ReferencedType* GetReference() const { return Reference; }
	ReferencedType* operator->() const { return Reference; }
	ReferencedType& operator*() const { return *Reference; }
	operator ReferencedType*() const { return Reference; }
	bool IsValid() const { return Reference != nullptr; }
	void SafeRelease() { *this = TRefCountPtr(); }

private:
	ReferencedType* Reference = nullptr;
};
