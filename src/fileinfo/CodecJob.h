#pragma once

#include <string>
#include <type_traits>

#include "codecs/Coder.h"
#include "codecs/Decoder.h"
#include "core/IProcessJob.h"

// The per-file copy of a catalogue coder or decoder that the core runs. Besides the program
// run it tells the core the job's files and, for a coder, the decoder job it has to wait for.
// Should the codec records come to answer that themselves, the copy adds nothing (a second
// IProcessJob base would make the core's lookup ambiguous).
template <class TRecord, bool = std::is_base_of_v<IProcessJob, TRecord>>
class CCodecJob final : public TRecord, public IProcessJob {
public:
    explicit CCodecJob(const TRecord& record) : TRecord(record) {}

    IProcess* GetDecoderJob() override {
        if constexpr (std::is_base_of_v<CCoder, TRecord>) {
            return this->GetDecoder();
        } else {
            return nullptr;
        }
    }
    std::string GetJobWaveFile() override { return this->GetWaveFile(); }
    std::string GetJobInputFile() override { return this->GetInputFile(); }
    std::string GetJobOutputFile() override { return this->GetOutputFile(); }
};

template <class TRecord>
class CCodecJob<TRecord, true> final : public TRecord {
public:
    explicit CCodecJob(const TRecord& record) : TRecord(record) {}
};
