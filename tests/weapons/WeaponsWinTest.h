#pragma once
#include <QObject>

// The weapons editor window driven through its widgets: loading, the number editor,
// the drop-down list, saving and the messages the user sees.
class TWeaponsWinTest : public QObject {
  Q_OBJECT
private slots:
  void loadListsNamedRecordsAndShowsTheFirst();
  void numberEditThroughTheEditor();
  void refusedNumberEntry_data();
  void refusedNumberEntry();
  void conversionErrorIsReported();
  void longValueSurvivesTheEditor();
  void closingWithAnOpenEditor();
  void dropDownThroughTheEditor();
  void unnamedValueShowsItsNumber();
  void leadingBackslashIsRemoved();
  void sameNameEditThroughTheEditor();
  void noSelectedRecordChangesNothing();
  void saveMessages();
  void shortOrMissingFileIsReportedOnce_data();
  void shortOrMissingFileIsReportedOnce();
  void screenshot();
};
