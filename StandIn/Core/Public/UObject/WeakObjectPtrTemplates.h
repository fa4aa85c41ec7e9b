// Core's view of a weak reference to an object. The object system (CoreUObject) supplies FWeakObjectPtr
// and the definition of TWeakObjectPtr, so templates in Core (delegates bound to objects) can name it.
#pragma once

class UObject;
struct FWeakObjectPtr;

template <class T = UObject, class TWeakObjectPtrBase = FWeakObjectPtr>
struct TWeakObjectPtr;
