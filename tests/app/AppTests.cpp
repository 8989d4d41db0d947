// The application shell's tests: the recent-files list, the main window, the progress
// pop-up and the About box, run as one executable.
#include "tests/app/AppFixture.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velkora");
  // Nothing below may reach the user's own settings or folders, even by the default store.
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir fallback;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, fallback.path());

  int failures = 0;
  failures += RunRecentFilesTests(argc, argv);
  failures += RunMainFormTests(argc, argv);
  failures += RunProgressTests(argc, argv);
  failures += RunAboutTests(argc, argv);
  return failures;
}
