#include "app/MainForm.h"

#include "app/Html.h"
#include "app/Images.h"
#include "app/Settings.h"
#include "scene/Scene2.h"
#include "ui/Dialogs.h"
#include "ui/EditorFrame.h"
#include "ui/ErrorReport.h"
#include "ui_MainForm.h"
#include "vehicles/Vehicles.h"
#include "weapons/Weapons.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

TMainForm* MainForm = nullptr;

const char* const TMainForm::AboutHtml =
    "<html><body link=\"#FFFFCC\" text=\"#FFFFFF\" bgcolor=\"#000000\">"
    "<p>&nbsp;</p>"
    "<p align=\"center\"><b>Velkora (Game Value Editor)</b></p>"
    "<p align=\"center\"><b>Version $VERSION_NUMBER$</b></p>"
    "<p align=\"center\">Written By: <a href=\"mailto:team@velkora.example.org\">The Velkora Team</a></p>"
    "<p align=\"center\">Special Thanks To:</p>"
    "<p align=\"center\">The People at <a href=\"https://www.qt.io\">The Qt Project</a></p>"
    "</body></html>";

namespace {

const char* const ScenePrefix = "Scene2 Editor - ";
const char* const WeaponsPrefix = "Weapons Editor - ";
const char* const VehiclesPrefix = "Vehicles Editor - ";

// The editor of a child, or null for a child that is no editor window.
TEditorWin* EditorOf(QMdiSubWindow* child) { return child ? qobject_cast<TEditorWin*>(child->widget()) : nullptr; }

// The first letter of an editor's caption, its kind; 0 for none.
QChar KindLetter(const TEditorWin* editor)
{
  if (!editor)
    return QChar();
  const QString caption = editor->Caption();
  return caption.isEmpty() ? QChar() : caption.at(0);
}

// Splits an action's "short|long" hint: the short text is the tool tip, the long one the
// status bar text. A hint without a bar serves as both.
void SetHint(QAction* action, const QString& hint)
{
  const int bar = hint.indexOf('|');
  action->setToolTip(bar < 0 ? hint : hint.left(bar));
  action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

}  // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent), ui_(new Ui::MainForm)
{
  ui_->setupUi(this);
  MdiArea = ui_->MdiArea;
  MainMenu = ui_->MainMenu;
  ToolBar = ui_->ToolBar;
  StatusBar = ui_->StatusBar;
  MenuFile = ui_->MenuFile;
  MenuEdit = ui_->MenuEdit;
  MenuWindow = ui_->MenuWindow;
  MenuHelp = ui_->MenuHelp;
  MenuItemRecent = ui_->MenuItemRecent;
  MenuItemOnTheWeb = ui_->MenuItemOnTheWeb;
  FileOpen1 = ui_->FileOpen1;
  FileSaveAction = ui_->FileSaveAction;
  FileClose1 = ui_->FileClose1;
  FileExit1 = ui_->FileExit1;
  EditCut1 = ui_->EditCut1;
  EditCopy1 = ui_->EditCopy1;
  EditPaste1 = ui_->EditPaste1;
  WindowCascade1 = ui_->WindowCascade1;
  WindowTileHorizontal1 = ui_->WindowTileHorizontal1;
  WindowTileVertical1 = ui_->WindowTileVertical1;
  WindowArrangeAll1 = ui_->WindowArrangeAll1;
  WindowMinimizeAll1 = ui_->WindowMinimizeAll1;
  HelpAboutAction = ui_->HelpAboutAction;
  VisitWebSiteAction = ui_->VisitWebSiteAction;
  VisitForumsAction = ui_->VisitForumsAction;
  SetupActions();

  VersionText.clear();
  FormCreate();
}

TMainForm::~TMainForm()
{
  // Destroying the window's widgets moves the focus and activates other MDI children;
  // nothing of that may reach this half-destroyed window.
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(QApplication::clipboard(), nullptr, this, nullptr);
  disconnect(MdiArea, nullptr, this, nullptr);
  for (const auto& c : focusWatch_)
    disconnect(c);
  focusWatch_.clear();
  delete ui_;
}

void TMainForm::SetupActions()
{
  SetHint(FileOpen1, "Open|Open a file");
  SetHint(FileSaveAction, "Save|Save current file");
  SetHint(FileClose1, "Close|Close current file");
  SetHint(FileExit1, "Exit|Exit application");
  SetHint(EditCut1, "Cut|Cuts the selection and puts it on the Clipboard");
  SetHint(EditCopy1, "Copy|Copies the selection and puts it on the Clipboard");
  SetHint(EditPaste1, "Paste|Inserts Clipboard contents");
  SetHint(WindowCascade1, "Cascade");
  SetHint(WindowTileHorizontal1, "Tile Horizontally");
  SetHint(WindowTileVertical1, "Tile Vertically");
  SetHint(WindowArrangeAll1, "Arrange All");
  SetHint(WindowMinimizeAll1, "Minimize All");
  SetHint(HelpAboutAction, "About|Displays program information, version number, and copyright");
  VisitWebSiteAction->setText(QStringLiteral("Website - ") + QStringLiteral(VELKORA_WEBSITE_NAME));

  const struct {
    QAction* action;
    int image;
  } images[] = {{FileOpen1, 7},  {FileSaveAction, 8},        {EditCut1, 0},
                {EditCopy1, 1},  {EditPaste1, 2},            {WindowCascade1, 17},
                {WindowTileHorizontal1, 15}, {WindowTileVertical1, 16}};
  for (const auto& i : images)
    i.action->setIcon(ImageListIcon(i.image));

  // Open shows its image and caption; the other tool bar buttons show their images only.
  OpenButton = qobject_cast<QToolButton*>(ToolBar->widgetForAction(FileOpen1));
  OpenButton->setObjectName("OpenButton");
  OpenButton->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  OpenButton->setFixedSize(75, 24);
  OpenButton->setAutoRaise(true);
  for (QAction* a : {EditCut1, EditCopy1, EditPaste1})
    if (QWidget* button = ToolBar->widgetForAction(a))
      button->setFixedSize(24, 24);
  for (QWidget* button : ToolBar->findChildren<QToolButton*>())
    button->setFocusPolicy(Qt::NoFocus);  // clicking a button leaves the focused editor focused
  ToolBar->setFixedHeight(32);
  StatusBar->setFixedHeight(19);

  connect(FileOpen1, &QAction::triggered, this, [this] { FileOpenExecute(); });
  connect(FileSaveAction, &QAction::triggered, this, [this] { FileSaveActionExecute(); });
  connect(FileClose1, &QAction::triggered, MdiArea, &QMdiArea::closeActiveSubWindow);
  connect(FileExit1, &QAction::triggered, this, [this] { FileExit1Execute(); });
  connect(EditCut1, &QAction::triggered, this, [this] { EditCommand(0); });
  connect(EditCopy1, &QAction::triggered, this, [this] { EditCommand(1); });
  connect(EditPaste1, &QAction::triggered, this, [this] { EditCommand(2); });
  connect(WindowCascade1, &QAction::triggered, MdiArea, &QMdiArea::cascadeSubWindows);
  connect(WindowTileHorizontal1, &QAction::triggered, this, [this] { TileHorizontally(); });
  connect(WindowTileVertical1, &QAction::triggered, this, [this] { TileVertically(); });
  connect(WindowArrangeAll1, &QAction::triggered, this, [this] { ArrangeIcons(); });
  connect(WindowMinimizeAll1, &QAction::triggered, this, [this] { MinimizeAll(); });
  connect(HelpAboutAction, &QAction::triggered, this, [this] { Guarded([this] { HelpAboutActionExecute(); }); });
  connect(VisitWebSiteAction, &QAction::triggered, this, [this] { VisitWebSiteActionExecute(); });
  connect(VisitForumsAction, &QAction::triggered, this, [this] { VisitForumsActionExecute(); });

  connect(MenuFile, &QMenu::aboutToShow, this, [this] {
    FileMenuClick();
    UpdateWindowActions();
  });
  connect(MenuEdit, &QMenu::aboutToShow, this, [this] { UpdateEditActions(); });
  connect(MenuWindow, &QMenu::aboutToShow, this, [this] { UpdateWindowActions(); });
  connect(MdiArea, &QMdiArea::subWindowActivated, this, [this] { UpdateWindowActions(); });

  // The recent-files entries: fixed actions whose captions follow the list.
  for (int i = 0; i < TRecentFiles::MaxEntries; ++i) {
    QAction* entry = MenuItemRecent->addAction(QString());
    entry->setVisible(false);
    connect(entry, &QAction::triggered, this, [this, i] {
      const QString path = MRU.Items().value(i);
      if (!path.isEmpty())
        MRUClick(path);
    });
    recentActions_.append(entry);
  }

  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { WatchFocus(now); });
  connect(QApplication::clipboard(), &QClipboard::dataChanged, this, [this] { UpdateEditActions(); });
  UpdateEditActions();
  UpdateWindowActions();
}

