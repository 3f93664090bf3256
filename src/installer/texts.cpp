#include "installer/texts.h"

#include "installer/config.h"
#include "platform/platform.h"

namespace {

TextEntry g_texts[INST_TEXT_COUNT];

struct BuiltInText {
  uint32_t id;
  const char *text;
};

// The host names stand in some texts; those are assembled at compile time.
#define PRODUCT "Ashgrove Multiplayer demo"
const char kWindowCaption[] = PRODUCT " - Installer";
const BuiltInText kBuiltIn[] = {
    {500, "*** no text ***"},
    {1, "Play"},
    {2, "Install"},
    {3, "Uninstall"},
    {4, "Web"},
    {5, "Quit"},
    {10, "Install"},
    {11, "I Agree"},
    {12, "Ok"},
    {13, "Next"},
    {14, "Previous"},
    {15, "Cancel"},
    {20, "Welcome to the " PRODUCT " installer.\n\nSelect \"Install\" to install the " PRODUCT
         " and additional features.\nSelect \"Web\" to visit " INSTALLER_WEB_HOST
         "\nSelect \"Quit\" to go M.I.A."},
    {21, "Welcome to the " PRODUCT ".\n\nSelect \" Play\" to start " PRODUCT
         ".\nSelect \"Web\" to visit " INSTALLER_WEB_HOST " \nSelect \"Quit\" to go M.I.A."},
    {22, "Welcome to the " PRODUCT " uninstaller.\n\nSelect \"Play\" to start " PRODUCT
         ".\nSelect \"Uninstall\" to remove the " PRODUCT
         " from your computer.\nSelect \"Web\" to visit " INSTALLER_WEB_HOST
         "\nSelect \"Quit\" to exit."},
    {29, ""},
    {30, "Clicking \"Next\" will install the " PRODUCT " on your computer."},
    {31,
     "It is strongly recommended that you exit all Windows programs before running this "
     "setup program."},
    {39, "Press \"Next\" button to continue."},
    {40, "License agreement and limited warranty."},
    {49, "Press \"I Agree\" to continue."},
    {50, "The demo will be installed to this location:"},
    {56, "Space needed: %s MB. Free on %s: %s MB."},
    {57, "Not enough space: %s MB needed, %s MB free."},
    {58, "Space needed: %s MB."},
    {59, "Press \"Next\" to continue."},
    {60, "Would you like shortcuts to the " PRODUCT " added to your Desktop and Start Menu?"},
    {61, "Add shortcut on Desktop"},
    {62, "Add shortcut to Start menu"},
    {69, "Press \"Next\" to continue."},
    {70, "Here will be dialog for selecting start menu group"},
    {79, "Press \"Next\" to continue."},
    {80, "You are now ready to install " PRODUCT "."},
    {81,
     "Press \"Install\" to begin the installation, or press \"Previous\" to go back and "
     "change any settings."},
    {89, ""},
    {90, PRODUCT " has been installed."},
    {92, "You are now ready to install:\n\n - GameSpy Arcade"},
    {93, "You are now ready to install:\n\n - DirectX 8.1"},
    {94, "You are now ready to install:\n\n - GameSpy Arcade\n - DirectX 8.1"},
    {98, "Press \"Ok\" to finish installation."},
    {99, "Press \"Next\" to continue setup."},
    {110, PRODUCT " is being installed:"},
    {111, "Total progress"},
    {112, "Time remaining"},
    {113, "min"},
    {114, "sec"},
    {116, "Insert disk"},
    {119, "Press \"Cancel\" to abort installation."},
    {120, "GameSpy Arcade is the fast, free way to find games and opponents for " PRODUCT
          " online.  Join millions of other players just like yourself!"},
    {121,
     "Here's what you get:\n\n - Support for over 350 leading games and game demos\n - "
     "Player matchmaking, chat and forums\n - Hundreds of FREE downloadable demos of the "
     "top games\n - Up-to-the minute news on the world of gaming\n - Even play the most "
     "popular Xbox games online"},
    {122, "Would you like to install GameSpy Arcade?"},
    {123, "Yes, install GameSpy Arcade now."},
    {124,
     "If you decide to install GameSpy Arcade at a later time, GameSpy Arcade can be "
     "installed via the shortcut in Start menu. (may be)"},
    {125, "GameSpy Arcade"},
    {129, "Press \"Next\" to continue."},
    {130, "Would you like to install DirectX 8.1?"},
    {131, "Install DirectX 8.1."},
    {132,
     "DirectX 8.1 is needed to play the demo. You can check your current version of "
     "DirectX from the Control Panel."},
    {135,
     "Microsoft DirectX 8.1 has not been detected on your machine. Microsoft DirectX 8.1 "
     "is required for playing the " PRODUCT "."},
    {136,
     "This version of the installer doesn't include DirectX installation files. You may "
     "download them from the following location:"},
    {139, "Press \"Next\" to continue."},
    {140, "Welcome to the " PRODUCT " uninstall program. This program will uninstall " PRODUCT
          " from your computer."},
    {141, "Yes, remove " PRODUCT "."},
    {149, "Press \"Next\" to proceed unistall."},
    {150, "Performing uninstall of " PRODUCT "."},
    {151, "Please wait a minute..."},
    {160, PRODUCT " has been successfully uninstalled."},
    {161, "Thank you for trying the " PRODUCT "."},
    {162, "You must restart your computer to complete the uninstallation."},
    {170, "CANCEL: What do you think you are doing!?"},
    {180, "CANCEL: You intercept installation :-P"},
    {190, "Following error occured during instalation process:"},
    {196, "Damaged file on the disc"},
    {199, ""},
    {200, "back.jpg"},
    {201, "4.jpg"},
    {202, "3.jpg"},
    {203, "5.jpg"},
    {204, "23.jpg"},
    {205, "11.jpg"},
    {206, "15.jpg"},
    {207, "12.jpg"},
    {208, "16.jpg"},
    {209, "20.jpg"},
    {210, "22.jpg"},
    {211, "18.jpg"},
    {212, "17.jpg"},
    {213, "13.jpg"},
    {214, "8.jpg"},
    {220, "21.jpg"},
    {221, "14.jpg"},
    {222, "25.jpg"},
    {300, kWindowCaption},
    {301, "Programs\\GameSpy.exe"},
    {302, "Programs\\DXSetup.exe"},
    {303, INSTALLER_DIRECTX_HOST "/windows/directx/downloads"},
    {304, "http://" INSTALLER_DIRECTX_HOST "/windows/directx/downloads/drx81.asp"},
    {305, "8548"},
    {306, "2"},
    {310, PRODUCT " disk #1"},
    {311, PRODUCT " disk #2"},
    {400, "ashgrove.exe"},
    {401, PRODUCT},
    {402, PRODUCT},
    {404, "Ashgrove MP demo"},
    {405, "Ashgrove MP demo"},
    {406, "Software\\Halvorin\\Ashgrove MP demo"},
    {407, "Uninstall.exe"},
    {408, "Uninstall " PRODUCT},
    {409, "http://" INSTALLER_ONLINE_HOST "/features/launch.asp?svcname=ashgroved&distID=744"},
    {410, "Play " PRODUCT " Online With GameSpy Arcade"},
    {411, "Programs\\gamespy.ico"},
    {412, "SOFTWARE\\Halvorin\\Ashgrove Demo"},
    {413, "InstallDir"},
};
#undef PRODUCT

const TextEntry &Chosen(int32_t id) {
  if (id < 0 || id > int32_t(INST_TEXT_FALLBACK) || !g_texts[id].text)
    return g_texts[INST_TEXT_FALLBACK];
  return g_texts[id];
}

}  // namespace

