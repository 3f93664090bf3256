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
    {500, "*** no text ***"},
    {29, ""},
    {89, ""},
    {125, "GameSpy Arcade"},
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
    // The window's caption also finds a running copy of the program.
    {300, kWindowCaption},
    {301, "Programs\\GameSpy.exe"},
    {302, "Programs\\DXSetup.exe"},
    {303, INSTALLER_DIRECTX_HOST "/windows/directx/downloads"},
    {304, "http://" INSTALLER_DIRECTX_HOST "/windows/directx/downloads/drx81.asp"},
    {305, "8548"},
    {306, "2"},
    {400, INSTALLER_GAME_EXE},
    {401, INSTALLER_PRODUCT},
    {402, INSTALLER_PRODUCT},
    {404, INSTALLER_PRODUCT_SHORT},
    {405, INSTALLER_PRODUCT_SHORT},
    {406, "Software\\" INSTALLER_PUBLISHER "\\" INSTALLER_PRODUCT_SHORT},
    {407, "Uninstall.exe"},
    {409, "http://" INSTALLER_ONLINE_HOST "/features/launch.asp?svcname=ashgroved&distID=744"},
    {411, "Programs\\gamespy.ico"},
    {412, INSTALLER_APP_KEY},
    {413, "InstallDir"},
};

