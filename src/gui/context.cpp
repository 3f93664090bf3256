// The GUI context: theme properties, widget and image registries, start-up.
#include "gui/context.h"

#include <cstdio>
#include <cstdlib>

#include "gui/widget.h"
#include "platform/platform.h"

namespace {

// The theme's starting values; fonts (15 to 17) start empty.
struct PropertyDefault {
  uint32_t id, value;
};
const PropertyDefault kDefaults[] = {
    {GP_TEXT_NORMAL, 0xFF000000},      // black
    {GP_TEXT_HOVER, 0xFF000000},       // black
    {GP_TEXT_DISABLED, 0xFF738447},    // olive
    {GP_TEXT_PRESSED, 0xFFE0E0E0},     // light grey
    {GP_TEXT_ACCENT, 0xFFFFFFC0},      // pale yellow
    {GP_FILL_NORMAL, 0xD8A3BA69},      // light olive, mostly opaque
    {GP_FILL_BACKGROUND, 0xD8434F25},  // dark olive
    {GP_FILL_FIELD, 0xD8A3BA69},       // light olive
    {GP_FILL_HOVER, 0xD8C1E0A5},       // pale green
    {GP_SPARE_COLOR, 0xD8004000},      // dark green
    {GP_FILL_DISABLED, 0xD8434F25},    // dark olive
    {GP_FILL_PRESSED, 0xD8434F25},     // dark olive
    {GP_BORDER_COLOR, 0xFF000000},     // black
    {GP_FILL_ACCENT, 0xFFFFFFC0},      // pale yellow
    {GP_TICK_INTERVAL, 20},            // ms
    {GP_MARK_SIZE, 10},                // pixels
    {GP_SCROLLBAR_SIZE, 16},           // pixels
    {GP_SPARE_SIZE, 24},
    {GP_FRAME_STYLE, FRAME_BORDER},
    {GP_TEXT_ALIGN, GUIB_ALIGN_LEFT | GUIB_ALIGN_TOP},
    {GP_INFO_ENTER, 0},
    {GP_INFO_SPARE_1, 0},
    {GP_INFO_CLICK, 0},
    {GP_INFO_CONTROL_CLICK, 0},
    {GP_SPARE_WORD_28, 0},
    {GP_SPARE_WORD_29, 0},
    {GP_INFO_SPARE_3, 0},
    {GP_INFO_SPARE_4, 0},
    {GP_REPEAT_DELAY, 250},    // ms
    {GP_REPEAT_INTERVAL, 50},  // ms
};

bool iIsFontId(uint32_t id) {
  return id >= GP_FONT && id <= GP_FONT_3;
}
bool iBadId(uint32_t id) {
  return id >= GP_COUNT || id == 2;
}

uint32_t iReleaseImage(uintptr_t, uintptr_t value) {
  if (value) reinterpret_cast<c_GUIB_Bitmap *>(value)->Release();
  return SYS_OK;
}

GuiContext *g_context = nullptr;
bool g_startedGraphics = false;

}  // namespace

GuiContext::GuiContext()
    : m_widgets(KeyedList_Create(nullptr)), m_images(KeyedList_Create(iReleaseImage)) {
  for (uint32_t &w : m_words) w = 0;
  for (const PropertyDefault &d : kDefaults) m_words[d.id] = d.value;
}

GuiContext::~GuiContext() {
  // Widgets are not owned by the registry; images are.
  if (m_widgets) KeyedList_Destroy(m_widgets, false, false);
  if (m_images) KeyedList_Destroy(m_images, true, false);
  for (c_GUIB_Font *&f : m_fonts) {
    if (f) f->Release();
    f = nullptr;
  }
}

uint32_t GuiContext::GetProperty(uint32_t id, uintptr_t *value) const {
  if (iBadId(id)) return GUI_ERR_BAD_ID;
  if (iIsFontId(id)) {
    c_GUIB_Font *f = m_fonts[id - GP_FONT];
    if (!f) return GUI_ERR_NOT_SET;
    f->AddRef();
    if (value)
      *value = reinterpret_cast<uintptr_t>(f);
    else
      f->Release();
    return GUI_OK;
  }
  if (value) *value = m_words[id];
  return GUI_OK;
}

uint32_t GuiContext::SetProperty(uint32_t id, uintptr_t value) {
  if (iBadId(id)) return GUI_ERR_BAD_ID;
  if (!iIsFontId(id)) {
    m_words[id] = uint32_t(value);
    return GUI_OK;
  }
  c_GUIB_Font *given = reinterpret_cast<c_GUIB_Font *>(value);
  c_GUIB_Font *&slot = m_fonts[id - GP_FONT];
  c_GUIB_Font *kept = nullptr;
  if (id == GP_FONT) {
    kept = given;
    if (kept) kept->AddRef();
  } else if (given) {
    // Fonts 16 and 17 are private copies: later changes to the caller's font
    // must not reach the theme.
    kept = new c_GUIB_Font();
    kept->CopyFrom(given);
  }
  if (slot) slot->Release();
  slot = kept;
  return GUI_OK;
}

