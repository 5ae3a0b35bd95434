#pragma once

// A job for core tests: a real run of a test program, with the files and the decoder reference
// a codec record would give, and a count of its runs.

#include <atomic>
#include <string>

#include "core/IProcessJob.h"
#include "core/Process.h"
#include "support/programs/ProcessProbe.h"

class CCoreTestJob : public CProcess, public IProcessJob {
public:
    CCoreTestJob(int kind, const std::string& commandLine, IProcess* decoder = nullptr)
        : m_kind(kind), m_decoder(decoder) {
        SetProgramPath(probe::TestProgram("job_program"));
        SetCommandLine(commandLine);
        SetShowWindow(0);
    }

    int GetKind() override { return m_kind; }
    bool Run(int priorityClass) override {
        ++m_runs;
        const bool started = CProcess::Run(priorityClass);
        if (started) m_lastPid = static_cast<int>(GetProcessInfo().processId);
        return started;
    }

    IProcess* GetDecoderJob() override { return m_decoder; }
    std::string GetJobWaveFile() override { return m_waveFile; }
    std::string GetJobInputFile() override { return m_inputFile; }
    std::string GetJobOutputFile() override { return m_outputFile; }

    void SetFiles(const std::string& wave, const std::string& input, const std::string& output) {
        m_waveFile = wave;
        m_inputFile = input;
        m_outputFile = output;
    }
    int Runs() const { return m_runs; }
    int LastPid() const { return m_lastPid; }

private:
    int m_kind;
    IProcess* m_decoder;
    std::string m_waveFile;
    std::string m_inputFile;
    std::string m_outputFile;
    std::atomic<int> m_runs{0};
    std::atomic<int> m_lastPid{0};
};