// The texts a user reads, one table per language; a new id is one line in
// each.
const BuiltInText kEnglish[] = {
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
    {16, "Yes"},
    {17, "No"},
    {20, "Welcome to the " INSTALLER_PRODUCT
         " installer.\n\nSelect \"Install\" to install the " INSTALLER_PRODUCT
         " and additional features.\nSelect \"Web\" to visit " INSTALLER_WEB_HOST
         "\nSelect \"Quit\" to go M.I.A."},
    {21, "Welcome to the " INSTALLER_PRODUCT ".\n\nSelect \"Play\" to start " INSTALLER_PRODUCT
         ".\nSelect \"Web\" to visit " INSTALLER_WEB_HOST " \nSelect \"Quit\" to go M.I.A."},
    {22, "Welcome to the " INSTALLER_PRODUCT
         " uninstaller.\n\nSelect \"Play\" to start " INSTALLER_PRODUCT
         ".\nSelect \"Uninstall\" to remove the " INSTALLER_PRODUCT
         " from your computer.\nSelect \"Web\" to visit " INSTALLER_WEB_HOST
         "\nSelect \"Quit\" to exit."},
    {23, "Fatal error"},
    {24, "Cannot load installer data file (%s)"},
    {25, "Disk error"},
    {26, "Failed access to Install_Dir"},
    {27, "Failed access to file"},
    {30, "Clicking \"Next\" will install the " INSTALLER_PRODUCT " on your computer."},
    {31,
     "It is strongly recommended that you exit all Windows programs before running this "
     "setup program."},
    {39, "Press \"Next\" button to continue."},
    {40, "License agreement and limited warranty."},
    {41, "Cannot show license agreement. la.txt file missing!"},
    {49, "Press \"I Agree\" to continue."},
    {50, "The demo will be installed to this location:"},
    {51, "Path too long: %s"},
    {52, " (%u MB free)"},
    {53, " (Unknown)"},
    {56, "Space needed: %s MB. Free on %s: %s MB."},
    {57, "Not enough space: %s MB needed, %s MB free."},
    {58, "Space needed: %s MB."},
    {59, "Press \"Next\" to continue."},
    {60,
     "Would you like shortcuts to the " INSTALLER_PRODUCT " added to your Desktop and Start Menu?"},
    {61, "Add shortcut on Desktop"},
    {62, "Add shortcut to Start menu"},
    {69, "Press \"Next\" to continue."},
    {70, "Here will be dialog for selecting start menu group"},
    {79, "Press \"Next\" to continue."},
    {80, "You are now ready to install " INSTALLER_PRODUCT "."},
    {81,
     "Press \"Install\" to begin the installation, or press \"Previous\" to go back and "
     "change any settings."},
    {90, INSTALLER_PRODUCT " has been installed."},
    {92, "You are now ready to install:\n\n - GameSpy Arcade"},
    {93, "You are now ready to install:\n\n - DirectX 8.1"},
    {94, "You are now ready to install:\n\n - GameSpy Arcade\n - DirectX 8.1"},
    {98, "Press \"Ok\" to finish installation."},
    {99, "Press \"Next\" to continue setup."},
    {110, INSTALLER_PRODUCT " is being installed:"},
    {111, "Total progress"},
    {112, "Time remaining"},
    {113, "min"},
    {114, "sec"},
    {116, "Insert disk"},
    {117, "Cannot find %s in %s"},
    {118, "Cannot read %s in %s: the archive is damaged or incomplete"},
    {119, "Press \"Cancel\" to abort installation."},
    {120, "GameSpy Arcade is the fast, free way to find games and opponents for " INSTALLER_PRODUCT
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
    {129, "Press \"Next\" to continue."},
    {130, "Would you like to install DirectX 8.1?"},
    {131, "Install DirectX 8.1."},
    {132,
     "DirectX 8.1 is needed to play the demo. You can check your current version of "
     "DirectX from the Control Panel."},
    {135,
     "Microsoft DirectX 8.1 has not been detected on your machine. Microsoft DirectX 8.1 "
     "is required for playing the " INSTALLER_PRODUCT "."},
    {136,
     "This version of the installer doesn't include DirectX installation files. You may "
     "download them from the following location:"},
    {139, "Press \"Next\" to continue."},
    {140,
     "Welcome to the " INSTALLER_PRODUCT
     " uninstall program. This program will uninstall " INSTALLER_PRODUCT " from your computer."},
    {141, "Yes, remove " INSTALLER_PRODUCT "."},
    {149, "Press \"Next\" to proceed uninstall."},
    {150, "Performing uninstall of " INSTALLER_PRODUCT "."},
    {151, "Please wait a minute..."},
    {160, INSTALLER_PRODUCT " has been successfully uninstalled."},
    {161, "Thank you for trying the " INSTALLER_PRODUCT "."},
    {162, "You must restart your computer to complete the uninstallation."},
    {170, "CANCEL: What do you think you are doing!?"},
    {180, "CANCEL: You intercept installation :-P"},
    {181, "Cannot open"},
    {182, "Cannot read"},
    {183, "Cannot read the file list"},
    {184, "Unsafe file name in the archive"},
    {185, "Path too long"},
    {186, "Cannot prepare the install folder"},
    {187, "Disk full, cannot write"},
    {188, "Cannot write"},
    {189, "Cannot create"},
    {190, "Following error occurred during installation process:"},
    {191, "Cannot write the registry key: HKEY_LOCAL_MACHINE\\%s"},
    {192, "%s: %s"},
    {196, "Damaged file on the disc"},
    {310, INSTALLER_PRODUCT " disk #1"},
    {311, INSTALLER_PRODUCT " disk #2"},
    {408, "Uninstall " INSTALLER_PRODUCT},
    {410, "Play " INSTALLER_PRODUCT " Online With GameSpy Arcade"},
};

// clang-format off
const BuiltInText kGerman[] = {
    {1, ANSI("Spielen")},
    {2, ANSI("Installieren")},
    {3, ANSI("Deinstallieren")},
    {4, ANSI("Website")},
    {5, ANSI("Beenden")},
    {10, ANSI("Installieren")},
    {11, ANSI("Annehmen")},
    {12, ANSI("OK")},
    {13, ANSI("Weiter")},
    {14, ANSI("Zurück")},
    {15, ANSI("Abbrechen")},
    {16, ANSI("Ja")},
    {17, ANSI("Nein")},
    {20, ANSI("Willkommen beim Installationsprogramm von " INSTALLER_PRODUCT ".\n\nWählen Sie „Installieren“, um " INSTALLER_PRODUCT " und weitere Komponenten zu installieren.\nWählen Sie „Website“, um " INSTALLER_WEB_HOST " zu besuchen.\nWählen Sie „Beenden“, um unterzutauchen.")},
    {21, ANSI("Willkommen bei " INSTALLER_PRODUCT ".\n\nWählen Sie „Spielen“, um " INSTALLER_PRODUCT " zu starten.\nWählen Sie „Website“, um " INSTALLER_WEB_HOST " zu besuchen.\nWählen Sie „Beenden“, um unterzutauchen.")},
    {22, ANSI("Willkommen beim Deinstallationsprogramm von " INSTALLER_PRODUCT ".\n\n„Spielen“ startet " INSTALLER_PRODUCT ".\n„Deinstallieren“ entfernt " INSTALLER_PRODUCT " von Ihrem Computer.\n„Website“ öffnet " INSTALLER_WEB_HOST "\n„Beenden“ beendet das Programm.")},
    {23, ANSI("Schwerwiegender Fehler")},
    {24, ANSI("Die Datendatei des Installationsprogramms (%s) kann nicht geladen werden")},
    {25, ANSI("Datenträgerfehler")},
    {26, ANSI("Zugriff auf den Installationsordner fehlgeschlagen")},
    {27, ANSI("Zugriff auf die Datei fehlgeschlagen")},
    {30, ANSI("Klicken Sie auf „Weiter“, um " INSTALLER_PRODUCT " auf Ihrem Computer zu installieren.")},
    {31, ANSI("Es wird dringend empfohlen, alle Windows-Programme zu beenden, bevor Sie dieses Installationsprogramm ausführen.")},
    {39, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {40, ANSI("Lizenzvertrag und eingeschränkte Garantie")},
    {41, ANSI("Der Lizenzvertrag kann nicht angezeigt werden. Die Datei la.txt fehlt!")},
    {49, ANSI("Klicken Sie auf „Annehmen“, um fortzufahren.")},
    {50, ANSI("Die Demo wird in diesen Ordner installiert:")},
    {51, ANSI("Pfad zu lang: %s")},
    {52, ANSI(" (%u MB frei)")},
    {53, ANSI(" (Unbekannt)")},
    {56, ANSI("Benötigt: %s MB. Frei auf %s: %s MB.")},
    {57, ANSI("Zu wenig Platz: %s MB benötigt, %s MB frei.")},
    {58, ANSI("Benötigt: %s MB.")},
    {59, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {60, ANSI("Möchten Sie Verknüpfungen zu " INSTALLER_PRODUCT " auf dem Desktop und im Startmenü anlegen?")},
    {61, ANSI("Verknüpfung auf dem Desktop anlegen")},
    {62, ANSI("Verknüpfung im Startmenü anlegen")},
    {69, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {70, ANSI("Hier folgt die Auswahl der Startmenügruppe.")},
    {79, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {80, ANSI(INSTALLER_PRODUCT " kann jetzt installiert werden.")},
    {81, ANSI("Klicken Sie auf „Installieren“, um die Installation zu starten, oder auf „Zurück“, um Ihre Einstellungen zu ändern.")},
    {90, ANSI(INSTALLER_PRODUCT " wurde installiert.")},
    {92, ANSI("Jetzt können Sie Folgendes installieren:\n\n - GameSpy Arcade")},
    {93, ANSI("Jetzt können Sie Folgendes installieren:\n\n - DirectX 8.1")},
    {94, ANSI("Jetzt können Sie Folgendes installieren:\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {98, ANSI("„OK“ schließt die Installation ab.")},
    {99, ANSI("„Weiter“ setzt die Installation fort.")},
    {110, ANSI(INSTALLER_PRODUCT " wird installiert:")},
    {111, ANSI("Gesamtfortschritt")},
    {112, ANSI("Verbleibende Zeit")},
    {113, ANSI("Min.")},
    {114, ANSI("Sek.")},
    {116, ANSI("Datenträger einlegen")},
    {117, ANSI("%s wurde in %s nicht gefunden")},
    {118, ANSI("%s in %s kann nicht gelesen werden: Das Archiv ist beschädigt oder unvollständig")},
    {119, ANSI("„Abbrechen“ bricht die Installation ab.")},
    {120, ANSI("Mit GameSpy Arcade finden Sie schnell und kostenlos Spiele und Gegner für " INSTALLER_PRODUCT " im Internet. Spielen Sie mit Millionen anderer Spieler wie Sie!")},
    {121, ANSI("Das bekommen Sie:\n\n - Über 350 führende Spiele und Demos\n - Gegnersuche, Chat und Foren\n - Hunderte KOSTENLOSE Demos der Top-Spiele\n - Aktuelle Nachrichten aus der Spielewelt\n - Sogar die beliebtesten Xbox-Spiele online")},
    {122, ANSI("Möchten Sie GameSpy Arcade installieren?")},
    {123, ANSI("Ja, GameSpy Arcade jetzt installieren.")},
    {124, ANSI("Wenn Sie GameSpy Arcade später installieren möchten, können Sie das über die Verknüpfung im Startmenü tun.")},
    {129, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {130, ANSI("Möchten Sie DirectX 8.1 installieren?")},
    {131, ANSI("DirectX 8.1 installieren.")},
    {132, ANSI("Für die Demo wird DirectX 8.1 benötigt. Ihre DirectX-Version können Sie in der Systemsteuerung prüfen.")},
    {135, ANSI("Microsoft DirectX 8.1 wurde auf Ihrem Computer nicht gefunden. " INSTALLER_PRODUCT " benötigt Microsoft DirectX 8.1.")},
    {136, ANSI("Diese Version des Installationsprogramms enthält keine DirectX-Installationsdateien. Sie können sie hier herunterladen:")},
    {139, ANSI("Klicken Sie auf „Weiter“, um fortzufahren.")},
    {140, ANSI("Willkommen beim Deinstallationsprogramm von " INSTALLER_PRODUCT ". Dieses Programm entfernt " INSTALLER_PRODUCT " von Ihrem Computer.")},
    {141, ANSI("Ja, jetzt deinstallieren.")},
    {149, ANSI("Klicken Sie auf „Weiter“, um die Deinstallation zu starten.")},
    {150, ANSI(INSTALLER_PRODUCT " wird deinstalliert.")},
    {151, ANSI("Bitte warten Sie einen Moment...")},
    {160, ANSI(INSTALLER_PRODUCT " wurde erfolgreich deinstalliert.")},
    {161, ANSI("Vielen Dank, dass Sie " INSTALLER_PRODUCT " ausprobiert haben.")},
    {162, ANSI("Starten Sie den Computer neu, um die Deinstallation abzuschließen.")},
    {170, ANSI("ABBRUCH: Was haben Sie denn vor?!")},
    {180, ANSI("ABBRUCH: Sie haben die Installation unterbrochen :-P")},
    {181, ANSI("Öffnen fehlgeschlagen")},
    {182, ANSI("Lesen fehlgeschlagen")},
    {183, ANSI("Die Dateiliste kann nicht gelesen werden")},
    {184, ANSI("Unzulässiger Dateiname im Archiv")},
    {185, ANSI("Pfad zu lang")},
    {186, ANSI("Der Installationsordner kann nicht vorbereitet werden")},
    {187, ANSI("Datenträger voll, Schreiben nicht möglich")},
    {188, ANSI("Schreiben fehlgeschlagen")},
    {189, ANSI("Erstellen fehlgeschlagen")},
    {190, ANSI("Bei der Installation ist folgender Fehler aufgetreten:")},
    {191, ANSI("Der Registrierungsschlüssel kann nicht geschrieben werden: HKEY_LOCAL_MACHINE\\%s")},
    {192, ANSI("%s: %s")},
    {196, ANSI("Beschädigte Datei auf dem Datenträger")},
    {310, ANSI(INSTALLER_PRODUCT " – Datenträger 1")},
    {311, ANSI(INSTALLER_PRODUCT " – Datenträger 2")},
    {408, ANSI(INSTALLER_PRODUCT " deinstallieren")},
    {410, ANSI(INSTALLER_PRODUCT " online mit GameSpy Arcade spielen")},
};

const BuiltInText kFrench[] = {
    {1, ANSI("Jouer")},
    {2, ANSI("Installer")},
    {3, ANSI("Désinstaller")},
    {4, ANSI("Site Web")},
    {5, ANSI("Quitter")},
    {10, ANSI("Installer")},
    {11, ANSI("J'accepte")},
    {12, ANSI("OK")},
    {13, ANSI("Suivant")},
    {14, ANSI("Précédent")},
    {15, ANSI("Annuler")},
    {16, ANSI("Oui")},
    {17, ANSI("Non")},
    {20, ANSI("Bienvenue dans le programme d'installation de " INSTALLER_PRODUCT ".\n\nChoisissez «" NBSP "Installer" NBSP "» pour installer " INSTALLER_PRODUCT " et des composants supplémentaires.\nChoisissez «" NBSP "Site Web" NBSP "» pour visiter " INSTALLER_WEB_HOST "\nChoisissez «" NBSP "Quitter" NBSP "» pour disparaître dans la nature.")},
    {21, ANSI("Bienvenue dans " INSTALLER_PRODUCT ".\n\nChoisissez «" NBSP "Jouer" NBSP "» pour lancer " INSTALLER_PRODUCT ".\nChoisissez «" NBSP "Site Web" NBSP "» pour visiter " INSTALLER_WEB_HOST "\nChoisissez «" NBSP "Quitter" NBSP "» pour disparaître dans la nature.")},
    {22, ANSI("Bienvenue dans la désinstallation de " INSTALLER_PRODUCT ".\n\n«" NBSP "Jouer" NBSP "» lance " INSTALLER_PRODUCT ".\n«" NBSP "Désinstaller" NBSP "» supprime " INSTALLER_PRODUCT " de votre ordinateur.\n«" NBSP "Site Web" NBSP "» ouvre " INSTALLER_WEB_HOST "\n«" NBSP "Quitter" NBSP "» ferme le programme.")},
    {23, ANSI("Erreur fatale")},
    {24, ANSI("Impossible de charger le fichier de données de l'installation (%s)")},
    {25, ANSI("Erreur de disque")},
    {26, ANSI("Échec de l'accès au dossier d'installation")},
    {27, ANSI("Échec de l'accès au fichier")},
    {30, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour installer " INSTALLER_PRODUCT " sur votre ordinateur.")},
    {31, ANSI("Il est vivement recommandé de quitter tous les programmes Windows avant d'exécuter ce programme d'installation.")},
    {39, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {40, ANSI("Contrat de licence et garantie limitée")},
    {41, ANSI("Impossible d'afficher le contrat de licence. Le fichier la.txt est introuvable" NBSP "!")},
    {49, ANSI("Cliquez sur «" NBSP "J'accepte" NBSP "» pour continuer.")},
    {50, ANSI("La démo sera installée dans ce dossier" NBSP ":")},
    {51, ANSI("Chemin trop long" NBSP ": %s")},
    {52, ANSI(" (%u Mo libres)")},
    {53, ANSI(" (Inconnu)")},
    {56, ANSI("Requis" NBSP ": %s Mo. Libre sur %s" NBSP ": %s Mo.")},
    {57, ANSI("Espace insuffisant" NBSP ": %s Mo requis, %s Mo libres.")},
    {58, ANSI("Requis" NBSP ": %s Mo.")},
    {59, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {60, ANSI("Voulez-vous ajouter des raccourcis vers " INSTALLER_PRODUCT " sur le Bureau et dans le menu Démarrer" NBSP "?")},
    {61, ANSI("Raccourci sur le Bureau")},
    {62, ANSI("Raccourci dans le menu Démarrer")},
    {69, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {70, ANSI("Ici viendra le choix du groupe du menu Démarrer.")},
    {79, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {80, ANSI("Vous pouvez maintenant installer " INSTALLER_PRODUCT ".")},
    {81, ANSI("Cliquez sur «" NBSP "Installer" NBSP "» pour lancer l'installation, ou sur «" NBSP "Précédent" NBSP "» pour revenir en arrière et modifier vos choix.")},
    {90, ANSI("L'installation de " INSTALLER_PRODUCT " est terminée.")},
    {92, ANSI("Vous pouvez maintenant installer" NBSP ":\n\n - GameSpy Arcade")},
    {93, ANSI("Vous pouvez maintenant installer" NBSP ":\n\n - DirectX 8.1")},
    {94, ANSI("Vous pouvez maintenant installer" NBSP ":\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {98, ANSI("«" NBSP "OK" NBSP "» termine l'installation.")},
    {99, ANSI("«" NBSP "Suivant" NBSP "» poursuit l'installation.")},
    {110, ANSI("Installation de " INSTALLER_PRODUCT " en cours" NBSP ":")},
    {111, ANSI("Progression totale")},
    {112, ANSI("Temps restant")},
    {113, ANSI("min")},
    {114, ANSI("s")},
    {116, ANSI("Insérez le disque")},
    {117, ANSI("%s introuvable dans %s")},
    {118, ANSI("Impossible de lire %s dans %s" NBSP ": l'archive est endommagée ou incomplète")},
    {119, ANSI("«" NBSP "Annuler" NBSP "» interrompt l'installation.")},
    {120, ANSI("GameSpy Arcade, c'est le moyen rapide et gratuit de trouver parties et adversaires en ligne pour " INSTALLER_PRODUCT ". Rejoignez des millions de joueurs" NBSP "!")},
    {121, ANSI("Voici ce que vous obtenez" NBSP ":\n\n - Plus de 350 grands jeux et démos\n - Recherche d'adversaires, chat et forums\n - Des centaines de démos GRATUITES\n - L'actualité du jeu vidéo en direct\n - Même les jeux Xbox les plus joués en ligne")},
    {122, ANSI("Voulez-vous installer GameSpy Arcade" NBSP "?")},
    {123, ANSI("Oui, installer GameSpy Arcade.")},
    {124, ANSI("Si vous décidez d'installer GameSpy Arcade plus tard, vous pourrez le faire à l'aide du raccourci du menu Démarrer.")},
    {129, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {130, ANSI("Voulez-vous installer DirectX 8.1" NBSP "?")},
    {131, ANSI("Installer DirectX 8.1.")},
    {132, ANSI("DirectX 8.1 est nécessaire pour jouer à la démo. Vous pouvez vérifier votre version de DirectX dans le Panneau de configuration.")},
    {135, ANSI("Microsoft DirectX 8.1 n'a pas été détecté sur votre ordinateur. Microsoft DirectX 8.1 est nécessaire pour jouer à " INSTALLER_PRODUCT ".")},
    {136, ANSI("Cette version du programme d'installation ne contient pas les fichiers d'installation de DirectX. Vous pouvez les télécharger à l'adresse suivante" NBSP ":")},
    {139, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour continuer.")},
    {140, ANSI("Bienvenue dans le programme de désinstallation de " INSTALLER_PRODUCT ". Ce programme va supprimer " INSTALLER_PRODUCT " de votre ordinateur.")},
    {141, ANSI("Oui, désinstaller maintenant.")},
    {149, ANSI("Cliquez sur «" NBSP "Suivant" NBSP "» pour lancer la désinstallation.")},
    {150, ANSI("Désinstallation de " INSTALLER_PRODUCT " en cours.")},
    {151, ANSI("Veuillez patienter...")},
    {160, ANSI("La désinstallation de " INSTALLER_PRODUCT " est terminée.")},
    {161, ANSI("Merci d'avoir essayé " INSTALLER_PRODUCT ".")},
    {162, ANSI("Vous devez redémarrer votre ordinateur pour terminer la désinstallation.")},
    {170, ANSI("ANNULATION" NBSP ": Mais qu'est-ce que vous faites" NBSP "?!")},
    {180, ANSI("ANNULATION" NBSP ": vous avez interrompu l'installation :-P")},
    {181, ANSI("Ouverture impossible")},
    {182, ANSI("Lecture impossible")},
    {183, ANSI("Impossible de lire la liste des fichiers")},
    {184, ANSI("Nom de fichier non sûr dans l'archive")},
    {185, ANSI("Chemin trop long")},
    {186, ANSI("Impossible de préparer le dossier d'installation")},
    {187, ANSI("Disque plein, écriture impossible")},
    {188, ANSI("Écriture impossible")},
    {189, ANSI("Création impossible")},
    {190, ANSI("L'erreur suivante s'est produite pendant l'installation" NBSP ":")},
    {191, ANSI("Impossible d'écrire la clé de Registre" NBSP ": HKEY_LOCAL_MACHINE\\%s")},
    {192, ANSI("%s" NBSP ": %s")},
    {196, ANSI("Fichier endommagé sur le disque")},
    {310, ANSI(INSTALLER_PRODUCT " – disque 1")},
    {311, ANSI(INSTALLER_PRODUCT " – disque 2")},
    {408, ANSI("Désinstaller " INSTALLER_PRODUCT)},
    {410, ANSI("Jouer à " INSTALLER_PRODUCT " en ligne avec GameSpy Arcade")},
};

const BuiltInText kSpanish[] = {
    {1, ANSI("Jugar")},
    {2, ANSI("Instalar")},
    {3, ANSI("Desinstalar")},
    {4, ANSI("Web")},
    {5, ANSI("Salir")},
    {10, ANSI("Instalar")},
    {11, ANSI("Acepto")},
    {12, ANSI("Aceptar")},
    {13, ANSI("Siguiente")},
    {14, ANSI("Atrás")},
    {15, ANSI("Cancelar")},
    {16, ANSI("Sí")},
    {17, ANSI("No")},
    {20, ANSI("Bienvenido al programa de instalación de " INSTALLER_PRODUCT ".\n\nSeleccione «Instalar» para instalar " INSTALLER_PRODUCT " y otros componentes.\nSeleccione «Web» para visitar " INSTALLER_WEB_HOST "\nSeleccione «Salir» para desaparecer del mapa.")},
    {21, ANSI("Bienvenido a " INSTALLER_PRODUCT ".\n\nSeleccione «Jugar» para iniciar " INSTALLER_PRODUCT ".\nSeleccione «Web» para visitar " INSTALLER_WEB_HOST "\nSeleccione «Salir» para desaparecer del mapa.")},
    {22, ANSI("Bienvenido al programa de desinstalación de " INSTALLER_PRODUCT ".\n\nSeleccione «Jugar» para iniciar " INSTALLER_PRODUCT ".\nSeleccione «Desinstalar» para quitar " INSTALLER_PRODUCT " del equipo.\nSeleccione «Web» para visitar " INSTALLER_WEB_HOST "\nSeleccione «Salir» para salir del programa.")},
    {23, ANSI("Error grave")},
    {24, ANSI("No se puede cargar el archivo de datos del instalador (%s)")},
    {25, ANSI("Error de disco")},
    {26, ANSI("Error al acceder a la carpeta de instalación")},
    {27, ANSI("Error al acceder al archivo")},
    {30, ANSI("Haga clic en «Siguiente» para instalar " INSTALLER_PRODUCT " en el equipo.")},
    {31, ANSI("Se recomienda encarecidamente cerrar todos los programas de Windows antes de ejecutar este programa de instalación.")},
    {39, ANSI("Haga clic en «Siguiente» para continuar.")},
    {40, ANSI("Contrato de licencia y garantía limitada")},
    {41, ANSI("No se puede mostrar el contrato de licencia. ¡Falta el archivo la.txt!")},
    {49, ANSI("Haga clic en «Acepto» para continuar.")},
    {50, ANSI("La demo se instalará en esta carpeta:")},
    {51, ANSI("Ruta demasiado larga: %s")},
    {52, ANSI(" (%u MB libres)")},
    {53, ANSI(" (Desconocido)")},
    {56, ANSI("Necesario: %s MB. Libre en %s: %s MB.")},
    {57, ANSI("Falta espacio: %s MB necesarios, %s MB libres.")},
    {58, ANSI("Necesario: %s MB.")},
    {59, ANSI("Haga clic en «Siguiente» para continuar.")},
    {60, ANSI("¿Desea crear accesos directos a " INSTALLER_PRODUCT " en el escritorio y en el menú Inicio?")},
    {61, ANSI("Acceso directo en el escritorio")},
    {62, ANSI("Acceso directo en el menú Inicio")},
    {69, ANSI("Haga clic en «Siguiente» para continuar.")},
    {70, ANSI("Aquí irá la selección del grupo del menú Inicio.")},
    {79, ANSI("Haga clic en «Siguiente» para continuar.")},
    {80, ANSI("Todo está listo para instalar " INSTALLER_PRODUCT ".")},
    {81, ANSI("Haga clic en «Instalar» para iniciar la instalación o en «Atrás» para volver y cambiar la configuración.")},
    {90, ANSI(INSTALLER_PRODUCT " se ha instalado.")},
    {92, ANSI("Ahora puede instalar:\n\n - GameSpy Arcade")},
    {93, ANSI("Ahora puede instalar:\n\n - DirectX 8.1")},
    {94, ANSI("Ahora puede instalar:\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {98, ANSI("«Aceptar» finaliza la instalación.")},
    {99, ANSI("«Siguiente» continúa la instalación.")},
    {110, ANSI("Instalando " INSTALLER_PRODUCT ":")},
    {111, ANSI("Progreso total")},
    {112, ANSI("Tiempo restante")},
    {113, ANSI("min")},
    {114, ANSI("s")},
    {116, ANSI("Inserte el disco")},
    {117, ANSI("No se encuentra %s en %s")},
    {118, ANSI("No se puede leer %s en %s: el archivo comprimido está dañado o incompleto")},
    {119, ANSI("«Cancelar» detiene la instalación.")},
    {120, ANSI("GameSpy Arcade es la forma rápida y gratuita de encontrar partidas y rivales en línea para " INSTALLER_PRODUCT ". ¡Únase a millones de jugadores como usted!")},
    {121, ANSI("Esto es lo que obtiene:\n\n - Más de 350 juegos y demos destacados\n - Búsqueda de rivales, chat y foros\n - Cientos de demos GRATUITAS para descargar\n - Noticias al minuto sobre videojuegos\n - Incluso los juegos de Xbox más populares")},
    {122, ANSI("¿Desea instalar GameSpy Arcade?")},
    {123, ANSI("Sí, instalar GameSpy Arcade ahora.")},
    {124, ANSI("Si decide instalar GameSpy Arcade más adelante, podrá hacerlo desde el acceso directo del menú Inicio.")},
    {129, ANSI("Haga clic en «Siguiente» para continuar.")},
    {130, ANSI("¿Desea instalar DirectX 8.1?")},
    {131, ANSI("Instalar DirectX 8.1.")},
    {132, ANSI("Se necesita DirectX 8.1 para jugar a la demo. Puede comprobar su versión de DirectX en el Panel de control.")},
    {135, ANSI("No se ha detectado Microsoft DirectX 8.1 en el equipo. Se necesita Microsoft DirectX 8.1 para jugar a " INSTALLER_PRODUCT ".")},
    {136, ANSI("Esta versión del programa de instalación no incluye los archivos de instalación de DirectX. Puede descargarlos desde esta dirección:")},
    {139, ANSI("Haga clic en «Siguiente» para continuar.")},
    {140, ANSI("Bienvenido al programa de desinstalación de " INSTALLER_PRODUCT ". Este programa quitará " INSTALLER_PRODUCT " del equipo.")},
    {141, ANSI("Sí, quitar " INSTALLER_PRODUCT ".")},
    {149, ANSI("Haga clic en «Siguiente» para iniciar la desinstalación.")},
    {150, ANSI("Desinstalando " INSTALLER_PRODUCT ".")},
    {151, ANSI("Espere un momento...")},
    {160, ANSI(INSTALLER_PRODUCT " se ha desinstalado correctamente.")},
    {161, ANSI("Gracias por probar " INSTALLER_PRODUCT ".")},
    {162, ANSI("Debe reiniciar el equipo para completar la desinstalación.")},
    {170, ANSI("CANCELADO: ¿Pero qué está haciendo?")},
    {180, ANSI("CANCELADO: ha interrumpido la instalación :-P")},
    {181, ANSI("No se puede abrir")},
    {182, ANSI("No se puede leer")},
    {183, ANSI("No se puede leer la lista de archivos")},
    {184, ANSI("Nombre de archivo no seguro en el archivo comprimido")},
    {185, ANSI("Ruta demasiado larga")},
    {186, ANSI("No se puede preparar la carpeta de instalación")},
    {187, ANSI("Disco lleno, no se puede escribir")},
    {188, ANSI("No se puede escribir")},
    {189, ANSI("No se puede crear")},
    {190, ANSI("Se produjo el siguiente error durante la instalación:")},
    {191, ANSI("No se puede escribir la clave del Registro: HKEY_LOCAL_MACHINE\\%s")},
    {192, ANSI("%s: %s")},
    {196, ANSI("Archivo dañado en el disco")},
    {310, ANSI(INSTALLER_PRODUCT " – disco 1")},
    {311, ANSI(INSTALLER_PRODUCT " – disco 2")},
    {408, ANSI("Desinstalar " INSTALLER_PRODUCT)},
    {410, ANSI("Jugar a " INSTALLER_PRODUCT " en línea con GameSpy Arcade")},
};

const BuiltInText kItalian[] = {
    {1, ANSI("Gioca")},
    {2, ANSI("Installa")},
    {3, ANSI("Disinstalla")},
    {4, ANSI("Sito web")},
    {5, ANSI("Esci")},
    {10, ANSI("Installa")},
    {11, ANSI("Accetto")},
    {12, ANSI("OK")},
    {13, ANSI("Avanti")},
    {14, ANSI("Indietro")},
    {15, ANSI("Annulla")},
    {16, ANSI("Sì")},
    {17, ANSI("No")},
    {20, ANSI("Benvenuti nel programma di installazione di " INSTALLER_PRODUCT ".\n\nScegliere \"Installa\" per installare " INSTALLER_PRODUCT " e altri componenti.\nScegliere \"Sito web\" per visitare " INSTALLER_WEB_HOST "\nScegliere \"Esci\" per darsi alla macchia.")},
    {21, ANSI("Benvenuti in " INSTALLER_PRODUCT ".\n\nScegliere \"Gioca\" per avviare " INSTALLER_PRODUCT ".\nScegliere \"Sito web\" per visitare " INSTALLER_WEB_HOST "\nScegliere \"Esci\" per darsi alla macchia.")},
    {22, ANSI("Benvenuti nella disinstallazione di " INSTALLER_PRODUCT ".\n\n\"Gioca\" avvia " INSTALLER_PRODUCT ".\n\"Disinstalla\" rimuove " INSTALLER_PRODUCT " dal computer.\n\"Sito web\" apre " INSTALLER_WEB_HOST "\n\"Esci\" chiude il programma.")},
    {23, ANSI("Errore irreversibile")},
    {24, ANSI("Impossibile caricare il file di dati dell'installazione (%s)")},
    {25, ANSI("Errore del disco")},
    {26, ANSI("Accesso alla cartella di installazione non riuscito")},
    {27, ANSI("Accesso al file non riuscito")},
    {30, ANSI("Fare clic su \"Avanti\" per installare " INSTALLER_PRODUCT " nel computer.")},
    {31, ANSI("Si consiglia vivamente di chiudere tutti i programmi Windows prima di eseguire questo programma di installazione.")},
    {39, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {40, ANSI("Contratto di licenza e garanzia limitata")},
    {41, ANSI("Impossibile visualizzare il contratto di licenza. File la.txt mancante!")},
    {49, ANSI("Fare clic su \"Accetto\" per continuare.")},
    {50, ANSI("La demo verrà installata in questa cartella:")},
    {51, ANSI("Percorso troppo lungo: %s")},
    {52, ANSI(" (%u MB liberi)")},
    {53, ANSI(" (Sconosciuto)")},
    {56, ANSI("Richiesti: %s MB. Liberi su %s: %s MB.")},
    {57, ANSI("Spazio insufficiente: %s MB richiesti, %s liberi.")},
    {58, ANSI("Richiesti: %s MB.")},
    {59, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {60, ANSI("Aggiungere i collegamenti a " INSTALLER_PRODUCT " sul desktop e nel menu Start?")},
    {61, ANSI("Crea un collegamento sul desktop")},
    {62, ANSI("Crea un collegamento nel menu Start")},
    {69, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {70, ANSI("Qui verrà la scelta del gruppo del menu Start.")},
    {79, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {80, ANSI("È tutto pronto per installare " INSTALLER_PRODUCT ".")},
    {81, ANSI("Fare clic su \"Installa\" per avviare l'installazione oppure su \"Indietro\" per tornare indietro e modificare le impostazioni.")},
    {90, ANSI("L'installazione di " INSTALLER_PRODUCT " è stata completata.")},
    {92, ANSI("Ora è possibile installare:\n\n - GameSpy Arcade")},
    {93, ANSI("Ora è possibile installare:\n\n - DirectX 8.1")},
    {94, ANSI("Ora è possibile installare:\n\n - GameSpy Arcade\n - DirectX 8.1")},
    {98, ANSI("\"OK\" completa l'installazione.")},
    {99, ANSI("\"Avanti\" prosegue l'installazione.")},
    {110, ANSI("Installazione di " INSTALLER_PRODUCT " in corso:")},
    {111, ANSI("Avanzamento totale")},
    {112, ANSI("Tempo rimanente")},
    {113, ANSI("min")},
    {114, ANSI("s")},
    {116, ANSI("Inserire il disco")},
    {117, ANSI("Impossibile trovare %s in %s")},
    {118, ANSI("Impossibile leggere %s in %s: l'archivio è danneggiato o incompleto")},
    {119, ANSI("\"Annulla\" interrompe l'installazione.")},
    {120, ANSI("GameSpy Arcade è il modo veloce e gratuito per trovare partite e avversari online per " INSTALLER_PRODUCT ". Unisciti a milioni di giocatori come te!")},
    {121, ANSI("Ecco cosa ottieni:\n\n - Oltre 350 giochi e demo di successo\n - Ricerca di avversari, chat e forum\n - Centinaia di demo GRATUITE da scaricare\n - Notizie in tempo reale sui videogiochi\n - Perfino i giochi Xbox più popolari online")},
    {122, ANSI("Vuoi installare GameSpy Arcade?")},
    {123, ANSI("Sì, installa GameSpy Arcade ora.")},
    {124, ANSI("Se si decide di installare GameSpy Arcade in un secondo momento, è possibile farlo dal collegamento nel menu Start.")},
    {129, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {130, ANSI("Installare DirectX 8.1?")},
    {131, ANSI("Installa DirectX 8.1.")},
    {132, ANSI("Per giocare alla demo è necessario DirectX 8.1. È possibile verificare la versione di DirectX dal Pannello di controllo.")},
    {135, ANSI("Microsoft DirectX 8.1 non è stato rilevato nel computer. Per giocare a " INSTALLER_PRODUCT " è necessario Microsoft DirectX 8.1.")},
    {136, ANSI("Questa versione del programma di installazione non include i file di installazione di DirectX. È possibile scaricarli da questo indirizzo:")},
    {139, ANSI("Fare clic su \"Avanti\" per continuare.")},
    {140, ANSI("Benvenuti nel programma di disinstallazione di " INSTALLER_PRODUCT ". Questo programma rimuoverà " INSTALLER_PRODUCT " dal computer.")},
    {141, ANSI("Sì, disinstalla ora.")},
    {149, ANSI("Fare clic su \"Avanti\" per avviare la disinstallazione.")},
    {150, ANSI("Disinstallazione di " INSTALLER_PRODUCT " in corso.")},
    {151, ANSI("Attendere qualche istante...")},
    {160, ANSI("La disinstallazione di " INSTALLER_PRODUCT " è stata completata.")},
    {161, ANSI("Grazie per aver provato " INSTALLER_PRODUCT ".")},
    {162, ANSI("Per completare la disinstallazione è necessario riavviare il computer.")},
    {170, ANSI("ANNULLATO: Ma cosa stai facendo?!")},
    {180, ANSI("ANNULLATO: hai interrotto l'installazione :-P")},
    {181, ANSI("Impossibile aprire")},
    {182, ANSI("Impossibile leggere")},
    {183, ANSI("Impossibile leggere l'elenco dei file")},
    {184, ANSI("Nome di file non sicuro nell'archivio")},
    {185, ANSI("Percorso troppo lungo")},
    {186, ANSI("Impossibile preparare la cartella di installazione")},
    {187, ANSI("Disco pieno, impossibile scrivere")},
    {188, ANSI("Impossibile scrivere")},
    {189, ANSI("Impossibile creare")},
    {190, ANSI("Durante l'installazione si è verificato il seguente errore:")},
    {191, ANSI("Impossibile scrivere la chiave di registro: HKEY_LOCAL_MACHINE\\%s")},
    {192, ANSI("%s: %s")},
    {196, ANSI("File danneggiato sul disco")},
    {310, ANSI(INSTALLER_PRODUCT " – disco 1")},
    {311, ANSI(INSTALLER_PRODUCT " – disco 2")},
    {408, ANSI("Disinstalla " INSTALLER_PRODUCT)},
    {410, ANSI("Gioca a " INSTALLER_PRODUCT " online con GameSpy Arcade")},
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
  buttons[0] = INST_GetText(12);
  buttons[1] = INST_GetText(16);
  buttons[2] = INST_GetText(17);
  buttons[3] = INST_GetText(15);
  return buttons;
}

const char *INST_WebSiteHost() {
  return INSTALLER_WEB_HOST;
}
