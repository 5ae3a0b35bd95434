#pragma once

#include <mutex>

// TagLib 1.13 fills some of its own tables on first use without a lock: two threads reading or
// writing tags at once (two job slots finishing together) can make one of them drop fields it
// would otherwise keep. Everything kelto does with TagLib runs under this lock.
std::unique_lock<std::mutex> LockTagLib();
