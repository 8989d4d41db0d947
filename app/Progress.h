#pragma once
#include "binfile/Progress.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;

namespace Ui {
class ProgressForm;
}

// The progress pop-up shown during long operations: the phase in its title bar, the item
// at hand in `Label`, and a three-step pattern in `DisplayLabel` that changes on every
// update. Stays on top, cannot be closed by the user, and is centred on the main window.
class TProgressForm : public QDialog, public TProgress {
  Q_OBJECT
public:
  // The three animation patterns, in the order they appear.
  static const char* const Patterns[3];
  // Shortest time between two synchronous repaints of SetStatus, in milliseconds.
  static constexpr qint64 RepaintInterval = 33;

  explicit TProgressForm(QWidget* parent = nullptr);
  ~TProgressForm() override;

  void Show() override;
  void SetCaption(const std::string& caption) override;
  void SetStatus(const std::string& status) override;
  void Hide() override;
  void RepaintMain() override;

  QLabel* Label;
  QLabel* DisplayLabel;
  int Phase = 0;  // animation step; never reset, so the cycle runs on across uses

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  Ui::ProgressForm* ui_;
  QElapsedTimer lastRepaint_;  // invalid until the first repaint after each Show
};

extern TProgressForm* ProgressForm;
