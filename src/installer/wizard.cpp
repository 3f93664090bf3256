// The installer's window, menu and wizard. What each page shows and where
// each button leads are tables (kPages, kFinish, kTransitions); the code
// below only reads them.
#include "installer/wizard.h"

#include <algorithm>

#include "installer/config.h"
#include "installer/engine.h"
#include "installer/files.h"
#include "installer/launcher.h"
#include "installer/pages.h"
#include "installer/state.h"
#include "installer/texts.h"
#include "installer/uninstall.h"
#include "platform/startup.h"

c_GUIB_Desktop *InstallerDesktop;
KeyedList *ExitCleanupList;

namespace {

// Window geometry: the desktop, the margin and the navigation buttons.
const int32_t kWidth = 640, kHeight = 284;
const int32_t kMargin = 6, kButtonW = 75, kButtonH = 14;
const int32_t kColumnX = kWidth - (kButtonW + 2 * kMargin) - 12;  // 541
const int32_t kColumnH = kHeight - 24;                            // 260
const int32_t kFrameX = kColumnX - 291;                           // 250
const int32_t kAreaW = 292;
struct Box {
  int32_t x, y, width, height;
};
const Box kFrame = {kFrameX, 12, kAreaW, 86};
const Box kArea = {kFrameX, 97, kAreaW, (kColumnH - 16) - 84};
const Box kWideArea = {kFrameX, 12, kAreaW, 245};

// Menu colours: text by state (normal, pointer over, disabled, pressed).
const uint32_t kMenuText[4][2] = {{SLOT_NORMAL, 0xFFC0C090},
                                  {SLOT_HOVER, 0xFFF8F090},
                                  {SLOT_DISABLED, 0xFF5A554A},
                                  {SLOT_PRESSED, 0xFFFFFFFF}};
const uint32_t kMenuBusy = 0xFFF8F090;  // disabled text of the section in progress

enum PageKind : uint8_t {
  KIND_ITEMS,
  KIND_LICENSE,
  KIND_FOLDER,
  KIND_PROGRESS,
  KIND_FINISH,  // items chosen by the add-on flags (kFinish)
  KIND_ERROR,   // items plus the failure's detail
};
enum : uint8_t { ROW_WIDE = 1, ROW_REBUILT = 2 };
// What happens before a rebuilt page is built.
enum PrepareStep : uint8_t { PREP_NONE, PREP_DROP_PROGRESS, PREP_CLEAR_REMOVE, PREP_UNINSTALLED };

struct RowItem {
  uint8_t type;
  int16_t text;  // text id
  uint8_t pinned;
  uint32_t *flag;   // check boxes
  int16_t address;  // links: text id of the address
  int16_t margin;
};

struct PageRow {
  int16_t background;      // slide's text id; 0 keeps the slide
  int16_t next, previous;  // caption text ids; 0 hides the button
  int16_t footer;          // text id; 0 leaves the footer empty
  PageKind kind;
  uint8_t flags;  // ROW_*
  PrepareStep prepare;
  uint8_t count;  // items used (an empty item still takes its gap)
  RowItem items[5];
};

// One page per row, kept as a table.
// clang-format off
const PageRow kPages[18] = {
  /* 0 menu */         {TEXT_IMAGE_MENU, 0, 0, TEXT_MENU_FOOTER, KIND_ITEMS, 0, PREP_NONE, 1,
                        {{ITEM_TEXT, TEXT_MENU_NOT_INSTALLED}}},
  /* 1 intro */        {TEXT_IMAGE_INTRO, TEXT_BUTTON_NEXT, 0, TEXT_INTRO_FOOTER, KIND_ITEMS, 0, PREP_NONE, 2,
                        {{ITEM_TEXT, TEXT_INTRO}, {ITEM_TEXT, TEXT_INTRO_ADVICE}}},
  /* 2 licence */      {TEXT_IMAGE_LICENSE, TEXT_BUTTON_AGREE, TEXT_BUTTON_PREVIOUS, TEXT_LICENSE_FOOTER, KIND_LICENSE, 0, PREP_NONE, 0, {}},
  /* 3 folder */       {TEXT_IMAGE_FOLDER, TEXT_BUTTON_NEXT, TEXT_BUTTON_PREVIOUS, TEXT_FOLDER_FOOTER, KIND_FOLDER, 0, PREP_NONE, 0, {}},
  /* 4 shortcuts */    {TEXT_IMAGE_SHORTCUTS, TEXT_BUTTON_NEXT, TEXT_BUTTON_PREVIOUS, TEXT_SHORTCUTS_FOOTER, KIND_ITEMS, 0, PREP_NONE, 4,
                        {{ITEM_TEXT, TEXT_SHORTCUTS_QUESTION, 1},
                         {ITEM_CHECKBOX, TEXT_SHORTCUT_DESKTOP, 0, &Installer.desktop_shortcut},
                         {ITEM_CHECKBOX, TEXT_SHORTCUT_START_MENU, 0, &Installer.start_menu_shortcut},
                         {ITEM_NONE}}},
  /* 5 group */        {TEXT_IMAGE_GROUP, TEXT_BUTTON_NEXT, TEXT_BUTTON_PREVIOUS, TEXT_GROUP_FOOTER, KIND_ITEMS, 0, PREP_NONE, 1,
                        {{ITEM_TEXT, TEXT_GROUP_TEXT}}},
  /* 6 online */       {TEXT_IMAGE_ONLINE, TEXT_BUTTON_NEXT, TEXT_BUTTON_PREVIOUS, TEXT_ONLINE_FOOTER, KIND_ITEMS, ROW_WIDE, PREP_NONE, 5,
                        {{ITEM_TITLE, TEXT_ONLINE_NAME, 0, nullptr, 0, 65},
                         {ITEM_TEXT, TEXT_ONLINE_PITCH, 0, nullptr, 0, 15},
                         {ITEM_TEXT, TEXT_ONLINE_FEATURES, 0, nullptr, 0, 3},
                         {ITEM_TEXT, TEXT_ONLINE_QUESTION},
                         {ITEM_CHECKBOX, TEXT_ONLINE_CHECKBOX, 0, &Installer.online_addon}}},
  /* 7 DirectX */      {TEXT_IMAGE_DIRECTX, TEXT_BUTTON_NEXT, TEXT_BUTTON_PREVIOUS, TEXT_DIRECTX_FOOTER, KIND_ITEMS, 0, PREP_NONE, 3,
                        {{ITEM_TEXT, TEXT_DIRECTX_MISSING, 1}, {ITEM_TEXT, TEXT_DIRECTX_DOWNLOAD},
                         {ITEM_LINK, TEXT_DIRECTX_LINK, 0, nullptr, TEXT_DIRECTX_ADDRESS}}},
  /* 8 ready */        {TEXT_IMAGE_READY, TEXT_BUTTON_INSTALL, TEXT_BUTTON_PREVIOUS, TEXT_READY_FOOTER, KIND_ITEMS, 0, PREP_NONE, 2,
                        {{ITEM_TEXT, TEXT_READY, 1}, {ITEM_TEXT, TEXT_READY_HINT}}},
  /* 9 copying */      {TEXT_IMAGE_PROGRESS, TEXT_BUTTON_CANCEL, 0, TEXT_PROGRESS_FOOTER, KIND_PROGRESS, 0, PREP_NONE, 0, {}},
  /* 10 finished */    {0, 0, 0, 0, KIND_FINISH, ROW_REBUILT, PREP_NONE, 1, {{ITEM_TEXT, TEXT_INSTALLED}}},
  /* 11 error */       {TEXT_IMAGE_MESSAGE, 0, 0, TEXT_ERROR_FOOTER, KIND_ERROR, ROW_REBUILT, PREP_NONE, 1,
                        {{ITEM_TEXT, TEXT_ERROR_TITLE, 1}}},
  /* 12 cancelled */   {TEXT_IMAGE_MESSAGE, TEXT_BUTTON_OK, 0, 0, KIND_ITEMS, ROW_REBUILT, PREP_DROP_PROGRESS, 1,
                        {{ITEM_TEXT, TEXT_CANCELLED}}},
  /* 13 menu, new */   {TEXT_IMAGE_MENU, 0, 0, TEXT_MENU_FOOTER, KIND_ITEMS, 0, PREP_NONE, 1, {{ITEM_TEXT, TEXT_MENU_NEW}}},
  /* 14 menu, inst. */ {TEXT_IMAGE_MENU, 0, 0, TEXT_MENU_FOOTER, KIND_ITEMS, 0, PREP_NONE, 1,
                        {{ITEM_TEXT, TEXT_MENU_INSTALLED}}},
  /* 15 uninstall? */  {TEXT_IMAGE_MESSAGE, TEXT_BUTTON_NEXT, 0, 0, KIND_ITEMS, ROW_REBUILT, PREP_CLEAR_REMOVE, 2,
                        {{ITEM_TEXT, TEXT_UNINSTALL_WELCOME, 1},
                         {ITEM_CHECKBOX, TEXT_UNINSTALL_CONFIRM, 0, &Installer.remove_confirmation}}},
  /* 16 removing */    {TEXT_IMAGE_MESSAGE, TEXT_BUTTON_NEXT, 0, 0, KIND_ITEMS, ROW_REBUILT, PREP_NONE, 2,
                        {{ITEM_TEXT, TEXT_REMOVING, 1}, {ITEM_TEXT, TEXT_PLEASE_WAIT}}},
  /* 17 uninstalled */ {TEXT_IMAGE_UNINSTALLED, 0, 0, 0, KIND_ITEMS, ROW_REBUILT, PREP_UNINSTALLED, 3,
                        {{ITEM_TEXT, TEXT_UNINSTALLED, 1}, {ITEM_TEXT, TEXT_THANK_YOU}, {ITEM_TEXT, TEXT_RESTART_NEEDED}}},
};
// clang-format on

// The finish page by [DirectX add-on][online add-on].
struct FinishRow {
  int16_t background;  // 0 keeps the slide
  int16_t second;      // the add-on list's text id; 0 for none
  int16_t footer;
  int16_t next;
};
const FinishRow kFinish[2][2] = {
    {{TEXT_IMAGE_FINISHED, 0, TEXT_FINISH_FOOTER, TEXT_BUTTON_OK},
     {TEXT_IMAGE_FINISHED_ONLINE, TEXT_ADDONS_ONLINE, TEXT_FINISH_ADDONS_FOOTER, TEXT_BUTTON_NEXT}},
    {{TEXT_IMAGE_FINISHED_DIRECTX, TEXT_ADDONS_DIRECTX, TEXT_FINISH_ADDONS_FOOTER,
      TEXT_BUTTON_NEXT},
     {0, TEXT_ADDONS_BOTH, TEXT_FINISH_ADDONS_FOOTER, TEXT_BUTTON_NEXT}}};

// The finish page's row for the add-ons chosen.
const FinishRow &iFinish() {
  return kFinish[Installer.directx_addon ? 1 : 0][Installer.online_addon ? 1 : 0];
}

enum Button : uint8_t { BTN_NEXT, BTN_PREVIOUS };
enum Condition : uint8_t {
  IF_ALWAYS,
  IF_DIRECTX_MISSING,
  IF_NO_ADDONS,
  IF_REMOVE_CONFIRMED,
  IF_FOLDER_HAS_ROOM,  // the folder page's drive has room (checked afresh)
};
enum Action : uint8_t {
  DO_NOTHING,
  DO_TAKE_FOLDER,     // InstallDir and GamePath from the folder page
  DO_CANCEL_INSTALL,  // stop the worker and take back what it copied
  DO_FINISH,          // installed; menu idle
  DO_ADDONS_FINISH,   // run the add-ons, then as DO_FINISH
  DO_IDLE_MENU,
  DO_UNINSTALL,
};
struct Transition {
  uint8_t page;
  Button button;
  Condition condition;
  Action action;
  uint8_t target;
};
// The first row that matches wins.
const Transition kTransitions[] = {
    {1, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 2},
    {2, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 3},
    {3, BTN_NEXT, IF_FOLDER_HAS_ROOM, DO_TAKE_FOLDER, 4},
    {4, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 6},
    {5, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 6},
    {6, BTN_NEXT, IF_DIRECTX_MISSING, DO_NOTHING, 7},
    {6, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 8},
    {7, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 8},
    {8, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 9},
    {9, BTN_NEXT, IF_ALWAYS, DO_CANCEL_INSTALL, 12},
    {10, BTN_NEXT, IF_NO_ADDONS, DO_FINISH, 13},
    {10, BTN_NEXT, IF_ALWAYS, DO_ADDONS_FINISH, 13},
    {12, BTN_NEXT, IF_ALWAYS, DO_IDLE_MENU, 0},
    {15, BTN_NEXT, IF_REMOVE_CONFIRMED, DO_UNINSTALL, 17},
    {15, BTN_NEXT, IF_ALWAYS, DO_IDLE_MENU, 14},
    {16, BTN_NEXT, IF_ALWAYS, DO_NOTHING, 17},
    {2, BTN_PREVIOUS, IF_ALWAYS, DO_NOTHING, 1},
    {3, BTN_PREVIOUS, IF_ALWAYS, DO_NOTHING, 2},
    {4, BTN_PREVIOUS, IF_ALWAYS, DO_NOTHING, 3},
    {5, BTN_PREVIOUS, IF_ALWAYS, DO_NOTHING, 4},
    {6, BTN_PREVIOUS, IF_ALWAYS, DO_NOTHING, 4},
    {7, BTN_PREVIOUS, IF_ALWAYS, DO_NOTHING, 6},
    {8, BTN_PREVIOUS, IF_DIRECTX_MISSING, DO_NOTHING, 7},
    {8, BTN_PREVIOUS, IF_ALWAYS, DO_NOTHING, 6},
};

// Icons of the image registry, in loading order.
const struct {
  uint32_t id;
  const char *name;
} kIcons[] = {
    {9, "Icons\\Icon_combo.tga"},
    {10, "Icons\\Icon_combo_mo.tga"},
    {1, "Icons\\Icon_scroll_up.tga"},
    {2, "Icons\\Icon_scroll_up_mo.tga"},
    {3, "Icons\\Icon_scroll_dn.tga"},
    {4, "Icons\\Icon_scroll_dn_mo.tga"},
    {5, "Icons\\Icon_scroll_lf.tga"},
    {6, "Icons\\Icon_scroll_lf_mo.tga"},
    {7, "Icons\\Icon_scroll_rg.tga"},
    {8, "Icons\\Icon_scroll_rg_mo.tga"},
    {11, "Icons\\Icon_slide.tga"},
    {12, "Icons\\Icon_slide_mo.tga"},
    {20, "Icons\\Icon_scrollbutton.tga"},
    {21, "Icons\\Icon_scrollbutton_down.tga"},
    {22, "Icons\\Icon_scrollbutton_up.tga"},
    {23, "Icons\\Icon_scrollbutton_scroll.tga"},
    {26, "Icons\\ft_file.tga"},
    {24, "Icons\\ft_dir.tga"},
    {25, "Icons\\ft_dir_o.tga"},
};

const uint32_t kMenuCount = 5;

// Who runs the install and uninstall pages: the menu itself (elevated
// already, or when it could not ask), an elevated copy started by the menu
// (the program was started with the hand-over argument), or natively the
// menu in place of such a copy (the emulated machine's answer).
enum Role : uint8_t { ROLE_MENU, ROLE_COPY, ROLE_IN_PLACE };

struct Wizard {
  Role role = ROLE_MENU;
  uint32_t exit_code = 0;
  GuiContext *context = nullptr;
  uint32_t current = INST_NO_PAGE;
  c_GUIB_Widget *pages[INST_PAGE_COUNT] = {};
  c_GUIB_Panel *background = nullptr;
  c_GUIB_Panel *column = nullptr;
  c_GUIB_Panel *frame = nullptr;
  c_GUIB_Label *footer = nullptr;
  c_GUIB_Button *next = nullptr;
  c_GUIB_Button *previous = nullptr;
  c_GUIB_Button *menu[kMenuCount] = {};
  int16_t next_caption = 0;           // text id of Next's caption on this page
  char error[2 * SYS_MAX_PATH] = {};  // the error page's detail line
};
Wizard g;

// An image of the store named by a text id; null when it cannot be loaded.
c_GUIB_Bitmap *iLoadImage(int32_t text_id) {
  const char *name = nullptr;
  INST_GetTextLen(text_id, &name);
  c_GUIB_Bitmap *image = new c_GUIB_Bitmap(name);
  if (image->Width() == 0) {
    image->Release();
    return nullptr;
  }
  return image;
}

WidgetCreateParams iChild(c_GUIB_Widget *parent, const Box &r) {
  return GUI_ChildParams(parent, r.x, r.y, r.width, r.height, INST_WizardHandler, 0);
}

void iSetButton(c_GUIB_Button *button, int16_t caption) {
  button->Show(caption != 0);
  if (caption) button->SetText(INST_GetText(caption));
}

// ------------------------------------------------------------- keyboard

bool iUsable(const c_GUIB_Widget *w) {
  return w && (w->GetFlags() & (WF_VISIBLE | WF_DISABLED)) == WF_VISIBLE;
}

// A wizard page shows Next or Previous; the menu pages show neither.
bool iWizardPage() {
  return iUsable(g.next) || iUsable(g.previous);
}

// What the keyboard reaches, in Tab order: on a wizard page the page's
// buttons, check boxes and folder tree, then Previous and Next; elsewhere
// the enabled menu items.
std::vector<c_GUIB_Widget *> iFocusChain() {
  std::vector<c_GUIB_Widget *> chain;
  if (!iWizardPage()) {
    for (c_GUIB_Button *b : g.menu)
      if (iUsable(b)) chain.push_back(b);
    return chain;
  }
  c_GUIB_Widget *page = g.current < INST_PAGE_COUNT ? g.pages[g.current] : nullptr;
  if (page)
    for (const GUI_Description &d : GUI_DescribeTree(page))
      if ((d.role == ACC_BUTTON || d.role == ACC_CHECKBOX || d.role == ACC_TREE) &&
          !(d.state & ACCS_DISABLED))
        chain.push_back(d.widget);
  for (c_GUIB_Widget *b : {g.previous, g.next})
    if (iUsable(b)) chain.push_back(b);
  return chain;
}

// Puts the focus where a page starts (reset) or where it can still be: the
// default button of a wizard page, else the first enabled menu item.
void iSettleFocus(bool reset) {
  if (!InstallerDesktop) return;
  const std::vector<c_GUIB_Widget *> chain = iFocusChain();
  c_GUIB_Widget *focus = InstallerDesktop->FocusWidget();
  if (!reset && std::find(chain.begin(), chain.end(), focus) != chain.end()) return;
  c_GUIB_Widget *to = chain.empty() ? nullptr : chain.front();
  if (iWizardPage()) to = iUsable(g.next) ? g.next : g.previous;
  if (to)
    to->SetFocus();
  else if (focus)
    focus->KillFocus();
}

bool iOwnWidget(c_GUIB_Widget *w) {
  for (; w; w = w->ParentPtr())
    if (w == g.background || w == g.column) return true;
  return false;
}

// Keys no focused widget took: moving the focus, Enter, Esc, the licence's
// Page Up and Page Down.
uint32_t iKeyHandler(c_GUIB_Widget *, uintptr_t, uint32_t msg, uintptr_t a, uintptr_t) {
  enum : uint32_t { kTab = 9, kEnter = 13, kEsc = 27, kPageUp = 33, kPageDown = 34 };
  enum : uint32_t { kUp = 38, kDown = 40 };
  const uint32_t kw = uint32_t(a), key = kw & 0xFFFF;
  if (msg != GM_KEY_DOWN || (kw & (KW_CHAR | KW_ALT | KW_CTRL))) return 0;
  c_GUIB_Widget *focus = InstallerDesktop->FocusWidget();
  if (focus && !iOwnWidget(focus)) return 0;  // a message box's
  const std::vector<c_GUIB_Widget *> chain = iFocusChain();
  const int32_t n = int32_t(chain.size());
  const int32_t at = int32_t(std::find(chain.begin(), chain.end(), focus) - chain.begin());
  auto move = [&](int32_t step) {
    if (n) chain[size_t(at < n ? (at + step + n) % n : step > 0 ? 0 : n - 1)]->SetFocus();
  };
  GUI_Description d;
  c_GUIB_Button *press = nullptr;
  switch (key) {
    case kTab:
      move((kw & KW_SHIFT) ? -1 : 1);
      return 1;
    case kUp:
    case kDown:
      move(key == kUp ? -1 : 1);
      return 1;
    case kEnter:
      if (at < n && chain[size_t(at)]->Describe(&d) == ACC_BUTTON)
        press = static_cast<c_GUIB_Button *>(chain[size_t(at)]);
      else if (iUsable(g.next))
        press = g.next;
      break;
    case kEsc:
      if (iUsable(g.next) && g.next_caption == TEXT_BUTTON_CANCEL)
        press = g.next;
      else if (iUsable(g.previous))
        press = g.previous;
      else if (!iWizardPage())
        press = g.menu[kMenuCount - 1];  // Quit
      break;
    case kPageUp:
    case kPageDown:
      if (g.current == 2 && g.pages[2])
        static_cast<c_INST_LicensePage *>(g.pages[2])->ScrollPages(key == kPageUp ? -1 : 1);
      return 1;
    default:
      return 0;
  }
  if (press) press->Press();
  return 1;
}

// Gives up a page object; the desktop destroys it on its next pass (the
// page may be the sender of the notification being handled).
void iDropPage(uint32_t n) {
  c_GUIB_Widget *page = g.pages[n];
  if (!page) return;
  g.pages[n] = nullptr;
  page->Show(false);
  page->RequestDestroy();
}

void iBuildMenu() {
  c_GUIB_Font *font = InstallerLargeFont ? InstallerLargeFont : g.context->Font(GP_FONT);
  const int32_t h = font ? font->GetLineHeight() : 0;
  int32_t y = 4 * h;
  for (uint32_t i = 0; i < kMenuCount; ++i) {
    if (i == 1 && Installer.installed) continue;   // no Install once installed
    if (i == 2 && !Installer.installed) continue;  // no Uninstall before
    const char *caption = INST_GetText(TEXT_MENU_PLAY + int32_t(i));
    GUIB_Rect r = {0, 0, 0, 0};
    if (font) font->CalcTextRect(caption, &r, GUIB_ALIGN_LEFT | GUIB_ALIGN_TOP);
    const int32_t top = i == kMenuCount - 1 ? kHeight - 2 * h : y;
    c_GUIB_Button *b = new c_GUIB_Button(iChild(g.background, {35, top, r.right - r.left, h}));
    for (const auto &c : kMenuText) {
      b->SetTextColor(c[0], c[1]);
      b->SetFillColor(c[0], 0);
    }
    b->SetFrameStyle(0);
    b->SetFlags(WF_FOCUSABLE);
    if (InstallerLargeFont)
      for (uint32_t slot : {SLOT_NORMAL, SLOT_HOVER, SLOT_DISABLED})
        b->SetFont(InstallerLargeFont, slot);
    b->SetText(caption);
    g.menu[i] = b;
    y += 7 * (h / 6);
  }
}

c_GUIB_Widget *iBuildItemPage(const WidgetCreateParams &p, const RowItem *rows, size_t count,
                              int16_t extra_text, const char *extra) {
  PageItem items[10] = {};
  uint32_t n = 0;
  for (size_t i = 0; i < count && n < 10; ++i) {
    const RowItem &r = rows[i];
    items[n].type = r.type;
    items[n].text = r.text ? INST_GetText(r.text) : "";
    items[n].pinned = r.pinned;
    items[n].data = r.type == ITEM_LINK ? const_cast<char *>(INST_GetText(r.address))
                                        : static_cast<void *>(r.flag);
    items[n].margin = r.margin;
    ++n;
  }
  if (extra_text && n < 10) items[n++] = {ITEM_TEXT, INST_GetText(extra_text), 0, nullptr, 0};
  if (extra && n < 10) items[n++] = {ITEM_TEXT, extra, 0, nullptr, 0};
  return new c_INST_ItemPage(p, items, n);
}

c_GUIB_Widget *iBuildPage(uint32_t n, const WidgetCreateParams &p) {
  const PageRow &row = kPages[n];
  switch (row.kind) {
    case KIND_LICENSE:
      return new c_INST_LicensePage(p);
    case KIND_FOLDER:
      return new c_INST_FolderPage(p);
    case KIND_PROGRESS:
      return new c_INST_ProgressPage(p);
    case KIND_FINISH: {
      const FinishRow &f = iFinish();
      return iBuildItemPage(p, row.items, row.count, f.second, nullptr);
    }
    case KIND_ERROR:
      return iBuildItemPage(p, row.items, row.count, 0, g.error[0] ? g.error : nullptr);
    default:
      return iBuildItemPage(p, row.items, row.count, 0, nullptr);
  }
}

void iPrepare(PrepareStep step) {
  switch (step) {
    case PREP_DROP_PROGRESS:
      iDropPage(9);
      break;
    case PREP_CLEAR_REMOVE:
      Installer.remove_confirmation = 0;
      break;
    case PREP_UNINSTALLED:
      Installer.installed = 0;
      INST_SetMenuState(INST_SECTION_IDLE);
      break;
    default:
      break;
  }
}

bool iCondition(Condition c) {
  switch (c) {
    case IF_DIRECTX_MISSING:
      return Installer.directx_missing != 0;
    case IF_NO_ADDONS:
      return !Installer.online_addon && !Installer.directx_addon;
    case IF_REMOVE_CONFIRMED:
      return Installer.remove_confirmation == 1;
    case IF_FOLDER_HAS_ROOM:
      return !g.pages[3] || static_cast<c_INST_FolderPage *>(g.pages[3])->CheckRoom();
    default:
      return true;
  }
}

void iAct(Action action) {
  switch (action) {
    case DO_TAKE_FOLDER: {
      c_INST_FolderPage *folder = static_cast<c_INST_FolderPage *>(g.pages[3]);
      if (folder) folder->GetPath(InstallDir);
      char game[SYS_MAX_PATH];
      if (INST_JoinPath(game, sizeof game, InstallDir, INST_GetText(TEXT_GAME_EXE)))
        SYS_StrCopy(GamePath, sizeof GamePath, game);
      break;
    }
    case DO_CANCEL_INSTALL:
      INST_CancelInstall();
      break;
    case DO_ADDONS_FINISH:
      INST_RunAddOns(InstallerDesktop ? InstallerDesktop->GetWindowHandle() : 0);
      Installer.installed = 1;
      INST_SetMenuState(INST_SECTION_IDLE);
      break;
    case DO_FINISH:
      Installer.installed = 1;
      INST_SetMenuState(INST_SECTION_IDLE);
      break;
    case DO_IDLE_MENU:
      INST_SetMenuState(INST_SECTION_IDLE);
      break;
    case DO_UNINSTALL:
      INST_Uninstall();
      break;
    default:
      break;
  }
}

void iRebuildMenu() {
  for (c_GUIB_Button *&b : g.menu) {
    if (!b) continue;
    b->Show(false);
    b->RequestDestroy();
    b = nullptr;
  }
  iBuildMenu();
}

// The menu again after the elevated copy ended with code.
void iCopyEnded(uint32_t code) {
  if (code == INST_COPY_QUIT) {
    AppRunning = 0;
    return;
  }
  INST_ReadInstalledState();
  if (code != INST_COPY_INSTALLED || !Installer.installed) iRebuildMenu();
  INST_SetMenuState(INST_SECTION_IDLE);
  if (code == INST_COPY_INSTALLED && Installer.installed)
    INST_ShowPage(13);
  else
    INST_ShowPage(Installer.installed ? 14 : 0);
}

// The copy's part ends where the menu would show again (pages 0, 13 and
// 14): the copy ends, or the menu run in its place takes over. Page 17
// stays in the copy, so that its word on the restart is seen; Quit there
// ends both.
bool iEndOfCopy(uint32_t target) {
  if (g.role == ROLE_MENU || (target != 0 && target != 13 && target != 14)) return false;
  const uint32_t code = target == 13 ? INST_COPY_INSTALLED : INST_COPY_MENU;
  if (g.role == ROLE_COPY) {
    g.exit_code = code;
    AppRunning = 0;
    return true;
  }
  SYS_EndElevatedInPlace(code);
  g.role = ROLE_MENU;
  iCopyEnded(code);
  return true;
}

// A page the disc leaves out: the online-play page without the add-on.
bool iPageOff(uint32_t page) {
  return page == 6 && !INSTALLER_ONLINE_ADDON;
}

void iNavigate(Button button) {
  for (const Transition &t : kTransitions) {
    if (t.page != g.current || t.button != button || !iCondition(t.condition)) continue;
    iAct(t.action);
    if (iPageOff(t.target)) {  // on from there as if the same button were pressed
      if (g.pages[g.current]) g.pages[g.current]->Show(false);
      g.current = t.target;
      iNavigate(button);
      return;
    }
    if (!iEndOfCopy(t.target)) INST_ShowPage(t.target);
    return;
  }
}

// The install (page 1) or uninstall (page 15) pages, in this process.
void iStartPages(uint32_t page) {
  INST_SetMenuState(page == 1 ? INST_SECTION_INSTALL : INST_SECTION_UNINSTALL);
  INST_ShowPage(page);
}

// Install and Uninstall need administrator rights. Without them the menu
// starts an elevated copy of itself on that page, in its window's place,
// hides its window and waits for the copy, handling its messages meanwhile.
void iElevated(uint32_t page) {
  if (g.role != ROLE_MENU || SYS_IsElevated()) return iStartPages(page);
  const uintptr_t window = InstallerDesktop->GetWindowHandle();
  int32_t x = 0, y = 0;
  SYS_GetWindowPosition(window, &x, &y);
  char argument[64];
  AppHandOverArgument(argument, sizeof argument, page, x, y);
  SYS_Handle copy = 0;
  const SYS_Handle offer = SYS_OfferHandOver(INST_HAND_OVER_NAME);
  const uint32_t started = SYS_StartElevated(AppPaths.program_path, argument, &copy);
  if (started == SYS_ELEVATE_STARTED && copy) {
    SYS_ShowWindow(window, false);
    SYS_WaitHandlingMessages(copy, SYS_INFINITE);
  }
  if (offer) SYS_CloseHandle(offer);
  switch (started) {
    case SYS_ELEVATE_STARTED: {
      if (!copy) {  // started, but it cannot be waited for: it carries on alone
        AppRunning = 0;
        return;
      }
      const uint32_t code = SYS_ProcessExitCode(copy);
      SYS_CloseHandle(copy);
      iCopyEnded(code);
      if (AppRunning) {
        SYS_ShowWindow(window, true);
        SYS_RaiseWindow(window);
      }
      return;
    }
    case SYS_ELEVATE_IN_PLACE:
      g.role = ROLE_IN_PLACE;
      return iStartPages(page);
    case SYS_ELEVATE_REFUSED:
      return;  // the user said no: the menu stays as it was
    default:
      return iStartPages(page);  // no way to ask: try with the rights this process has
  }
}

void iMenuClicked(uint32_t index) {
  switch (index) {
    case 0:
      INST_PlayGame();
      break;
    case 1:
    case 2:
      iElevated(index == 1 ? 1 : 15);
      break;
    case 3: {
      char address[SYS_MAX_PATH];
      SYS_Format(address, sizeof address, "http://%s", INST_WebSiteHost());
      INST_OpenWebAddress(address);
      break;
    }
    default:
      if (g.role == ROLE_IN_PLACE) SYS_EndElevatedInPlace(INST_COPY_QUIT);
      AppRunning = 0;
      break;
  }
}

uint32_t iDeleteCleanupFile(uintptr_t key, uintptr_t) {
  char *name = reinterpret_cast<char *>(key);
  if (name) {
    SYS_FileDelete(name);
    SYS_Free(name);
  }
  return 1;
}

}  // namespace