// ---- start and end

void TMainForm::FormCreate()
{
  VersionInfo.ReadInfo(QCoreApplication::applicationFilePath().toStdString());
  VersionText = QString::fromStdString(VersionInfo.GetValue(2));

  std::unique_ptr<QSettings> reg = OpenSettings();
  // A missing or unreadable value takes its default.
  const auto read = [&reg](const char* name, int fallback) {
    bool ok = false;
    const int value = reg->value(name).toInt(&ok);
    return ok ? value : fallback;
  };
  WindowLeft = read("WindowLeft", 200);
  WindowTop = read("WindowTop", 115);
  WindowHeight = read("WindowHeight", 300);
  WindowWidth = read("WindowWidth", 390);
  MRU.Load(*reg);
  UpdateRecentMenu();

  move(WindowLeft, WindowTop);
  resize(WindowWidth, WindowHeight);
}

void TMainForm::FormClose()
{
  // Left and top are the window's outer position; the size is the window without the
  // system frame, which is known before the window is shown, so a run restores exactly
  // what the previous one left.
  WindowLeft = pos().x();
  WindowTop = pos().y();
  WindowWidth = width();
  WindowHeight = height();
  std::unique_ptr<QSettings> reg = OpenSettings();
  reg->setValue("WindowLeft", WindowLeft);
  reg->setValue("WindowTop", WindowTop);
  reg->setValue("WindowWidth", WindowWidth);
  reg->setValue("WindowHeight", WindowHeight);
  MRU.Save(*reg);
  reg->sync();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
  // Unsaved changes in editor windows are discarded without a question.
  FormClose();
  event->accept();
}

