// c_INST_LicensePage: the licence text, rendered once, shown through a view
// that a scroll bar moves when the text is taller than the view.
#include <vector>

#include "installer/pages.h"
#include "installer/texts.h"
#include "store/store.h"

namespace {

// The whole of la.txt, or the replacement text when it cannot be read.
std::vector<char> iReadLicense() {
  std::vector<char> text;
  const BF_Handle f = BF_OpenRetry("la.txt", BF_OPEN_READ);
  if (f) {
    const uint64_t size = BF_GetSize(f);
    if (size != BF_BAD_POS && size < (64u << 20)) {
      text.resize(size_t(size) + 1, 0);
      const uint32_t got = BF_Read(f, text.data(), uint32_t(size));
      text.resize(got + 1);
      text[got] = 0;
    }
    BF_Close(f);
  }
  if (text.empty()) {
    const char *missing = INST_GetText(TEXT_LICENSE_MISSING);
    text.assign(missing, missing + SYS_StrLen(missing) + 1);
  }
  return text;
}

}  // namespace

c_INST_LicensePage::c_INST_LicensePage(const WidgetCreateParams &p) : c_GUIB_Widget(p) {
  const int32_t w = m_rect.right, h = m_rect.bottom;
  const int32_t line = m_context ? int32_t(m_context->Word(GP_SCROLLBAR_SIZE)) : 16;
  const uintptr_t self = reinterpret_cast<uintptr_t>(this);
  m_title = new c_GUIB_Label(GUI_ChildParams(this, 0, 0, w, line));
  m_title->SetTextAlign(GUIB_ALIGN_HCENTER | GUIB_ALIGN_VCENTER);
  m_title->SetTextColor(SLOT_NORMAL, INST_TEXT_COLOR);
  m_title->SetText(INST_GetText(TEXT_LICENSE_TITLE));

  const int32_t view_h = h - line > 0 ? h - line : 0;
  const std::vector<char> text = iReadLicense();
  c_GUIB_Font *font = m_fonts[SLOT_NORMAL];
  auto measure = [&](int32_t width) {
    return (font ? font->MeasureWrapped(text.data(), width > 1 ? width : 1) : 0) + 4;
  };
  int32_t view_w = w;
  int32_t text_h = measure(w - 6);
  if (text_h > view_h) {
    view_w = w - line;
    m_scroll = new c_GUIB_ScrollBar(
        GUI_ChildParams(this, view_w, line, line, view_h, iChildHandler, self));
    text_h = measure(view_w - 6);
    ScrollInfo si = {
        0, float(text_h), 0, float(view_h), float(font ? font->GetLineHeight() : 1), SB_VERTICAL};
    m_scroll->SetScrollInfo(&si);
  }
  m_view = new c_GUIB_Panel(GUI_ChildParams(this, 0, line, view_w, view_h));
  m_view->SetText(text.data());  // not drawn: what assistive technology reads

  m_text = new c_GUIB_Bitmap(view_w, text_h > view_h ? text_h : view_h);
  m_text->SetColor(m_fill[SLOT_FIELD]);
  m_text->FillArea(0, 0, int32_t(m_text->Width()), int32_t(m_text->Height()));
  if (font)
    font->iOutTextRect(m_text, 0xFF000000, text.data(),
                       GUIB_Rect{3, 2, view_w - 2, int32_t(m_text->Height())});
  iShowFrom(0);
}

c_INST_LicensePage::~c_INST_LicensePage() {
  if (m_text) m_text->Release();
}

void c_INST_LicensePage::iShowFrom(int32_t position) {
  int32_t vw = 0, vh = 0;
  m_view->GetSize(&vw, &vh);
  c_GUIB_Bitmap *window = new c_GUIB_Bitmap(vw, vh);
  window->SetColor(m_fill[SLOT_FIELD]);
  window->FillArea(0, 0, vw, vh);
  m_text->CopyTo(window, 0, 0, 0, position, vw, vh);
  m_view->SetBackground(m_fill[SLOT_FIELD], window, PANEL_KEEP_IMAGE | PANEL_TOP_LEFT);
  window->Release();
}

void c_INST_LicensePage::ScrollPages(int32_t pages) {
  if (!m_scroll) return;
  ScrollInfo si;
  m_scroll->GetScrollInfo(&si);
  si.position += float(pages) * si.page;
  m_scroll->SetScrollInfo(&si);  // keeps the position in range
  m_scroll->GetScrollInfo(&si);
  iShowFrom(int32_t(si.position));
}

uint32_t c_INST_LicensePage::iChildHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg,
                                           uintptr_t a, uintptr_t) {
  c_INST_LicensePage *self = reinterpret_cast<c_INST_LicensePage *>(data);
  if ((msg != GN_SCROLLED && msg != GN_SCROLLING) || w != self->m_scroll) return 0;
  self->iShowFrom(int32_t(a));
  return 1;
}
