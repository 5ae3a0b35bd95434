#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "session/OutputCheck.h"

class CDecoderList;

// The full check of an output, by decoding it: with the catalogue's decoder for its extension
// (the first whose preset extension matches, as CFileInfo::PrepareDecoder chooses), run through
// kelto's process runner into a temporary WAV file in the temporary folder, removed afterwards.
// Then, when lossless, its samples must equal those of referenceWave (the WAV file the coder
// read) at the resolution the coder keeps: the upper heldBits bits (0 for all), so a 32-bit
// source through a 24-bit format is compared on its upper 24 bits (Reduced, Note). Otherwise it
// must decode to the end without error and as long as referenceWave, within the tolerance of
// its format. An output that is a WAV file itself (decoding only) is not decoded: it must be a
// complete WAV file, equal to referenceWave when lossless and as long as it otherwise; without
// referenceWave (empty, or the output itself) only complete, with LengthUnknown.
// cancel, when another thread sets it, ends the decoding program, and the check fails with
// the reason "stopped". Verified is set when the check passed; an output no decoder of the
// catalogue takes passes unverified, with a Note that says so.
// onDecoded, when given, is shown the WAV file the output decoded to (the output itself when it
// is one) once the check has passed, before that file is removed: what else needs the output's
// samples (its loudness) reads them there, without decoding it again.
using DecodedWaveVisitor = std::function<void(const std::string& wave)>;
OutputCheckResult VerifyOutput(const std::string& output, const std::string& referenceWave,
                               const CDecoderList& decoders, bool lossless, int heldBits,
                               const std::atomic<bool>* cancel,
                               const DecodedWaveVisitor& onDecoded = {});
