// The widget tree as assistive technology sees it: the widgets that describe
// themselves, in reading order, with the state and place the toolkit knows.
#include "gui/widget.h"
#include "platform/platform.h"

namespace {

void iCollect(c_GUIB_Widget *w, int32_t x, int32_t y, std::vector<GUI_Description> *out) {
  uintptr_t *keys = nullptr;
  uint32_t count = 0;
  if (w->ChildList(&keys, &count) != GUI_OK) return;
  for (uint32_t i = count; i-- > 0;) {  // back to front
    c_GUIB_Widget *c = reinterpret_cast<c_GUIB_Widget *>(keys[i]);
    if (!(c->GetFlags() & WF_VISIBLE)) continue;
    int32_t cx = 0, cy = 0;
    c->GetPosition(&cx, &cy);
    GUI_Description d;
    if (c->Describe(&d) == ACC_NONE) {
      iCollect(c, x + cx, y + cy, out);
      continue;
    }
    const uint32_t f = c->GetFlags();
    if (f & WF_FOCUSED) d.state |= ACCS_FOCUSED;
    if (f & WF_DISABLED) d.state |= ACCS_DISABLED;
    d.rect = GUIB_Rect{x + cx, y + cy, x + cx + c->Width(), y + cy + c->Height()};
    d.widget = c;
    out->push_back(d);
  }
  SYS_Free(keys);
}

}  // namespace

std::vector<GUI_Description> GUI_DescribeTree(c_GUIB_Widget *root) {
  std::vector<GUI_Description> out;
  if (root) iCollect(root, 0, 0, &out);
  return out;
}

std::u16string GUI_TextOf(const c_GUIB_Widget *w) {
  std::u16string s;
  for (const uint16_t *t = w ? w->GetText() : nullptr; t && *t; ++t) s += char16_t(*t);
  return s;
}
