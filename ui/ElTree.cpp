#include "ui/ElTree.h"

#include "ui/ErrorReport.h"

#include <QApplication>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QPalette>

#include <algorithm>

namespace {

constexpr int CellTypeRole = Qt::UserRole + 1;

// Opens the in-place editor of a cell's type and runs the editor's operations around the edit.
class TInplaceDelegate : public QStyledItemDelegate {
public:
  explicit TInplaceDelegate(TElTree* tree) : QStyledItemDelegate(tree), tree_(tree) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
  {
    TElTreeInplaceEditor* inplace = EditorAt(index);
    if (!inplace)
      return nullptr;
    QWidget* widget = inplace->CreateEditor(parent);
    QObject::connect(widget, &QObject::destroyed, inplace, [inplace](QObject* gone) { inplace->EditorClosed(gone); });
    inplace->DefaultConversion = true;
    bool defaultConversion = true;
    if (inplace->OnBeforeOperation)
      Guarded([&] { inplace->OnBeforeOperation(defaultConversion); });
    inplace->DefaultConversion = defaultConversion;
    return widget;
  }

  void setEditorData(QWidget*, const QModelIndex& index) const override
  {
    if (TElTreeInplaceEditor* inplace = EditorAt(index))
      if (inplace->DefaultConversion)
        inplace->SetText(index.data(Qt::DisplayRole).toString());
  }

  void setModelData(QWidget*, QAbstractItemModel* model, const QModelIndex& index) const override
  {
    TElTreeInplaceEditor* inplace = EditorAt(index);
    // Opening an editor and leaving it untouched is no edit: a cell that shows a value in a
    // shortened form (a whole number for 35.5) must not store that form back.
    if (!inplace || !inplace->UserChanged())
      return;
    bool inputValid = true;
    if (inplace->OnValidateResult && !Guarded([&] { inplace->OnValidateResult(inputValid); }))
      inputValid = false;
    if (!inputValid)
      return;
    if (inplace->DefaultConversion)
      model->setData(index, inplace->GetText(), Qt::DisplayRole);
    bool accepted = true;
    bool defaultConversion = inplace->DefaultConversion;
    if (inplace->OnAfterOperation)
      Guarded([&] { inplace->OnAfterOperation(accepted, defaultConversion); });
  }

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override
  {
    editor->setGeometry(option.rect);
  }

private:
  TElTreeInplaceEditor* EditorAt(const QModelIndex& index) const
  {
    if (index.column() != TElTree::DataColumn)
      return nullptr;
    const QVariant type = index.data(CellTypeRole);
    return type.isValid() ? tree_->EditorFor(static_cast<TElFieldType>(type.toInt())) : nullptr;
  }

  TElTree* tree_;
};

}  // namespace

// ---- TElCellCheckBox

TElCellCheckBox::TElCellCheckBox(QWidget* parent) : QCheckBox(parent)
{
  connect(this, &QCheckBox::clicked, this, [this] {
    if (OnClick)
      Guarded([this] { OnClick(this); });
  });
}

void TElCellCheckBox::SetBorderWidth(int width) { setContentsMargins(width, 0, width, 0); }

void TElCellCheckBox::SetChecked(bool checked)
{
  const QSignalBlocker block(this);
  setChecked(checked);
}

// ---- TElTree

TElTree::TElTree(QWidget* parent) : QTreeWidget(parent)
{
  setColumnCount(2);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked |
                  QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
  setItemDelegate(new TInplaceDelegate(this));
  setSortingEnabled(false);
  setDragDropMode(QAbstractItemView::NoDragDrop);
  connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (QTreeWidgetItem* item = GetSelected())
      emit ItemSelectedChange(item);
  });
}

void TElTree::SetHeaderSections(const QStringList& captions)
{
  setColumnCount(std::max<int>(2, captions.size()));
  setHeaderLabels(captions);
  SetShowColumns(true);
}

void TElTree::SetShowColumns(bool show)
{
  setHeaderHidden(!show);
  setColumnHidden(DataColumn, !show);
}

void TElTree::BeginUpdate() { setUpdatesEnabled(false); }

void TElTree::EndUpdate() { setUpdatesEnabled(true); }

