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
