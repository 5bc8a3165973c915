// Bringing the running program's window forward when another start, the desktop or a
// launcher asks for it. Desktops refuse the focus to a window that asks on its own; the
// request's activation is what lets it through.
#pragma once

#include "desktop/handover.h"

class QWidget;

/// Puts `window`, and a box it shows, in front of the user, with `activation` passed on to
/// the window system: the Wayland token, or the X11 startup id's time of the user's action.
void comeForward(QWidget &window, const Activation &activation);
