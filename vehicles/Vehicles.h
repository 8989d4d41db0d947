#pragma once
#include "ui/EditorFrame.h"

// Editor window for one Vehicles file (placeholder until the editor is built).
class TVehiclesWin : public TEditorWin {
  Q_OBJECT
public:
  explicit TVehiclesWin(QWidget* parent = nullptr) : TEditorWin(parent) {}
  void LoadFile(const std::string& path) override { FileName = path; }
  void SaveFile() override {}
};
