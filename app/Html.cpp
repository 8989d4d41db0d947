#include "app/Html.h"

#include "app/MainForm.h"
#include "ui_HtmlForm.h"

#include <QTextBrowser>

THtmlForm* HtmlForm = nullptr;

THtmlForm::THtmlForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), ui_(new Ui::HtmlForm)
{
  ui_->setupUi(this);
  HTMLView = ui_->HTMLView;
  // The view's own background is black, like the pages it shows.
  QPalette palette = HTMLView->palette();
  palette.setColor(QPalette::Base, Qt::black);
  palette.setColor(QPalette::Text, Qt::white);
  HTMLView->setPalette(palette);
}

THtmlForm::~THtmlForm() { delete ui_; }

void THtmlForm::SetHtml(const QString& caption, const QString& html)
{
  setWindowTitle(caption);
  QString page = html;
  page.replace(QStringLiteral("$VERSION_NUMBER$"), MainForm ? MainForm->VersionText : QString(), Qt::CaseSensitive);
  HTMLView->setHtml(page);
}

int THtmlForm::ShowModal()
{
  if (MainForm) {
    QRect area = frameGeometry();
    area.moveCenter(MainForm->frameGeometry().center());
    move(area.topLeft());
  }
  return exec();
}
