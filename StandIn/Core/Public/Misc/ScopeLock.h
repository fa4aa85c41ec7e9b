// FScopeLock: holds a critical section for as long as it lives.
#pragma once

#include "HAL/CriticalSection.h"

class FScopeLock
{
public:
	explicit FScopeLock(FCriticalSection* InSynchObject)
	    : SynchObject(InSynchObject)
	{
		SynchObject->Lock();
	}
	~FScopeLock() { SynchObject->Unlock(); }

	FScopeLock(const FScopeLock&) = delete;
	FScopeLock& operator=(const FScopeLock&) = delete;

private:
	FCriticalSection* SynchObject;
};
