// The text table: every text the installer shows or uses as a setting
// (captions, page texts, image and program names, registry names) by a small
// number, the text id. INST_InitTexts fills it once at start-up with the
// built-in texts of one language, INST_FreeTexts empties it at shutdown;
// nothing else writes to it. Lookups of an empty or out-of-range id give the
// fallback text of id 500, "*** no text ***".
//
// The texts are single-byte Windows-1252, as the GUI draws them. Names that
// are no language's (files, registry keys, host names, the product's names)
// are the same in every language.
//
// The three host names inside some texts (product web site, DirectX
// download host, online-play host) are configured at build time
// (INSTALLER_WEB_HOST, INSTALLER_DIRECTX_HOST, INSTALLER_ONLINE_HOST).
#pragma once

#include <cstdint>

static const uint32_t INST_TEXT_COUNT = 501;  // ids 0 to 500
static const uint32_t INST_TEXT_FALLBACK = 500;

// The ids of the text table, named by what each text is; the numbers are
// the table's own and do not change.
enum INST_TextId : int32_t {
  // The menu's items
  TEXT_MENU_PLAY = 1,
  TEXT_MENU_INSTALL = 2,
  TEXT_MENU_UNINSTALL = 3,
  TEXT_MENU_WEB = 4,
  TEXT_MENU_QUIT = 5,
  // Button captions
  TEXT_BUTTON_INSTALL = 10,
  TEXT_BUTTON_AGREE = 11,
  TEXT_BUTTON_OK = 12,
  TEXT_BUTTON_NEXT = 13,
  TEXT_BUTTON_PREVIOUS = 14,
  TEXT_BUTTON_CANCEL = 15,
  TEXT_BUTTON_YES = 16,
  TEXT_BUTTON_NO = 17,
  // The menu's welcome: before install, just installed, installed
  TEXT_MENU_NOT_INSTALLED = 20,
  TEXT_MENU_NEW = 21,
  TEXT_MENU_INSTALLED = 22,
  // Start-up and disc errors
  TEXT_FATAL_ERROR = 23,
  TEXT_DATA_FILE_MISSING = 24,
  TEXT_DISK_ERROR = 25,
  TEXT_INSTALL_DIR_FAILED = 26,
  TEXT_FILE_ACCESS_FAILED = 27,
  TEXT_MENU_FOOTER = 29,  // empty
  // The intro page
  TEXT_INTRO = 30,
  TEXT_INTRO_ADVICE = 31,
  TEXT_INTRO_FOOTER = 39,
  // The licence page
  TEXT_LICENSE_TITLE = 40,
  TEXT_LICENSE_MISSING = 41,
  TEXT_LICENSE_FOOTER = 49,
  // The folder page
  TEXT_FOLDER_TITLE = 50,
  TEXT_FOLDER_TOO_LONG = 51,
  TEXT_DRIVE_FREE = 52,
  TEXT_DRIVE_FREE_UNKNOWN = 53,
  TEXT_SPACE_NEEDED_FREE = 56,
  TEXT_SPACE_SHORT = 57,
  TEXT_SPACE_NEEDED = 58,
  TEXT_FOLDER_FOOTER = 59,
  // The shortcuts page
  TEXT_SHORTCUTS_QUESTION = 60,
  TEXT_SHORTCUT_DESKTOP = 61,
  TEXT_SHORTCUT_START_MENU = 62,
  TEXT_SHORTCUTS_FOOTER = 69,
  // The start menu group page
  TEXT_GROUP_TEXT = 70,
  TEXT_GROUP_FOOTER = 79,
  // The ready page
  TEXT_READY = 80,
  TEXT_READY_HINT = 81,
  TEXT_READY_FOOTER = 89,  // empty
  // The finish page
  TEXT_INSTALLED = 90,
  TEXT_ADDONS_ONLINE = 92,
  TEXT_ADDONS_DIRECTX = 93,
  TEXT_ADDONS_BOTH = 94,
  TEXT_FINISH_FOOTER = 98,
  TEXT_FINISH_ADDONS_FOOTER = 99,
  // The progress page
  TEXT_PROGRESS_TITLE = 110,
  TEXT_PROGRESS_TOTAL = 111,
  TEXT_TIME_REMAINING = 112,
  TEXT_MINUTES = 113,
  TEXT_SECONDS = 114,
  TEXT_INSERT_DISK = 116,
  TEXT_ENTRY_NOT_FOUND = 117,
  TEXT_ENTRY_DAMAGED = 118,
  TEXT_PROGRESS_FOOTER = 119,
  // The online-play page
  TEXT_ONLINE_PITCH = 120,
  TEXT_ONLINE_FEATURES = 121,
  TEXT_ONLINE_QUESTION = 122,
  TEXT_ONLINE_CHECKBOX = 123,
  TEXT_ONLINE_LATER = 124,
  TEXT_ONLINE_NAME = 125,
  TEXT_ONLINE_FOOTER = 129,
  // The DirectX page
  TEXT_DIRECTX_QUESTION = 130,
  TEXT_DIRECTX_CHECKBOX = 131,
  TEXT_DIRECTX_NEEDED = 132,
  TEXT_DIRECTX_MISSING = 135,
  TEXT_DIRECTX_DOWNLOAD = 136,
  TEXT_DIRECTX_FOOTER = 139,
  // The uninstall pages
  TEXT_UNINSTALL_WELCOME = 140,
  TEXT_UNINSTALL_CONFIRM = 141,
  TEXT_UNINSTALL_FOOTER = 149,
  TEXT_REMOVING = 150,
  TEXT_PLEASE_WAIT = 151,
  TEXT_UNINSTALLED = 160,
  TEXT_THANK_YOU = 161,
  TEXT_RESTART_NEEDED = 162,
  // The cancelled and error pages
  TEXT_CANCELLED = 170,
  TEXT_INTERRUPTED = 180,
  TEXT_CANNOT_OPEN = 181,
  TEXT_CANNOT_READ = 182,
  TEXT_CANNOT_READ_LIST = 183,
  TEXT_UNSAFE_NAME = 184,
  TEXT_PATH_TOO_LONG = 185,
  TEXT_CANNOT_PREPARE_FOLDER = 186,
  TEXT_DISK_FULL = 187,
  TEXT_CANNOT_WRITE = 188,
  TEXT_CANNOT_CREATE = 189,
  TEXT_ERROR_TITLE = 190,
  TEXT_REGISTRY_FAILED = 191,
  TEXT_ERROR_DETAIL = 192,
  TEXT_DAMAGED_FILE = 196,
  TEXT_ERROR_FOOTER = 199,  // empty
  // Images of the store
  TEXT_IMAGE_BACKGROUND = 200,
  TEXT_IMAGE_MENU = 201,
  TEXT_IMAGE_INTRO = 202,
  TEXT_IMAGE_LICENSE = 203,
  TEXT_IMAGE_FOLDER = 204,
  TEXT_IMAGE_SHORTCUTS = 205,
  TEXT_IMAGE_GROUP = 206,
  TEXT_IMAGE_ONLINE = 207,
  TEXT_IMAGE_DIRECTX = 208,
  TEXT_IMAGE_READY = 209,
  TEXT_IMAGE_PROGRESS = 210,
  TEXT_IMAGE_FINISHED = 211,
  TEXT_IMAGE_FINISHED_ONLINE = 212,
  TEXT_IMAGE_FINISHED_DIRECTX = 213,
  TEXT_IMAGE_MESSAGE = 214,
  TEXT_IMAGE_SPARE_1 = 220,
  TEXT_IMAGE_SPARE_2 = 221,
  TEXT_IMAGE_UNINSTALLED = 222,
  // Programs, addresses and disc labels
  TEXT_WINDOW_CAPTION = 300,
  TEXT_ONLINE_SETUP = 301,
  TEXT_DIRECTX_SETUP = 302,
  TEXT_DIRECTX_LINK = 303,
  TEXT_DIRECTX_ADDRESS = 304,
  TEXT_SETTING_305 = 305,
  TEXT_SETTING_306 = 306,
  TEXT_DISK_1 = 310,
  TEXT_DISK_2 = 311,
  // The installed product
  TEXT_GAME_EXE = 400,
  TEXT_PRODUCT_LINK = 401,
  TEXT_PRODUCT_NAME = 402,
  TEXT_PRODUCT_SHORT = 404,
  TEXT_PRODUCT_FOLDER = 405,
  TEXT_PUBLISHER_KEY = 406,
  TEXT_UNINSTALLER_EXE = 407,
  TEXT_UNINSTALL_LINK = 408,
  TEXT_ONLINE_ADDRESS = 409,
  TEXT_ONLINE_LINK = 410,
  TEXT_ONLINE_ICON = 411,
  TEXT_APP_KEY = 412,
  TEXT_INSTALL_DIR_VALUE = 413,
  TEXT_NO_TEXT = 500,
};

