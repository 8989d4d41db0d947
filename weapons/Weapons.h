#pragma once
#include "ui/EditorFrame.h"

// Editor window for one Weapons file (placeholder until the editor is built).
class TWeaponsWin : public TEditorWin {
  Q_OBJECT
public:
  explicit TWeaponsWin(QWidget* parent = nullptr) : TEditorWin(parent) {}
  void LoadFile(const std::string& path) override { FileName = path; }
  void SaveFile() override {}
};
