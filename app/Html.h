#pragma once
#include <QDialog>

class QTextBrowser;

namespace Ui {
class HtmlForm;
}

// A resizable tool window that shows one page of HTML under a caption; the About box.
class THtmlForm : public QDialog {
  Q_OBJECT
public:
  explicit THtmlForm(QWidget* parent = nullptr);
  ~THtmlForm() override;

  // Sets the caption and shows `html` in HTMLView with every "$VERSION_NUMBER$" replaced
  // by the main window's version text. Does not show the window.
  void SetHtml(const QString& caption, const QString& html);
  // Shows the window modally, centred on the main window; returns when it is closed.
  virtual int ShowModal();

  QTextBrowser* HTMLView;

private:
  Ui::HtmlForm* ui_;
};

extern THtmlForm* HtmlForm;
