#include "Delegates/IDelegateInstance.h"

#include <atomic>

uint64 FDelegateHandle::GenerateNewID()
{
	// Starts at 1 so that 0 stays the empty handle; atomic because bindings are made on any thread.
	static std::atomic<uint64> NextID{1};
	return NextID.fetch_add(1, std::memory_order_relaxed);
}
