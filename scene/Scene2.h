#pragma once
#include "scene/Scene2File.h"
#include "ui/EditorFrame.h"

#include <QPlainTextEdit>
#include <QSplitter>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Editor window for one scene2.bin: its objects, object data and definitions under three top
// nodes, a display-only grid of the selected record's numbers, and below it the script of the
// selected definition in a text editor whose every change is kept in the record until Save.
class TScene2Win : public TEditorWin {
  Q_OBJECT
public:
  explicit TScene2Win(QWidget* parent = nullptr);

  void LoadFile(const std::string& path) override;
  void SaveFile() override;

  QWidget* MainPanel;
  QSplitter* SplitterV;
  QPlainTextEdit* Editor;
  // Top nodes of ObjectTree.
  QTreeWidgetItem* ObjectsNode;
  QTreeWidgetItem* ObjectDataNode;
  QTreeWidgetItem* ScriptsNode;

  // ScriptLength of the record last shown with a script, 0 after one without.
  uint32_t SelectedScriptLength = 0;

  // The index: records in walk order, TotalLength and the window's own accessor.
  TSceneFile Scene;
  int RecordCount() const { return Scene.RecordCount(); }
  SceneRecord* RecordAt(int index) { return Scene.RecordAt(index); }
  // The record index shown in the grid and the editor, if any.
  std::optional<int> ShownRecord() const { return shown_; }
  // The tree item listing a record, or null for a record without one.
  QTreeWidgetItem* ItemOf(int recordIndex) const;

  // Fills the grid and the editor from the record that a tree item's column text names.
  void ShowRecord(const QString& colText);
  // The editor's text as 8-bit text, line breaks as LF.
  std::string EditorText() const;

protected:
  void FormClose() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void ReadRecords();
  void BuildObjectTree();
  void ShowRecordAt(int index);
  void ClearShown();
  void ObjectTreeItemSelectedChange(QTreeWidgetItem* item);
  void EditorKeyDown();
  void EditorKeyPress();
  void EditorKeyUp();
  void EditorChange();
  // Stores the editor's text into the shown record and marks it changed.
  void CaptureScript();
  size_t EditorTextLength() const;

  bool showing_ = false;        // the editor's text is being set from a record
  std::optional<int> shown_;    // the record the grid and the editor show
  std::vector<QTreeWidgetItem*> items_;  // tree item per record index (null without one)
};