int INST_InitGUI(GuiContext *context) {
  g = Wizard();
  g.context = context;
  WidgetCreateParams p = {};
  p.width = kWidth;
  p.height = kHeight;
  p.context = context;
  InstallerDesktop = new c_GUIB_Desktop(p);
  if (!INST_OpenWindow(InstallerDesktop, INST_GetText(TEXT_WINDOW_CAPTION))) {
    SYS_LogPrint(SYS_LOG_MAIN, 1, "!INST_InitGUI: can't set output to a MasterWindow");
    return 0;
  }
  for (const auto &icon : kIcons) {
    c_GUIB_Bitmap *image = new c_GUIB_Bitmap(icon.name);
    if (image->Width() > 0) context->RegisterImage(icon.id, image);
    image->Release();
  }
  InstallerLargeFont = new c_GUIB_Font("tahoma15.fnt");
  if (InstallerLargeFont->GlyphCount() == 0) {  // titles and menu fall back to the default font
    InstallerLargeFont->Release();
    InstallerLargeFont = nullptr;
  }
  c_GUIB_Font *small = new c_GUIB_Font("tahoma08.fnt");
  // Without the file the GUI's own default font stays.
  if (small->GlyphCount() > 0) context->SetProperty(GP_FONT, reinterpret_cast<uintptr_t>(small));
  small->Release();
  SYS_SetOwnerWindow(InstallerDesktop->GetWindowHandle());
  AppRunning = 1;
  return 1;
}

