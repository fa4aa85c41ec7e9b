// A weak reference to an object of the object system: it never keeps the object alive and never dangles,
// reading null once the object has been destroyed. The untyped FWeakObjectPtr comes from CoreUObject;
// every use that dereferences or constructs one needs the object system's headers.
#pragma once

#include "CoreTypes.h"
#include <type_traits>

class UObject;
struct FWeakObjectPtr;

template <class T = UObject, class TWeakObjectPtrBase = FWeakObjectPtr>
struct TWeakObjectPtr;

template <class T, class TWeakObjectPtrBase>
struct TWeakObjectPtr : private TWeakObjectPtrBase
{
	template <class, class>
	friend struct TWeakObjectPtr;

	using ElementType = T;

	TWeakObjectPtr() = default;
	TWeakObjectPtr(TYPE_OF_NULLPTR) {}

	template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TWeakObjectPtr(U* Object)
	    : TWeakObjectPtrBase(static_cast<const UObject*>(static_cast<const T*>(Object)))
	{
	}

	template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TWeakObjectPtr(const TWeakObjectPtr<U, TWeakObjectPtrBase>& Other)
	    : TWeakObjectPtrBase(static_cast<const TWeakObjectPtrBase&>(Other))
	{
	}

	template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TWeakObjectPtr& operator=(U* Object)
	{
		TWeakObjectPtrBase::operator=(static_cast<const UObject*>(static_cast<const T*>(Object)));
		return *this;
	}

	/** Forgets the object. */
	void Reset() { TWeakObjectPtrBase::Reset(); }

	/** @return the object, or null once it has been destroyed (or marked as garbage, unless bEvenIfGarbage). */
	T* Get(bool bEvenIfGarbage = false) const { return const_cast<T*>(static_cast<const T*>(TWeakObjectPtrBase::Get(bEvenIfGarbage))); }

	T* operator->() const { return Get(); }
	T& operator*() const { return *Get(); }

	/** @return true while the object is alive and not garbage. */
	bool IsValid(bool bEvenIfGarbage = false, bool bThreadsafeTest = false) const { return TWeakObjectPtrBase::IsValid(bEvenIfGarbage, bThreadsafeTest); }

	/** @return true when this pointed at an object that is now gone. */
	bool IsStale(bool bIncludingGarbage = true, bool bThreadsafeTest = false) const { return TWeakObjectPtrBase::IsStale(bIncludingGarbage, bThreadsafeTest); }

	/** @return true once set to an object, even if it has since been destroyed. */
	bool IsExplicitlyNull() const { return TWeakObjectPtrBase::IsExplicitlyNull(); }

	explicit operator bool() const { return IsValid(); }

	bool operator==(const TWeakObjectPtr& Other) const
	{
		return static_cast<const TWeakObjectPtrBase&>(*this) == static_cast<const TWeakObjectPtrBase&>(Other);
	}
	bool operator!=(const TWeakObjectPtr& Other) const { return !(*this == Other); }
	bool operator==(TYPE_OF_NULLPTR) const { return !IsValid(); }
	bool operator!=(TYPE_OF_NULLPTR) const { return IsValid(); }
	template <typename U>
	bool operator==(const U* Object) const
	{
		return Get() == Object;
	}
	template <typename U>
	bool operator!=(const U* Object) const
	{
		return Get() != Object;
	}

	friend uint32 GetTypeHash(const TWeakObjectPtr& WeakObjectPtr) { return GetTypeHash(static_cast<const TWeakObjectPtrBase&>(WeakObjectPtr)); }
};

template <typename T>
TWeakObjectPtr<T> MakeWeakObjectPtr(T* Object)
{
	return TWeakObjectPtr<T>(Object);
}
