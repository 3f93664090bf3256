// The wizard's page classes.
//
//   c_INST_ItemPage      a short list of texts, titles, check boxes and links
//                        laid out from PageItem descriptions
//   c_INST_LicensePage   la.txt in a scrollable view
//   c_INST_FolderPage    the install folder, picked in a folder tree
//   c_INST_ProgressPage  the install engine's progress; building it starts
//                        the copy of volume 1
//
// Every page is created with the wizard's page creation block (rectangle,
// context, parent, handler) and handles its own children's notifications;
// only what concerns the wizard reaches the block's handler.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/dir_browser.h"
#include "gui/gui.h"
#include "gui/scroll_bar.h"
#include "installer/engine.h"

enum : uint32_t { ITEM_NONE = 0, ITEM_TEXT = 1, ITEM_TITLE = 2, ITEM_CHECKBOX = 3, ITEM_LINK = 4 };

struct PageItem {
  uint32_t type;     // ITEM_*
  const char *text;  // caption
  uint32_t pinned;   // first item: to the top; last item: to the bottom
  void *data;        // check box: the uint32_t flag it edits; link: the address text
  int32_t margin;    // left and right, pixels; 0 = a tenth of the page width
};

static const uint32_t INST_MAX_ITEMS = 20;
// The colour of page texts.
static const uint32_t INST_TEXT_COLOR = 0xFFE7E3CE;

// The large font (tahoma15.fnt) of titles and the menu; null until loaded.
extern c_GUIB_Font *InstallerLargeFont;

// Where the item layout puts one item.
struct ItemBox {
  int32_t x, y, width, height;
};

// The item layout for a page of width x height: each item's box (x and width
// are the label's or widget's; type 0 items get height 0). mark is the GUI's
// check mark size; font measures the wrapped texts.
std::vector<ItemBox> INST_LayoutItems(const PageItem *items, uint32_t count, int32_t width,
                                      int32_t height, c_GUIB_Font *font, int32_t mark);

class c_INST_ItemPage : public c_GUIB_Widget {
 public:
  c_INST_ItemPage(const WidgetCreateParams &p, const PageItem *items, uint32_t count);
  void Paint() override;

  // The widget made for item i (null for type 0 and left-out items).
  c_GUIB_Widget *ItemWidget(uint32_t i) const { return i < m_widgets.size() ? m_widgets[i] : 0; }

 private:
  static uint32_t iChildHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                                uintptr_t b);

  std::vector<c_GUIB_Widget *> m_widgets;
  std::vector<std::pair<c_GUIB_Widget *, uint32_t *>> m_checkBoxes;
  std::vector<std::pair<c_GUIB_Widget *, const char *>> m_links;
};

class c_INST_LicensePage : public c_GUIB_Widget {
 public:
  explicit c_INST_LicensePage(const WidgetCreateParams &p);
  ~c_INST_LicensePage() override;

  c_GUIB_Panel *View() const { return m_view; }
  c_GUIB_ScrollBar *ScrollBar() const { return m_scroll; }  // null when the text fits
  c_GUIB_Bitmap *TextBitmap() const { return m_text; }
  // Page Up and Page Down: moves the view by pages (negative: up).
  void ScrollPages(int32_t pages);

 private:
  static uint32_t iChildHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                                uintptr_t b);
  void iShowFrom(int32_t position);

  c_GUIB_Label *m_title = nullptr;
  c_GUIB_Panel *m_view = nullptr;
  c_GUIB_ScrollBar *m_scroll = nullptr;
  c_GUIB_Bitmap *m_text = nullptr;
};

class c_INST_FolderPage : public c_GUIB_Widget {
 public:
  explicit c_INST_FolderPage(const WidgetCreateParams &p);
  ~c_INST_FolderPage() override;

  // Copies the chosen path (SYS_MAX_PATH bytes).
  void GetPath(char *out) const;
  c_GUIB_DirBrowser *Browser() const { return m_tree; }
  c_GUIB_Label *PathLabel() const { return m_path; }
  c_GUIB_Label *RoomLabel() const { return m_room; }
  // Shows the space the install needs and the free space on the chosen
  // drive; false when the drive has too little (unknown free space passes).
  bool CheckRoom();

 private:
  static uint32_t iChildHandler(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                                uintptr_t b);

  c_GUIB_Label *m_title = nullptr;
  c_GUIB_Label *m_path = nullptr;
  c_GUIB_Label *m_room = nullptr;
  c_GUIB_DirBrowser *m_tree = nullptr;
  uint64_t m_need = 0;
  c_GUIB_Font *m_font = nullptr;
  char m_chosen[SYS_MAX_PATH] = {};
};

class c_INST_ProgressPage : public c_GUIB_Panel {
 public:
  explicit c_INST_ProgressPage(const WidgetCreateParams &p);
  ~c_INST_ProgressPage() override;
  // GM_TICK: shows the progress and reports the end of the install.
  uintptr_t HandleMessage(uint32_t msg, uintptr_t a, uintptr_t b) override;

  // Starts (or, after the prompt was confirmed, retries) the engine's
  // current volume; for volumes above 1 a missing archive brings up the
  // "Insert disk" prompt, whose Cancel sends INST_NOTIFY_CANCELLED.
  void StartVolume();
  InstallEngine *Engine() { return &m_engine; }
  c_GUIB_Label *FileLabel() const { return m_file; }
  c_GUIB_ProgressBar *FileBar() const { return m_fileBar; }
  c_GUIB_ProgressBar *TotalBar() const { return m_totalBar; }

 private:
  static uint32_t iVolumePrompt(c_GUIB_Widget *w, uintptr_t data, uint32_t msg, uintptr_t a,
                                uintptr_t b);
  c_GUIB_Label *iLabel(int32_t y, int32_t height, const char *text);

  InstallEngine m_engine;
  bool m_engineReady = false;
  c_GUIB_Label *m_title = nullptr;
  c_GUIB_Label *m_file = nullptr;
  c_GUIB_ProgressBar *m_fileBar = nullptr;
  c_GUIB_Label *m_totalLabel = nullptr;
  c_GUIB_ProgressBar *m_totalBar = nullptr;
  char m_shownName[SYS_MAX_PATH] = {};
};
