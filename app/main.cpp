// Velkora: a value editor for the game's vehicles.bin, predmety.def and scene2.bin.
//
// Usage: velkora [file ...]   Each file named on the command line is opened as if chosen
// with File > Open.
#include "app/Html.h"
#include "app/MainForm.h"
#include "app/Progress.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

int main(int argc, char** argv)
{
  QApplication app(argc, argv);
  QApplication::setApplicationName("Velkora");

  MainForm = new TMainForm;
  ProgressForm = new TProgressForm(MainForm);
  HtmlForm = new THtmlForm(MainForm);
  SetProgress(ProgressForm);
  MainForm->show();

  // Files named on the command line open as if chosen with File > Open, by their full path.
  const QStringList arguments = QApplication::arguments().mid(1);
  for (const QString& argument : arguments) {
    const QString path = QDir::toNativeSeparators(QFileInfo(argument).absoluteFilePath());
    if (!MainForm->ActivateIfOpen(path))
      MainForm->OpenFile(path);
  }

  const int result = app.exec();
  SetProgress(nullptr);
  delete MainForm;  // also deletes ProgressForm and HtmlForm
  ProgressForm = nullptr;
  HtmlForm = nullptr;
  MainForm = nullptr;
  return result;
}
