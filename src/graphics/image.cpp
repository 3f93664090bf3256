#include "graphics/image.h"

#include "graphics/bitmap.h"
#include "platform/platform.h"

uint32_t g_ImageMaxSide = GUIB_MAX_SIDE;

static uint32_t iStoreRead(void *context, void *buffer, uint32_t bytes) {
  return BF_Read(*static_cast<BF_Handle *>(context), buffer, bytes);
}

ImageSource ImageStoreSource(BF_Handle *file) {
  uint64_t size = IMAGE_SIZE_UNKNOWN;
  const uint64_t total = BF_GetSize(*file);
  const uint64_t pos = BF_Seek(*file, 0, 1);
  if (total != BF_BAD_POS && pos != BF_BAD_POS && pos <= total) size = total - pos;
  return ImageSource{iStoreRead, file, size};
}

static uint32_t iMemoryRead(void *context, void *buffer, uint32_t bytes) {
  ImageMemory *m = static_cast<ImageMemory *>(context);
  const size_t left = m->size - m->pos;
  const uint32_t n = bytes < left ? bytes : uint32_t(left);
  if (n) SYS_Copy(buffer, m->data + m->pos, n);
  m->pos += n;
  return n;
}

ImageSource ImageMemorySource(ImageMemory *memory) {
  return ImageSource{iMemoryRead, memory, memory->size - memory->pos};
}

static bool iSameText(const char *text, const char *lower) {
  for (; *lower; ++text, ++lower)
    if (SYS_ToLower(*text) != *lower) return false;
  return *text == 0;
}

uint32_t ImageTypeFromExtension(const char *extension) {
  if (!extension) return IMAGE_UNKNOWN;
  if (iSameText(extension, "bmp")) return IMAGE_BMP;
  // "jepg" is accepted as well; "jpeg" is not.
  if (iSameText(extension, "jpg") || iSameText(extension, "jepg")) return IMAGE_JPEG;
  if (iSameText(extension, "tga")) return IMAGE_TGA;
  return IMAGE_UNKNOWN;
}

bool DecodeImage(uint32_t type, const ImageSource &source, ImageInfo *out) {
  switch (type) {
    case IMAGE_BMP:
      return DecodeBmp(source, out);
    case IMAGE_TGA:
      return DecodeTga(source, out);
    case IMAGE_JPEG:
      return DecodeJpeg(source, out);
  }
  return false;
}

bool LoadBmp(BF_Handle file, ImageInfo *out) {
  return DecodeBmp(ImageStoreSource(&file), out);
}

bool LoadTga(BF_Handle file, ImageInfo *out) {
  return DecodeTga(ImageStoreSource(&file), out);
}

bool LoadJpeg(const char *file_name, ImageInfo *out) {
  BF_Handle file = BF_OpenRetry(file_name, BF_OPEN_READ);
  if (!file) return false;
  const bool ok = DecodeJpeg(ImageStoreSource(&file), out);
  BF_Close(file);
  return ok;
}

bool LoadImage(const char *file_name, ImageInfo *out) {
  if (!out) return false;
  *out = ImageInfo();
  if (!file_name) return false;
  // The extension follows the last '.', unless a '\' comes after it.
  const char *end = file_name + SYS_StrLen(file_name);
  const char *p = end;
  while (p > file_name && p[-1] != '.' && p[-1] != '\\') --p;
  if (p == file_name || p[-1] != '.' || p == end) return false;
  const uint32_t type = ImageTypeFromExtension(p);
  if (type == IMAGE_UNKNOWN) return false;
  BF_Handle file = BF_OpenRetry(file_name, BF_OPEN_READ);
  if (!file) return false;
  if (type == IMAGE_JPEG) {
    // The JPEG path opens the file itself.
    BF_Close(file);
    return LoadJpeg(file_name, out);
  }
  const bool ok = type == IMAGE_BMP ? LoadBmp(file, out) : LoadTga(file, out);
  BF_Close(file);
  return ok;
}
