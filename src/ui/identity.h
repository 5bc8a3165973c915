// How the program names itself to Qt, the settings store and the window manager.
#pragma once

/// Sets the organisation that roots the settings store, the version, the display name
/// that window titles carry, and the desktop entry the windows belong to. The application
/// name stays Qt's default, the executable's base name: the settings are kept per program
/// name, so a copy under another name starts afresh.
void nameApplication();

class QIcon;

/// The program's icon, read once and shared by every window that shows it.
const QIcon &programIcon();
