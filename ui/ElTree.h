#pragma once
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QList>
#include <QPoint>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <functional>
#include <optional>

class TElTreeInplaceEditor;

// Cell type of a grid cell; it decides which in-place editor opens on the cell.
enum TElFieldType { sftText, sftNumber, sftFloating, sftBool };

// A check box shown in a grid cell in place of text. OnClick fires after the user
// changed its state; SetChecked from code does not fire it.
class TElCellCheckBox : public QCheckBox {
  Q_OBJECT
public:
  explicit TElCellCheckBox(QWidget* parent = nullptr);
  void SetBorderWidth(int width);
  bool GetChecked() const { return isChecked(); }
  void SetChecked(bool checked);
  std::function<void(QObject* sender)> OnClick;
};

// The record tree and the property grid of the editor windows: a tree of items with
// a main text (column 0) and a column text (column 1). In the record tree column 1 is
// hidden and holds the item's record index in decimal; in the grid it is the "Data" cell.
class TElTree : public QTreeWidget {
  Q_OBJECT
public:
  static constexpr int MainColumn = 0;
  static constexpr int DataColumn = 1;

  explicit TElTree(QWidget* parent = nullptr);

  // Shows the header with these captions (grid), or hides the header and the column text (record tree).
  void SetHeaderSections(const QStringList& captions);
  void SetShowColumns(bool show);

  void BeginUpdate();
  void EndUpdate();
  // Adds a top-level item (parent null) or a child with the given main text.
  QTreeWidgetItem* Add(QTreeWidgetItem* parent, const QString& text);
  // Adds a record item: main text plus the record index as its column text.
  QTreeWidgetItem* AddRecord(QTreeWidgetItem* parent, const QString& text, int recordIndex);
  void ClearItems();

  static QString GetText(const QTreeWidgetItem* item);
  static QString GetColText(const QTreeWidgetItem* item);
  static void SetColText(QTreeWidgetItem* item, const QString& text);
  // The record index an item carries: its column text trimmed and read as a decimal
  // integer; none for a missing item, an empty text or one that is no number.
  static std::optional<int> RecordIndexOf(const QTreeWidgetItem* item);

  // The item at `index` in tree order (top to bottom, children after their parent).
  QTreeWidgetItem* GetItem(int index) const;
  int GetCount() const;
  QTreeWidgetItem* GetFirstNode() const;
  QTreeWidgetItem* GetSelected() const;
  QTreeWidgetItem* GetFocused() const;
  // The item under a y coordinate of the viewport, or null.
  QTreeWidgetItem* GetItemAtY(int y) const;
  // Makes the item the focused and selected item (fires ItemSelectedChange).
  void Select(QTreeWidgetItem* item);
  // Repaints now.
  void Update();

  // Gives a row's "Data" cell the editable style: Arial, the highlight colour, and the
  // cell type that picks the in-place editor.
  void SetCellStyle(QTreeWidgetItem* row, TElFieldType type);
  // Puts a check box into a row's "Data" cell (styled like an editable cell).
  TElCellCheckBox* SetCellCheckBox(QTreeWidgetItem* row);
  TElCellCheckBox* CellCheckBox(QTreeWidgetItem* row) const;
  std::optional<TElFieldType> CellType(const QTreeWidgetItem* row) const;

  // Opens the in-place editor on the "Data" cell of a row (as a click on it would).
  void EditCell(QTreeWidgetItem* row);
  // The in-place editor whose types include `type`, or null.
  TElTreeInplaceEditor* EditorFor(TElFieldType type) const;

  // Drag and drop inside the tree: OnDragOver decides whether a drop is accepted,
  // OnDragDrop receives the drop point; items are never moved by the tree itself.
  std::function<void(QObject* source, QPoint pos, bool& accept)> OnDragOver;
  std::function<void(QObject* source, QPoint pos)> OnDragDrop;

signals:
  // The item whose selection changed to selected.
  void ItemSelectedChange(QTreeWidgetItem* item);

protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  friend class TElTreeInplaceEditor;
  void RegisterEditor(TElTreeInplaceEditor* editor);
  QList<TElTreeInplaceEditor*> editors_;
};

