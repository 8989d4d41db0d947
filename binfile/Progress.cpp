#include "binfile/Progress.h"

namespace {
TProgress silentProgress;
TProgress* currentProgress = &silentProgress;
}

TProgress& Progress() { return *currentProgress; }

void SetProgress(TProgress* progress) { currentProgress = progress ? progress : &silentProgress; }
