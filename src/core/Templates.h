#pragma once

#include <cstdint>
#include <string>

// The values a command-line template is expanded with.
struct TemplateValues {
    std::string InputPath;   // "%in%"
    std::string OutputPath;  // "%out%"
    std::int32_t SampleRate = 0;
    std::int32_t Channels = 0;
};
