#pragma once
#include "app/MainForm.h"
#include "app/Settings.h"

#include <QSettings>
#include <QTemporaryDir>

#include <memory>

// A settings store of its own for one test (an INI file in a scratch folder), installed
// for its lifetime so no test reaches the user's settings.
class TTestStore {
public:
  TTestStore()
  {
    const QString file = dir_.filePath("Velkora.ini");
    SetSettingsFactory([file] { return std::make_unique<QSettings>(file, QSettings::IniFormat); });
  }
  ~TTestStore() { SetSettingsFactory({}); }
  std::unique_ptr<QSettings> Open() const { return OpenSettings(); }

private:
  QTemporaryDir dir_;
};

// The main window with the open dialog replaced: FileOpenExecute takes NextPath
// (empty means the user cancelled). Installed as the global MainForm for its lifetime.
class TTestMainForm : public TMainForm {
public:
  TTestMainForm() { MainForm = this; }
  ~TTestMainForm() override { MainForm = nullptr; }
  QString NextPath;
  int DialogRuns = 0;

protected:
  QString ChooseOpenPath() override
  {
    ++DialogRuns;
    return NextPath;
  }
};

int RunRecentFilesTests(int argc, char** argv);
int RunMainFormTests(int argc, char** argv);
int RunProgressTests(int argc, char** argv);
int RunAboutTests(int argc, char** argv);