void TMainForm::FileExit1Execute() { close(); }

// ---- opening files

QString TMainForm::ChooseOpenPath()
{
  const QString filters = QStringLiteral(
      "Scene2, Vehicles, Weapons File (scene2.bin vehicles.bin predmety.def);;"
      "Scene2 File (scene2.bin);;"
      "Vehicles File (vehicles.bin);;"
      "Weapons File (predmety.def);;"
      // The last bracket holds the pattern; "*" matches files without an extension too.
      "All files (*.*) (*)");
  QString selected = filters.section(";;", 0, 0);
  // Paths are kept in the system's own spelling, so captions and the recent-files list
  // show C:\Game\vehicles.bin on Windows.
  return QDir::toNativeSeparators(QFileDialog::getOpenFileName(
      this, "Open Scene, Vehicle, Weapon File", QString(), filters, &selected, QFileDialog::HideNameFilterDetails));
}

void TMainForm::FileOpenExecute()
{
  const QString path = ChooseOpenPath();
  if (path.isEmpty())
    return;
  if (ActivateIfOpen(path))
    return;
  OpenFile(path);
}

void TMainForm::MRUClick(const QString& path)
{
  // The entry stays in the list whatever happens.
  if (!ActivateIfOpen(path))
    OpenFile(path);
}

bool TMainForm::ActivateIfOpen(const QString& path)
{
  const std::string wanted = path.toStdString();
  const QList<QMdiSubWindow*> children = MdiArea->subWindowList();
  bool found = false;
  for (int i = children.size() - 1; i >= 0; --i) {
    TEditorWin* editor = EditorOf(children[i]);
    const QChar kind = KindLetter(editor);
    if (kind != 'V' && kind != 'W' && kind != 'S')
      continue;
    if (editor->FileName == wanted) {
      MdiArea->setActiveSubWindow(children[i]);
      children[i]->raise();
      found = true;
    }
  }
  return found;
}

int TMainForm::DetectFileKind(const QString& path)
{
  if (ProbeFile.Open(path.toStdString()) == -1)
    return KindUnknown;
  const int32_t first = ProbeFile.ReadInt(0, 0);
  const uint8_t letter = ProbeFile.ReadByte(0, 0);
  const int32_t size = ProbeFile.Size;
  ProbeFile.Close();
  if (size < 4)
    return KindUnknown;
  if (first == 1)
    return KindVehicles;
  if (letter == 'P')
    return KindWeapons;
  if (letter == 'S')
    return KindScene;
  return KindUnknown;
}

void TMainForm::OpenFile(const QString& path)
{
  const int kind = DetectFileKind(path);
  if (kind == KindUnknown) {
    ShowMessage("Unknown File Type");
    return;
  }
  if (MRU.Add(path))
    UpdateRecentMenu();
  switch (kind) {
  case KindScene:
    CreateSceneEditor(path);
    break;
  case KindWeapons:
    CreateWeaponsEditor(path);
    break;
  case KindVehicles:
    CreateVehiclesEditor(path);
    break;
  }
}

