#include "core/ProcessPriority.h"

int NiceForPriorityClass(int priorityClass) {
    switch (priorityClass) {
        case kIdlePriorityClass:
            return 19;
        case kHighPriorityClass:
            return -10;
        case kRealtimePriorityClass:
            return -20;
        default:
            return 0;
    }
}

int PriorityClassForIndex(int index) {
    switch (index) {
        case 0:
            return kIdlePriorityClass;
        case 1:
            return kNormalPriorityClass;
        case 2:
            return kHighPriorityClass;
        case 3:
            return kRealtimePriorityClass;
        default:
            return -1;
    }
}
