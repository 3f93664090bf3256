// The three pixel routines behind c_GUIB_Bitmap::CopyTo, BlendTo and Stretch.
//
// All work on 32-bit ARGB words (pitch = width), integer arithmetic only.
// CopyRect and BlendRect clip the rectangle against both bitmaps: a negative
// target x or y moves the source start right or down by the same amount.
#pragma once

#include <cstdint>

void CopyRect(uint32_t *target, int32_t target_width, int32_t target_height, int32_t tx, int32_t ty,
              const uint32_t *source, int32_t source_width, int32_t source_height, int32_t sx,
              int32_t sy, int32_t width, int32_t height);

// Source over target: alpha 0 keeps the target; alpha 255, or a target with
// alpha 0, takes the source pixel whole; otherwise per colour channel
// (s * (a + 1) + t * (256 - a)) >> 8 with the target's alpha kept.
void BlendRect(uint32_t *target, int32_t target_width, int32_t target_height, int32_t tx,
               int32_t ty, const uint32_t *source, int32_t source_width, int32_t source_height,
               int32_t sx, int32_t sy, int32_t width, int32_t height);

// Area-weighted resampling on a common integer grid: along x one source pixel
// is dw units wide and one target pixel sw units, so every target pixel is
// the exact overlap-weighted mean of the source pixels it covers, each
// channel (alpha too) truncated. Used by Reduce (dw <= sw, dh <= sh) and
// Enlarge (dw >= sw, dh >= sh), for which the overlap rule gives the same
// values. False when the work tables cannot be allocated.
bool Reduce(uint32_t *target, int32_t dw, int32_t dh, const uint32_t *source, int32_t sw,
            int32_t sh);
bool Enlarge(uint32_t *target, int32_t dw, int32_t dh, const uint32_t *source, int32_t sw,
             int32_t sh);

// Rescales ow x oh into nw x nh: one pass when both sides grow or both
// shrink; otherwise Enlarge along the growing side into a temporary buffer,
// then Reduce along the other.
bool StretchPixels(uint32_t *target, int32_t nw, int32_t nh, const uint32_t *source, int32_t ow,
                   int32_t oh);