// An in-place editor bound to a tree for some cell types. The edit of a cell runs
// OnBeforeOperation (the editor exists, the cell's text is not yet in it), then, when the
// user confirms (Enter or leaving the editor), OnValidateResult; an accepted edit with
// DefaultConversion writes the editor's text into the cell and then runs OnAfterOperation.
// An exception from a handler goes to the general error report and refuses the edit.
class TElTreeInplaceEditor : public QObject {
  Q_OBJECT
public:
  TElTreeInplaceEditor(TElTree* tree, QList<TElFieldType> types);
  TElTree* Tree() const { return tree_; }
  const QList<TElFieldType>& Types() const { return types_; }
  // The editor widget while an edit is open, else null.
  virtual QWidget* EditorWidget() const = 0;
  virtual QString GetText() const = 0;
  virtual void SetText(const QString& text) = 0;
  // False while the user has not touched the editor's text: ending such an edit changes nothing.
  virtual bool UserChanged() const { return true; }

  std::function<void(bool& DefaultConversion)> OnBeforeOperation;
  std::function<void(bool& InputValid)> OnValidateResult;
  std::function<void(bool& Accepted, bool& DefaultConversion)> OnAfterOperation;

  // Used by the tree's delegate.
  virtual QWidget* CreateEditor(QWidget* parent) = 0;
  // The editor widget `widget` is gone (it may be deleted after the next editor opened).
  virtual void EditorClosed(QObject* widget) = 0;
  bool DefaultConversion = true;

private:
  TElTree* tree_;
  QList<TElFieldType> types_;
};

// The number editor: a line edit with a maximum text length. The limit is for typing: a
// longer text set into the editor is kept whole, never cut, and can be shortened but not
// lengthened until it is within the limit.
class TElTreeInplaceAdvancedEdit : public TElTreeInplaceEditor {
  Q_OBJECT
public:
  explicit TElTreeInplaceAdvancedEdit(TElTree* tree);
  QLineEdit* Editor() const { return editor_; }
  QWidget* EditorWidget() const override { return editor_; }
  QString GetText() const override;
  void SetText(const QString& text) override;
  void SetMaxLength(int length);
  bool UserChanged() const override { return editor_ && edited_; }

  QWidget* CreateEditor(QWidget* parent) override;
  void EditorClosed(QObject* widget) override
  {
    if (editor_ == widget)
      editor_ = nullptr;
  }

private:
  // Lets the editor hold its current text but nothing beyond the limit.
  void FitMaxLength();
  QLineEdit* editor_ = nullptr;
  int maxLength_ = 32767;
  bool edited_ = false;  // the user typed, deleted, pasted or cut in the open editor
};

// The drop-down editor: a list of names to pick from. Read-only, the user can only pick a
// listed name; a text set that is not listed is kept as an extra first entry, so that
// confirming without picking gives the text back unchanged.
class TElTreeInplaceTreeComboEdit : public TElTreeInplaceEditor {
  Q_OBJECT
public:
  explicit TElTreeInplaceTreeComboEdit(TElTree* tree);
  QComboBox* Editor() const { return editor_; }
  QWidget* EditorWidget() const override { return editor_; }
  QString GetText() const override;
  void SetText(const QString& text) override;
  void SetShowLines(bool show);
  void SetReadOnly(bool readOnly);
  void ClearItems();
  void AddItem(const QString& text);

  QWidget* CreateEditor(QWidget* parent) override;
  void EditorClosed(QObject* widget) override
  {
    if (editor_ == widget)
      editor_ = nullptr;
  }

private:
  QComboBox* editor_ = nullptr;
  bool readOnly_ = true;
};

// The boolean editor; bound to sftBool cells (the windows give no cell that type).
class TElTreeInplaceCheckBox : public TElTreeInplaceEditor {
  Q_OBJECT
public:
  explicit TElTreeInplaceCheckBox(TElTree* tree);
  QWidget* EditorWidget() const override { return editor_; }
  QString GetText() const override;
  void SetText(const QString& text) override;
  QWidget* CreateEditor(QWidget* parent) override;
  void EditorClosed(QObject* widget) override
  {
    if (editor_ == widget)
      editor_ = nullptr;
  }

private:
  QCheckBox* editor_ = nullptr;
};