void INST_StartWizard() {
  INST_ResetState();
  Installer.directx_missing = INSTALLER_DIRECTX_CHECK && !INST_IsDirectXPresent() ? 1 : 0;
  g.current = INST_NO_PAGE;
  for (c_GUIB_Widget *&page : g.pages) page = nullptr;
  g.error[0] = 0;
  ExitCleanupList = KeyedList_Create(iDeleteCleanupFile);

  c_GUIB_Widget *desk = InstallerDesktop;
  g.background = new c_GUIB_Panel(iChild(desk, {0, 0, kWidth, kHeight}));
  c_GUIB_Bitmap *back = iLoadImage(TEXT_IMAGE_BACKGROUND);
  g.background->SetBackground(g.background->GetFillColor(SLOT_BACKGROUND), back,
                              PANEL_STRETCH | PANEL_KEEP_IMAGE);
  g.column = new c_GUIB_Panel(iChild(desk, {kColumnX, 12, kButtonW + 2 * kMargin, kColumnH}));
  g.frame = new c_GUIB_Panel(iChild(desk, kFrame));
  g.frame->SetBackground(0xFF000000, back, PANEL_TOP_LEFT | PANEL_KEEP_IMAGE);
  if (back) back->Release();
  const int32_t line = int32_t(g.context->Word(GP_SCROLLBAR_SIZE));
  g.footer = new c_GUIB_Label(iChild(desk, {kFrameX, 256, kAreaW, line}));
  g.footer->SetTextColor(SLOT_NORMAL, INST_TEXT_COLOR);
  g.footer->SetTextAlign(GUIB_ALIGN_HCENTER | GUIB_ALIGN_VCENTER);

  const int32_t next_y = kColumnH - kButtonH - kMargin - 1;
  g.next = new c_GUIB_Button(iChild(g.column, {7, next_y, kButtonW, kButtonH}));
  g.next->SetText(INST_GetText(TEXT_BUTTON_NEXT));
  g.previous = new c_GUIB_Button(iChild(g.column, {7, next_y - 21, kButtonW, kButtonH}));
  g.previous->SetText(INST_GetText(TEXT_BUTTON_PREVIOUS));
  g.next->SetFlags(WF_FOCUSABLE);
  g.previous->SetFlags(WF_FOCUSABLE);
  desk->RemoveHandler(iKeyHandler);
  desk->AddHandler(iKeyHandler, 0);

  INST_ReadInstalledState();
  iBuildMenu();
  g.role = ROLE_MENU;
  g.exit_code = 0;
  if (AppHandOver.page == (Installer.installed ? 15u : 1u)) {
    // The elevated copy: straight to its pages; leaving ends it with Quit's code.
    g.role = ROLE_COPY;
    g.exit_code = INST_COPY_QUIT;
    return iStartPages(AppHandOver.page);
  }
  INST_ShowPage(Installer.menu_mode == INST_MENU_NOT_INSTALLED ? 0 : 14);
  INST_SetMenuState(INST_SECTION_IDLE);
}