void INST_InitTexts() {
  SYS_Zero(g_texts, sizeof g_texts);
  for (const BuiltInText &t : kBuiltIn) INST_SetText(t.id, t.text);
}

void INST_FreeTexts() {
  for (uint32_t id = 0; id < INST_TEXT_COUNT; id++) INST_SetText(id, nullptr);
}

void INST_SetText(uint32_t id, const char *text) {
  if (id >= INST_TEXT_COUNT) return;
  TextEntry &e = g_texts[id];
  SYS_FreeSafe(e.text);
  SYS_FreeSafe(e.text2);
  e = TextEntry{};
  if (!text) return;
  size_t length = SYS_StrLen(text);
  char *copy = static_cast<char *>(SYS_Alloc(length + 1, "ML String"));
  if (!copy) return;  // a failed copy leaves the entry empty: lookups fall back
  SYS_Copy(copy, text, length + 1);
  e.text = copy;
  e.length = uint32_t(length);
}

const char *INST_GetText(int32_t id) {
  return Chosen(id).text;
}

uint32_t INST_GetTextLen(int32_t id, const char **text) {
  const TextEntry &e = Chosen(id);
  if (text) *text = e.text;
  return e.length;
}

const char *INST_WindowCaption() {
  return kWindowCaption;
}

const char *INST_WebSiteHost() {
  return INSTALLER_WEB_HOST;
}
