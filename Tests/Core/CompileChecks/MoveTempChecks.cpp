// Built by ctest, one case at a time: a MoveTemp that would move nothing must not compile, as in the engine.
#include "Templates/UnrealTemplate.h"

struct FMovable
{
	int Value = 0;
};

int MoveOnce()
{
#if defined(TRL_CASE_CONST_OBJECT)
	const FMovable Source;
	FMovable Moved = MoveTemp(Source);
#elif defined(TRL_CASE_RVALUE)
	FMovable Moved = MoveTemp(FMovable());
#else
	FMovable Source;
	FMovable Moved = MoveTemp(Source);
#endif
	return Moved.Value;
}
