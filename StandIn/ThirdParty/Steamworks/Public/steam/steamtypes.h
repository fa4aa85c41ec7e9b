// The SDK's basic types: fixed-width integers, the linkage of its functions, and the handles every interface passes.
#pragma once

#include <cstdint>

// The SDK names its integers as the engine does. Both come from <cstdint> here, so that a source file that sees
// the engine's names and the SDK's compiles, as it does in the engine.
typedef std::uint8_t uint8;
typedef std::int8_t int8;
typedef std::int16_t int16;
typedef std::uint16_t uint16;
typedef std::int32_t int32;
typedef std::uint32_t uint32;
typedef long long int64;
typedef unsigned long long uint64;

// The SDK's functions have C linkage; on Windows they are imported from steam_api64.dll.
#define S_API extern "C"
#define S_CALLTYPE

// Callback structures are packed to 4 bytes on Linux and macOS and to 8 on Windows, so that a structure has the
// same layout in the game and in the SDK's library whichever compiler built each.
#if defined(__linux__) || defined(__APPLE__)
#define VALVE_CALLBACK_PACK_SMALL
#else
#define VALVE_CALLBACK_PACK_LARGE
#endif

/** A Steam application, such as the game that Workshop items belong to. */
typedef uint32 AppId_t;
const AppId_t k_uAppIdInvalid = 0x0;

/** An asynchronous call in flight; its result arrives through a CCallResult. */
typedef uint64 SteamAPICall_t;
const SteamAPICall_t k_uAPICallInvalid = 0x0;
