#pragma once
#include "ui/ElTree.h"

#include <QSplitter>
#include <QToolBar>
#include <QWidget>

#include <string>

// The frame the three editor windows share: a button-less tool bar on top, the record tree
// `ObjectTree` on the left, a splitter and the property grid `StringTree`, plus the contract
// the main window relies on. The caption's first letter (V, W or S) tells the window's kind.
class TEditorWin : public QWidget {
  Q_OBJECT
public:
  explicit TEditorWin(QWidget* parent = nullptr);
  ~TEditorWin() override;

  // Reads the file at `path` (UTF-8), builds the tree and sets FileName.
  virtual void LoadFile(const std::string& path) = 0;
  // Writes the pending changes to the file.
  virtual void SaveFile() = 0;

  QString Caption() const { return windowTitle(); }
  void SetCaption(const QString& caption) { setWindowTitle(caption); }

  std::string FileName;   // the path given to LoadFile
  bool Modified = false;  // unsaved changes exist

  QToolBar* ToolBar;
  QSplitter* SplitterH;
  TElTree* ObjectTree;
  TElTree* StringTree;

protected:
  // Releases the window's file and records; runs when the window closes, which always succeeds.
  virtual void FormClose() {}
  void closeEvent(QCloseEvent* event) override;
};
