// Reference-counted pointers with the engine's names: TSharedRef (never null), TSharedPtr, TWeakPtr.
#pragma once

#include "CoreTypes.h"
#include "Misc/AssertionMacros.h"
#include <memory>
#include <type_traits>

enum class ESPMode : uint8
{
	NotThreadSafe = 0,
	ThreadSafe = 1
};

namespace SharedPointerInternals
{
	// What MakeShareable returns: a new object waiting to be owned by the first shared pointer or reference.
	template <class ObjectType>
	struct TRawPtrProxy
	{
		ObjectType* Object;
	};
} // namespace SharedPointerInternals

template <class ObjectType, ESPMode Mode = ESPMode::ThreadSafe>
class TSharedRef;
template <class ObjectType, ESPMode Mode = ESPMode::ThreadSafe>
class TSharedPtr;
template <class ObjectType, ESPMode Mode = ESPMode::ThreadSafe>
class TWeakPtr;

template <class ObjectType, ESPMode Mode>
class TSharedPtr
{
public:
	TSharedPtr() = default;
	TSharedPtr(TYPE_OF_NULLPTR) {}
	explicit TSharedPtr(std::shared_ptr<ObjectType> InPtr)
	    : Ptr(std::move(InPtr))
	{
	}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TSharedPtr(const SharedPointerInternals::TRawPtrProxy<OtherType>& Proxy)
	    : Ptr(std::shared_ptr<OtherType>(Proxy.Object))
	{
	}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TSharedPtr(const TSharedPtr<OtherType, Mode>& Other)
	    : Ptr(Other.Ptr)
	{
	}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TSharedPtr(const TSharedRef<OtherType, Mode>& Other)
	    : Ptr(Other.Ptr)
	{
	}

	bool IsValid() const { return Ptr != nullptr; }
	explicit operator bool() const { return IsValid(); }
	ObjectType* Get() const { return Ptr.get(); }
	ObjectType* operator->() const
	{
		check(IsValid());
		return Ptr.get();
	}
	ObjectType& operator*() const
	{
		check(IsValid());
		return *Ptr;
	}
	void Reset() { Ptr.reset(); }
	TSharedRef<ObjectType, Mode> ToSharedRef() const
	{
		check(IsValid());
		return TSharedRef<ObjectType, Mode>(Ptr);
	}
	int32 GetSharedReferenceCount() const { return static_cast<int32>(Ptr.use_count()); }
	bool IsUnique() const { return Ptr.use_count() == 1; }

	template <class OtherType>
	bool operator==(const TSharedPtr<OtherType, Mode>& Other) const
	{
		return Ptr == Other.Ptr;
	}
	bool operator==(TYPE_OF_NULLPTR) const { return Ptr == nullptr; }

	const std::shared_ptr<ObjectType>& ToStdPtr() const { return Ptr; }

private:
	template <class, ESPMode>
	friend class TSharedPtr;
	template <class, ESPMode>
	friend class TSharedRef;
	template <class, ESPMode>
	friend class TWeakPtr;

	std::shared_ptr<ObjectType> Ptr;
};

template <class ObjectType, ESPMode Mode>
class TSharedRef
{
public:
	TSharedRef() = delete;
	explicit TSharedRef(std::shared_ptr<ObjectType> InPtr)
	    : Ptr(std::move(InPtr))
	{
		check(Ptr != nullptr);
	}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TSharedRef(const SharedPointerInternals::TRawPtrProxy<OtherType>& Proxy)
	    : Ptr(std::shared_ptr<OtherType>(Proxy.Object))
	{
		check(Ptr != nullptr);
	}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TSharedRef(const TSharedRef<OtherType, Mode>& Other)
	    : Ptr(Other.Ptr)
	{
	}

	ObjectType& Get() const { return *Ptr; }
	ObjectType* operator->() const { return Ptr.get(); }
	ObjectType& operator*() const { return *Ptr; }
	bool IsValid() const { return true; }
	TSharedPtr<ObjectType, Mode> ToSharedPtr() const { return TSharedPtr<ObjectType, Mode>(Ptr); }
	TWeakPtr<ObjectType, Mode> ToWeakPtr() const { return TWeakPtr<ObjectType, Mode>(*this); }
	int32 GetSharedReferenceCount() const { return static_cast<int32>(Ptr.use_count()); }

	template <class OtherType>
	bool operator==(const TSharedRef<OtherType, Mode>& Other) const
	{
		return Ptr == Other.Ptr;
	}
	template <class OtherType>
	bool operator==(const TSharedPtr<OtherType, Mode>& Other) const
	{
		return Ptr == Other.Ptr;
	}

