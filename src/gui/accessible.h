// The window's accessible object for screen readers (accessible_win32.cpp):
// an IAccessible whose children are the widgets GUI_DescribeTree finds, by
// child number 1, 2, ... in that order.
#pragma once

#include <cstdint>

class c_GUIB_Desktop;

// The answer to WM_GETOBJECT for the window's client area: a new accessible
// object handed over with LresultFromObject (0 when it cannot be made).
intptr_t GUI_AccessibleAnswer(c_GUIB_Desktop *desktop, uintptr_t window, uintptr_t wparam);
// The desktop is going away: every object handed out for it answers
// "not connected" from now on.
void GUI_AccessibleDetach(c_GUIB_Desktop *desktop);
