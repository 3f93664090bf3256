#include "installer/texts.h"

#include "installer/config.h"
#include "platform/cp1252.h"
#include "platform/platform.h"
#include "store/store.h"

const char INST_LANGUAGE_ENTRY[] = "setup.lng";

namespace {

TextEntry g_texts[INST_TEXT_COUNT];

struct BuiltInText {
  uint32_t id;
  const char *text;
};

// A character that Windows-1252 cannot hold; called only while a text is
// converted at compile time, so that such a text does not build.
void CharacterNotInWindows1252() {}

constexpr char ToCp1252(uint32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return char(u);
  for (uint32_t i = 0; i < 32; ++i)
    if (kCp1252High[i] == u) return char(0x80 + i);
  CharacterNotInWindows1252();
  return '?';
}

// A UTF-8 text converted to Windows-1252 at compile time.
template <size_t N>
struct Cp1252Text {
  char bytes[N] = {};
  constexpr explicit Cp1252Text(const char (&utf8)[N]) {
    size_t out = 0;
    for (size_t i = 0; i + 1 < N;) {
      const uint8_t lead = uint8_t(utf8[i]);
      const size_t extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
      uint32_t u = extra ? lead & (0x3F >> extra) : lead;
      for (size_t k = 1; k <= extra; ++k) u = (u << 6) | (uint8_t(utf8[i + k]) & 0x3F);
      i += 1 + extra;
      bytes[out++] = ToCp1252(u);
    }
  }
};
// The translations are written in UTF-8 and stored as Windows-1252.
#define ANSI(s)                                                    \
  [] {                                                             \
    static constexpr Cp1252Text<sizeof(u8"" s)> converted(u8"" s); \
    return converted.bytes;                                        \
  }()
// French quotes and the space before : ? ! are non-breaking.
#define NBSP "\u00A0"

const char kWindowCaption[] = INSTALLER_PRODUCT " - Installer";

// The same in every language: files, keys, addresses, names.
const BuiltInText kCommon[] = {
    {TEXT_NO_TEXT, "*** no text ***"},
    {TEXT_MENU_FOOTER, ""},
    {TEXT_READY_FOOTER, ""},
    {TEXT_ONLINE_NAME, "GameSpy Arcade"},
    {TEXT_ERROR_FOOTER, ""},
    {TEXT_IMAGE_BACKGROUND, "back.jpg"},
    {TEXT_IMAGE_MENU, "4.jpg"},
    {TEXT_IMAGE_INTRO, "3.jpg"},
    {TEXT_IMAGE_LICENSE, "5.jpg"},
    {TEXT_IMAGE_FOLDER, "23.jpg"},
    {TEXT_IMAGE_SHORTCUTS, "11.jpg"},
    {TEXT_IMAGE_GROUP, "15.jpg"},
    {TEXT_IMAGE_ONLINE, "12.jpg"},
    {TEXT_IMAGE_DIRECTX, "16.jpg"},
    {TEXT_IMAGE_READY, "20.jpg"},
    {TEXT_IMAGE_PROGRESS, "22.jpg"},
    {TEXT_IMAGE_FINISHED, "18.jpg"},
    {TEXT_IMAGE_FINISHED_ONLINE, "17.jpg"},
    {TEXT_IMAGE_FINISHED_DIRECTX, "13.jpg"},
    {TEXT_IMAGE_MESSAGE, "8.jpg"},
    {TEXT_IMAGE_SPARE_1, "21.jpg"},
    {TEXT_IMAGE_SPARE_2, "14.jpg"},
    {TEXT_IMAGE_UNINSTALLED, "25.jpg"},
    // The window's caption also finds a running copy of the program.
    {TEXT_WINDOW_CAPTION, kWindowCaption},
    {TEXT_ONLINE_SETUP, "Programs\\GameSpy.exe"},
    {TEXT_DIRECTX_SETUP, "Programs\\DXSetup.exe"},
    {TEXT_DIRECTX_LINK, INSTALLER_DIRECTX_HOST "/windows/directx/downloads"},
    {TEXT_DIRECTX_ADDRESS, "http://" INSTALLER_DIRECTX_HOST "/windows/directx/downloads/drx81.asp"},
    {TEXT_SETTING_305, "8548"},
    {TEXT_SETTING_306, "2"},
    {TEXT_GAME_EXE, INSTALLER_GAME_EXE},
    {TEXT_PRODUCT_LINK, INSTALLER_PRODUCT},
    {TEXT_PRODUCT_NAME, INSTALLER_PRODUCT},
    {TEXT_PRODUCT_SHORT, INSTALLER_PRODUCT_SHORT},
    {TEXT_PRODUCT_FOLDER, INSTALLER_PRODUCT_SHORT},
    {TEXT_PUBLISHER_KEY, "Software\\" INSTALLER_PUBLISHER "\\" INSTALLER_PRODUCT_SHORT},
    {TEXT_UNINSTALLER_EXE, "Uninstall.exe"},
    {TEXT_ONLINE_ADDRESS,
     "http://" INSTALLER_ONLINE_HOST "/features/launch.asp?svcname=ashgroved&distID=744"},
    {TEXT_ONLINE_ICON, "Programs\\gamespy.ico"},
    {TEXT_APP_KEY, INSTALLER_APP_KEY},
    {TEXT_INSTALL_DIR_VALUE, "InstallDir"},
};

// The texts a user reads, one table per language; a new id is one line in
// each.
const BuiltInText kEnglish[] = {
    {TEXT_MENU_PLAY, "Play"},
    {TEXT_MENU_INSTALL, "Install"},
    {TEXT_MENU_UNINSTALL, "Uninstall"},
    {TEXT_MENU_WEB, "Web"},
    {TEXT_MENU_QUIT, "Quit"},
    {TEXT_BUTTON_INSTALL, "Install"},
    {TEXT_BUTTON_AGREE, "I Agree"},
    {TEXT_BUTTON_OK, "Ok"},
    {TEXT_BUTTON_NEXT, "Next"},
    {TEXT_BUTTON_PREVIOUS, "Previous"},
    {TEXT_BUTTON_CANCEL, "Cancel"},
    {TEXT_BUTTON_YES, "Yes"},
    {TEXT_BUTTON_NO, "No"},
    {TEXT_MENU_NOT_INSTALLED,
     "Welcome to the " INSTALLER_PRODUCT
     " installer.\n\nSelect \"Install\" to install the " INSTALLER_PRODUCT
     " and additional features.\nSelect \"Web\" to visit " INSTALLER_WEB_HOST
     "\nSelect \"Quit\" to go M.I.A."},
    {TEXT_MENU_NEW,
     "Welcome to the " INSTALLER_PRODUCT ".\n\nSelect \"Play\" to start " INSTALLER_PRODUCT
     ".\nSelect \"Web\" to visit " INSTALLER_WEB_HOST " \nSelect \"Quit\" to go M.I.A."},
    {TEXT_MENU_INSTALLED, "Welcome to the " INSTALLER_PRODUCT
                          " uninstaller.\n\nSelect \"Play\" to start " INSTALLER_PRODUCT
                          ".\nSelect \"Uninstall\" to remove the " INSTALLER_PRODUCT
                          " from your computer.\nSelect \"Web\" to visit " INSTALLER_WEB_HOST
                          "\nSelect \"Quit\" to exit."},
    {TEXT_FATAL_ERROR, "Fatal error"},
    {TEXT_DATA_FILE_MISSING, "Cannot load installer data file (%s)"},
    {TEXT_DISK_ERROR, "Disk error"},
    {TEXT_INSTALL_DIR_FAILED, "Failed access to Install_Dir"},
    {TEXT_FILE_ACCESS_FAILED, "Failed access to file"},
    {TEXT_INTRO, "Clicking \"Next\" will install the " INSTALLER_PRODUCT " on your computer."},
    {31,
     "It is strongly recommended that you exit all Windows programs before running this "
     "setup program."},
    {TEXT_INTRO_FOOTER, "Press \"Next\" button to continue."},
    {TEXT_LICENSE_TITLE, "License agreement and limited warranty."},
    {TEXT_LICENSE_MISSING, "Cannot show license agreement. la.txt file missing!"},
    {TEXT_LICENSE_FOOTER, "Press \"I Agree\" to continue."},
    {TEXT_FOLDER_TITLE, "The demo will be installed to this location:"},
    {TEXT_FOLDER_TOO_LONG, "Path too long: %s"},
    {TEXT_DRIVE_FREE, " (%u MB free)"},
    {TEXT_DRIVE_FREE_UNKNOWN, " (Unknown)"},
    {TEXT_SPACE_NEEDED_FREE, "Space needed: %s MB. Free on %s: %s MB."},
    {TEXT_SPACE_SHORT, "Not enough space: %s MB needed, %s MB free."},
    {TEXT_SPACE_NEEDED, "Space needed: %s MB."},
    {TEXT_FOLDER_FOOTER, "Press \"Next\" to continue."},
    {60,
     "Would you like shortcuts to the " INSTALLER_PRODUCT " added to your Desktop and Start Menu?"},
    {TEXT_SHORTCUT_DESKTOP, "Add shortcut on Desktop"},
    {TEXT_SHORTCUT_START_MENU, "Add shortcut to Start menu"},
    {TEXT_SHORTCUTS_FOOTER, "Press \"Next\" to continue."},
    {TEXT_GROUP_TEXT, "Here will be dialog for selecting start menu group"},
    {TEXT_GROUP_FOOTER, "Press \"Next\" to continue."},
    {TEXT_READY, "You are now ready to install " INSTALLER_PRODUCT "."},
    {81,
     "Press \"Install\" to begin the installation, or press \"Previous\" to go back and "
     "change any settings."},
    {TEXT_INSTALLED, INSTALLER_PRODUCT " has been installed."},
    {TEXT_ADDONS_ONLINE, "You are now ready to install:\n\n - GameSpy Arcade"},
    {TEXT_ADDONS_DIRECTX, "You are now ready to install:\n\n - DirectX 8.1"},
    {TEXT_ADDONS_BOTH, "You are now ready to install:\n\n - GameSpy Arcade\n - DirectX 8.1"},
    {TEXT_FINISH_FOOTER, "Press \"Ok\" to finish installation."},
    {TEXT_FINISH_ADDONS_FOOTER, "Press \"Next\" to continue setup."},
    {TEXT_PROGRESS_TITLE, INSTALLER_PRODUCT " is being installed:"},
    {TEXT_PROGRESS_TOTAL, "Total progress"},
    {TEXT_TIME_REMAINING, "Time remaining"},
    {TEXT_MINUTES, "min"},
    {TEXT_SECONDS, "sec"},
    {TEXT_INSERT_DISK, "Insert disk"},
    {TEXT_ENTRY_NOT_FOUND, "Cannot find %s in %s"},
    {TEXT_ENTRY_DAMAGED, "Cannot read %s in %s: the archive is damaged or incomplete"},
    {TEXT_PROGRESS_FOOTER, "Press \"Cancel\" to abort installation."},
    {TEXT_ONLINE_PITCH,
     "GameSpy Arcade is the fast, free way to find games and opponents for " INSTALLER_PRODUCT
     " online.  Join millions of other players just like yourself!"},
    {121,
     "Here's what you get:\n\n - Support for over 350 leading games and game demos\n - "
     "Player matchmaking, chat and forums\n - Hundreds of FREE downloadable demos of the "
     "top games\n - Up-to-the minute news on the world of gaming\n - Even play the most "
     "popular Xbox games online"},
    {TEXT_ONLINE_QUESTION, "Would you like to install GameSpy Arcade?"},
    {TEXT_ONLINE_CHECKBOX, "Yes, install GameSpy Arcade now."},
    {124,
     "If you decide to install GameSpy Arcade at a later time, GameSpy Arcade can be "
     "installed via the shortcut in Start menu. (may be)"},
    {TEXT_ONLINE_FOOTER, "Press \"Next\" to continue."},
    {TEXT_DIRECTX_QUESTION, "Would you like to install DirectX 8.1?"},
    {TEXT_DIRECTX_CHECKBOX, "Install DirectX 8.1."},
    {132,
     "DirectX 8.1 is needed to play the demo. You can check your current version of "
     "DirectX from the Control Panel."},
    {135,
     "Microsoft DirectX 8.1 has not been detected on your machine. Microsoft DirectX 8.1 "
     "is required for playing the " INSTALLER_PRODUCT "."},
    {136,
     "This version of the installer doesn't include DirectX installation files. You may "
     "download them from the following location:"},
    {TEXT_DIRECTX_FOOTER, "Press \"Next\" to continue."},
    {140,
     "Welcome to the " INSTALLER_PRODUCT
     " uninstall program. This program will uninstall " INSTALLER_PRODUCT " from your computer."},
    {TEXT_UNINSTALL_CONFIRM, "Yes, remove " INSTALLER_PRODUCT "."},
    {TEXT_UNINSTALL_FOOTER, "Press \"Next\" to proceed uninstall."},
    {TEXT_REMOVING, "Performing uninstall of " INSTALLER_PRODUCT "."},
    {TEXT_PLEASE_WAIT, "Please wait a minute..."},
    {TEXT_UNINSTALLED, INSTALLER_PRODUCT " has been successfully uninstalled."},
    {TEXT_THANK_YOU, "Thank you for trying the " INSTALLER_PRODUCT "."},
    {TEXT_RESTART_NEEDED, "You must restart your computer to complete the uninstallation."},
    {TEXT_CANCELLED, "CANCEL: What do you think you are doing!?"},
    {TEXT_INTERRUPTED, "CANCEL: You intercept installation :-P"},
    {TEXT_CANNOT_OPEN, "Cannot open"},
    {TEXT_CANNOT_READ, "Cannot read"},
    {TEXT_CANNOT_READ_LIST, "Cannot read the file list"},
    {TEXT_UNSAFE_NAME, "Unsafe file name in the archive"},
    {TEXT_PATH_TOO_LONG, "Path too long"},
    {TEXT_CANNOT_PREPARE_FOLDER, "Cannot prepare the install folder"},
    {TEXT_DISK_FULL, "Disk full, cannot write"},
    {TEXT_CANNOT_WRITE, "Cannot write"},
    {TEXT_CANNOT_CREATE, "Cannot create"},
    {TEXT_ERROR_TITLE, "Following error occurred during installation process:"},
    {TEXT_REGISTRY_FAILED, "Cannot write the registry key: HKEY_LOCAL_MACHINE\\%s"},
    {TEXT_ERROR_DETAIL, "%s: %s"},
    {TEXT_DAMAGED_FILE, "Damaged file on the disc"},
    {TEXT_DISK_1, INSTALLER_PRODUCT " disk #1"},
    {TEXT_DISK_2, INSTALLER_PRODUCT " disk #2"},
    {TEXT_UNINSTALL_LINK, "Uninstall " INSTALLER_PRODUCT},
    {TEXT_ONLINE_LINK, "Play " INSTALLER_PRODUCT " Online With GameSpy Arcade"},
};

// clang-format off
const BuiltInText kGerman[] = {
    {TEXT_MENU_PLAY, ANSI("Spielen")},
    {TEXT_MENU_INSTALL, ANSI("Installieren")},
    {TEXT_MENU_UNINSTALL, ANSI("Deinstallieren")},
    {TEXT_MENU_WEB, ANSI("Website")},
    {TEXT_MENU_QUIT, ANSI("Beenden")},
    {TEXT_BUTTON_INSTALL, ANSI("Installieren")},
    {TEXT_BUTTON_AGREE, ANSI("Annehmen")},
    {TEXT_BUTTON_OK, ANSI("OK")},
    {TEXT_BUTTON_NEXT, ANSI("Weiter")},
    {TEXT_BUTTON_PREVIOUS, ANSI("Zurück")},
    {TEXT_BUTTON_CANCEL, ANSI("Abbrechen")},
    {TEXT_BUTTON_YES, ANSI("Ja")},
    {TEXT_BUTTON_NO, ANSI("Nein")},
    {TEXT_MENU_NOT_INSTALLED, ANSI("Willkommen beim Installationsprogramm von " INSTALLER_PRODUCT ".\n\nWählen Sie „Installieren“, um " INSTALLER_PRODUCT " und weitere Komponenten zu installieren.\nWählen Sie „Website“, um " INSTALLER_WEB_HOST " zu besuchen.\nWählen Sie „Beenden“, um unterzutauchen.")},
    {TEXT_MENU_NEW, ANSI("Willkommen bei " INSTALLER_PRODUCT ".\n\nWählen Sie „Spielen“, um " INSTALLER_PRODUCT " zu starten.\nWählen Sie „Website“, um " INSTALLER_WEB_HOST " zu besuchen.\nWählen Sie „Beenden“, um unterzutauchen.")},
    {TEXT_MENU_INSTALLED, ANSI("Willkommen beim Deinstallationsprogramm von " INSTALLER_PRODUCT ".\n\n„Spielen“ startet " INSTALLER_PRODUCT ".\n„Deinstallieren“ entfernt " INSTALLER_PRODUCT " von Ihrem Computer.\n„Website“ öffnet " INSTALLER_WEB_HOST "\n„Beenden“ beendet das Programm.")},
    {TEXT_FATAL_ERROR, ANSI("Schwerwiegender Fehler")},
    {TEXT_DATA_FILE_MISSING, ANSI("Die Datendatei des Installationsprogramms (%s) kann nicht geladen werden")},
    {TEXT_DISK_ERROR, ANSI("Datenträgerfehler")},
    {TEXT_INSTALL_DIR_FAILED, ANSI("Zugriff auf den Installationsordner fehlgeschlagen")},
    {TEXT_FILE_ACCESS_FAILED, ANSI("Zugriff auf die Datei fehlgeschlagen")},
    {TEXT_INTRO, ANSI("Klicken Sie auf „Weiter“, um " INSTALLER_PRODUCT " auf Ihrem Computer zu installieren.")},
    {TEXT_INTRO_ADVICE, ANSI("Es wird dringend empfohlen, alle Windows-Programme zu beenden, bevor Sie dieses Installationsprogramm ausführen.")},
    {TEXT_INTRO_FOOTER, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {TEXT_LICENSE_TITLE, ANSI("Lizenzvertrag und eingeschränkte Garantie")},
    {TEXT_LICENSE_MISSING, ANSI("Der Lizenzvertrag kann nicht angezeigt werden. Die Datei la.txt fehlt!")},
    {TEXT_LICENSE_FOOTER, ANSI("Klicken Sie auf „Annehmen“, um fortzufahren.")},
    {TEXT_FOLDER_TITLE, ANSI("Die Demo wird in diesen Ordner installiert:")},
    {TEXT_FOLDER_TOO_LONG, ANSI("Pfad zu lang: %s")},
    {TEXT_DRIVE_FREE, ANSI(" (%u MB frei)")},
    {TEXT_DRIVE_FREE_UNKNOWN, ANSI(" (Unbekannt)")},
    {TEXT_SPACE_NEEDED_FREE, ANSI("Benötigt: %s MB. Frei auf %s: %s MB.")},
    {TEXT_SPACE_SHORT, ANSI("Zu wenig Platz: %s MB benötigt, %s MB frei.")},
    {TEXT_SPACE_NEEDED, ANSI("Benötigt: %s MB.")},
    {TEXT_FOLDER_FOOTER, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {TEXT_SHORTCUTS_QUESTION, ANSI("Möchten Sie Verknüpfungen zu " INSTALLER_PRODUCT " auf dem Desktop und im Startmenü anlegen?")},
    {TEXT_SHORTCUT_DESKTOP, ANSI("Verknüpfung auf dem Desktop anlegen")},
    {TEXT_SHORTCUT_START_MENU, ANSI("Verknüpfung im Startmenü anlegen")},
    {TEXT_SHORTCUTS_FOOTER, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {TEXT_GROUP_TEXT, ANSI("Hier folgt die Auswahl der Startmenügruppe.")},
    {TEXT_GROUP_FOOTER, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {TEXT_READY, ANSI(INSTALLER_PRODUCT " kann jetzt installiert werden.")},
    {TEXT_READY_HINT, ANSI("Klicken Sie auf „Installieren“, um die Installation zu starten, oder auf „Zurück“, um Ihre Einstellungen zu ändern.")},
    {TEXT_INSTALLED, ANSI(INSTALLER_PRODUCT " wurde installiert.")},
    {TEXT_ADDONS_ONLINE, ANSI("Jetzt können Sie Folgendes installieren:\n\n - GameSpy Arcade")},
    {TEXT_ADDONS_DIRECTX, ANSI("Jetzt können Sie Folgendes installieren:\n\n - DirectX 8.1")},
    {TEXT_ADDONS_BOTH, ANSI("Jetzt können Sie Folgendes installieren:\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {TEXT_FINISH_FOOTER, ANSI("„OK“ schließt die Installation ab.")},
    {TEXT_FINISH_ADDONS_FOOTER, ANSI("„Weiter“ setzt die Installation fort.")},
    {TEXT_PROGRESS_TITLE, ANSI(INSTALLER_PRODUCT " wird installiert:")},
    {TEXT_PROGRESS_TOTAL, ANSI("Gesamtfortschritt")},
    {TEXT_TIME_REMAINING, ANSI("Verbleibende Zeit")},
    {TEXT_MINUTES, ANSI("Min.")},
    {TEXT_SECONDS, ANSI("Sek.")},
    {TEXT_INSERT_DISK, ANSI("Datenträger einlegen")},
    {TEXT_ENTRY_NOT_FOUND, ANSI("%s wurde in %s nicht gefunden")},
    {TEXT_ENTRY_DAMAGED, ANSI("%s in %s kann nicht gelesen werden: Das Archiv ist beschädigt oder unvollständig")},
    {TEXT_PROGRESS_FOOTER, ANSI("„Abbrechen“ bricht die Installation ab.")},
    {TEXT_ONLINE_PITCH, ANSI("Mit GameSpy Arcade finden Sie schnell und kostenlos Spiele und Gegner für " INSTALLER_PRODUCT " im Internet. Spielen Sie mit Millionen anderer Spieler wie Sie!")},
    {TEXT_ONLINE_FEATURES, ANSI("Das bekommen Sie:\n\n - Über 350 führende Spiele und Demos\n - Gegnersuche, Chat und Foren\n - Hunderte KOSTENLOSE Demos der Top-Spiele\n - Aktuelle Nachrichten aus der Spielewelt\n - Sogar die beliebtesten Xbox-Spiele online")},
    {TEXT_ONLINE_QUESTION, ANSI("Möchten Sie GameSpy Arcade installieren?")},
    {TEXT_ONLINE_CHECKBOX, ANSI("Ja, GameSpy Arcade jetzt installieren.")},
    {TEXT_ONLINE_LATER, ANSI("Wenn Sie GameSpy Arcade später installieren möchten, können Sie das über die Verknüpfung im Startmenü tun.")},
    {TEXT_ONLINE_FOOTER, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {TEXT_DIRECTX_QUESTION, ANSI("Möchten Sie DirectX 8.1 installieren?")},
    {TEXT_DIRECTX_CHECKBOX, ANSI("DirectX 8.1 installieren.")},
    {TEXT_DIRECTX_NEEDED, ANSI("Für die Demo wird DirectX 8.1 benötigt. Ihre DirectX-Version können Sie in der Systemsteuerung prüfen.")},
    {TEXT_DIRECTX_MISSING, ANSI("Microsoft DirectX 8.1 wurde auf Ihrem Computer nicht gefunden. " INSTALLER_PRODUCT " benötigt Microsoft DirectX 8.1.")},
    {TEXT_DIRECTX_DOWNLOAD, ANSI("Diese Version des Installationsprogramms enthält keine DirectX-Installationsdateien. Sie können sie hier herunterladen:")},
    {TEXT_DIRECTX_FOOTER, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {TEXT_UNINSTALL_WELCOME, ANSI("Willkommen beim Deinstallationsprogramm von " INSTALLER_PRODUCT ". Dieses Programm entfernt " INSTALLER_PRODUCT " von Ihrem Computer.")},
    {TEXT_UNINSTALL_CONFIRM, ANSI("Ja, jetzt deinstallieren.")},
    {TEXT_UNINSTALL_FOOTER, ANSI("Klicken Sie auf „Weiter“, um die Deinstallation zu starten.")},
    {TEXT_REMOVING, ANSI(INSTALLER_PRODUCT " wird deinstalliert.")},
    {TEXT_PLEASE_WAIT, ANSI("Bitte warten Sie einen Moment...")},
    {TEXT_UNINSTALLED, ANSI(INSTALLER_PRODUCT " wurde erfolgreich deinstalliert.")},
    {TEXT_THANK_YOU, ANSI("Vielen Dank, dass Sie " INSTALLER_PRODUCT " ausprobiert haben.")},
    {TEXT_RESTART_NEEDED, ANSI("Starten Sie den Computer neu, um die Deinstallation abzuschließen.")},
    {TEXT_CANCELLED, ANSI("ABBRUCH: Was haben Sie denn vor?!")},
    {TEXT_INTERRUPTED, ANSI("ABBRUCH: Sie haben die Installation unterbrochen :-P")},
    {TEXT_CANNOT_OPEN, ANSI("Öffnen fehlgeschlagen")},
    {TEXT_CANNOT_READ, ANSI("Lesen fehlgeschlagen")},
    {TEXT_CANNOT_READ_LIST, ANSI("Die Dateiliste kann nicht gelesen werden")},
    {TEXT_UNSAFE_NAME, ANSI("Unzulässiger Dateiname im Archiv")},
    {TEXT_PATH_TOO_LONG, ANSI("Pfad zu lang")},
    {TEXT_CANNOT_PREPARE_FOLDER, ANSI("Der Installationsordner kann nicht vorbereitet werden")},
    {TEXT_DISK_FULL, ANSI("Datenträger voll, Schreiben nicht möglich")},
    {TEXT_CANNOT_WRITE, ANSI("Schreiben fehlgeschlagen")},
    {TEXT_CANNOT_CREATE, ANSI("Erstellen fehlgeschlagen")},
    {TEXT_ERROR_TITLE, ANSI("Bei der Installation ist folgender Fehler aufgetreten:")},
    {TEXT_REGISTRY_FAILED, ANSI("Der Registrierungsschlüssel kann nicht geschrieben werden: HKEY_LOCAL_MACHINE\\%s")},
    {TEXT_ERROR_DETAIL, ANSI("%s: %s")},
    {TEXT_DAMAGED_FILE, ANSI("Beschädigte Datei auf dem Datenträger")},
    {TEXT_DISK_1, ANSI(INSTALLER_PRODUCT " – Datenträger 1")},
    {TEXT_DISK_2, ANSI(INSTALLER_PRODUCT " – Datenträger 2")},
    {TEXT_UNINSTALL_LINK, ANSI(INSTALLER_PRODUCT " deinstallieren")},
    {TEXT_ONLINE_LINK, ANSI(INSTALLER_PRODUCT " online mit GameSpy Arcade spielen")},
};

const BuiltInText kFrench[] = {
    {TEXT_MENU_PLAY, ANSI("Jouer")},
    {TEXT_MENU_INSTALL, ANSI("Installer")},
    {TEXT_MENU_UNINSTALL, ANSI("Désinstaller")},
    {TEXT_MENU_WEB, ANSI("Site Web")},
    {TEXT_MENU_QUIT, ANSI("Quitter")},
    {TEXT_BUTTON_INSTALL, ANSI("Installer")},
    {TEXT_BUTTON_AGREE, ANSI("J'accepte")},
    {TEXT_BUTTON_OK, ANSI("OK")},
    {TEXT_BUTTON_NEXT, ANSI("Suivant")},
    {TEXT_BUTTON_PREVIOUS, ANSI("Précédent")},
    {TEXT_BUTTON_CANCEL, ANSI("Annuler")},
    {TEXT_BUTTON_YES, ANSI("Oui")},
    {TEXT_BUTTON_NO, ANSI("Non")},
    {TEXT_MENU_NOT_INSTALLED, ANSI("Bienvenue dans le programme d'installation de " INSTALLER_PRODUCT ".\n\nChoisissez «" NBSP "Installer" NBSP "» pour installer " INSTALLER_PRODUCT " et des composants supplémentaires.\nChoisissez «" NBSP "Site Web" NBSP "» pour visiter " INSTALLER_WEB_HOST "\nChoisissez «" NBSP "Quitter" NBSP "» pour disparaître dans la nature.")},
    {TEXT_MENU_NEW, ANSI("Bienvenue dans " INSTALLER_PRODUCT ".\n\nChoisissez «" NBSP "Jouer" NBSP "» pour lancer " INSTALLER_PRODUCT ".\nChoisissez «" NBSP "Site Web" NBSP "» pour visiter " INSTALLER_WEB_HOST "\nChoisissez «" NBSP "Quitter" NBSP "» pour disparaître dans la nature.")},
    {TEXT_MENU_INSTALLED, ANSI("Bienvenue dans la désinstallation de " INSTALLER_PRODUCT ".\n\n«" NBSP "Jouer" NBSP "» lance " INSTALLER_PRODUCT ".\n«" NBSP "Désinstaller" NBSP "» supprime " INSTALLER_PRODUCT " de votre ordinateur.\n«" NBSP "Site Web" NBSP "» ouvre " INSTALLER_WEB_HOST "\n«" NBSP "Quitter" NBSP "» ferme le programme.")},
    {TEXT_FATAL_ERROR, ANSI("Erreur fatale")},
    {TEXT_DATA_FILE_MISSING, ANSI("Impossible de charger le fichier de données de l'installation (%s)")},
    {TEXT_DISK_ERROR, ANSI("Erreur de disque")},
    {TEXT_INSTALL_DIR_FAILED, ANSI("Échec de l'accès au dossier d'installation")},
    {TEXT_FILE_ACCESS_FAILED, ANSI("Échec de l'accès au fichier")},
    {TEXT_INTRO, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour installer " INSTALLER_PRODUCT " sur votre ordinateur.")},
    {TEXT_INTRO_ADVICE, ANSI("Il est vivement recommandé de quitter tous les programmes Windows avant d'exécuter ce programme d'installation.")},
    {TEXT_INTRO_FOOTER, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {TEXT_LICENSE_TITLE, ANSI("Contrat de licence et garantie limitée")},
    {TEXT_LICENSE_MISSING, ANSI("Impossible d'afficher le contrat de licence. Le fichier la.txt est introuvable" NBSP "!")},
    {TEXT_LICENSE_FOOTER, ANSI("Cliquez sur «" NBSP "J'accepte" NBSP "» pour continuer.")},
    {TEXT_FOLDER_TITLE, ANSI("La démo sera installée dans ce dossier" NBSP ":")},
    {TEXT_FOLDER_TOO_LONG, ANSI("Chemin trop long" NBSP ": %s")},
    {TEXT_DRIVE_FREE, ANSI(" (%u Mo libres)")},
    {TEXT_DRIVE_FREE_UNKNOWN, ANSI(" (Inconnu)")},
    {TEXT_SPACE_NEEDED_FREE, ANSI("Requis" NBSP ": %s Mo. Libre sur %s" NBSP ": %s Mo.")},
    {TEXT_SPACE_SHORT, ANSI("Espace insuffisant" NBSP ": %s Mo requis, %s Mo libres.")},
    {TEXT_SPACE_NEEDED, ANSI("Requis" NBSP ": %s Mo.")},
    {TEXT_FOLDER_FOOTER, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {TEXT_SHORTCUTS_QUESTION, ANSI("Voulez-vous ajouter des raccourcis vers " INSTALLER_PRODUCT " sur le Bureau et dans le menu Démarrer" NBSP "?")},
    {TEXT_SHORTCUT_DESKTOP, ANSI("Raccourci sur le Bureau")},
    {TEXT_SHORTCUT_START_MENU, ANSI("Raccourci dans le menu Démarrer")},
    {TEXT_SHORTCUTS_FOOTER, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {TEXT_GROUP_TEXT, ANSI("Ici viendra le choix du groupe du menu Démarrer.")},
    {TEXT_GROUP_FOOTER, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {TEXT_READY, ANSI("Vous pouvez maintenant installer " INSTALLER_PRODUCT ".")},
    {TEXT_READY_HINT, ANSI("Cliquez sur «" NBSP "Installer" NBSP "» pour lancer l'installation, ou sur «" NBSP "Précédent" NBSP "» pour revenir en arrière et modifier vos choix.")},
    {TEXT_INSTALLED, ANSI("L'installation de " INSTALLER_PRODUCT " est terminée.")},
    {TEXT_ADDONS_ONLINE, ANSI("Vous pouvez maintenant installer" NBSP ":\n\n - GameSpy Arcade")},
    {TEXT_ADDONS_DIRECTX, ANSI("Vous pouvez maintenant installer" NBSP ":\n\n - DirectX 8.1")},
    {TEXT_ADDONS_BOTH, ANSI("Vous pouvez maintenant installer" NBSP ":\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {TEXT_FINISH_FOOTER, ANSI("«" NBSP "OK" NBSP "» termine l'installation.")},
    {TEXT_FINISH_ADDONS_FOOTER, ANSI("«" NBSP "Suivant" NBSP "» poursuit l'installation.")},
    {TEXT_PROGRESS_TITLE, ANSI("Installation de " INSTALLER_PRODUCT " en cours" NBSP ":")},
    {TEXT_PROGRESS_TOTAL, ANSI("Progression totale")},
    {TEXT_TIME_REMAINING, ANSI("Temps restant")},
    {TEXT_MINUTES, ANSI("min")},
    {TEXT_SECONDS, ANSI("s")},
    {TEXT_INSERT_DISK, ANSI("Insérez le disque")},
    {TEXT_ENTRY_NOT_FOUND, ANSI("%s introuvable dans %s")},
    {TEXT_ENTRY_DAMAGED, ANSI("Impossible de lire %s dans %s" NBSP ": l'archive est endommagée ou incomplète")},
    {TEXT_PROGRESS_FOOTER, ANSI("«" NBSP "Annuler" NBSP "» interrompt l'installation.")},
    {TEXT_ONLINE_PITCH, ANSI("GameSpy Arcade, c'est le moyen rapide et gratuit de trouver parties et adversaires en ligne pour " INSTALLER_PRODUCT ". Rejoignez des millions de joueurs" NBSP "!")},
    {TEXT_ONLINE_FEATURES, ANSI("Voici ce que vous obtenez" NBSP ":\n\n - Plus de 350 grands jeux et démos\n - Recherche d'adversaires, chat et forums\n - Des centaines de démos GRATUITES\n - L'actualité du jeu vidéo en direct\n - Même les jeux Xbox les plus joués en ligne")},
    {TEXT_ONLINE_QUESTION, ANSI("Voulez-vous installer GameSpy Arcade" NBSP "?")},
    {TEXT_ONLINE_CHECKBOX, ANSI("Oui, installer GameSpy Arcade.")},
    {TEXT_ONLINE_LATER, ANSI("Si vous décidez d'installer GameSpy Arcade plus tard, vous pourrez le faire à l'aide du raccourci du menu Démarrer.")},
    {TEXT_ONLINE_FOOTER, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {TEXT_DIRECTX_QUESTION, ANSI("Voulez-vous installer DirectX 8.1" NBSP "?")},
    {TEXT_DIRECTX_CHECKBOX, ANSI("Installer DirectX 8.1.")},
    {TEXT_DIRECTX_NEEDED, ANSI("DirectX 8.1 est nécessaire pour jouer à la démo. Vous pouvez vérifier votre version de DirectX dans le Panneau de configuration.")},
    {TEXT_DIRECTX_MISSING, ANSI("Microsoft DirectX 8.1 n'a pas été détecté sur votre ordinateur. Microsoft DirectX 8.1 est nécessaire pour jouer à " INSTALLER_PRODUCT ".")},
    {TEXT_DIRECTX_DOWNLOAD, ANSI("Cette version du programme d'installation ne contient pas les fichiers d'installation de DirectX. Vous pouvez les télécharger à l'adresse suivante" NBSP ":")},
    {TEXT_DIRECTX_FOOTER, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {TEXT_UNINSTALL_WELCOME, ANSI("Bienvenue dans le programme de désinstallation de " INSTALLER_PRODUCT ". Ce programme va supprimer " INSTALLER_PRODUCT " de votre ordinateur.")},
    {TEXT_UNINSTALL_CONFIRM, ANSI("Oui, désinstaller maintenant.")},
    {TEXT_UNINSTALL_FOOTER, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour lancer la désinstallation.")},
    {TEXT_REMOVING, ANSI("Désinstallation de " INSTALLER_PRODUCT " en cours.")},
    {TEXT_PLEASE_WAIT, ANSI("Veuillez patienter...")},
    {TEXT_UNINSTALLED, ANSI("La désinstallation de " INSTALLER_PRODUCT " est terminée.")},
    {TEXT_THANK_YOU, ANSI("Merci d'avoir essayé " INSTALLER_PRODUCT ".")},
    {TEXT_RESTART_NEEDED, ANSI("Vous devez redémarrer votre ordinateur pour terminer la désinstallation.")},
    {TEXT_CANCELLED, ANSI("ANNULATION" NBSP ": Mais qu'est-ce que vous faites" NBSP "?!")},
    {TEXT_INTERRUPTED, ANSI("ANNULATION" NBSP ": vous avez interrompu l'installation :-P")},
    {TEXT_CANNOT_OPEN, ANSI("Ouverture impossible")},
    {TEXT_CANNOT_READ, ANSI("Lecture impossible")},
    {TEXT_CANNOT_READ_LIST, ANSI("Impossible de lire la liste des fichiers")},
    {TEXT_UNSAFE_NAME, ANSI("Nom de fichier non sûr dans l'archive")},
    {TEXT_PATH_TOO_LONG, ANSI("Chemin trop long")},
    {TEXT_CANNOT_PREPARE_FOLDER, ANSI("Impossible de préparer le dossier d'installation")},
    {TEXT_DISK_FULL, ANSI("Disque plein, écriture impossible")},
    {TEXT_CANNOT_WRITE, ANSI("Écriture impossible")},
    {TEXT_CANNOT_CREATE, ANSI("Création impossible")},
    {TEXT_ERROR_TITLE, ANSI("L'erreur suivante s'est produite pendant l'installation" NBSP ":")},
    {TEXT_REGISTRY_FAILED, ANSI("Impossible d'écrire la clé de Registre" NBSP ": HKEY_LOCAL_MACHINE\\%s")},
    {TEXT_ERROR_DETAIL, ANSI("%s" NBSP ": %s")},
    {TEXT_DAMAGED_FILE, ANSI("Fichier endommagé sur le disque")},
    {TEXT_DISK_1, ANSI(INSTALLER_PRODUCT " – disque 1")},
    {TEXT_DISK_2, ANSI(INSTALLER_PRODUCT " – disque 2")},
    {TEXT_UNINSTALL_LINK, ANSI("Désinstaller " INSTALLER_PRODUCT)},
    {TEXT_ONLINE_LINK, ANSI("Jouer à " INSTALLER_PRODUCT " en ligne avec GameSpy Arcade")},
};

const BuiltInText kSpanish[] = {
    {TEXT_MENU_PLAY, ANSI("Jugar")},
    {TEXT_MENU_INSTALL, ANSI("Instalar")},
    {TEXT_MENU_UNINSTALL, ANSI("Desinstalar")},
    {TEXT_MENU_WEB, ANSI("Web")},
    {TEXT_MENU_QUIT, ANSI("Salir")},
    {TEXT_BUTTON_INSTALL, ANSI("Instalar")},
    {TEXT_BUTTON_AGREE, ANSI("Acepto")},
    {TEXT_BUTTON_OK, ANSI("Aceptar")},
    {TEXT_BUTTON_NEXT, ANSI("Siguiente")},
    {TEXT_BUTTON_PREVIOUS, ANSI("Atrás")},
    {TEXT_BUTTON_CANCEL, ANSI("Cancelar")},
    {TEXT_BUTTON_YES, ANSI("Sí")},
    {TEXT_BUTTON_NO, ANSI("No")},
    {TEXT_MENU_NOT_INSTALLED, ANSI("Bienvenido al programa de instalación de " INSTALLER_PRODUCT ".\n\nSeleccione «Instalar» para instalar " INSTALLER_PRODUCT " y otros componentes.\nSeleccione «Web» para visitar " INSTALLER_WEB_HOST "\nSeleccione «Salir» para desaparecer del mapa.")},
    {TEXT_MENU_NEW, ANSI("Bienvenido a " INSTALLER_PRODUCT ".\n\nSeleccione «Jugar» para iniciar " INSTALLER_PRODUCT ".\nSeleccione «Web» para visitar " INSTALLER_WEB_HOST "\nSeleccione «Salir» para desaparecer del mapa.")},
    {TEXT_MENU_INSTALLED, ANSI("Bienvenido al programa de desinstalación de " INSTALLER_PRODUCT ".\n\nSeleccione «Jugar» para iniciar " INSTALLER_PRODUCT ".\nSeleccione «Desinstalar» para quitar " INSTALLER_PRODUCT " del equipo.\nSeleccione «Web» para visitar " INSTALLER_WEB_HOST "\nSeleccione «Salir» para salir del programa.")},
    {TEXT_FATAL_ERROR, ANSI("Error grave")},
    {TEXT_DATA_FILE_MISSING, ANSI("No se puede cargar el archivo de datos del instalador (%s)")},
    {TEXT_DISK_ERROR, ANSI("Error de disco")},
    {TEXT_INSTALL_DIR_FAILED, ANSI("Error al acceder a la carpeta de instalación")},
    {TEXT_FILE_ACCESS_FAILED, ANSI("Error al acceder al archivo")},
    {TEXT_INTRO, ANSI("Haga clic en «Siguiente» para instalar " INSTALLER_PRODUCT " en el equipo.")},
    {TEXT_INTRO_ADVICE, ANSI("Se recomienda encarecidamente cerrar todos los programas de Windows antes de ejecutar este programa de instalación.")},
    {TEXT_INTRO_FOOTER, ANSI("Haga clic en «Siguiente» para continuar.")},
    {TEXT_LICENSE_TITLE, ANSI("Contrato de licencia y garantía limitada")},
    {TEXT_LICENSE_MISSING, ANSI("No se puede mostrar el contrato de licencia. ¡Falta el archivo la.txt!")},
    {TEXT_LICENSE_FOOTER, ANSI("Haga clic en «Acepto» para continuar.")},
    {TEXT_FOLDER_TITLE, ANSI("La demo se instalará en esta carpeta:")},
    {TEXT_FOLDER_TOO_LONG, ANSI("Ruta demasiado larga: %s")},
    {TEXT_DRIVE_FREE, ANSI(" (%u MB libres)")},
    {TEXT_DRIVE_FREE_UNKNOWN, ANSI(" (Desconocido)")},
    {TEXT_SPACE_NEEDED_FREE, ANSI("Necesario: %s MB. Libre en %s: %s MB.")},
    {TEXT_SPACE_SHORT, ANSI("Falta espacio: %s MB necesarios, %s MB libres.")},
    {TEXT_SPACE_NEEDED, ANSI("Necesario: %s MB.")},
    {TEXT_FOLDER_FOOTER, ANSI("Haga clic en «Siguiente» para continuar.")},
    {TEXT_SHORTCUTS_QUESTION, ANSI("¿Desea crear accesos directos a " INSTALLER_PRODUCT " en el escritorio y en el menú Inicio?")},
    {TEXT_SHORTCUT_DESKTOP, ANSI("Acceso directo en el escritorio")},
    {TEXT_SHORTCUT_START_MENU, ANSI("Acceso directo en el menú Inicio")},
    {TEXT_SHORTCUTS_FOOTER, ANSI("Haga clic en «Siguiente» para continuar.")},
    {TEXT_GROUP_TEXT, ANSI("Aquí irá la selección del grupo del menú Inicio.")},
    {TEXT_GROUP_FOOTER, ANSI("Haga clic en «Siguiente» para continuar.")},
    {TEXT_READY, ANSI("Todo está listo para instalar " INSTALLER_PRODUCT ".")},
    {TEXT_READY_HINT, ANSI("Haga clic en «Instalar» para iniciar la instalación o en «Atrás» para volver y cambiar la configuración.")},
    {TEXT_INSTALLED, ANSI(INSTALLER_PRODUCT " se ha instalado.")},
    {TEXT_ADDONS_ONLINE, ANSI("Ahora puede instalar:\n\n - GameSpy Arcade")},
    {TEXT_ADDONS_DIRECTX, ANSI("Ahora puede instalar:\n\n - DirectX 8.1")},
    {TEXT_ADDONS_BOTH, ANSI("Ahora puede instalar:\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {TEXT_FINISH_FOOTER, ANSI("«Aceptar» finaliza la instalación.")},
    {TEXT_FINISH_ADDONS_FOOTER, ANSI("«Siguiente» continúa la instalación.")},
    {TEXT_PROGRESS_TITLE, ANSI("Instalando " INSTALLER_PRODUCT ":")},
    {TEXT_PROGRESS_TOTAL, ANSI("Progreso total")},
    {TEXT_TIME_REMAINING, ANSI("Tiempo restante")},
    {TEXT_MINUTES, ANSI("min")},
    {TEXT_SECONDS, ANSI("s")},
    {TEXT_INSERT_DISK, ANSI("Inserte el disco")},
    {TEXT_ENTRY_NOT_FOUND, ANSI("No se encuentra %s en %s")},
    {TEXT_ENTRY_DAMAGED, ANSI("No se puede leer %s en %s: el archivo comprimido está dañado o incompleto")},
    {TEXT_PROGRESS_FOOTER, ANSI("«Cancelar» detiene la instalación.")},
    {TEXT_ONLINE_PITCH, ANSI("GameSpy Arcade es la forma rápida y gratuita de encontrar partidas y rivales en línea para " INSTALLER_PRODUCT ". ¡Únase a millones de jugadores como usted!")},
    {TEXT_ONLINE_FEATURES, ANSI("Esto es lo que obtiene:\n\n - Más de 350 juegos y demos destacados\n - Búsqueda de rivales, chat y foros\n - Cientos de demos GRATUITAS para descargar\n - Noticias al minuto sobre videojuegos\n - Incluso los juegos de Xbox más populares")},
    {TEXT_ONLINE_QUESTION, ANSI("¿Desea instalar GameSpy Arcade?")},
    {TEXT_ONLINE_CHECKBOX, ANSI("Sí, instalar GameSpy Arcade ahora.")},
    {TEXT_ONLINE_LATER, ANSI("Si decide instalar GameSpy Arcade más adelante, podrá hacerlo desde el acceso directo del menú Inicio.")},
    {TEXT_ONLINE_FOOTER, ANSI("Haga clic en «Siguiente» para continuar.")},
    {TEXT_DIRECTX_QUESTION, ANSI("¿Desea instalar DirectX 8.1?")},
    {TEXT_DIRECTX_CHECKBOX, ANSI("Instalar DirectX 8.1.")},
    {TEXT_DIRECTX_NEEDED, ANSI("Se necesita DirectX 8.1 para jugar a la demo. Puede comprobar su versión de DirectX en el Panel de control.")},
    {TEXT_DIRECTX_MISSING, ANSI("No se ha detectado Microsoft DirectX 8.1 en el equipo. Se necesita Microsoft DirectX 8.1 para jugar a " INSTALLER_PRODUCT ".")},
    {TEXT_DIRECTX_DOWNLOAD, ANSI("Esta versión del programa de instalación no incluye los archivos de instalación de DirectX. Puede descargarlos desde esta dirección:")},
    {TEXT_DIRECTX_FOOTER, ANSI("Haga clic en «Siguiente» para continuar.")},
    {TEXT_UNINSTALL_WELCOME, ANSI("Bienvenido al programa de desinstalación de " INSTALLER_PRODUCT ". Este programa quitará " INSTALLER_PRODUCT " del equipo.")},
    {TEXT_UNINSTALL_CONFIRM, ANSI("Sí, quitar " INSTALLER_PRODUCT ".")},
    {TEXT_UNINSTALL_FOOTER, ANSI("Haga clic en «Siguiente» para iniciar la desinstalación.")},
    {TEXT_REMOVING, ANSI("Desinstalando " INSTALLER_PRODUCT ".")},
    {TEXT_PLEASE_WAIT, ANSI("Espere un momento...")},
    {TEXT_UNINSTALLED, ANSI(INSTALLER_PRODUCT " se ha desinstalado correctamente.")},
    {TEXT_THANK_YOU, ANSI("Gracias por probar " INSTALLER_PRODUCT ".")},
    {TEXT_RESTART_NEEDED, ANSI("Debe reiniciar el equipo para completar la desinstalación.")},
    {TEXT_CANCELLED, ANSI("CANCELADO: ¿Pero qué está haciendo?")},
    {TEXT_INTERRUPTED, ANSI("CANCELADO: ha interrumpido la instalación :-P")},
    {TEXT_CANNOT_OPEN, ANSI("No se puede abrir")},
    {TEXT_CANNOT_READ, ANSI("No se puede leer")},
    {TEXT_CANNOT_READ_LIST, ANSI("No se puede leer la lista de archivos")},
    {TEXT_UNSAFE_NAME, ANSI("Nombre de archivo no seguro en el archivo comprimido")},
    {TEXT_PATH_TOO_LONG, ANSI("Ruta demasiado larga")},
    {TEXT_CANNOT_PREPARE_FOLDER, ANSI("No se puede preparar la carpeta de instalación")},
    {TEXT_DISK_FULL, ANSI("Disco lleno, no se puede escribir")},
    {TEXT_CANNOT_WRITE, ANSI("No se puede escribir")},
    {TEXT_CANNOT_CREATE, ANSI("No se puede crear")},
    {TEXT_ERROR_TITLE, ANSI("Se produjo el siguiente error durante la instalación:")},
    {TEXT_REGISTRY_FAILED, ANSI("No se puede escribir la clave del Registro: HKEY_LOCAL_MACHINE\\%s")},
    {TEXT_ERROR_DETAIL, ANSI("%s: %s")},
    {TEXT_DAMAGED_FILE, ANSI("Archivo dañado en el disco")},
    {TEXT_DISK_1, ANSI(INSTALLER_PRODUCT " – disco 1")},
    {TEXT_DISK_2, ANSI(INSTALLER_PRODUCT " – disco 2")},
    {TEXT_UNINSTALL_LINK, ANSI("Desinstalar " INSTALLER_PRODUCT)},
    {TEXT_ONLINE_LINK, ANSI("Jugar a " INSTALLER_PRODUCT " en línea con GameSpy Arcade")},
};

const BuiltInText kItalian[] = {
    {TEXT_MENU_PLAY, ANSI("Gioca")},
    {TEXT_MENU_INSTALL, ANSI("Installa")},
    {TEXT_MENU_UNINSTALL, ANSI("Disinstalla")},
    {TEXT_MENU_WEB, ANSI("Sito web")},
    {TEXT_MENU_QUIT, ANSI("Esci")},
    {TEXT_BUTTON_INSTALL, ANSI("Installa")},
    {TEXT_BUTTON_AGREE, ANSI("Accetto")},
    {TEXT_BUTTON_OK, ANSI("OK")},
    {TEXT_BUTTON_NEXT, ANSI("Avanti")},
    {TEXT_BUTTON_PREVIOUS, ANSI("Indietro")},
    {TEXT_BUTTON_CANCEL, ANSI("Annulla")},
    {TEXT_BUTTON_YES, ANSI("Sì")},
    {TEXT_BUTTON_NO, ANSI("No")},
    {TEXT_MENU_NOT_INSTALLED, ANSI("Benvenuti nel programma di installazione di " INSTALLER_PRODUCT ".\n\nScegliere \"Installa\" per installare " INSTALLER_PRODUCT " e altri componenti.\nScegliere \"Sito web\" per visitare " INSTALLER_WEB_HOST "\nScegliere \"Esci\" per darsi alla macchia.")},
    {TEXT_MENU_NEW, ANSI("Benvenuti in " INSTALLER_PRODUCT ".\n\nScegliere \"Gioca\" per avviare " INSTALLER_PRODUCT ".\nScegliere \"Sito web\" per visitare " INSTALLER_WEB_HOST "\nScegliere \"Esci\" per darsi alla macchia.")},
    {TEXT_MENU_INSTALLED, ANSI("Benvenuti nella disinstallazione di " INSTALLER_PRODUCT ".\n\n\"Gioca\" avvia " INSTALLER_PRODUCT ".\n\"Disinstalla\" rimuove " INSTALLER_PRODUCT " dal computer.\n\"Sito web\" apre " INSTALLER_WEB_HOST "\n\"Esci\" chiude il programma.")},
    {TEXT_FATAL_ERROR, ANSI("Errore irreversibile")},
    {TEXT_DATA_FILE_MISSING, ANSI("Impossibile caricare il file di dati dell'installazione (%s)")},
    {TEXT_DISK_ERROR, ANSI("Errore del disco")},
    {TEXT_INSTALL_DIR_FAILED, ANSI("Accesso alla cartella di installazione non riuscito")},
    {TEXT_FILE_ACCESS_FAILED, ANSI("Accesso al file non riuscito")},
    {TEXT_INTRO, ANSI("Fare clic su \"Avanti\" per installare " INSTALLER_PRODUCT " nel computer.")},
    {TEXT_INTRO_ADVICE, ANSI("Si consiglia vivamente di chiudere tutti i programmi Windows prima di eseguire questo programma di installazione.")},
    {TEXT_INTRO_FOOTER, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {TEXT_LICENSE_TITLE, ANSI("Contratto di licenza e garanzia limitata")},
    {TEXT_LICENSE_MISSING, ANSI("Impossibile visualizzare il contratto di licenza. File la.txt mancante!")},
    {TEXT_LICENSE_FOOTER, ANSI("Fare clic su \"Accetto\" per continuare.")},
    {TEXT_FOLDER_TITLE, ANSI("La demo verrà installata in questa cartella:")},
    {TEXT_FOLDER_TOO_LONG, ANSI("Percorso troppo lungo: %s")},
    {TEXT_DRIVE_FREE, ANSI(" (%u MB liberi)")},
    {TEXT_DRIVE_FREE_UNKNOWN, ANSI(" (Sconosciuto)")},
    {TEXT_SPACE_NEEDED_FREE, ANSI("Richiesti: %s MB. Liberi su %s: %s MB.")},
    {TEXT_SPACE_SHORT, ANSI("Spazio insufficiente: %s MB richiesti, %s liberi.")},
    {TEXT_SPACE_NEEDED, ANSI("Richiesti: %s MB.")},
    {TEXT_FOLDER_FOOTER, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {TEXT_SHORTCUTS_QUESTION, ANSI("Aggiungere i collegamenti a " INSTALLER_PRODUCT " sul desktop e nel menu Start?")},
    {TEXT_SHORTCUT_DESKTOP, ANSI("Crea un collegamento sul desktop")},
    {TEXT_SHORTCUT_START_MENU, ANSI("Crea un collegamento nel menu Start")},
    {TEXT_SHORTCUTS_FOOTER, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {TEXT_GROUP_TEXT, ANSI("Qui verrà la scelta del gruppo del menu Start.")},
    {TEXT_GROUP_FOOTER, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {TEXT_READY, ANSI("È tutto pronto per installare " INSTALLER_PRODUCT ".")},
    {TEXT_READY_HINT, ANSI("Fare clic su \"Installa\" per avviare l'installazione oppure su \"Indietro\" per tornare indietro e modificare le impostazioni.")},
    {TEXT_INSTALLED, ANSI("L'installazione di " INSTALLER_PRODUCT " è stata completata.")},
    {TEXT_ADDONS_ONLINE, ANSI("Ora è possibile installare:\n\n - GameSpy Arcade")},
    {TEXT_ADDONS_DIRECTX, ANSI("Ora è possibile installare:\n\n - DirectX 8.1")},
    {TEXT_ADDONS_BOTH, ANSI("Ora è possibile installare:\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {TEXT_FINISH_FOOTER, ANSI("\"OK\" completa l'installazione.")},
    {TEXT_FINISH_ADDONS_FOOTER, ANSI("\"Avanti\" prosegue l'installazione.")},
    {TEXT_PROGRESS_TITLE, ANSI("Installazione di " INSTALLER_PRODUCT " in corso:")},
    {TEXT_PROGRESS_TOTAL, ANSI("Avanzamento totale")},
    {TEXT_TIME_REMAINING, ANSI("Tempo rimanente")},
    {TEXT_MINUTES, ANSI("min")},
    {TEXT_SECONDS, ANSI("s")},
    {TEXT_INSERT_DISK, ANSI("Inserire il disco")},
    {TEXT_ENTRY_NOT_FOUND, ANSI("Impossibile trovare %s in %s")},
    {TEXT_ENTRY_DAMAGED, ANSI("Impossibile leggere %s in %s: l'archivio è danneggiato o incompleto")},
    {TEXT_PROGRESS_FOOTER, ANSI("\"Annulla\" interrompe l'installazione.")},
    {TEXT_ONLINE_PITCH, ANSI("GameSpy Arcade è il modo veloce e gratuito per trovare partite e avversari online per " INSTALLER_PRODUCT ". Unisciti a milioni di giocatori come te!")},
    {TEXT_ONLINE_FEATURES, ANSI("Ecco cosa ottieni:\n\n - Oltre 350 giochi e demo di successo\n - Ricerca di avversari, chat e forum\n - Centinaia di demo GRATUITE da scaricare\n - Notizie in tempo reale sui videogiochi\n - Perfino i giochi Xbox più popolari online")},
    {TEXT_ONLINE_QUESTION, ANSI("Vuoi installare GameSpy Arcade?")},
    {TEXT_ONLINE_CHECKBOX, ANSI("Sì, installa GameSpy Arcade ora.")},
    {TEXT_ONLINE_LATER, ANSI("Se si decide di installare GameSpy Arcade in un secondo momento, è possibile farlo dal collegamento nel menu Start.")},
    {TEXT_ONLINE_FOOTER, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {TEXT_DIRECTX_QUESTION, ANSI("Installare DirectX 8.1?")},
    {TEXT_DIRECTX_CHECKBOX, ANSI("Installa DirectX 8.1.")},
    {TEXT_DIRECTX_NEEDED, ANSI("Per giocare alla demo è necessario DirectX 8.1. È possibile verificare la versione di DirectX dal Pannello di controllo.")},
    {TEXT_DIRECTX_MISSING, ANSI("Microsoft DirectX 8.1 non è stato rilevato nel computer. Per giocare a " INSTALLER_PRODUCT " è necessario Microsoft DirectX 8.1.")},
    {TEXT_DIRECTX_DOWNLOAD, ANSI("Questa versione del programma di installazione non include i file di installazione di DirectX. È possibile scaricarli da questo indirizzo:")},
    {TEXT_DIRECTX_FOOTER, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {TEXT_UNINSTALL_WELCOME, ANSI("Benvenuti nel programma di disinstallazione di " INSTALLER_PRODUCT ". Questo programma rimuoverà " INSTALLER_PRODUCT " dal computer.")},
    {TEXT_UNINSTALL_CONFIRM, ANSI("Sì, disinstalla ora.")},
    {TEXT_UNINSTALL_FOOTER, ANSI("Fare clic su \"Avanti\" per avviare la disinstallazione.")},
    {TEXT_REMOVING, ANSI("Disinstallazione di " INSTALLER_PRODUCT " in corso.")},
    {TEXT_PLEASE_WAIT, ANSI("Attendere qualche istante...")},
    {TEXT_UNINSTALLED, ANSI("La disinstallazione di " INSTALLER_PRODUCT " è stata completata.")},
    {TEXT_THANK_YOU, ANSI("Grazie per aver provato " INSTALLER_PRODUCT ".")},
    {TEXT_RESTART_NEEDED, ANSI("Per completare la disinstallazione è necessario riavviare il computer.")},
    {TEXT_CANCELLED, ANSI("ANNULLATO: Ma cosa stai facendo?!")},
    {TEXT_INTERRUPTED, ANSI("ANNULLATO: hai interrotto l'installazione :-P")},
    {TEXT_CANNOT_OPEN, ANSI("Impossibile aprire")},
    {TEXT_CANNOT_READ, ANSI("Impossibile leggere")},
    {TEXT_CANNOT_READ_LIST, ANSI("Impossibile leggere l'elenco dei file")},
    {TEXT_UNSAFE_NAME, ANSI("Nome di file non sicuro nell'archivio")},
    {TEXT_PATH_TOO_LONG, ANSI("Percorso troppo lungo")},
    {TEXT_CANNOT_PREPARE_FOLDER, ANSI("Impossibile preparare la cartella di installazione")},
    {TEXT_DISK_FULL, ANSI("Disco pieno, impossibile scrivere")},
    {TEXT_CANNOT_WRITE, ANSI("Impossibile scrivere")},
    {TEXT_CANNOT_CREATE, ANSI("Impossibile creare")},
    {TEXT_ERROR_TITLE, ANSI("Durante l'installazione si è verificato il seguente errore:")},
    {TEXT_REGISTRY_FAILED, ANSI("Impossibile scrivere la chiave di registro: HKEY_LOCAL_MACHINE\\%s")},
    {TEXT_ERROR_DETAIL, ANSI("%s: %s")},
    {TEXT_DAMAGED_FILE, ANSI("File danneggiato sul disco")},
    {TEXT_DISK_1, ANSI(INSTALLER_PRODUCT " – disco 1")},
    {TEXT_DISK_2, ANSI(INSTALLER_PRODUCT " – disco 2")},
    {TEXT_UNINSTALL_LINK, ANSI("Disinstalla " INSTALLER_PRODUCT)},
    {TEXT_ONLINE_LINK, ANSI("Gioca a " INSTALLER_PRODUCT " online con GameSpy Arcade")},
};
// clang-format on

#undef NBSP
#undef ANSI

struct LanguageTable {
  const char *code;
  uint16_t primary;  // the Windows primary language id
  const BuiltInText *texts;
  size_t count;
};
template <size_t N>
constexpr LanguageTable Table(const char *code, uint16_t primary, const BuiltInText (&t)[N]) {
  return {code, primary, t, N};
}
const LanguageTable kLanguages[INST_LANG_COUNT] = {
    Table("en", 0x09, kEnglish), Table("de", 0x07, kGerman), Table("fr", 0x0C, kFrench),
    Table("es", 0x0A, kSpanish), Table("it", 0x10, kItalian)};

void Fill(const LanguageTable &table) {
  for (size_t i = 0; i < table.count; ++i) INST_SetText(table.texts[i].id, table.texts[i].text);
}

const TextEntry &Chosen(int32_t id) {
  if (id < 0 || id > int32_t(INST_TEXT_FALLBACK) || !g_texts[id].text)
    return g_texts[INST_TEXT_FALLBACK];
  return g_texts[id];
}

// The language the disc's archive fixes, as its code (surrounding white
// space ignored); INST_LANG_COUNT when it fixes none it knows.
INST_Language DiscLanguage() {
  const BF_Handle f = BF_Open(INST_LANGUAGE_ENTRY, BF_OPEN_READ, false);
  if (!f) return INST_LANG_COUNT;
  char code[8] = {};
  const uint32_t got = BF_Read(f, code, sizeof code - 1);
  BF_Close(f);
  size_t begin = 0, end = got;
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (begin < end && blank(code[begin])) ++begin;
  while (end > begin && blank(code[end - 1])) --end;
  code[end] = 0;
  for (uint32_t l = 0; l < INST_LANG_COUNT; ++l)
    if (!SYS_StrCmp(code + begin, kLanguages[l].code)) return INST_Language(l);
  return INST_LANG_COUNT;
}

}  // namespace

INST_Language INST_ChooseLanguage() {
  const INST_Language fixed = DiscLanguage();
  if (fixed != INST_LANG_COUNT) return fixed;
  const uint16_t primary = SYS_GetUILanguage() & 0x3FF;
  for (uint32_t l = 0; l < INST_LANG_COUNT; ++l)
    if (kLanguages[l].primary == primary) return INST_Language(l);
  return INST_LANG_EN;
}

void INST_InitTexts() {
  INST_InitTextsIn(INST_ChooseLanguage());
}

void INST_InitTextsIn(INST_Language language) {
  INST_FreeTexts();  // a second fill replaces the first
  for (const BuiltInText &t : kCommon) INST_SetText(t.id, t.text);
  Fill(kLanguages[INST_LANG_EN]);
  if (language != INST_LANG_EN && language < INST_LANG_COUNT) Fill(kLanguages[language]);
}

int32_t INST_FirstMissingText(INST_Language language) {
  if (language >= INST_LANG_COUNT) return -1;
  const LanguageTable &english = kLanguages[INST_LANG_EN], &other = kLanguages[language];
  for (size_t i = 0; i < english.count; ++i) {
    bool found = false;
    for (size_t k = 0; k < other.count && !found; ++k)
      found = other.texts[k].id == english.texts[i].id;
    if (!found) return int32_t(english.texts[i].id);
  }
  return -1;
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

const char *const *INST_MessageBoxButtons() {
  static const char *buttons[4];
  buttons[0] = INST_GetText(TEXT_BUTTON_OK);
  buttons[1] = INST_GetText(TEXT_BUTTON_YES);
  buttons[2] = INST_GetText(TEXT_BUTTON_NO);
  buttons[3] = INST_GetText(TEXT_BUTTON_CANCEL);
  return buttons;
}

const char *INST_WebSiteHost() {
  return INSTALLER_WEB_HOST;
}
