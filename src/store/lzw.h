// LZW decoder for the packed blocks of archive entries.
//
// One block's packed bytes are one stream: codes of 9 bits and more, read
// least significant bit first; 0..255 are literal bytes, 256 ends the stream,
// 257 and above name dictionary entries, which are slices of the output
// already produced. The dictionary starts empty in every stream and holds at
// most LZW_TABLE_SLOTS codes; a stream that needs more fails.
//
// Use: LZW_Create over an output buffer and the packed bytes (followed by at
// least 4 readable zero bytes), LZW_Decode once (or LZW_Restart it over the
// next stream and decode again, which keeps its table), LZW_Free. Failures print
// the decoder's message to standard output and make LZW_Decode return false.
#pragma once

#include <cstddef>
#include <cstdint>

static const uint32_t LZW_END_CODE = 256;
static const uint32_t LZW_FIRST_CODE = 257;
static const uint32_t LZW_TABLE_SLOTS = 65538;  // codes 0..65537
static const uint32_t LZW_SOURCE_PADDING = 4;   // zero bytes the reader may touch

struct LZW_Context;

// 0 when memory for the context or its table cannot be had.
LZW_Context *LZW_Create(uint8_t *destination, size_t capacity, const uint8_t *source,
                        size_t source_length);
// true when the stream decoded up to its end code without error. Once per
// context, or once per LZW_Restart.
bool LZW_Decode(LZW_Context *context);
// Points a context at another stream and output, as LZW_Create would, but
// keeps its code table: allocating that afresh per block cost a page fault
// per 4 KiB of it on every block under Wine. false when capacity is too large.
bool LZW_Restart(LZW_Context *context, uint8_t *destination, size_t capacity, const uint8_t *source,
                 size_t source_length);
size_t LZW_BytesProduced(const LZW_Context *context);
size_t LZW_BytesConsumed(const LZW_Context *context);
void LZW_Free(LZW_Context *context);
