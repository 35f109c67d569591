// What the recent-file store shares with the rest of the application object.
#pragma once

// Private to the window layer.

#include "core/String.h"

#include <QSettings>
#include <QString>

class CWinApp;

// The commands of the recent files' menu entries, by the framework's standard numbers.
inline constexpr UINT kFileMru1 = 0xE110; // first recent file; the list can hold 16
inline constexpr UINT kMaxMru = 16;

// Per user, per application (app's name, or the default one): the window
// system's standard settings file, which holds the recent-file list and the
// main window's place.
QSettings ProfileSettings(const CWinApp* app);
