#include "tools/samples/Samples.h"

namespace Samples {

std::string WeaponsDemo() { return std::string(); }  // placeholder until the weapons format is built

}  // namespace Samples
