#include "platform/system/console.h"

namespace platform {

void useParentConsole() {}

}  // namespace platform