uint32_t GuiContext::Word(uint32_t id) const {
  if (iBadId(id) || iIsFontId(id)) return 0;
  return m_words[id];
}

c_GUIB_Font *GuiContext::Font(uint32_t id) const {
  return iIsFontId(id) ? m_fonts[id - GP_FONT] : nullptr;
}

uint32_t GuiContext::RegisterWidget(c_GUIB_Widget *widget) {
  if (!m_widgets || !widget) return GUI_ERR_BAD_ARG;
  const uintptr_t id = widget->GetId();
  if (KeyedList_Get(m_widgets, id, nullptr) == SYS_OK) return GUI_ERR_DUPLICATE;
  return KeyedList_Insert(m_widgets, id, reinterpret_cast<uintptr_t>(widget), KL_TAIL);
}

void GuiContext::UnregisterWidget(c_GUIB_Widget *widget) {
  if (!m_widgets || !widget) return;
  // Only the entry that names this very widget: a duplicate id stays with
  // the widget that registered it first.
  uintptr_t value = 0;
  if (KeyedList_Get(m_widgets, widget->GetId(), &value) != SYS_OK) return;
  KeyedList_Release(m_widgets, widget->GetId());
  if (value == reinterpret_cast<uintptr_t>(widget))
    KeyedList_Remove(m_widgets, widget->GetId(), false);
}

c_GUIB_Widget *GuiContext::FindWidget(uint32_t id) {
  uintptr_t value = 0;
  if (!m_widgets || KeyedList_Get(m_widgets, id, &value) != SYS_OK) return nullptr;
  c_GUIB_Widget *w = reinterpret_cast<c_GUIB_Widget *>(value);
  w->AddRef();
  KeyedList_Release(m_widgets, id);
  return w;
}

uint32_t GuiContext::RegisterImage(uint32_t id, const c_GUIB_Bitmap *bitmap) {
  if (!m_images || !bitmap) return GUI_ERR_BAD_ARG;
  KeyedList_Remove(m_images, id, false);
  c_GUIB_Bitmap *copy = new c_GUIB_Bitmap(bitmap);
  const uint32_t rc = KeyedList_Insert(m_images, id, reinterpret_cast<uintptr_t>(copy), KL_HEAD);
  if (rc != SYS_OK) copy->Release();
  return rc;
}

uint32_t GuiContext::GetImage(uint32_t id, c_GUIB_Bitmap **bitmap) {
  if (!bitmap) return GUI_ERR_BAD_ARG;
  *bitmap = nullptr;
  uintptr_t value = 0;
  const uint32_t rc = m_images ? KeyedList_Get(m_images, id, &value) : GUI_ERR_NOT_FOUND;
  if (rc != GUI_OK) return rc;
  *bitmap = reinterpret_cast<c_GUIB_Bitmap *>(value);
  (*bitmap)->AddRef();
  KeyedList_Release(m_images, id);
  return GUI_OK;
}

GUIB_FontDesc GUI_InterfaceFontDesc(const char *face) {
  GUIB_FontDesc desc = {};
  desc.height = -11;
  desc.weight = 400;
  desc.out_precision = 3;
  desc.clip_precision = 2;
  desc.quality = 1;
  desc.pitch_and_family = 0x22;
  SYS_StrCopy(desc.face_name, sizeof desc.face_name, face);
  return desc;
}

uint32_t GuiStartup(const uint32_t *options, GuiContext **context) {
  if (g_context) {
    if (context) *context = g_context;
    return GUI_ALREADY_STARTED;
  }
  const uint32_t rc = GUIB_Startup();
  if (rc != GUIB_OK && rc != GUIB_ALREADY_STARTED) return rc;
  g_startedGraphics = rc == GUIB_OK;
  g_context = new GuiContext();
  if (!options || options[0] != 0) {
    const GUIB_FontDesc desc = GUI_InterfaceFontDesc("Verdana");
    c_GUIB_Font *font = new c_GUIB_Font();
    // Every character of Windows-1252 from the space on: the texts'
    // accented letters too.
    if (font->CreateFromWindowsFont(&desc, 32, 224) == GUIB_OK)
      g_context->SetProperty(GP_FONT, reinterpret_cast<uintptr_t>(font));
    font->Release();
  }
  if (context) *context = g_context;
  return GUI_OK;
}

#ifdef ENABLE_SANITIZERS
void GUI_CheckThread(const GuiContext *context, const char *where) {
  if (!context || context->GuiThread() == std::this_thread::get_id()) return;
  std::fprintf(stderr, "%s called off the GUI thread\n", where);
  std::abort();
}
#endif

void GuiShutdown() {
  if (!g_context) return;
  delete g_context;
  g_context = nullptr;
  if (g_startedGraphics) GUIB_Shutdown();
  g_startedGraphics = false;
}
