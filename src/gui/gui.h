// The GUI framework: a self-drawn widget toolkit.
//
//   context.h      GuiContext (theme properties, widget and image registries),
//                  GuiStartup / GuiShutdown
//   widget.h       c_GUIB_Widget: hierarchy, messages, routing, handlers
//   desktop.h      c_GUIB_Desktop: the root, window, update list, pump, input
//   widgets.h      panel, button, check box, label, progress bar
//   message_box.h  message box and title bar
//
// Every widget paints into its own bitmap; the desktop composes the dirty
// rectangles into its frame bitmap and presents only those. Everything runs
// on the GUI thread; the sanitizer build checks it (GUI_CheckThread).
#pragma once

#include "gui/context.h"
#include "gui/desktop.h"
#include "gui/message_box.h"
#include "gui/widget.h"
#include "gui/widgets.h"
