#pragma once

// The compression library's C entries: the Nemesis codec over files.
//
// Both entries take paths as NUL-terminated strings (the program's own encoding; on Linux, bytes)
// and return -1 on any failure. Neither leaves a partly written destination behind: the result
// is written to a temporary file beside the destination and renamed over it, so on failure the
// destination is as it was before (or absent). Neither throws.

#include <stdint.h>

#if defined(_WIN32)
#define NEMESIS_API __declspec(dllexport)
#else
#define NEMESIS_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

// Decodes the Nemesis stream that starts at byte `offset` (0-based) of the file `source` and
// creates or replaces `destination` with the whole decompressed block (tiles x 32 bytes). The
// stream's end is found from its own header and codes; bytes after it are ignored.
// Returns 0 on success (callers keep the result in 16 bits, so no size is returned), and -1 when
// the source cannot be read, the offset is negative or not inside the file, the stream is
// malformed or cut short, or the destination cannot be written.
NEMESIS_API int32_t Decomp(const char* source, const char* destination, int32_t offset);

// Compresses the whole file `source`, which must hold a whole, non-zero number of 32-byte tiles
// (at most 32767), into one Nemesis stream, and creates or replaces `destination` with exactly
// the stream's bytes. Returns the stream's size in bytes on success, and -1 when the source
// cannot be read, is empty or not a whole number of tiles, or the destination cannot be written.
NEMESIS_API int32_t Comp(const char* source, const char* destination);

#ifdef __cplusplus
}
#endif
