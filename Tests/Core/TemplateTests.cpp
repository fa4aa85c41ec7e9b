#include "CoreMinimal.h"

#include <gtest/gtest.h>

namespace
{
	int32 CallTwice(TFunctionRef<int32(int32)> Function)
	{
		return Function(Function(1));
	}

	struct FCounted
	{
		explicit FCounted(int32& InDeleted)
		    : Deleted(InDeleted)
		{
		}
		~FCounted() { ++Deleted; }
		int32& Deleted;
	};
} // namespace

TEST(TFunctionRef, CallsTheFunctorItRefersToWithoutCopyingIt)
{
	int32 Calls = 0;
	auto AddTen = [&Calls](int32 Value) {
		++Calls;
		return Value + 10;
	};
	EXPECT_EQ(CallTwice(AddTen), 21);
	EXPECT_EQ(Calls, 2);
	const auto Double = [](int32 Value) {
		return Value * 2;
	};
	EXPECT_EQ(CallTwice(Double), 4);
}

TEST(TUniquePtr, DeletesWhatItHoldsOnResetAndWhenItGoes)
{
	int32 Deleted = 0;
	{
		TUniquePtr<FCounted> Owner = MakeUnique<FCounted>(Deleted);
		EXPECT_TRUE(Owner.IsValid());
		Owner.Reset(new FCounted(Deleted));
		EXPECT_EQ(Deleted, 1);
		TUniquePtr<FCounted> Moved = MoveTemp(Owner);
		EXPECT_FALSE(Owner.IsValid());
		EXPECT_NE(Moved.Get(), nullptr);
	}
	EXPECT_EQ(Deleted, 2);
}
