#include "ui/ErrorReport.h"

#include "ui/Dialogs.h"

void ReportException(const std::exception& error)
{
  // Game text and entries are 8-bit: show the message's bytes as they are.
  ShowMessage(QString::fromLatin1(error.what()));
}
