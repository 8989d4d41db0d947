#include "scene/Scene2File.h"

#include "binfile/Platform.h"
#include "binfile/Progress.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Scene {

namespace {

uint32_t IntAt(const std::string& bytes, uint64_t pos)
{
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>(bytes[static_cast<size_t>(pos) + i]);
  return value;
}

// The text of a 16-byte name field: its bytes up to the first zero byte.
std::string Field16(const std::string& bytes, uint64_t pos)
{
  std::string field = bytes.substr(static_cast<size_t>(pos), 16);
  const size_t zero = field.find('\0');
  if (zero != std::string::npos)
    field.resize(zero);
  return field;
}

// Reads the definition at walk position p into `r`; false when the definition runs past the
// end of the file (the record then keeps what was found and has no script).
bool ReadDefinition(const std::string& bytes, uint64_t p, SceneRecord& r)
{
  const uint64_t fileEnd = bytes.size();
  r.ObjectLength = IntAt(bytes, p + 6);

  // Name scan: bytes from p + 16 up to and including the first 0x22 byte.
  const uint64_t nameStart = p + 16;
  const void* found = std::memchr(bytes.data() + nameStart, TypeSubChunkByte, static_cast<size_t>(fileEnd - nameStart));
  const uint64_t scanEnd =
      found ? static_cast<uint64_t>(static_cast<const char*>(found) - bytes.data()) + 1 : fileEnd;
  std::string scanned = bytes.substr(static_cast<size_t>(nameStart), static_cast<size_t>(scanEnd - nameStart));
  const size_t zero = scanned.find('\0');
  if (zero != std::string::npos)
    scanned.resize(zero);
  r.Name = std::move(scanned);
  if (!found)
    return false;

  const uint64_t k = scanEnd - p;  // offset just after the 0x22 byte
  if (p + k + 9 > fileEnd)
    return false;
  r.DefinitionType = static_cast<int32_t>(IntAt(bytes, p + k + 5));
  r.DataLengthOffset = static_cast<int32_t>(k + 11);

  uint64_t lengthPos = 0;
  if (r.DefinitionType == TypeScript5)
    lengthPos = p + k + 25;
  else if (r.DefinitionType == TypeScript27)
    lengthPos = p + k + 94;
  else
    return true;
  if (lengthPos + 4 > fileEnd)
    return false;
  const uint32_t length = IntAt(bytes, lengthPos);
  if (length < MinScriptLength)
    return true;
  if (lengthPos + 4 + length > fileEnd)
    return false;
  r.HasScript = true;
  r.ScriptLength = length;
  r.ScriptLengthPos = static_cast<uint32_t>(lengthPos);
  r.Script = bytes.substr(static_cast<size_t>(lengthPos + 4), length);
  return true;
}

}  // namespace

std::vector<SceneRecord> WalkRecords(const std::string& bytes, uint32_t totalLength,
                                     const std::function<void(const SceneRecord&)>& onRecord)
{
  std::vector<SceneRecord> records;
  const uint64_t bound = std::min<uint64_t>(totalLength, bytes.size());
  uint64_t p = WalkStart;
  // p + 120 < bound keeps every fixed-offset read of a step (up to p + 36) inside the file.
  while (p + 120 < bound) {
    SceneRecord r;
    r.ObjectPos = static_cast<uint32_t>(p);
    r.Kind = static_cast<uint8_t>(bytes[static_cast<size_t>(p) + 4]);
    r.ObjectLength = IntAt(bytes, p);
    bool complete = true;
    if (r.Kind == KindObjectData)
      r.Name = Field16(bytes, p + 10);
    else if (r.Kind == KindObject)
      r.Name = Field16(bytes, p + 20);
    else if (r.Kind == KindDefinition)
      complete = ReadDefinition(bytes, p, r);
    const uint64_t next = p + r.ObjectLength;
    records.push_back(std::move(r));
    if (onRecord)
      onRecord(records.back());
    if (!complete || next == p || next >= bound)
      break;  // damaged definition, zero step, or the end of the file reached
    p = next;
  }
  return records;
}