QTreeWidgetItem* TElTree::Add(QTreeWidgetItem* parent, const QString& text)
{
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
  item->setText(MainColumn, text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

QTreeWidgetItem* TElTree::AddRecord(QTreeWidgetItem* parent, const QString& text, int recordIndex)
{
  QTreeWidgetItem* item = Add(parent, text);
  SetColText(item, QString::number(recordIndex));
  return item;
}

void TElTree::ClearItems() { clear(); }

QString TElTree::GetText(const QTreeWidgetItem* item) { return item ? item->text(MainColumn) : QString(); }

QString TElTree::GetColText(const QTreeWidgetItem* item) { return item ? item->text(DataColumn) : QString(); }

void TElTree::SetColText(QTreeWidgetItem* item, const QString& text)
{
  if (item)
    item->setText(DataColumn, text);
}

std::optional<int> TElTree::RecordIndexOf(const QTreeWidgetItem* item)
{
  bool ok = false;
  const int index = GetColText(item).trimmed().toInt(&ok, 10);
  if (!ok)
    return std::nullopt;
  return index;
}

QTreeWidgetItem* TElTree::GetItem(int index) const
{
  if (index < 0)
    return nullptr;
  int i = 0;
  for (QTreeWidgetItemIterator it(const_cast<TElTree*>(this)); *it; ++it, ++i)
    if (i == index)
      return *it;
  return nullptr;
}

int TElTree::GetCount() const
{
  int n = 0;
  for (QTreeWidgetItemIterator it(const_cast<TElTree*>(this)); *it; ++it)
    ++n;
  return n;
}

QTreeWidgetItem* TElTree::GetFirstNode() const { return topLevelItem(0); }

QTreeWidgetItem* TElTree::GetSelected() const
{
  const QList<QTreeWidgetItem*> selected = selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

QTreeWidgetItem* TElTree::GetFocused() const { return currentItem(); }

QTreeWidgetItem* TElTree::GetItemAtY(int y) const { return itemAt(QPoint(viewport()->width() / 2, y)); }

void TElTree::Select(QTreeWidgetItem* item)
{
  if (!item)
    return;
  setCurrentItem(item, MainColumn, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TElTree::Update() { viewport()->repaint(); }

void TElTree::SetCellStyle(QTreeWidgetItem* row, TElFieldType type)
{
  row->setFont(DataColumn, QFont("Arial"));
  row->setForeground(DataColumn, palette().brush(QPalette::Active, QPalette::Highlight));
  row->setData(DataColumn, CellTypeRole, static_cast<int>(type));
  row->setFlags(row->flags() | Qt::ItemIsEditable);
}

TElCellCheckBox* TElTree::SetCellCheckBox(QTreeWidgetItem* row)
{
  auto* box = new TElCellCheckBox();
  box->setFont(QFont("Arial"));
  QPalette pal = box->palette();
  pal.setColor(QPalette::WindowText, palette().color(QPalette::Active, QPalette::Highlight));
  box->setPalette(pal);
  box->SetBorderWidth(1);
  row->setFlags(row->flags() & ~Qt::ItemIsEditable);
  setItemWidget(row, DataColumn, box);
  return box;
}

TElCellCheckBox* TElTree::CellCheckBox(QTreeWidgetItem* row) const
{
  return qobject_cast<TElCellCheckBox*>(itemWidget(row, DataColumn));
}

std::optional<TElFieldType> TElTree::CellType(const QTreeWidgetItem* row) const
{
  const QVariant type = row ? row->data(DataColumn, CellTypeRole) : QVariant();
  if (!type.isValid())
    return std::nullopt;
  return static_cast<TElFieldType>(type.toInt());
}

void TElTree::EditCell(QTreeWidgetItem* row)
{
  if (!row)
    return;
  Select(row);
  editItem(row, DataColumn);
}

TElTreeInplaceEditor* TElTree::EditorFor(TElFieldType type) const
{
  for (TElTreeInplaceEditor* editor : editors_)
    if (editor->Types().contains(type))
      return editor;
  return nullptr;
}

void TElTree::RegisterEditor(TElTreeInplaceEditor* editor) { editors_.append(editor); }

void TElTree::dragEnterEvent(QDragEnterEvent* event)
{
  if (event->source() == this) {
    event->acceptProposedAction();
    return;
  }
  QTreeWidget::dragEnterEvent(event);
}

void TElTree::dragMoveEvent(QDragMoveEvent* event)
{
  bool accept = false;
  if (OnDragOver)
    OnDragOver(event->source(), event->position().toPoint(), accept);
  if (accept)
    event->acceptProposedAction();
  else
    event->ignore();
}

void TElTree::dropEvent(QDropEvent* event)
{
  // The tree never moves its items: the window decides what a drop means.
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  if (OnDragDrop) {
    QObject* source = event->source();
    const QPoint pos = event->position().toPoint();
    Guarded([&] { OnDragDrop(source, pos); });
  }
}

// ---- In-place editors

TElTreeInplaceEditor::TElTreeInplaceEditor(TElTree* tree, QList<TElFieldType> types)
    : QObject(tree), tree_(tree), types_(std::move(types))
{
  tree->RegisterEditor(this);
}

TElTreeInplaceAdvancedEdit::TElTreeInplaceAdvancedEdit(TElTree* tree)
    : TElTreeInplaceEditor(tree, {sftNumber, sftFloating})
{
}

QWidget* TElTreeInplaceAdvancedEdit::CreateEditor(QWidget* parent)
{
  editor_ = new QLineEdit(parent);
  editor_->setObjectName("TreeEditEditor");
  editor_->setFrame(false);
  maxLength_ = editor_->maxLength();
  edited_ = false;
  connect(editor_, &QLineEdit::textEdited, this, [this] {
    edited_ = true;
    FitMaxLength();
  });
  return editor_;
}

// As the user shortens a text longer than the limit, the limit comes back down with it.
void TElTreeInplaceAdvancedEdit::FitMaxLength()
{
  if (editor_)
    editor_->setMaxLength(std::max(maxLength_, static_cast<int>(editor_->text().size())));
}

QString TElTreeInplaceAdvancedEdit::GetText() const { return editor_ ? editor_->text() : QString(); }

// QLineEdit cuts its text to its maximum length; a cell's longer value must open whole, or
// confirming it unchanged would store the cut text.
void TElTreeInplaceAdvancedEdit::SetText(const QString& text)
{
  if (!editor_)
    return;
  editor_->setMaxLength(std::max(maxLength_, static_cast<int>(text.size())));
  editor_->setText(text);
}

void TElTreeInplaceAdvancedEdit::SetMaxLength(int length)
{
  maxLength_ = length;
  FitMaxLength();
}

TElTreeInplaceTreeComboEdit::TElTreeInplaceTreeComboEdit(TElTree* tree) : TElTreeInplaceEditor(tree, {sftText}) {}

QWidget* TElTreeInplaceTreeComboEdit::CreateEditor(QWidget* parent)
{
  editor_ = new QComboBox(parent);
  editor_->setObjectName("TreeComboEditEditor");
  editor_->setEditable(!readOnly_);
  return editor_;
}

QString TElTreeInplaceTreeComboEdit::GetText() const { return editor_ ? editor_->currentText() : QString(); }

void TElTreeInplaceTreeComboEdit::SetText(const QString& text)
{
  if (!editor_)
    return;
  int index = editor_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index < 0 && !text.isEmpty()) {
    editor_->insertItem(0, text);  // keep a value the list does not know
    index = 0;
  }
  if (index >= 0)
    editor_->setCurrentIndex(index);
  else if (editor_->isEditable())
    editor_->setEditText(text);
}

void TElTreeInplaceTreeComboEdit::SetShowLines(bool) {}

void TElTreeInplaceTreeComboEdit::SetReadOnly(bool readOnly)
{
  readOnly_ = readOnly;
  if (editor_)
    editor_->setEditable(!readOnly);
}

void TElTreeInplaceTreeComboEdit::ClearItems()
{
  if (editor_)
    editor_->clear();
}

void TElTreeInplaceTreeComboEdit::AddItem(const QString& text)
{
  if (editor_)
    editor_->addItem(text);
}

TElTreeInplaceCheckBox::TElTreeInplaceCheckBox(TElTree* tree) : TElTreeInplaceEditor(tree, {sftBool}) {}

QWidget* TElTreeInplaceCheckBox::CreateEditor(QWidget* parent)
{
  editor_ = new QCheckBox(parent);
  return editor_;
}

QString TElTreeInplaceCheckBox::GetText() const
{
  return editor_ && editor_->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
}

void TElTreeInplaceCheckBox::SetText(const QString& text)
{
  if (editor_)
    editor_->setChecked(text.compare("True", Qt::CaseInsensitive) == 0);
}
