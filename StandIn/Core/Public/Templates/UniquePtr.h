// TUniquePtr: the sole owner of an object, which it deletes when it goes.
#pragma once

#include <memory>
#include <utility>

template <typename T>
class TUniquePtr : public std::unique_ptr<T>
{
public:
	using std::unique_ptr<T>::unique_ptr;
	TUniquePtr() = default;

	bool IsValid() const { return this->get() != nullptr; }
	T* Get() const { return this->get(); }
	/** Deletes the object held, if any, and holds InPtr instead. */
	void Reset(T* InPtr = nullptr) { this->reset(InPtr); }
};

template <typename T, typename... ArgTypes>
TUniquePtr<T> MakeUnique(ArgTypes&&... Args)
{
	return TUniquePtr<T>(new T(std::forward<ArgTypes>(Args)...));
}