bool INST_TakeHandOver() {
  if (AppHandOver.page && SYS_HandOverOffered(INST_HAND_OVER_NAME)) return true;
  AppHandOver = {};
  return false;
}

uint32_t INST_ExitCode() {
  return g.exit_code;
}

namespace {

void iShowPage(uint32_t n) {
  if (g.current < INST_PAGE_COUNT && g.pages[g.current]) g.pages[g.current]->Show(false);
  g.current = n;
  g.frame->Show(n != 6);
  if (n >= 18) return;

  const PageRow &row = kPages[n];
  int16_t background = row.background, next = row.next, footer = row.footer;
  if (row.kind == KIND_FINISH) {
    const FinishRow &f = iFinish();
    background = f.background;
    next = f.next;
    footer = f.footer;
  }
  if (background) INST_SetPageBackground(background);
  iSetButton(g.next, next);
  g.next_caption = next;
  iSetButton(g.previous, row.previous);
  g.footer->SetText(footer ? INST_GetText(footer) : "");

  const bool rebuilt = (row.flags & ROW_REBUILT) != 0;
  if (g.pages[n] && !rebuilt) {
    g.pages[n]->Show(true);
    return;
  }
  iDropPage(n);
  iPrepare(row.prepare);
  const Box &area = (row.flags & ROW_WIDE) ? kWideArea : kArea;
  g.pages[n] = iBuildPage(n, iChild(g.background, area));
}

}  // namespace

