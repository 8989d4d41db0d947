#pragma once
#include "binfile/Progress.h"
#include "ui/Dialogs.h"

#include <QStringList>
#include <QTemporaryDir>

#include <deque>
#include <string>
#include <vector>

// Records every message box and answers Yes/No questions from a queue (Yes when empty),
// installed for its lifetime.
class TRecordingDialogs : public TDialogs {
public:
  TRecordingDialogs() { SetDialogs(this); }
  ~TRecordingDialogs() override { SetDialogs(nullptr); }
  void ShowMessage(const QString& text) override { Messages << text; }
  bool Confirm(const QString& text) override
  {
    Questions << text;
    if (answers_.empty())
      return true;
    const bool answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  void setNextAnswer(bool yes) { answers_.push_back(yes); }

  QStringList Messages;
  QStringList Questions;

private:
  std::deque<bool> answers_;
};

// Records the progress calls ("show", "caption:X", "status:X", "hide", "repaint"), installed for its lifetime.
class TRecordingProgress : public TProgress {
public:
  TRecordingProgress() { SetProgress(this); }
  ~TRecordingProgress() override { SetProgress(nullptr); }
  void Show() override { Calls.push_back("show"); }
  void SetCaption(const std::string& c) override { Calls.push_back("caption:" + c); }
  void SetStatus(const std::string& s) override { Calls.push_back("status:" + s); }
  void Hide() override { Calls.push_back("hide"); }
  void RepaintMain() override { Calls.push_back("repaint"); }
  int Count(const std::string& call) const
  {
    int n = 0;
    for (const auto& c : Calls)
      n += c == call;
    return n;
  }
  std::vector<std::string> Calls;
};

// A scratch folder for one test; files are written and read as raw bytes.
class TScratchDir {
public:
  std::string Path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }
  std::string Write(const std::string& name, const std::string& bytes) const;
  static std::string Read(const std::string& path);

private:
  QTemporaryDir dir_;
};

// Byte-string helpers for fixtures.
std::string Bytes(std::initializer_list<int> values);
void PutInt(std::string& bytes, size_t pos, int32_t value);
void PutShort(std::string& bytes, size_t pos, int32_t value);
void PutFloat(std::string& bytes, size_t pos, float value);
int32_t GetInt(const std::string& bytes, size_t pos);
float GetFloat(const std::string& bytes, size_t pos);
