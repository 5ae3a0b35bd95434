#pragma once

#include <string>

class IProcess;

// What the core needs to know about a conversion job beyond the program run. Codec records
// implement it next to IProcess (a separate table, so the operation slots of IProcess and of the
// records built on it stay as they are). The core finds it with dynamic_cast; a job without it
// runs as a bare program and nothing is deleted for it.
class IProcessJob {
public:
    // The decoder job that writes this job's input: it must end, and succeed, before this job
    // may start. Null for a decoder and for a coder that reads its source directly.
    virtual IProcess* GetDecoderJob() = 0;
    // The intermediate WAV file: a coder deletes it after its run; a decoder's is deleted when
    // the decoder fails or is stopped, if it is a name from MakeTempFileName still held.
    virtual std::string GetJobWaveFile() = 0;
    // What "%in%" and "%out%" of the job's command line stand for. A stopped job's output is
    // deleted unless it is the job's own source file.
    virtual std::string GetJobInputFile() = 0;
    virtual std::string GetJobOutputFile() = 0;

protected:
    ~IProcessJob() = default;
};
