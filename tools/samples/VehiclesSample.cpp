#include "tools/samples/Samples.h"

namespace Samples {

std::string VehiclesDemo() { return std::string(); }  // placeholder until the vehicles format is built

}  // namespace Samples
