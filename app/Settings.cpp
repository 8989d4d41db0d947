#include "app/Settings.h"

namespace {

std::unique_ptr<QSettings> UserSettings()
{
#ifdef _WIN32
  return std::make_unique<QSettings>("HKEY_CURRENT_USER\\SOFTWARE\\Velkora", QSettings::NativeFormat);
#else
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Velkora", "Velkora");
#endif
}

TSettingsFactory& Factory()
{
  static TSettingsFactory factory;
  return factory;
}

}  // namespace

std::unique_ptr<QSettings> OpenSettings()
{
  return Factory() ? Factory()() : UserSettings();
}

void SetSettingsFactory(TSettingsFactory factory) { Factory() = std::move(factory); }
