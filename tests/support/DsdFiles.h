#pragma once

#include <string>

// DSD test files written from the formats' published layouts, since no Debian tool writes
// them: a sine of the given peak (as a share of full scale) at 2.8224 MHz, 1 bit, made by a
// second-order sigma-delta modulator. DSF keeps 4096-byte blocks per channel, least
// significant bit first; DSDIFF interleaves bytes, most significant bit first.
enum class DsdFile { Dsf, Dsdiff };

bool WriteDsdSine(const std::string& path, DsdFile form, int channels, double seconds,
                  double peak, double frequency = 1000.0);
