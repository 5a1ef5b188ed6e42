#include "core/PrintDevice.h"

namespace korvane {

PrintDevice::~PrintDevice() = default;

}  // namespace korvane
