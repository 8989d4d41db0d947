#include "tools/samples/Samples.h"

namespace Samples {

std::string SceneDemo() { return std::string(); }  // placeholder until the scene format is built

}  // namespace Samples
