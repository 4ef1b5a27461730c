#pragma once

#include <QSettings>

#include <memory>

// The per-user profile: an INI file under $XDG_CONFIG_HOME.
std::unique_ptr<QSettings> OpenProfile();

// Folder of the running executable, ending in "/".
QString ProgramFolder();
