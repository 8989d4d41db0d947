#include "ui/Dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// Platform message boxes, titled with the application's name and parented to the active window.
class TPlatformDialogs : public TDialogs {
public:
  void ShowMessage(const QString& text) override
  {
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(), text, QMessageBox::Ok);
  }
  bool Confirm(const QString& text) override
  {
    return QMessageBox::question(QApplication::activeWindow(), QApplication::applicationName(), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
  }
};

TPlatformDialogs platformDialogs;
TDialogs* currentDialogs = &platformDialogs;

}  // namespace

TDialogs& Dialogs() { return *currentDialogs; }

void SetDialogs(TDialogs* dialogs) { currentDialogs = dialogs ? dialogs : &platformDialogs; }
