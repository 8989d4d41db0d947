#pragma once
#include <QObject>

// Reading, value rules and saving of predmety.def, without a window.
class TWeaponsFileTest : public QObject {
  Q_OBJECT
private slots:
  void fieldOffsetsAndBases();
  void readsEveryRecordAtItsOffset();
  void valueTables();
  void rowTexts_data();
  void rowTexts();
  void acceptsInput_data();
  void acceptsInput();
  void applyValue_data();
  void applyValue();
  void conversionError_data();
  void conversionError();
  void sameNameRecordsChangeTogether();
  void saveWithoutEditsKeepsEveryByte();
  void saveWritesOnlyEditedFields();
  void saveObjectText_data();
  void saveObjectText();
  void failedSaveIsReported();
  void shortFile_data();
  void shortFile();
  void missingFile();
};
