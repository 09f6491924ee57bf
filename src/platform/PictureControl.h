// A child control that shows a picture stretched over its whole client area, with a hand
// cursor, and tells its parent of a click as a notifying static control does.
#pragma once

#include <windows.h>

#include "platform/Picture.h"

inline constexpr char PictureControlClassName[] = "HalvexPicture";

// Registers the class for this module; true also when it is registered already.
bool RegisterPictureControlClass(HINSTANCE instance);

// The control takes the picture over and repaints; an empty one shows the button face.
// Does nothing for a window of another class.
void SetControlPicture(HWND control, TPicture picture);
// The control's picture, or nullptr for a window of another class. Valid until the next
// SetControlPicture or the control's destruction.
const TPicture* ControlPicture(HWND control);
