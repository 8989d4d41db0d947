#pragma once
#include <string>

// What long operations tell the user while they run: the phase (the pop-up's title),
// the item at hand, and an explicit repaint of the main window. The GUI installs the
// progress pop-up here; without one every call does nothing, so the file code runs
// the same under tests and tools.
class TProgress {
public:
  virtual ~TProgress() = default;
  virtual void Show() {}
  virtual void SetCaption(const std::string&) {}
  virtual void SetStatus(const std::string&) {}
  virtual void Hide() {}
  virtual void RepaintMain() {}
};

// The progress sink in use; never null.
TProgress& Progress();
// Installs a sink (nullptr restores the silent one). The caller keeps ownership.
void SetProgress(TProgress* progress);
