// libFuzzer target: a font file (record store) loaded as the program loads
// tahoma08.fnt, then used: text measured, wrapped and drawn with it, the
// font copied and saved; and a bitmap chunk read from the same bytes.
#include <cstddef>
#include <cstdint>

#include "graphics/graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 1 << 20) return 0;
  c_GUIB_RecordStore *store = new c_GUIB_RecordStore(data, uint32_t(size));
  c_GUIB_Font *font = new c_GUIB_Font();
  font->LoadFromStore(store, 0);
  c_GUIB_Bitmap *bitmap = new c_GUIB_Bitmap(store, 0);
  bitmap->Release();

  c_GUIB_Bitmap *target = new c_GUIB_Bitmap(64, 32);
  target->SetColor(0xFFFFFFFF);
  target->FillArea(0, 0, 64, 32);
  const char *text = "Ab c\tdefgh ijklmnop\nq. \x80\xE9 The quick brown fox";
  const uint16_t wide[] = {'W', 0x263A, ' ', 10, 'x', 0x00E9, 0};
  font->DrawString(target, 0xFF102030, -3, 2, text);
  font->DrawString(target, 0xFF302010, 5, -4, wide);
  GUIB_Rect r{0, 0, 64, 32};
  font->CalcTextRect(text, &r, 2 | 8 | 16 | 32);
  font->iOutTextRect(target, 0xFF00FF00, text, GUIB_Rect{2, 3, 40, 30});
  font->iOutTextRect(target, 0xFF0000FF, wide, GUIB_Rect{-5, 1, 20, 12});
  font->MeasureWrapped(text, 30);
  font->MeasureWrapped(wide, 1);

  c_GUIB_Font *copy = new c_GUIB_Font();
  copy->CopyFrom(font);
  copy->Release();
  target->Release();
  font->Release();
  store->Release();
  return 0;
}
