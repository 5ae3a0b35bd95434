#include "platform/UserId.h"

#include <unistd.h>

namespace platform {

unsigned UserId() { return static_cast<unsigned>(::getuid()); }

}  // namespace platform
