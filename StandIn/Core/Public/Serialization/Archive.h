// FArchive: a stream of bytes that engine code reads a saved structure from.
#pragma once

#include "CoreTypes.h"

/** Reads bytes in order; a read past the end, or one the source cannot serve, sets the error and yields zeros. */
class FArchive
{
public:
	FArchive() = default;
	FArchive(const FArchive&) = delete;
	FArchive& operator=(const FArchive&) = delete;
	virtual ~FArchive() = default;

	/** Copies the next Length bytes into Data. */
	virtual void Serialize(void* Data, int64 Length) = 0;
	/** @return the position of the next byte. */
	virtual int64 Tell() = 0;
	/** @return the number of bytes the archive holds. */
	virtual int64 TotalSize() = 0;
	/** @return false when a read has failed. */
	virtual bool Close() { return !ArIsError; }

	bool IsLoading() const { return true; }
	bool IsError() const { return ArIsError; }
	bool AtEnd() { return Tell() >= TotalSize(); }
	void SetError() { ArIsError = true; }

private:
	bool ArIsError = false;
};
