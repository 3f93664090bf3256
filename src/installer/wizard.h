// The installer's window and wizard: the menu on the left (Play, Install,
// Uninstall, Web, Quit), the picture frame and the page area in the middle,
// the column with Next and Previous on the right, and the footer line.
//
// INST_InitGUI makes the desktop and its window and loads the icons and
// fonts; INST_StartWizard builds the fixed widgets and the menu and shows
// the first page. From then on INST_WizardHandler, attached to every button
// and page, moves between the pages (0 to 17) as its transition table says.
// GUI thread only.
#pragma once

#include <cstdint>

#include "gui/gui.h"
#include "platform/keyed_list.h"

// Sections of INST_SetMenuState.
enum : uint32_t { INST_SECTION_INSTALL = 1, INST_SECTION_UNINSTALL = 2, INST_SECTION_IDLE = 5 };

static const uint32_t INST_PAGE_COUNT = 20;
static const uint32_t INST_NO_PAGE = 1000;

extern c_GUIB_Desktop *InstallerDesktop;  // made by INST_InitGUI, released at shutdown
// Files to delete at exit (key: the name, owned); destroyed by the program's
// shutdown.
extern KeyedList *ExitCleanupList;

// Makes the desktop with its window (headless natively), registers the
// icons, loads the fonts and sets AppRunning. 1, or 0 when the window cannot
// be made.
int INST_InitGUI(GuiContext *context);
void INST_StartWizard();
void INST_ShowPage(uint32_t page);
uint32_t INST_WizardHandler(c_GUIB_Widget *widget, uintptr_t data, uint32_t msg, uintptr_t a,
                            uintptr_t b);
void INST_SetMenuState(uint32_t section);
void INST_SetPageBackground(int32_t text_id);

// The elevated copy's exit code tells the menu that started it how it ended:
// Quit or a closed window (the menu ends too), the finish page's Next after
// an install (the menu shows page 13), or back where the menu would show
// again (the menu reads the installed state anew). Any other code counts as
// the last.
enum : uint32_t { INST_COPY_QUIT = 20, INST_COPY_INSTALLED = 21, INST_COPY_MENU = 22 };
// Whether this process is the elevated copy: it was started with the
// hand-over argument (AppHandOver) while a menu offers it its pages.
// Otherwise the argument is dropped, as given by hand it means nothing.
bool INST_TakeHandOver();
// The program's exit code: 0, or in the elevated copy one of INST_COPY_*.
uint32_t INST_ExitCode();

uint32_t INST_CurrentPage();
c_GUIB_Widget *INST_Page(uint32_t page);  // null when not built
// The menu buttons by index (0 Play, 1 Install, 2 Uninstall, 3 Web, 4 Quit);
// null for one that was not created.
c_GUIB_Button *INST_MenuButton(uint32_t index);
c_GUIB_Button *INST_NextButton();
c_GUIB_Button *INST_PreviousButton();
c_GUIB_Label *INST_FooterLabel();
c_GUIB_Panel *INST_PictureFrame();

// Opens the desktop's window with the program's icon; natively the desktop
// stays headless (window backend, wizard_window_*.cpp).
bool INST_OpenWindow(c_GUIB_Desktop *desktop, const char *title);
