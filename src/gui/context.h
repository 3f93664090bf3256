// GuiContext: the one object every widget of the GUI shares.
//
// It holds the theme property table (ids 0 to 33) from which each new widget
// copies its colours, fonts and style words, the registry of widgets by id
// (through which the desktop finds and destroys widgets) and the registry of
// shared images (icons the application registers under numbers). GuiStartup
// creates it together with the graphics layer and the default font;
// GuiShutdown destroys it. One GUI per process. The thread that makes the
// context is the GUI thread: the context and its widgets are never touched
// by another (GUI_CheckThread).
#pragma once

#include <cstdint>
#include <thread>

#include "graphics/graphics.h"
#include "platform/keyed_list.h"

class c_GUIB_Widget;

// Theme property ids (2 does not exist). Each new widget copies the colours
// into its state slots (SLOT_*, widget.h), the info words into its info
// words and font 15 into font slots 0, 4 and 7; later changes reach only
// widgets created afterwards. The spare ones hold a value nothing reads.
enum : uint32_t {
  GP_TEXT_NORMAL = 0,
  GP_TEXT_HOVER = 1,
  GP_TEXT_DISABLED = 3,
  GP_TEXT_PRESSED = 4,
  GP_TEXT_ACCENT = 5,
  GP_FILL_NORMAL = 6,
  GP_FILL_BACKGROUND = 7,
  GP_FILL_FIELD = 8,
  GP_FILL_HOVER = 9,
  GP_SPARE_COLOR = 10,  // a colour not copied into widgets; nothing reads it
  GP_FILL_DISABLED = 11,
  GP_FILL_PRESSED = 12,
  GP_BORDER_COLOR = 13,  // fill slot SLOT_BORDER
  GP_FILL_ACCENT = 14,
  GP_FONT = 15,
  GP_FONT_2 = 16,  // a private copy of the font set; no widget reads it
  GP_FONT_3 = 17,  // likewise
  GP_TICK_INTERVAL = 18,
  GP_MARK_SIZE = 19,
  GP_SCROLLBAR_SIZE = 20,
  GP_SPARE_SIZE = 21,  // a size word; nothing reads it
  GP_FRAME_STYLE = 22,
  GP_TEXT_ALIGN = 23,
  GP_INFO_ENTER = 24,
  GP_INFO_SPARE_1 = 25,
  GP_INFO_CLICK = 26,
  GP_INFO_CONTROL_CLICK = 27,  // click info word of check boxes and scroll arrows
  GP_SPARE_WORD_28 = 28,       // nothing reads it
  GP_SPARE_WORD_29 = 29,       // nothing reads it
  GP_INFO_SPARE_3 = 30,
  GP_INFO_SPARE_4 = 31,
  GP_REPEAT_DELAY = 32,
  GP_REPEAT_INTERVAL = 33,
  GP_COUNT = 34,
};

// Result codes of the GUI, with the platform's numbers: calls that pass on
// a KeyedList's status (registries, handler lists) give these names to it.
// Each call names the ones it can return.
enum : uint32_t {
  GUI_OK = 0,
  GUI_ALREADY_STARTED = 1,  // GuiStartup: the GUI was running already
  GUI_ERR_NOT_FOUND = 3,    // no such entry (image, handler)
  GUI_ERR_WINDOW = 4,       // no window could be made
  GUI_ERR_BAD_ARG = 5,      // a null or out-of-range argument
  GUI_ERR_NOMEM = 6,
  GUI_ERR_BAD_ID = 7,      // a property id, slot, index or mode out of range
  GUI_ERR_NOT_SET = 9,     // a theme font that was never set
  GUI_ERR_EMPTY = 12,      // an empty font slot
  GUI_ERR_CLOSING = 15,    // the registry is being torn down
  GUI_ERR_DUPLICATE = 18,  // a widget id registered already
};

struct GuiContext {
  GuiContext();
  ~GuiContext();
  GuiContext(const GuiContext &) = delete;
  GuiContext &operator=(const GuiContext &) = delete;

  // Fonts (15 to 17) travel as c_GUIB_Font pointers; GetProperty adds a
  // reference to a font it returns. GUI_OK, GUI_ERR_BAD_ID for an id of no
  // property; GetProperty: GUI_ERR_NOT_SET for a font never set.
  uint32_t GetProperty(uint32_t id, uintptr_t *value) const;
  uint32_t SetProperty(uint32_t id, uintptr_t value);
  // The word of a non-font property, 0 for a bad id (for widget seeding).
  uint32_t Word(uint32_t id) const;
  // The theme font without an added reference (may be null).
  c_GUIB_Font *Font(uint32_t id) const;

  uint32_t NewWidgetId() { return ++m_lastId; }
  // GUI_OK, GUI_ERR_BAD_ARG (no widget), GUI_ERR_DUPLICATE, GUI_ERR_NOMEM,
  // GUI_ERR_CLOSING.
  uint32_t RegisterWidget(c_GUIB_Widget *widget);
  void UnregisterWidget(c_GUIB_Widget *widget);
  c_GUIB_Widget *FindWidget(uint32_t id);  // with an added reference, or null

  // Keeps a copy, replacing an image of that id. GUI_OK, GUI_ERR_BAD_ARG (no
  // bitmap), GUI_ERR_NOMEM, GUI_ERR_CLOSING.
  uint32_t RegisterImage(uint32_t id, const c_GUIB_Bitmap *bitmap);
  // With an added reference. GUI_OK, GUI_ERR_BAD_ARG, GUI_ERR_NOT_FOUND.
  uint32_t GetImage(uint32_t id, c_GUIB_Bitmap **bitmap);

  std::thread::id GuiThread() const { return m_guiThread; }

 private:
  std::thread::id m_guiThread = std::this_thread::get_id();
  KeyedList *m_widgets;
  uint32_t m_lastId = 0x80000000u;
  uint32_t m_words[GP_COUNT];
  c_GUIB_Font *m_fonts[3] = {nullptr, nullptr, nullptr};
  KeyedList *m_images;
};

// options: null, or words of which the first 0 means "no default font".
// GUI_OK started, GUI_ALREADY_STARTED (the running context is handed out),
// or a failure of GUIB_Startup.
uint32_t GuiStartup(const uint32_t *options, GuiContext **context);

// The description of the 11-pixel interface font the GUI uses by default,
// in the given face (the folder page asks for the same size in another face).
GUIB_FontDesc GUI_InterfaceFontDesc(const char *face);
void GuiShutdown();

// The widget and desktop entry points call this with their context: in the
// sanitizer build a call from any thread but the context's GUI thread stops
// the program with where it happened; elsewhere it is nothing.
#ifdef ENABLE_SANITIZERS
void GUI_CheckThread(const GuiContext *context, const char *where);
#else
inline void GUI_CheckThread(const GuiContext *, const char *) {}
#endif
