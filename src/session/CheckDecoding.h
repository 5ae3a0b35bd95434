#pragma once

#include <atomic>
#include <string>

class CDecoder;
struct TemplateValues;

// How a decoder run for the full check ended.
struct CheckDecodingEnd {
    bool Succeeded = false;
    bool Stopped = false;  // cancel was set: the program was ended
    std::string Reason;    // why it did not succeed, naming the program and the file
};

// Runs decoder with commandTemplate expanded from values (its input the file to check, its
// output a WAV file), through kelto's own process runner, at normal priority with its output
// discarded, and waits for it. cancel, when another thread sets it, ends the program.
CheckDecodingEnd RunCheckDecoding(const CDecoder& decoder, const std::string& commandTemplate,
                                  const TemplateValues& values, const std::atomic<bool>* cancel);
