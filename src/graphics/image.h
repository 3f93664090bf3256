// Image loaders: BMP, TGA and JPEG files of the store, decoded into a plain
// R, G, B (, A) byte array, rows top first, no padding.
//
// LoadImage picks the decoder by the file name's extension and opens the
// file through the store; c_GUIB_Bitmap turns the result into its own ARGB
// words. The decoders themselves read from an ImageSource, so the same code
// serves store files, memory (tests, fuzzing) and the tools. Every file is
// untrusted: sides over GUIB_MAX_SIDE are refused, headers that do not match
// the data fail, and truncated data ends decoding early (TGA, JPEG) or fails
// (BMP), never reading or writing outside a buffer.
#pragma once

#include <cstddef>
#include <cstdint>

#include "store/store.h"

struct ImageInfo {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t flags = 0;  // bit 0: the fourth byte of each pixel is a valid alpha
  uint32_t byte_size = 0;
  uint32_t bytes_per_pixel = 0;  // 3 or 4
  uint8_t *pixels = nullptr;     // the caller frees it with SYS_Free (0 for an empty image)
};

enum : uint32_t { IMAGE_UNKNOWN = 0, IMAGE_BMP = 1, IMAGE_JPEG = 2, IMAGE_TGA = 3 };

bool LoadImage(const char *file_name, ImageInfo *out);
uint32_t ImageTypeFromExtension(const char *extension);  // "bmp", "jpg"/"jepg", "tga"
bool LoadBmp(BF_Handle file, ImageInfo *out);
bool LoadTga(BF_Handle file, ImageInfo *out);
bool LoadJpeg(const char *file_name, ImageInfo *out);

// Where a decoder reads its bytes from. read returns the bytes delivered (0 at
// the end); size is the number of bytes left at the start, or
// IMAGE_SIZE_UNKNOWN.
static const uint64_t IMAGE_SIZE_UNKNOWN = ~uint64_t(0);
struct ImageSource {
  uint32_t (*read)(void *context, void *buffer, uint32_t bytes);
  void *context;
  uint64_t size;
};

// A source over a store file (positioned where decoding starts).
ImageSource ImageStoreSource(BF_Handle *file);

// A source over bytes in memory; the cursor lives in *state.
struct ImageMemory {
  const uint8_t *data;
  size_t size;
  size_t pos;
};
ImageSource ImageMemorySource(ImageMemory *memory);

bool DecodeBmp(const ImageSource &source, ImageInfo *out);
bool DecodeTga(const ImageSource &source, ImageInfo *out);
bool DecodeJpeg(const ImageSource &source, ImageInfo *out);
bool DecodeImage(uint32_t type, const ImageSource &source, ImageInfo *out);

// Decoders refuse images wider or higher than this. It is GUIB_MAX_SIDE; the
// fuzzers lower it to keep their inputs' allocations small.
extern uint32_t g_ImageMaxSide;
