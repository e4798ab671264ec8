#include "UIDriver.h"

namespace BPrivate {

void UIDriver::StartIfRequested() { }

} // namespace BPrivate
