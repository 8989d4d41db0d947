#include "ui/EditorFrame.h"

#include <QCloseEvent>
#include <QVBoxLayout>

TEditorWin::TEditorWin(QWidget* parent) : QWidget(parent)
{
  setAttribute(Qt::WA_DeleteOnClose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  ToolBar = new QToolBar(this);
  ToolBar->setObjectName("ToolBar");
  ToolBar->setFixedHeight(32);
  layout->addWidget(ToolBar);

  SplitterH = new QSplitter(Qt::Horizontal, this);
  SplitterH->setObjectName("SplitterH");
  SplitterH->setHandleWidth(5);
  SplitterH->setChildrenCollapsible(false);
  layout->addWidget(SplitterH, 1);

  ObjectTree = new TElTree(SplitterH);
  ObjectTree->setObjectName("ObjectTree");
  ObjectTree->SetShowColumns(false);
  ObjectTree->setEnabled(false);
  SplitterH->addWidget(ObjectTree);

  StringTree = new TElTree(SplitterH);
  StringTree->setObjectName("StringTree");
  SplitterH->addWidget(StringTree);
  SplitterH->setStretchFactor(1, 1);
}

TEditorWin::~TEditorWin()
{
  // The windows' handlers live in the derived window, which is gone by now, while an editor
  // still open is committed (and the trees may signal) as the widgets are torn down.
  for (TElFieldType type : {sftText, sftNumber, sftFloating, sftBool})
    if (TElTreeInplaceEditor* editor = StringTree->EditorFor(type)) {
      editor->OnBeforeOperation = nullptr;
      editor->OnValidateResult = nullptr;
      editor->OnAfterOperation = nullptr;
    }
  for (TElTree* tree : {ObjectTree, StringTree}) {
    tree->OnDragOver = nullptr;
    tree->OnDragDrop = nullptr;
    tree->disconnect(this);
  }
}

void TEditorWin::closeEvent(QCloseEvent* event)
{
  FormClose();
  event->accept();
}
