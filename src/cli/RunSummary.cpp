#include "cli/RunSummary.h"

#include <unordered_map>
#include <vector>

#include "cli/PrintableText.h"
#include "codecs/Codec.h"
#include "core/Process.h"
#include "fileinfo/FileInfo.h"
#include "session/Conversion.h"
#include "session/OutputNames.h"
#include "session/RunFailures.h"

namespace {

using State = ProcessExitStatus::State;

std::string CommandText(CCodec& job) {
    return PrintableText(job.GetProgramPath() + " " + job.GetCommandLine());
}

}  // namespace

std::string CRunSummary::EndText(const RunJob& job) {
    return PrintableText(DescribeExitStatus(job.Job->GetExitStatus()));
}

std::string CRunSummary::JobResultText(const RunJob& job) {
    std::string text = PrintableText(PathFileName(job.Job->GetInputFile())) + " -> " +
                       PrintableText(PathFileName(OwnOutputName(job.Job->GetOutputFile())));
    if (!job.Job->GetExitStatus().Succeeded()) text += " (" + EndText(job) + ")";
    return text;
}

bool CRunSummary::FileSucceeded(std::size_t first, std::size_t end) const {
    for (std::size_t i = first; i < end; ++i) {
        if (!m_jobs[i].Job->GetExitStatus().Succeeded()) return false;
    }
    return true;
}

int CRunSummary::Print(std::FILE* out, int stopSignal) const {
    int written = 0;
    int files = 0;
    int failed = 0;
    int notRun = 0;
    int skipped = 0;
    // Each file's notes, found once rather than by a walk over all of them per file.
    std::unordered_map<const CFileInfo*, std::vector<const RunNote*>> notesOf;
    for (const RunNote& note : m_notes) notesOf[note.File].push_back(&note);
    for (std::size_t first = 0; first < m_jobs.size();) {
        std::size_t end = first;
        while (end < m_jobs.size() && m_jobs[end].File == m_jobs[first].File) ++end;
        ++files;
        const CFileInfo* file = m_jobs[first].File;
        const std::string path = PrintableText(file->Path);
        if (const auto notes = notesOf.find(file); notes != notesOf.end()) {
            for (const RunNote* note : notes->second) {
                if (note->Skipped) ++skipped;
                std::fprintf(out, "%s: %s: %s\n", note->Skipped ? "Skipped" : "Warning",
                             path.c_str(), PrintableText(note->Text).c_str());
            }
        }
        if (FileSucceeded(first, end)) {
            ++written;
            std::fprintf(out, "Written: %s\n",
                         PrintableText(CConversion::GetFinalOutput(*file)).c_str());
        }
        for (std::size_t i = first; i < end; ++i) {
            const ProcessExitStatus status = m_jobs[i].Job->GetExitStatus();
            if (status.state == State::Declined) continue;
            if (status.state == State::NotRun) {
                ++notRun;
            } else if (status.Failed()) {
                ++failed;
                std::fprintf(out, "Failed: %s for %s: %s\n  command: %s\n",
                             CRunMonitor::DescribeJob(*m_jobs[i].Job).c_str(), path.c_str(),
                             EndText(m_jobs[i]).c_str(), CommandText(*m_jobs[i].Job).c_str());
            }
        }
        first = end;
    }
    if (stopSignal != 0) {
        std::fprintf(out, "Stopped by signal %d: %d job(s) did not run.\n", stopSignal, notRun);
    } else if (notRun != 0) {
        std::fprintf(out, "%d job(s) did not run.\n", notRun);
    }
    std::fprintf(out, "%d of %d file(s) converted, %d job(s) failed", written, files, failed);
    if (m_inputs.Unreadable != 0) std::fprintf(out, ", %d could not be read", m_inputs.Unreadable);
    std::fprintf(out, ".\n");
    if (m_verified != 0) {
        std::fprintf(out, "%d file(s) verified: decoded again and compared with the source.\n",
                     m_verified);
    }
    if (skipped != 0) std::fprintf(out, "%d file(s) skipped: their output exists.\n", skipped);
    for (const std::string& output : m_orphans) {
        std::fprintf(out, "Source gone: %s (kept)\n", PrintableText(output).c_str());
    }
    if (!m_orphans.empty()) {
        std::fprintf(out, "%zu output(s) kept whose source is gone.\n", m_orphans.size());
    }
    for (const std::string& album : m_noAlbumGain) {
        std::fprintf(out, "No album gain: %s\n", PrintableText(album).c_str());
    }
    PrintNotAudio(out, m_inputs, "");
    std::fflush(out);
    const bool allRead = m_inputs.Unreadable == 0;
    return (failed == 0 && notRun == 0 && stopSignal == 0 && allRead) ? 0 : 1;
}

void CRunSummary::PrintNotAudio(std::FILE* out, const InputCounts& inputs, const char* prefix) {
    if (inputs.NotAudio != 0) {
        std::fprintf(out, "%s%d file(s) passed over: not audio.\n", prefix, inputs.NotAudio);
    }
}

int CRunSummary::PrintInputs(std::FILE* out, const InputCounts& inputs, const char* prefix) {
    if (inputs.Unreadable != 0) {
        std::fprintf(out, "%s%d input(s) could not be read.\n", prefix, inputs.Unreadable);
    }
    PrintNotAudio(out, inputs, prefix);
    std::fflush(out);
    return inputs.Unreadable == 0 ? 0 : 1;
}
