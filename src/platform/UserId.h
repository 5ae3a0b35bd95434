#pragma once

namespace platform {

// The real user id of this process.
unsigned UserId();

}  // namespace platform
