#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Samples {

// Builds a well-formed scene2.bin from invented content: a top chunk whose first byte is 'S'
// and whose length (offset 2) is the file's, a 160-byte header chunk, the object chunks and,
// last, one section chunk holding the definitions. The index walk starts at the first object's
// length field (offset 168).
class TSceneBuilder {
public:
  // An object chunk. Its first sub-chunk starts with `kind`: for 0x10 it is the name sub-chunk,
  // for 0x11 a 10-byte chunk followed by the name sub-chunk, for any other kind a 10-byte chunk
  // and no name. `bodyBytes` of further data follow in a sub-chunk of their own.
  TSceneBuilder& Object(uint8_t kind, const std::string& name, size_t bodyBytes = 24);
  // A definition chunk: name, type and data sub-chunks. For types 5 and 27 the data sub-chunk
  // ends in the script's length and text; other types carry `dataBytes` of data and no script.
  TSceneBuilder& Definition(const std::string& name, int32_t type, const std::string& script = std::string(),
                            size_t dataBytes = 16);

  // The file. `walkPositions` (if given) receives the walk position of every object and
  // definition, in order: an object's length field, or for a definition the position 4 bytes
  // before its chunk (for the first one, the section's length field).
  std::string Build(std::vector<uint32_t>* walkPositions = nullptr) const;

private:
  struct Item {
    bool Definition;
    uint8_t Kind;
    std::string Name;
    int32_t Type;
    std::string Script;
    size_t Bytes;
  };
  std::vector<Item> items_;
};

// A scene of `records` records, half objects and half definitions (types 5, 27 and 12, nine in
// ten with a script), of about `approxBytes` in all; for benchmarks.
std::string SceneGenerated(int records, size_t approxBytes);

}  // namespace Samples