struct TextEntry {
  char *text;       // owned copy, or null when empty
  char *text2;      // a second owned slot; never read, freed with the first
  uint32_t length;  // bytes of text without the terminator
};

enum INST_Language : uint32_t {
  INST_LANG_EN,
  INST_LANG_DE,
  INST_LANG_FR,
  INST_LANG_ES,
  INST_LANG_IT,
  INST_LANG_COUNT
};
// The entry of the installer's archive that fixes a disc's language: a
// two-letter code (en, de, fr, es, it), as make-disc --language writes it.
extern const char INST_LANGUAGE_ENTRY[];

// The disc's language when its archive fixes one, else the user's interface
// language; English for any other.
INST_Language INST_ChooseLanguage();
// Fills the table in INST_ChooseLanguage().
void INST_InitTexts();
// Fills the table in that language; a text the language lacks is English.
void INST_InitTextsIn(INST_Language language);
// The first id of an English text that the language has no text for; -1
// when it has them all.
int32_t INST_FirstMissingText(INST_Language language);
void INST_FreeTexts();
// Ids above 500 are ignored; text null empties the entry.
void INST_SetText(uint32_t id, const char *text);
// Never null between INST_InitTexts and INST_FreeTexts.
const char *INST_GetText(int32_t id);
uint32_t INST_GetTextLen(int32_t id, const char **text);
// The built-in text 300, the window's caption; usable before INST_InitTexts.
const char *INST_WindowCaption();

// The captions of the message box's Ok, Yes, No and Cancel buttons, in the
// order ShowMessageBox takes them.
const char *const *INST_MessageBoxButtons();

// The product web site's host name (no scheme), as the Web button opens it.
const char *INST_WebSiteHost();