template <class T>
void TMainForm::CreateEditor(const QString& prefix, const QString& path)
{
  T* editor = new T(nullptr);
  editor->SetCaption(prefix + path);
  QMdiSubWindow* child = MdiArea->addSubWindow(editor);
  child->show();
  UpdateWindowActions();
  Guarded([&] { editor->LoadFile(path.toStdString()); });
}

void TMainForm::CreateSceneEditor(const QString& path) { CreateEditor<TScene2Win>(ScenePrefix, path); }
void TMainForm::CreateWeaponsEditor(const QString& path) { CreateEditor<TWeaponsWin>(WeaponsPrefix, path); }
void TMainForm::CreateVehiclesEditor(const QString& path) { CreateEditor<TVehiclesWin>(VehiclesPrefix, path); }

// ---- the active editor

TEditorWin* TMainForm::ActiveEditor() const { return EditorOf(MdiArea->currentSubWindow()); }

QList<TEditorWin*> TMainForm::EditorWindows() const
{
  QList<TEditorWin*> editors;
  for (QMdiSubWindow* child : MdiArea->subWindowList())
    if (TEditorWin* editor = EditorOf(child))
      editors.append(editor);
  return editors;
}

void TMainForm::FileSaveActionExecute()
{
  TEditorWin* editor = ActiveEditor();
  const QChar kind = KindLetter(editor);
  // Each kind saves through its own window class; a caption that does not match its
  // window's class saves nothing.
  Guarded([&] {
    if (kind == 'V') {
      if (auto* w = qobject_cast<TVehiclesWin*>(editor))
        w->SaveFile();
    } else if (kind == 'W') {
      if (auto* w = qobject_cast<TWeaponsWin*>(editor))
        w->SaveFile();
    } else if (kind == 'S') {
      if (auto* w = qobject_cast<TScene2Win*>(editor))
        w->SaveFile();
    }
  });
}

void TMainForm::FileMenuClick()
{
  // The only place that sets Save's state: it follows the active window as it was the
  // last time the File menu opened.
  TEditorWin* editor = ActiveEditor();
  const QChar kind = KindLetter(editor);
  if (!editor)
    FileSaveAction->setEnabled(false);
  else if (kind == 'V' || kind == 'W' || kind == 'S')
    FileSaveAction->setEnabled(editor->Modified);
}

// ---- recent files

void TMainForm::UpdateRecentMenu()
{
  for (int i = 0; i < recentActions_.size(); ++i) {
    QAction* entry = recentActions_[i];
    const bool used = i < MRU.Items().size();
    entry->setText(used ? MRU.Caption(i) : QString());
    entry->setStatusTip(used ? MRU.Items()[i] : QString());
    entry->setVisible(used);
  }
  MenuItemRecent->setEnabled(!MRU.IsEmpty());
  MenuItemRecent->menuAction()->setEnabled(!MRU.IsEmpty());
}

// ---- Edit commands on the focused text editor

namespace {

struct TTextTarget {
  QLineEdit* line = nullptr;
  QPlainTextEdit* plain = nullptr;
  QTextEdit* rich = nullptr;
  bool Exists() const { return line || plain || rich; }
  bool HasSelection() const
  {
    if (line)
      return line->hasSelectedText() && line->echoMode() == QLineEdit::Normal;
    if (plain)
      return plain->textCursor().hasSelection();
    return rich && rich->textCursor().hasSelection();
  }
  bool ReadOnly() const
  {
    if (line)
      return line->isReadOnly();
    if (plain)
      return plain->isReadOnly();
    return !rich || rich->isReadOnly();
  }
};

TTextTarget FocusedText(QWidget* w)
{
  TTextTarget t;
  t.line = qobject_cast<QLineEdit*>(w);
  t.plain = qobject_cast<QPlainTextEdit*>(w);
  t.rich = qobject_cast<QTextEdit*>(w);
  return t;
}

bool ClipboardHasText()
{
  const QMimeData* data = QApplication::clipboard()->mimeData();
  return data && data->hasText() && !data->text().isEmpty();
}

}  // namespace

