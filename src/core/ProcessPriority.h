#pragma once

// Windows priority classes as the design and its settings use them.
constexpr int kIdlePriorityClass = 64;
constexpr int kNormalPriorityClass = 32;
constexpr int kHighPriorityClass = 128;
constexpr int kRealtimePriorityClass = 256;

// The nice value a job runs at for a priority class: idle 19, normal 0, high -10, real-time -20;
// any other value counts as normal.
int NiceForPriorityClass(int priorityClass);

// The priority class for an index of the Priority setting (0 idle, 1 normal, 2 high,
// 3 real-time); -1 for any other index, which changes nothing.
int PriorityClassForIndex(int index);