std::string ScriptForEditor(const std::string& script) { return script.substr(0, script.find('\0')); }

std::string ScriptFromEditor(const std::string& text)
{
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  size_t lineStart = 0;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      ++i;
      continue;
    }
    out.append(text, lineStart, i - lineStart);
    out += "\r\n";
    i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    lineStart = i;
  }
  if (lineStart < text.size()) {
    out.append(text, lineStart, std::string::npos);
    out += "\r\n";
  }
  return out;
}

std::string EditorWholeText(const std::string& text)
{
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
        ++i;
    } else {
      out += c;
    }
  }
  return out;
}

ScriptSavePlan PlanScriptSave(const SceneRecord& record)
{
  ScriptSavePlan plan;
  plan.Start = record.ScriptLengthPos + 4;
  plan.End = record.ScriptLengthPos + record.ScriptLength + 4;
  plan.NewScriptLength = static_cast<uint32_t>(record.Script.size());
  plan.NewObjectLength = plan.NewScriptLength + record.ObjectLength - record.ScriptLength;
  if (record.DefinitionType == TypeScript5) {
    plan.WritesDataLength = true;
    plan.NewDataLength = plan.NewScriptLength + 20;
  } else if (record.DefinitionType == TypeScript27) {
    plan.WritesDataLength = true;
    plan.NewDataLength = plan.NewScriptLength + 89;
  }
  return plan;
}

}  // namespace Scene

// ---- TSceneFile

namespace {
// Steps of the walk between two repaints of the window.
constexpr size_t kRepaintInterval = 512;
}  // namespace

void TSceneFile::ReadIndex(const std::string& path)
{
  FileName = path;
  if (File.IsOpen())
    File.Close();
  TProgress& progress = Progress();
  progress.SetCaption("Reading Objects");
  std::string bytes;
  if (File.Open(path) == 1) {
    TotalLength = static_cast<uint32_t>(File.ReadInt(0, Scene::TotalLengthPos));
    // One read of the whole file; the walk then works on memory instead of seeking per field.
    bytes = File.ReadBlock(0, File.Size);
  } else {
    TotalLength = 0;
  }
  size_t steps = 0;
  Records = Scene::WalkRecords(bytes, TotalLength, [&](const SceneRecord& r) {
    if (Repaint && ++steps % kRepaintInterval == 0)
      Repaint();
    if (r.Kind == Scene::KindObjectData || r.Kind == Scene::KindObject || r.Kind == Scene::KindDefinition)
      progress.SetStatus("Object " + r.Name);
  });
  Records.shrink_to_fit();
}

SceneRecord* TSceneFile::RecordAt(int index)
{
  if (index < 0 || index >= RecordCount())
    return nullptr;
  return &Records[static_cast<size_t>(index)];
}

