// TObjectPtr: the member type for object references held by reflected properties. It behaves as a raw
// pointer; the garbage collector finds it through the property that declares it.
#pragma once

#include "CoreTypes.h"
#include <type_traits>

template <typename T>
struct TObjectPtr
{
	using ElementType = T;

	TObjectPtr() = default;
	TObjectPtr(TYPE_OF_NULLPTR) {}
	template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TObjectPtr(U* Object)
	    : Pointer(Object)
	{
	}
	template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TObjectPtr(const TObjectPtr<U>& Other)
	    : Pointer(Other.Get())
	{
	}

	template <typename U, typename = std::enable_if_t<std::is_convertible_v<U*, T*>>>
	TObjectPtr& operator=(U* Object)
	{
		Pointer = Object;
		return *this;
	}
	TObjectPtr& operator=(TYPE_OF_NULLPTR)
	{
		Pointer = nullptr;
		return *this;
	}

	T* Get() const { return Pointer; }
	operator T*() const { return Pointer; }
	T* operator->() const { return Pointer; }
	T& operator*() const { return *Pointer; }
	explicit operator bool() const { return Pointer != nullptr; }

	// Comparisons (with another TObjectPtr, a raw pointer or nullptr) go through the conversion to T*.

	friend uint32 GetTypeHash(const TObjectPtr& Ptr) { return static_cast<uint32>(reinterpret_cast<UPTRINT>(Ptr.Pointer) >> 4); }

private:
	T* Pointer = nullptr;
};

template <typename T>
T* ToRawPtr(const TObjectPtr<T>& Ptr)
{
	return Ptr.Get();
}

template <typename T>
T* ToRawPtr(T* Ptr)
{
	return Ptr;
}

template <typename T>
struct TIsTObjectPtr : std::false_type
{
};
template <typename T>
struct TIsTObjectPtr<TObjectPtr<T>> : std::true_type
{
};