void TMainForm::WatchFocus(QWidget* now)
{
  for (const auto& c : focusWatch_)
    disconnect(c);
  focusWatch_.clear();
  const TTextTarget t = FocusedText(now);
  const auto update = [this] { UpdateEditActions(); };
  if (t.line) {
    focusWatch_ << connect(t.line, &QLineEdit::selectionChanged, this, update);
    focusWatch_ << connect(t.line, &QLineEdit::textChanged, this, update);
  } else if (t.plain) {
    focusWatch_ << connect(t.plain, &QPlainTextEdit::selectionChanged, this, update);
  } else if (t.rich) {
    focusWatch_ << connect(t.rich, &QTextEdit::selectionChanged, this, update);
  }
  UpdateEditActions();
}

void TMainForm::UpdateEditActions()
{
  const TTextTarget t = FocusedText(QApplication::focusWidget());
  EditCut1->setEnabled(t.Exists() && t.HasSelection() && !t.ReadOnly());
  EditCopy1->setEnabled(t.Exists() && t.HasSelection());
  EditPaste1->setEnabled(t.Exists() && !t.ReadOnly() && ClipboardHasText());
}

void TMainForm::EditCommand(int which)
{
  const TTextTarget t = FocusedText(QApplication::focusWidget());
  if (t.line) {
    which == 0 ? t.line->cut() : which == 1 ? t.line->copy() : t.line->paste();
  } else if (t.plain) {
    which == 0 ? t.plain->cut() : which == 1 ? t.plain->copy() : t.plain->paste();
  } else if (t.rich) {
    which == 0 ? t.rich->cut() : which == 1 ? t.rich->copy() : t.rich->paste();
  }
  UpdateEditActions();
}

// ---- Window commands

void TMainForm::UpdateWindowActions()
{
  const bool any = !MdiArea->subWindowList().isEmpty();
  for (QAction* a : {WindowCascade1, WindowTileHorizontal1, WindowTileVertical1, WindowArrangeAll1, WindowMinimizeAll1})
    a->setEnabled(any);
  FileClose1->setEnabled(MdiArea->currentSubWindow() != nullptr);
}

QList<QMdiSubWindow*> TMainForm::TileableWindows() const
{
  QList<QMdiSubWindow*> windows;
  for (QMdiSubWindow* child : MdiArea->subWindowList())
    if (child->isVisible() && !child->isMinimized())
      windows.append(child);
  return windows;
}

void TMainForm::TileHorizontally() { Tile(Qt::Vertical); }

void TMainForm::TileVertically() { Tile(Qt::Horizontal); }

// Gives each shown editor window an equal share of the MDI area, stacked along `direction`.
void TMainForm::Tile(Qt::Orientation direction)
{
  const QList<QMdiSubWindow*> windows = TileableWindows();
  const QRect area = MdiArea->viewport()->rect();
  const int n = windows.size();
  const int length = direction == Qt::Vertical ? area.height() : area.width();
  for (int i = 0; i < n; ++i) {
    windows[i]->showNormal();
    const int from = length * i / n;
    const int to = length * (i + 1) / n;
    if (direction == Qt::Vertical)
      windows[i]->setGeometry(0, from, area.width(), to - from);
    else
      windows[i]->setGeometry(from, 0, to - from, area.height());
  }
}

void TMainForm::ArrangeIcons()
{
  // Minimised windows line up along the bottom edge, left to right, in further rows above.
  const QRect area = MdiArea->viewport()->rect();
  int x = 0;
  int y = area.bottom() + 1;
  int rowHeight = 0;
  for (QMdiSubWindow* child : MdiArea->subWindowList()) {
    if (!child->isMinimized())
      continue;
    const QSize size = child->size();
    if (x > 0 && x + size.width() > area.width()) {
      x = 0;
      y -= rowHeight;
      rowHeight = 0;
    }
    if (rowHeight == 0)
      rowHeight = size.height();
    child->move(x, y - rowHeight);
    x += size.width();
  }
}

void TMainForm::MinimizeAll()
{
  for (QMdiSubWindow* child : MdiArea->subWindowList())
    child->showMinimized();
}

// ---- Help

void TMainForm::VisitWebSiteActionExecute() { QDesktopServices::openUrl(QUrl(QStringLiteral(VELKORA_WEBSITE_URL))); }

void TMainForm::VisitForumsActionExecute()
{
  const QUrl site(QStringLiteral(VELKORA_WEBSITE_URL));
  QDesktopServices::openUrl(site.resolved(QUrl(QStringLiteral("/modules.php?name=Forums"))));
}

void TMainForm::HelpAboutActionExecute()
{
  if (!HtmlForm)
    return;
  HtmlForm->resize(HtmlForm->width(), 170);
  HtmlForm->resize(300, HtmlForm->height());
  HtmlForm->SetHtml("About Velkora", AboutHtml);
  HtmlForm->ShowModal();
}
