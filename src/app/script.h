// Scripted sessions: the program driven by a list of input commands through
// the desktop's input path, as the native driver (`setup --script`) and the
// scenario tests use it.
//
// One command a line; blank lines and lines starting with # are skipped:
//   move X Y | down X Y | up X Y | click X Y   mouse, desktop pixels
//   key CODE                                    a virtual key pressed and released
//   wait MS                                     run the program for MS ms of real time
//   page N MS                                   run until page N is shown; fail after MS ms
//   shot NAME                                   write FRAMES/NAME.png of the current frame
// Every command is followed by one pass of the main loop. When the program
// ends by itself (Quit, Play, the window closed) the rest is skipped.
#pragma once

#include <string>

struct AppScript {
  std::string text;    // the script
  std::string frames;  // folder of the shots ("" = shots fail)
  std::string error;   // set when a line failed: "line N: <line>: <why>"
};

// An AppLoopFn (app.h): data is an AppScript. 0 when the script ran to its
// end or the program ended first, 1 when a line failed.
int AppRunScript(void *data);
