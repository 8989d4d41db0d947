#include "app/Html.h"

#include "app/MainForm.h"
#include "ui_HtmlForm.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTextBrowser>

THtmlForm* HtmlForm = nullptr;

namespace {

// The colour of attribute `name` of a body tag, or `fallback` when it has none.
QColor BodyColor(const QString& body, const char* name, const QColor& fallback)
{
  const QRegularExpression attribute(QStringLiteral("\\b%1\\s*=\\s*\"?(#[0-9A-Fa-f]{6})").arg(QLatin1String(name)),
                                     QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = attribute.match(body);
  return match.hasMatch() ? QColor(match.captured(1)) : fallback;
}

}  // namespace

THtmlForm::THtmlForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), ui_(new Ui::HtmlForm)
{
  ui_->setupUi(this);
  HTMLView = ui_->HTMLView;
  // The view's own background is black, like the pages it shows.
  QPalette palette = HTMLView->palette();
  palette.setColor(QPalette::Base, Qt::black);
  HTMLView->setPalette(palette);
}

THtmlForm::~THtmlForm() { delete ui_; }

void THtmlForm::SetHtml(const QString& caption, const QString& html)
{
  setWindowTitle(caption);
  QString page = html;
  page.replace(QStringLiteral("$VERSION_NUMBER$"), MainForm ? MainForm->VersionText : QString(), Qt::CaseSensitive);
  // The document takes the background from the body tag; the text and link colours of
  // the tag become the view's colours.
  static const QRegularExpression bodyTag(QStringLiteral("<body\\b[^>]*>"), QRegularExpression::CaseInsensitiveOption);
  const QString body = bodyTag.match(page).captured(0);
  QPalette palette = HTMLView->palette();
  palette.setColor(QPalette::Text, BodyColor(body, "text", Qt::white));
  HTMLView->setPalette(palette);
  const QColor link = BodyColor(body, "link", QApplication::palette().color(QPalette::Link));
  HTMLView->document()->setDefaultStyleSheet(QStringLiteral("a { color: %1; }").arg(link.name()));
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
