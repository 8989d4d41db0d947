#pragma once
#include <QSettings>

#include <functional>
#include <memory>

// The per-user settings store: the registry key HKEY_CURRENT_USER\SOFTWARE\Velkora on
// Windows, elsewhere an INI file in a per-user folder named Velkora. Tests install their
// own factory so they never touch the user's settings.
using TSettingsFactory = std::function<std::unique_ptr<QSettings>()>;

// Opens the store, positioned at its root key.
std::unique_ptr<QSettings> OpenSettings();
// Installs `factory` (an empty one restores the user's store).
void SetSettingsFactory(TSettingsFactory factory);
