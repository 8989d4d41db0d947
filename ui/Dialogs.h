#pragma once
#include <QString>

class QWidget;

// The one way the program shows a message box or asks Yes/No. Tests install their own
// TDialogs to record what was shown and to answer questions without blocking.
class TDialogs {
public:
  virtual ~TDialogs() = default;
  // A modal message box with an OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // A modal Yes/No confirmation; true for Yes.
  virtual bool Confirm(const QString& text) = 0;
};

// The dialogs in use (platform message boxes unless a test installed others).
TDialogs& Dialogs();
// Installs `dialogs` (nullptr restores the platform message boxes). The caller keeps ownership.
void SetDialogs(TDialogs* dialogs);

inline void ShowMessage(const QString& text) { Dialogs().ShowMessage(text); }
inline bool ConfirmYesNo(const QString& text) { return Dialogs().Confirm(text); }
