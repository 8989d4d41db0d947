#include "tools/samples/SceneSample.h"
#include "tools/samples/Samples.h"

#include <cstdio>

namespace Samples {

namespace {

void Put32(std::string& out, uint32_t value)
{
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void Set32(std::string& out, size_t pos, uint32_t value)
{
  for (int i = 0; i < 4; ++i)
    out[pos + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A chunk: 2-byte identifier, length counting the 6-byte header, content.
std::string Chunk(uint8_t id, const std::string& content)
{
  std::string out;
  out.push_back(static_cast<char>(id));
  out.push_back('\x00');
  Put32(out, static_cast<uint32_t>(content.size() + 6));
  return out + content;
}

// Data bytes that look like a run of small floats and counters; never a 0x22 byte.
std::string Filler(size_t count, uint32_t seed)
{
  std::string out(count, '\0');
  uint32_t x = seed * 2654435761u + 12345u;
  for (size_t i = 0; i < count; ++i) {
    x = x * 1103515245u + 12345u;
    const char c = static_cast<char>((x >> 16) & 0x7F);
    out[i] = c == '\x22' ? '\x23' : c;
  }
  return out;
}

std::string ObjectChunk(uint8_t kind, const std::string& name, size_t bodyBytes, uint32_t seed)
{
  std::string content;
  const std::string nameChunk = name + '\0';
  if (kind == 0x10) {
    content += Chunk(0x10, nameChunk);
  } else {
    content += Chunk(kind, Filler(4, seed));
    if (kind == 0x11)
      content += Chunk(0x12, nameChunk);
  }
  content += Chunk(0x30, Filler(bodyBytes, seed + 1));
  return Chunk(0x40, content);
}

std::string DefinitionChunk(const std::string& name, int32_t type, const std::string& script, size_t dataBytes,
                            uint32_t seed)
{
  std::string content = Chunk(0x23, name + '\0');
  std::string typeValue;
  Put32(typeValue, static_cast<uint32_t>(type));
  content += Chunk(0x22, typeValue);
  std::string data;
  if (type == 5 || type == 27) {
    data = Filler(type == 5 ? 10 : 79, seed);
    Put32(data, static_cast<uint32_t>(script.size()));
    data += script;
  } else {
    data = Filler(dataBytes, seed);
  }
  content += Chunk(0x24, data);
  return Chunk(0x21, content);
}

}  // namespace

TSceneBuilder& TSceneBuilder::Object(uint8_t kind, const std::string& name, size_t bodyBytes)
{
  items_.push_back({false, kind, name, 0, std::string(), bodyBytes});
  return *this;
}

TSceneBuilder& TSceneBuilder::Definition(const std::string& name, int32_t type, const std::string& script,
                                         size_t dataBytes)
{
  items_.push_back({true, 0x21, name, type, script, dataBytes});
  return *this;
}

std::string TSceneBuilder::Build(std::vector<uint32_t>* walkPositions) const
{
  std::string file;
  file.push_back('S');
  file.push_back('\x4E');
  Put32(file, 0);  // TotalLength, set at the end
  std::string header = "VELKORA SAMPLE SCENE";
  header += Filler(160 - 6 - header.size(), 7);
  file += Chunk(0x01, header);
  if (walkPositions)
    walkPositions->clear();

  uint32_t seed = 100;
  for (const Item& item : items_) {
    if (item.Definition)
      continue;
    if (walkPositions)
      walkPositions->push_back(static_cast<uint32_t>(file.size() + 2));
    file += ObjectChunk(item.Kind, item.Name, item.Bytes, seed++);
  }

  std::string definitions;
  const size_t sectionStart = file.size();
  bool first = true;
  for (const Item& item : items_) {
    if (!item.Definition)
      continue;
    const size_t chunkPos = sectionStart + 6 + definitions.size();
    if (walkPositions)
      walkPositions->push_back(static_cast<uint32_t>(first ? sectionStart + 2 : chunkPos - 4));
    first = false;
    definitions += DefinitionChunk(item.Name, item.Type, item.Script, item.Bytes, seed++);
  }
  if (!first)
    file += Chunk(0x20, definitions);

  Set32(file, 2, static_cast<uint32_t>(file.size()));
  return file;
}

std::string SceneDemo()
{
  TSceneBuilder scene;
  scene.Object(0x11, "Tram01", 48)
      .Object(0x11, "Guard_Post", 32)
      .Object(0x10, "Tram01_body", 40)
      .Object(0x45, std::string(), 20)  // a kind the editor does not list
      .Object(0x11, "Kiosk", 28)
      .Object(0x10, "StreetLightNorth", 36)  // fills the 16-byte name field
      .Object(0x10, "Kiosk_roof", 24);
  scene
      .Definition("Door_East", 5,
                  "// opens when the tram arrives\r\n"
                  "wait_for tram01 station\r\n"
                  "open door_east\r\n"
                  "say \"Caf\xE9 ouvert\"\r\n")
      .Definition("Guard", 27,
                  "patrol guard_post kiosk\n"
                  "if alarm\n"
                  "  run_to tram01\n"
                  "end\n")
      .Definition("Barrier", 12, std::string(), 24)
      .Definition("Radio", 5, "play channel_2\nvolume 40\nloop\n")
      .Definition("Finale", 5,
                  "// the mission ends at the kiosk\r\n"
                  "wait_for player kiosk\r\n"
                  "fade_out 2.5\r\n"
                  "mission_complete\r\n");
  return scene.Build();
}

std::string SceneGenerated(int records, size_t approxBytes)
{
  TSceneBuilder scene;
  const int objects = records / 2;
  const int definitions = records - objects;
  const size_t perRecord = records > 0 ? approxBytes / static_cast<size_t>(records) : 0;
  const size_t objectBody = perRecord > 60 ? perRecord - 60 : 8;
  char name[32];
  for (int i = 0; i < objects; ++i) {
    std::snprintf(name, sizeof name, "Obj%05d", i);
    scene.Object(i % 2 ? 0x10 : 0x11, name, objectBody);
  }
  const std::string line = "set_state counter 1 2 3\r\n";
  for (int i = 0; i < definitions; ++i) {
    std::snprintf(name, sizeof name, "Def%05d", i);
    const int type = i % 10 == 9 ? 12 : i % 3 == 2 ? 27 : 5;
    const size_t fixed = 12 + 9 + 10 + (type == 27 ? 89 : 20);
    const size_t textBytes = perRecord > fixed + line.size() ? perRecord - fixed : line.size();
    std::string script;
    while (script.size() + line.size() <= textBytes)
      script += line;
    scene.Definition(name, type, type == 12 ? std::string() : script, textBytes);
  }
  return scene.Build();
}

}  // namespace Samples
