// The units a JSON reader reports, one per ReadNext.
#pragma once

/** What the reader has just read. */
enum class EJsonNotation
{
	ObjectStart,
	ObjectEnd,
	ArrayStart,
	ArrayEnd,
	Boolean,
	String,
	Number,
	Null,
	Error
};