bool TSceneFile::WriteScript(const SceneRecord& record, std::string* error)
{
  auto fail = [&](const std::string& why) {
    if (error)
      *error = why;
    if (!File.IsOpen())
      File.Open(FileName);
    return false;
  };
  if (!record.HasScript)
    return fail("the record has no script");
  const Scene::ScriptSavePlan plan = Scene::PlanScriptSave(record);
  const int64_t oldLength = TBinaryFile::FileLength(FileName);
  const int64_t expected = oldLength - (int64_t(plan.End) - plan.Start) + plan.NewScriptLength;
  if (oldLength < 0 || plan.End > oldLength || expected > std::numeric_limits<int32_t>::max())
    return fail("the script no longer fits the file");

  File.Path = FileName;
  if (File.ReplaceBlock(static_cast<int32_t>(plan.Start), static_cast<int32_t>(plan.End), record.Script) != 1)
    return fail("the copy could not be written");
  const std::string copyPath = FileName + ".NEW";
  if (TBinaryFile::FileLength(copyPath) != expected)
    return fail("the copy is incomplete");

  // The length fields all lie before the text, so they have the same positions in the copy.
  TBinaryFile copy;
  copy.Path = copyPath;
  const bool patched =
      copy.WriteInt(static_cast<int32_t>(record.ScriptLengthPos), 0, static_cast<int32_t>(plan.NewScriptLength)) == 1 &&
      copy.WriteInt(static_cast<int32_t>(record.ObjectPos), 6, static_cast<int32_t>(plan.NewObjectLength)) == 1 &&
      (!plan.WritesDataLength || copy.WriteInt(static_cast<int32_t>(record.ObjectPos), record.DataLengthOffset,
                                               static_cast<int32_t>(plan.NewDataLength)) == 1) &&
      copy.WriteInt(0, Scene::TotalLengthPos, static_cast<int32_t>(expected)) == 1;
  if (!patched)
    return fail("the lengths could not be written into the copy");

  std::string why;
  if (!ReplaceFileAtomically(copyPath, FileName, &why))
    return fail("the copy could not replace the file: " + why);
  File.Open(FileName);
  return true;
}

int TSceneFile::Find(const Identity& identity) const
{
  // Walk positions strictly increase, so the table is ordered by ObjectPos.
  const auto it = std::lower_bound(Records.begin(), Records.end(), identity.ObjectPos,
                                   [](const SceneRecord& r, uint32_t pos) { return r.ObjectPos < pos; });
  if (it == Records.end() || it->ObjectPos != identity.ObjectPos || it->Kind != identity.Kind ||
      it->Name != identity.Name)
    return -1;
  return static_cast<int>(it - Records.begin());
}

TSceneFile::SaveOutcome TSceneFile::SaveChanged(std::optional<int>* shownIndex)
{
  SaveOutcome outcome;
  TProgress& progress = Progress();
  progress.Show();
  progress.SetCaption("Saving Objects");
  for (int i = 0; i < RecordCount(); ++i) {
    const SceneRecord& record = Records[static_cast<size_t>(i)];
    if (record.Name.empty() || !record.ScriptChanged)
      continue;
    progress.SetStatus(record.Name);
    if (!record.HasScript)
      continue;

    // The re-read after the write replaces the table: keep the other edits and the shown
    // record by identity, to put them back onto the fresh records.
    struct Carried {
      Identity Id;
      std::string Script;
    };
    std::vector<Carried> carried;
    for (int j = 0; j < RecordCount(); ++j)
      if (j != i && Records[static_cast<size_t>(j)].ScriptChanged)
        carried.push_back({IdentityOf(Records[static_cast<size_t>(j)]), Records[static_cast<size_t>(j)].Script});
    std::optional<Identity> shown;
    if (shownIndex && *shownIndex && RecordAt(**shownIndex))
      shown = IdentityOf(*RecordAt(**shownIndex));

    const SceneRecord saved = record;
    if (!WriteScript(saved)) {
      outcome.Failed = true;
      break;
    }
    outcome.Written = true;

    progress.Show();
    ReadIndex(FileName);
    progress.SetCaption("Saving Objects");

    // Records after the written text moved by the change of its length.
    const int64_t delta = static_cast<int64_t>(saved.Script.size()) - saved.ScriptLength;
    auto shifted = [&](Identity id) {
      if (id.ObjectPos > saved.ObjectPos)
        id.ObjectPos = static_cast<uint32_t>(static_cast<int64_t>(id.ObjectPos) + delta);
      return id;
    };
    for (const Carried& c : carried) {
      const int index = Find(shifted(c.Id));
      if (index >= 0) {
        Records[static_cast<size_t>(index)].Script = c.Script;
        Records[static_cast<size_t>(index)].ScriptChanged = true;
      }
    }
    if (shown) {
      const int index = Find(shifted(*shown));
      *shownIndex = index >= 0 ? std::optional<int>(index) : std::nullopt;
    }
  }
  progress.Hide();
  return outcome;
}
