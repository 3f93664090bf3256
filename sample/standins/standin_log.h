// What the sample disc's stand-in programs share: on start each appends one
// line to the log file C:\standins.log (created when missing):
//
//   NAME started in FOLDER<CR><LF>
//   NAME parent ID COMMAND_LINE<CR><LF>
//
// NAME is the program's own file name (as it was started, e.g. GameSpy.exe),
// FOLDER its working folder, ID and COMMAND_LINE those of the process that
// started it (the command line is empty when it cannot be read, as when
// that process has ended already). Tests read the file from outside (under Wine:
// $WINEPREFIX/drive_c/standins.log) to see which programs ran, and where.
#pragma once

// Appends the lines; false when the file cannot be opened or written.
bool StandinLogStart();
