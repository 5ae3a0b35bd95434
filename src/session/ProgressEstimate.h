#pragma once

#include <cstdint>
#include <string>

#include "core/Core.h"

// The run's progress as both front ends show it.

// The share of the run's input bytes done, in percent (0 ... 100); 0 for a run without bytes.
double RunPercent(const CCore::RunProgress& progress);
// The time the rest of the run should take at the pace so far, in seconds; -1 while there is
// too little to go by (nothing done yet, or under a second of running).
std::int64_t EstimateSecondsLeft(const CCore::RunProgress& progress);
// "0:42", "12:05", "1:02:09"; "?" for a negative count.
std::string FormatDuration(std::int64_t seconds);