void INST_ShowPage(uint32_t n) {
  if (n >= INST_PAGE_COUNT) return;
  iShowPage(n);
  if (InstallerDesktop) InstallerDesktop->AccessibleEvent(ACC_EVENT_NAME, nullptr);
  iSettleFocus(true);
}

uint32_t INST_WizardHandler(c_GUIB_Widget *widget, uintptr_t, uint32_t msg, uintptr_t, uintptr_t) {
  switch (msg) {
    case GN_CLICKED:
      if (widget == g.next) {
        iNavigate(BTN_NEXT);
      } else if (widget == g.previous) {
        iNavigate(BTN_PREVIOUS);
      } else {
        for (uint32_t i = 0; i < kMenuCount; ++i)
          if (widget == g.menu[i]) iMenuClicked(i);
      }
      break;
    case INST_NOTIFY_DONE:
      Installer.installed = 1;
      INST_ShowPage(10);
      break;
    case INST_NOTIFY_FAILED: {
      c_INST_ProgressPage *progress = static_cast<c_INST_ProgressPage *>(g.pages[9]);
      g.error[0] = 0;
      if (progress && widget == progress) {
        InstallProgress p;
        INST_ReadProgress(progress->Engine(), &p);
        SYS_StrCopy(g.error, sizeof g.error, p.error);
      }
      INST_ShowPage(11);
      break;
    }
    case INST_NOTIFY_CANCELLED:
      INST_ShowPage(12);
      break;
    default:
      break;
  }
  return 0;
}