	const std::shared_ptr<ObjectType>& ToStdPtr() const { return Ptr; }

private:
	template <class, ESPMode>
	friend class TSharedPtr;
	template <class, ESPMode>
	friend class TSharedRef;
	template <class, ESPMode>
	friend class TWeakPtr;

	std::shared_ptr<ObjectType> Ptr;
};

template <class ObjectType, ESPMode Mode>
class TWeakPtr
{
public:
	TWeakPtr() = default;
	TWeakPtr(TYPE_OF_NULLPTR) {}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TWeakPtr(const TSharedPtr<OtherType, Mode>& Shared)
	    : Ptr(Shared.Ptr)
	{
	}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TWeakPtr(const TSharedRef<OtherType, Mode>& Shared)
	    : Ptr(Shared.Ptr)
	{
	}
	template <class OtherType, typename = std::enable_if_t<std::is_convertible_v<OtherType*, ObjectType*>>>
	TWeakPtr(const TWeakPtr<OtherType, Mode>& Other)
	    : Ptr(Other.Ptr)
	{
	}

	TSharedPtr<ObjectType, Mode> Pin() const { return TSharedPtr<ObjectType, Mode>(Ptr.lock()); }
	bool IsValid() const { return !Ptr.expired(); }
	void Reset() { Ptr.reset(); }
	bool HasSameObject(const void* Other) const { return Pin().Get() == Other; }
	bool operator==(const TWeakPtr& Other) const { return !Ptr.owner_before(Other.Ptr) && !Other.Ptr.owner_before(Ptr); }

private:
	template <class, ESPMode>
	friend class TWeakPtr;

	std::weak_ptr<ObjectType> Ptr;
};

// Lets an object hand out shared references to itself.
template <class ObjectType, ESPMode Mode = ESPMode::ThreadSafe>
class TSharedFromThis : public std::enable_shared_from_this<ObjectType>
{
public:
	TSharedRef<ObjectType, Mode> AsShared() { return TSharedRef<ObjectType, Mode>(this->shared_from_this()); }
	TSharedRef<const ObjectType, Mode> AsShared() const { return TSharedRef<const ObjectType, Mode>(this->shared_from_this()); }
	TWeakPtr<ObjectType, Mode> AsWeak() { return TWeakPtr<ObjectType, Mode>(AsShared()); }
	bool DoesSharedInstanceExist() const { return !this->weak_from_this().expired(); }

protected:
	template <class OtherType>
	static TSharedRef<OtherType, Mode> SharedThis(OtherType* ThisPtr)
	{
		return TSharedRef<OtherType, Mode>(std::static_pointer_cast<OtherType>(ThisPtr->shared_from_this()));
	}
};

template <typename ObjectType, ESPMode Mode = ESPMode::ThreadSafe, typename... ArgTypes>
TSharedRef<ObjectType, Mode> MakeShared(ArgTypes&&... Args)
{
	return TSharedRef<ObjectType, Mode>(std::make_shared<ObjectType>(std::forward<ArgTypes>(Args)...));
}

template <typename ObjectType>
SharedPointerInternals::TRawPtrProxy<ObjectType> MakeShareable(ObjectType* Object)
{
	return SharedPointerInternals::TRawPtrProxy<ObjectType>{Object};
}

template <class To, class From, ESPMode Mode>
TSharedPtr<To, Mode> StaticCastSharedPtr(const TSharedPtr<From, Mode>& In)
{
	return TSharedPtr<To, Mode>(std::static_pointer_cast<To>(In.ToStdPtr()));
}

template <class To, class From, ESPMode Mode>
TSharedRef<To, Mode> StaticCastSharedRef(const TSharedRef<From, Mode>& In)
{
	return TSharedRef<To, Mode>(std::static_pointer_cast<To>(In.ToStdPtr()));
}

template <class To, class From, ESPMode Mode>
TSharedPtr<To, Mode> ConstCastSharedPtr(const TSharedPtr<From, Mode>& In)
{
	return TSharedPtr<To, Mode>(std::const_pointer_cast<To>(In.ToStdPtr()));
}

template <class To, class From, ESPMode Mode>
TSharedRef<To, Mode> ConstCastSharedRef(const TSharedRef<From, Mode>& In)
{
	return TSharedRef<To, Mode>(std::const_pointer_cast<To>(In.ToStdPtr()));
}
