#pragma once
#include "app/Myversioninfo.h"
#include "app/RecentFiles.h"
#include "binfile/Binaryfile.h"

#include <QList>
#include <QMainWindow>
#include <QMetaObject>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QStatusBar;
class QToolBar;
class QToolButton;
class TEditorWin;

namespace Ui {
class MainForm;
}

// The program's main window: an MDI area holding one editor window per opened file, the
// menus, tool bar and status bar, telling a file's kind from its first bytes, routing Save
// to the active editor, and keeping the window geometry and the recent files between runs.
// It keeps no list of its editors: it walks the MDI children and tells their kind by the
// first letter of their caption (V vehicles, W weapons, S scene).
class TMainForm : public QMainWindow {
  Q_OBJECT
public:
  // File kinds as DetectFileKind returns them.
  enum { KindUnknown = -1, KindScene = 1, KindWeapons = 2, KindVehicles = 3 };

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // The kind of the file at `path` by its content: 3 when its first 32-bit integer is 1,
  // else 2 for a first byte 'P', 1 for 'S'; -1 for anything else, for a file shorter than
  // four bytes and for one that cannot be opened.
  int DetectFileKind(const QString& path);
  // Brings every editor window showing exactly `path` to the front; whether there was one.
  bool ActivateIfOpen(const QString& path);
  // Opens `path` in a new editor window of its kind, or says "Unknown File Type".
  void OpenFile(const QString& path);
  void CreateSceneEditor(const QString& path);
  void CreateWeaponsEditor(const QString& path);
  void CreateVehiclesEditor(const QString& path);

  // Handlers of the commands.
  void FileOpenExecute();
  void MRUClick(const QString& path);
  void FileSaveActionExecute();
  void FileMenuClick();
  void FileExit1Execute();
  void VisitWebSiteActionExecute();
  void VisitForumsActionExecute();
  void HelpAboutActionExecute();

  // The Window commands.
  void TileHorizontally();
  void TileVertically();
  void ArrangeIcons();
  void MinimizeAll();

  // The editor window of the current MDI child, or null.
  TEditorWin* ActiveEditor() const;
  // The editor windows in the MDI area, in the area's child order.
  QList<TEditorWin*> EditorWindows() const;

  TBinaryFile ProbeFile;
  TMyVersionInfo VersionInfo;
  QString VersionText;
  int WindowLeft = 0;
  int WindowTop = 0;
  int WindowWidth = 0;
  int WindowHeight = 0;
  TRecentFiles MRU;

  QMdiArea* MdiArea;
  QMenuBar* MainMenu;
  QToolBar* ToolBar;
  QToolButton* OpenButton;
  QStatusBar* StatusBar;
  QMenu* MenuFile;
  QMenu* MenuEdit;
  QMenu* MenuWindow;
  QMenu* MenuHelp;
  QMenu* MenuItemRecent;
  QMenu* MenuItemOnTheWeb;
  QAction* FileOpen1;
  QAction* FileSaveAction;
  QAction* FileClose1;
  QAction* FileExit1;
  QAction* EditCut1;
  QAction* EditCopy1;
  QAction* EditPaste1;
  QAction* WindowCascade1;
  QAction* WindowTileHorizontal1;
  QAction* WindowTileVertical1;
  QAction* WindowArrangeAll1;
  QAction* WindowMinimizeAll1;
  QAction* HelpAboutAction;
  QAction* VisitWebSiteAction;
  QAction* VisitForumsAction;

  // The About page; "$VERSION_NUMBER$" stands for the version text.
  static const char* const AboutHtml;

protected:
  // Runs the open dialog; the chosen path, or an empty text when cancelled.
  virtual QString ChooseOpenPath();
  void closeEvent(QCloseEvent* event) override;

private:
  void FormCreate();
  void FormClose();
  void SetupActions();
  void UpdateRecentMenu();
  void UpdateEditActions();
  void UpdateWindowActions();
  void WatchFocus(QWidget* now);
  void EditCommand(int which);
  QList<QMdiSubWindow*> TileableWindows() const;
  void Tile(Qt::Orientation direction);
  template <class T>
  void CreateEditor(const QString& prefix, const QString& path);

  Ui::MainForm* ui_;
  QList<QAction*> recentActions_;
  QList<QMetaObject::Connection> focusWatch_;
};

extern TMainForm* MainForm;
