// Graphics module: everything the GUI draws with.
//
//   object.h        reference-counted objects (AddRef / Release), GUIB_Startup
//   bitmap.h        c_GUIB_Bitmap, the 32-bit ARGB drawing surface, and Present
//   pixels.h        the copy, blend and rescale routines behind the bitmap
//   image.h         BMP, TGA and JPEG loaders reading through the store
//   record_store.h  c_GUIB_RecordStore, the chunked container of font files
//   font.h          c_GUIB_Font (load, save, copy, render from a system font)
//                   and the text services: draw, measure, wrap with "..."
//
// Graphics objects belong to the GUI thread; nothing here locks.
#pragma once

#include "graphics/bitmap.h"
#include "graphics/font.h"
#include "graphics/image.h"
#include "graphics/object.h"
#include "graphics/pixels.h"
#include "graphics/record_store.h"
