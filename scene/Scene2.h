#pragma once
#include "ui/EditorFrame.h"

// Editor window for one Scene2 file (placeholder until the editor is built).
class TScene2Win : public TEditorWin {
  Q_OBJECT
public:
  explicit TScene2Win(QWidget* parent = nullptr) : TEditorWin(parent) {}
  void LoadFile(const std::string& path) override { FileName = path; }
  void SaveFile() override {}
};
