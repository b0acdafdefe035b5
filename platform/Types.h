#pragma once
// Fixed-width names for the integer types the engine's interfaces are written
// in. The engine was designed where `long` is 32 bits; here it is 64, so every
// "long" of the design is LONG/ULONG (32 bits) and never the C++ keyword.
#include <cstddef>
#include <cstdint>

using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using BOOL = int32_t;
using HRESULT = int32_t;
using INT64 = int64_t;
using UINT64 = uint64_t;
using LPVOID = void*;
using LPCSTR = const char*;
using LPSTR = char*;

using HWND = void*;
struct IUnknown;  // only ever used as an opaque key

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

// Position handle of the node lists: opaque, stays valid while other elements
// are inserted or removed.
struct VxPositionTag;
using POSITION = VxPositionTag*;
