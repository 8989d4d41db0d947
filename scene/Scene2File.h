#pragma once
#include "binfile/Binaryfile.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One step of the scene index walk: an object (kinds 0x10, 0x11), a definition (kind 0x21,
// possibly with a script) or a record of any other kind, which only takes up an index.
struct SceneRecord {
  bool HasScript = false;
  uint32_t ObjectLength = 0;
  uint32_t ObjectPos = 0;
  uint8_t Kind = 0;
  std::string Name;
  int32_t DefinitionType = 0;
  int32_t DataLengthOffset = 0;
  uint32_t ScriptLength = 0;
  uint32_t ScriptLengthPos = 0;
  std::string Script;
  bool ScriptChanged = false;
};

namespace Scene {

constexpr uint32_t WalkStart = 168;
constexpr uint32_t TotalLengthPos = 2;
constexpr uint8_t KindObjectData = 0x10;
constexpr uint8_t KindObject = 0x11;
constexpr uint8_t KindDefinition = 0x21;
constexpr uint8_t TypeSubChunkByte = 0x22;
// Definition types whose data sub-chunk ends in a script.
constexpr int32_t TypeScript5 = 5;
constexpr int32_t TypeScript27 = 27;
// A stored script shorter than this is no script.
constexpr uint32_t MinScriptLength = 5;

// Walks `bytes` (the whole file) from position 168 while p + 120 < `totalLength` and returns
// one record per step. Every read stays inside `bytes`: a `totalLength` beyond the file is
// bounded by the file's length, and the walk stops after a zero step, after a step that
// reaches the bound, and after a definition whose name scan or script runs past the end of
// the file (such a definition is kept without a script). `onRecord` sees each record as it
// is taken (progress, repaint).
std::vector<SceneRecord> WalkRecords(const std::string& bytes, uint32_t totalLength,
                                     const std::function<void(const SceneRecord&)>& onRecord = {});

// The script as the editor shows it: the stored bytes up to the first zero byte.
std::string ScriptForEditor(const std::string& script);

// The text to store for the editor's text: split into lines at every CR LF, lone CR and
// lone LF, each line followed by CR LF, the last one included; a text ending in a line break
// gets no extra empty line, an empty text stays empty.
std::string ScriptFromEditor(const std::string& text);

// The memo text of an editor text: line breaks as CR LF, nothing added at the end. Its
// length is what the editor's key handlers compare with a stored script length.
std::string EditorWholeText(const std::string& text);

// The arithmetic of writing a record's `Script` in place of the stored one.
struct ScriptSavePlan {
  uint32_t Start = 0;             // ScriptLengthPos + 4: the old text's first byte
  uint32_t End = 0;               // just after the old text
  uint32_t NewScriptLength = 0;   // n, the length of the edited text
  uint32_t NewObjectLength = 0;   // n + ObjectLength - ScriptLength (32-bit)
  bool WritesDataLength = false;  // types 5 and 27 only
  uint32_t NewDataLength = 0;     // n + 20 (type 5) or n + 89 (type 27)
};
ScriptSavePlan PlanScriptSave(const SceneRecord& record);

}  // namespace Scene

// The index of one scene file and the writing of edited scripts: the accessor opened on the
// file, its TotalLength and the records of the walk. The scene window shows and edits them.
class TSceneFile {
public:
  std::string FileName;
  TBinaryFile File;
  uint32_t TotalLength = 0;
  std::vector<SceneRecord> Records;

  // Called now and then during a walk, so the window showing the index stays drawn.
  std::function<void()> Repaint;

  // Opens the accessor on `path` (kept open) and replaces the records with the walk of it;
  // a file that cannot be opened gives an empty index. Reports status per named record.
  void ReadIndex(const std::string& path);

  int RecordCount() const { return static_cast<int>(Records.size()); }
  // The record at `index`, or null outside the table.
  SceneRecord* RecordAt(int index);

  // Writes one record's Script into the file: ReplaceBlock writes FileName + ".NEW" with the
  // new text, the script, definition and data lengths and the new TotalLength are written
  // into that copy, and the copy replaces the file in one rename. The file itself is not
  // touched before the rename; on failure it is byte-identical, the copy stays beside it,
  // the accessor is open on the file again and `error` says what failed.
  bool WriteScript(const SceneRecord& record, std::string* error = nullptr);

  struct SaveOutcome {
    bool Written = false;  // at least one script reached the file (the index was read again)
    bool Failed = false;   // a script could not be written; the save stopped there
  };
  // Writes every named, changed record with a script, in index order. After each write the
  // index is read again and the other edited texts are carried onto their records, found by
  // their kind, name and (shifted) position, so each is written against fresh positions.
  // `shownIndex`, when given, is the record index the window shows; it is updated to that
  // record's index in the fresh table (none when it is gone).
  SaveOutcome SaveChanged(std::optional<int>* shownIndex = nullptr);

private:
  struct Identity {
    uint32_t ObjectPos;
    uint8_t Kind;
    std::string Name;
  };
  static Identity IdentityOf(const SceneRecord& record) { return {record.ObjectPos, record.Kind, record.Name}; }
  // The index of the record with that identity, or -1.
  int Find(const Identity& identity) const;
};
