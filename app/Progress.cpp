#include "app/Progress.h"

#include "app/MainForm.h"
#include "ui_ProgressForm.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QWindow>
#include <QKeyEvent>

TProgressForm* ProgressForm = nullptr;

const char* const TProgressForm::Patterns[3] = {
    "*",
    "-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-+-",
    "***********************************",
};

TProgressForm::TProgressForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      ui_(new Ui::ProgressForm)
{
  ui_->setupUi(this);
  Label = ui_->Label;
  DisplayLabel = ui_->DisplayLabel;
  setFixedSize(180, 38);
}

TProgressForm::~TProgressForm() { delete ui_; }

void TProgressForm::Show()
{
  if (MainForm) {
    QRect area = frameGeometry();
    area.moveCenter(MainForm->frameGeometry().center());
    move(area.topLeft());
  }
  lastRepaint_.invalidate();
  show();
  // A new window paints only once the window system has exposed it, and the caller's
  // long work processes no events. Let the exposure arrive first (briefly, user input
  // stays queued) so the synchronous repaints of SetStatus reach the screen.
  QElapsedTimer waited;
  waited.start();
  do
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
  while (!(windowHandle() && windowHandle()->isExposed()) && waited.elapsed() < 200);
}

void TProgressForm::SetCaption(const std::string& caption) { setWindowTitle(QString::fromLatin1(caption)); }

void TProgressForm::SetStatus(const std::string& status)
{
  DisplayLabel->setText(QString::fromLatin1(Patterns[Phase]));
  Phase = (Phase + 1) % 3;
  Label->setText(QString::fromLatin1(status));
  // Painting every update would dominate loads of many records: repaint on the first
  // update after Show, then at most about 30 times a second.
  if (!lastRepaint_.isValid() || lastRepaint_.elapsed() >= RepaintInterval) {
    repaint();
    lastRepaint_.start();
  }
}

void TProgressForm::Hide() { hide(); }

void TProgressForm::RepaintMain()
{
  if (MainForm)
    MainForm->repaint();
}

void TProgressForm::keyPressEvent(QKeyEvent* event)
{
  // Escape would close a dialog; the pop-up is closed only by its caller.
  if (event->key() == Qt::Key_Escape)
    event->ignore();
  else
    QDialog::keyPressEvent(event);
}

void TProgressForm::closeEvent(QCloseEvent* event) { event->ignore(); }