void INST_SetMenuState(uint32_t section) {
  for (uint32_t i = 0; i < 4; ++i) {
    c_GUIB_Button *b = g.menu[i];
    if (!b) continue;
    bool on = section >= INST_SECTION_IDLE;
    if ((i == 0 || i == 2) && !Installer.installed) on = false;
    if (i == 1 && Installer.installed) on = false;
    b->Enable(on);
    b->SetTextColor(SLOT_DISABLED, i == section ? kMenuBusy : 0xFF5A554A);
  }
  iSettleFocus(false);
}

void INST_SetPageBackground(int32_t text_id) {
  c_GUIB_Bitmap *image = iLoadImage(text_id);
  g.frame->SetBackground(0, image, PANEL_CENTRE | PANEL_KEEP_IMAGE);
  if (image) image->Release();
}

uint32_t INST_CurrentPage() {
  return g.current;
}
c_GUIB_Widget *INST_Page(uint32_t page) {
  return page < INST_PAGE_COUNT ? g.pages[page] : nullptr;
}
c_GUIB_Button *INST_MenuButton(uint32_t index) {
  return index < kMenuCount ? g.menu[index] : nullptr;
}
c_GUIB_Button *INST_NextButton() {
  return g.next;
}
c_GUIB_Button *INST_PreviousButton() {
  return g.previous;
}
c_GUIB_Label *INST_FooterLabel() {
  return g.footer;
}
c_GUIB_Panel *INST_PictureFrame() {
  return g.frame;
}
