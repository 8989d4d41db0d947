#include "scene/Scene2.h"

#include "binfile/Progress.h"
#include "ui/Dialogs.h"
#include "ui/ErrorReport.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const QString kObjects = QStringLiteral("Objects");
const QString kObjectData = QStringLiteral("Object Data");
const QString kScripts = QStringLiteral("Scripts");

QString Latin1(const std::string& text) { return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

TScene2Win::TScene2Win(QWidget* parent) : TEditorWin(parent)
{
  setObjectName("Scene2Win");
  setWindowTitle("Scene2Win");
  resize(480, 409);

  ObjectsNode = ObjectTree->Add(nullptr, kObjects);
  ObjectDataNode = ObjectTree->Add(nullptr, kObjectData);
  ScriptsNode = ObjectTree->Add(nullptr, kScripts);
  ObjectTree->setRootIsDecorated(true);
  connect(ObjectTree, &TElTree::ItemSelectedChange, this,
          [this](QTreeWidgetItem* item) { Guarded([&] { ObjectTreeItemSelectedChange(item); }); });

  // MainPanel takes the grid's place beside the tree: the grid on top, the script editor below.
  MainPanel = new QWidget();
  MainPanel->setObjectName("MainPanel");
  auto* panelLayout = new QVBoxLayout(MainPanel);
  panelLayout->setContentsMargins(0, 0, 0, 0);
  SplitterV = new QSplitter(Qt::Vertical, MainPanel);
  SplitterV->setObjectName("SplitterV");
  SplitterV->setHandleWidth(5);
  SplitterV->setChildrenCollapsible(false);
  panelLayout->addWidget(SplitterV);
  SplitterH->replaceWidget(SplitterH->indexOf(StringTree), MainPanel);
  SplitterV->addWidget(StringTree);

  StringTree->SetHeaderSections({QString(), QString()});
  StringTree->setRootIsDecorated(false);
  StringTree->setColumnWidth(TElTree::MainColumn, 22);
  StringTree->setColumnWidth(TElTree::DataColumn, 294);
  StringTree->setEditTriggers(QAbstractItemView::NoEditTriggers);  // display only
  StringTree->setEnabled(false);

  Editor = new QPlainTextEdit(SplitterV);
  Editor->setObjectName("Editor");
  Editor->setLineWrapMode(QPlainTextEdit::NoWrap);
  Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Editor->setEnabled(false);
  Editor->installEventFilter(this);
  connect(Editor, &QPlainTextEdit::textChanged, this, [this] { Guarded([this] { EditorChange(); }); });
  SplitterV->addWidget(Editor);
  SplitterV->setStretchFactor(0, 0);
  SplitterV->setStretchFactor(1, 1);
  SplitterV->setSizes({136, 409 - 32 - 136 - 5});

  SplitterH->setStretchFactor(0, 0);
  SplitterH->setStretchFactor(1, 1);
  SplitterH->setSizes({145, 480 - 145 - 5});

  Scene.Repaint = [this] { repaint(); };
}

// ---- Loading

void TScene2Win::LoadFile(const std::string& path)
{
  ClearShown();
  TProgress& progress = Progress();
  progress.Show();
  FileName = path;
  ReadRecords();  // titled "Reading Objects"
  progress.SetCaption("Building Tree");
  BuildObjectTree();
  progress.Hide();
  ObjectTree->setEnabled(true);
  StringTree->setEnabled(true);
}

void TScene2Win::ReadRecords() { Scene.ReadIndex(FileName); }

void TScene2Win::BuildObjectTree()
{
  TProgress& progress = Progress();
  const QSignalBlocker block(ObjectTree);
  ObjectTree->BeginUpdate();
  // A tree refreshed after a save first loses the previous load's items.
  for (QTreeWidgetItem* node : {ObjectsNode, ObjectDataNode, ScriptsNode})
    qDeleteAll(node->takeChildren());
  items_.assign(static_cast<size_t>(RecordCount()), nullptr);
  for (int i = 0; i < RecordCount(); ++i) {
    progress.SetCaption("Building Tree");
    const SceneRecord& r = Scene.Records[static_cast<size_t>(i)];
    if (r.Name.empty())
      continue;
    progress.SetStatus(r.Name);
    QTreeWidgetItem* parent = r.Kind == Scene::KindObjectData ? ObjectDataNode
                              : r.Kind == Scene::KindObject   ? ObjectsNode
                              : r.Kind == Scene::KindDefinition ? ScriptsNode
                                                                : nullptr;
    if (parent)
      items_[static_cast<size_t>(i)] = ObjectTree->AddRecord(parent, Latin1(r.Name), i);
  }
  ObjectTree->EndUpdate();
}

QTreeWidgetItem* TScene2Win::ItemOf(int recordIndex) const
{
  if (recordIndex < 0 || recordIndex >= static_cast<int>(items_.size()))
    return nullptr;
  return items_[static_cast<size_t>(recordIndex)];
}

// ---- Showing a record

void TScene2Win::ObjectTreeItemSelectedChange(QTreeWidgetItem* item)
{
  const QString text = TElTree::GetText(item);
  if (text == kScripts || text == kObjects || text == kObjectData)
    return;
  const QString colText = TElTree::GetColText(item);
  if (colText.isEmpty())
    return;
  ShowRecord(colText);
}

void TScene2Win::ShowRecord(const QString& colText)
{
  bool ok = false;
  const int index = colText.trimmed().toInt(&ok, 10);
  if (ok)
    ShowRecordAt(index);
}

void TScene2Win::ShowRecordAt(int index)
{
  const SceneRecord* r = RecordAt(index);
  if (!r)
    return;
  StringTree->BeginUpdate();
  StringTree->ClearItems();
  auto row = [this](const char* label, const QString& value) {
    TElTree::SetColText(StringTree->Add(nullptr, QString::fromLatin1(label)), value);
  };
  row("Name", Latin1(r->Name));
  row("ObjectLength", QString::number(r->ObjectLength));
  row("ObjectPos", QString::number(r->ObjectPos));
  row("HasScript", QString::number(r->HasScript ? 1 : 0));
  shown_ = index;
  showing_ = true;
  Editor->clear();
  if (r->HasScript) {
    row("ScriptLength", QString::number(r->ScriptLength));
    row("ScriptLengthPos", QString::number(r->ScriptLengthPos));
    Editor->setPlainText(Latin1(Scene::ScriptForEditor(r->Script)));
    Editor->setEnabled(true);
    SelectedScriptLength = r->ScriptLength;
  } else {
    Editor->setEnabled(false);
    SelectedScriptLength = 0;
  }
  showing_ = false;
  StringTree->resizeColumnToContents(TElTree::MainColumn);
  StringTree->EndUpdate();
}

void TScene2Win::ClearShown()
{
  shown_.reset();
  StringTree->ClearItems();
  showing_ = true;
  Editor->clear();
  showing_ = false;
  Editor->setEnabled(false);
  SelectedScriptLength = 0;
}

// ---- Capturing edits

std::string TScene2Win::EditorText() const
{
  QString text = Editor->document()->toRawText();  // keeps every character, unlike toPlainText
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  const QByteArray bytes = text.toLatin1();
  return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

size_t TScene2Win::EditorTextLength() const { return Scene::EditorWholeText(EditorText()).size(); }

bool TScene2Win::eventFilter(QObject* watched, QEvent* event)
{
  if (watched == Editor) {
    if (event->type() == QEvent::KeyPress) {
      Guarded([this] { EditorKeyDown(); });
      if (!static_cast<QKeyEvent*>(event)->text().isEmpty())
        Guarded([this] { EditorKeyPress(); });
    } else if (event->type() == QEvent::KeyRelease) {
      Guarded([this] { EditorKeyUp(); });
    }
  }
  return TEditorWin::eventFilter(watched, event);
}

void TScene2Win::EditorKeyPress()
{
  if (EditorTextLength() != SelectedScriptLength)
    CaptureScript();
}

void TScene2Win::EditorKeyDown()
{
  // The record is the one the editor shows, whatever the tree's focus is on now.
  const SceneRecord* r = shown_ ? RecordAt(*shown_) : nullptr;
  if (r && EditorTextLength() != r->ScriptLength)
    CaptureScript();
}

void TScene2Win::EditorKeyUp() { EditorKeyDown(); }

void TScene2Win::EditorChange()
{
  if (!showing_)
    CaptureScript();
}

void TScene2Win::CaptureScript()
{
  SceneRecord* r = shown_ ? RecordAt(*shown_) : nullptr;
  if (!r || !r->HasScript)
    return;
  r->Script = Scene::ScriptFromEditor(EditorText());
  Modified = true;
  r->ScriptChanged = true;
}

// ---- Saving

void TScene2Win::SaveFile()
{
  std::optional<int> shown = shown_;
  const TSceneFile::SaveOutcome outcome = Scene.SaveChanged(&shown);
  if (outcome.Written) {
    // The index was read again: list it afresh and show the record shown before.
    TProgress& progress = Progress();
    progress.Show();
    progress.SetCaption("Building Tree");
    BuildObjectTree();
    progress.Hide();
    ClearShown();
    if (shown) {
      if (QTreeWidgetItem* item = ItemOf(*shown)) {
        const QSignalBlocker block(ObjectTree);
        ObjectTree->Select(item);
        ObjectTree->scrollToItem(item);
      }
      ShowRecordAt(*shown);
    }
  }
  if (outcome.Failed)
    ShowMessage("Unable to Save Changes, Try saving again");
  else if (outcome.Written)
    Modified = false;
}

// ---- Closing

void TScene2Win::FormClose()
{
  Scene.File.Close();
  Scene.Records.clear();
  Scene.Records.shrink_to_fit();
  items_.clear();
  shown_.reset();
}
