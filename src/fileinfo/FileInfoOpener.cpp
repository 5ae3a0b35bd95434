#include "fileinfo/FileInfoOpener.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "base/Log.h"
#include "base/RedirectedLog.h"
#include "fileinfo/FileInfo.h"
#include "fileinfo/FileInfoCache.h"
#include "fileinfo/MediaInfoHandle.h"
#include "platform/FileStamp.h"
#include "platform/Processors.h"

namespace {

// The log lines one thread's readers wrote, and after which file each run of them ends.
struct ThreadLog {
    std::vector<std::string> Lines;
    // (index of the file, end of its lines in Lines), only for files that logged; the indexes
    // rise, since every thread takes the paths in their order.
    std::vector<std::pair<std::size_t, std::size_t>> Files;
};

// What the threads share while they work through one list of paths.
struct OpenRun {
    OpenRun(const std::vector<std::string>& paths, std::vector<std::unique_ptr<CFileInfo>>& records,
            std::vector<std::string>* failures, CFileInfoCache* cache)
        : Paths(paths), Records(records), Failures(failures), Cache(cache) {}

    const std::vector<std::string>& Paths;
    std::vector<std::unique_ptr<CFileInfo>>& Records;
    std::vector<std::string>* Failures;  // one per path when given
    CFileInfoCache* Cache;               // null: every file is read
    std::atomic<std::size_t> Next{0};
    std::atomic<bool> Failed{false};
    std::mutex FailureMutex;
    std::exception_ptr Failure;
};

void OpenFiles(OpenRun& run, MediaInfoHandle* mediaInfo, ThreadLog& log) {
    try {
        CRedirectedLog redirected(&log.Lines);
        for (std::size_t i = run.Next++; i < run.Paths.size() && !run.Failed; i = run.Next++) {
            auto record = std::make_unique<CFileInfo>();
            platform::FileStamp stamp;
            const bool stamped = run.Cache && platform::ReadFileStamp(run.Paths[i], &stamp);
            if (stamped && run.Cache->Fill(run.Paths[i], stamp, record.get())) {
                run.Records[i] = std::move(record);
                continue;
            }
            const std::size_t linesBefore = log.Lines.size();
            const bool opened = record->Open(run.Paths[i], mediaInfo);
            if (opened && stamped) run.Cache->Store(*record, stamp);
            if (log.Lines.size() != linesBefore) log.Files.emplace_back(i, log.Lines.size());
            if (opened) {
                run.Records[i] = std::move(record);
            } else if (run.Failures) {
                (*run.Failures)[i] = record->GetOpenFailure();
            }
        }
    } catch (...) {
        std::lock_guard lock(run.FailureMutex);
        if (!run.Failure) run.Failure = std::current_exception();
        run.Failed = true;
    }
}

// Every thread's lines in the order of the files they belong to.
std::vector<std::string> MergeInFileOrder(std::vector<ThreadLog>& logs) {
    std::size_t total = 0;
    for (const ThreadLog& log : logs) total += log.Lines.size();
    std::vector<std::string> merged;
    merged.reserve(total);
    std::vector<std::size_t> nextFile(logs.size(), 0);
    std::vector<std::size_t> nextLine(logs.size(), 0);
    for (;;) {
        std::size_t from = logs.size();
        for (std::size_t t = 0; t < logs.size(); ++t) {
            if (nextFile[t] == logs[t].Files.size()) continue;
            if (from == logs.size() ||
                logs[t].Files[nextFile[t]].first < logs[from].Files[nextFile[from]].first)
                from = t;
        }
        if (from == logs.size()) return merged;
        ThreadLog& log = logs[from];
        const std::size_t end = log.Files[nextFile[from]++].second;
        for (; nextLine[from] < end; ++nextLine[from])
            merged.push_back(std::move(log.Lines[nextLine[from]]));
    }
}

}  // namespace

CFileInfoOpener::CFileInfoOpener(MediaInfoHandle* mainHandle, unsigned threads)
    : m_mainHandle(mainHandle), m_threads(threads ? threads : platform::ProcessorCount()) {}

CFileInfoOpener::~CFileInfoOpener() = default;

MediaInfoHandle* CFileInfoOpener::HandleOfThread(unsigned thread) {
    if (thread == 0 || !m_mainHandle) return m_mainHandle;
    while (m_workerHandles.size() < thread) {
        m_workerHandles.push_back(std::make_unique<MediaInfoHandle>(m_mainHandle->GetBinding()));
    }
    return m_workerHandles[thread - 1].get();
}

std::vector<std::unique_ptr<CFileInfo>> CFileInfoOpener::OpenAll(
    const std::vector<std::string>& paths, std::vector<std::string>* failures) {
    std::vector<std::unique_ptr<CFileInfo>> records(paths.size());
    if (failures) failures->assign(paths.size(), std::string());
    OpenRun run(paths, records, failures, m_cache);
    const auto threads = static_cast<unsigned>(
        std::min<std::size_t>(m_threads, std::max<std::size_t>(paths.size(), 1)));
    // Everything is made before the first thread starts: nothing may throw while one runs.
    std::vector<MediaInfoHandle*> handles;
    for (unsigned t = 0; t < threads; ++t) handles.push_back(HandleOfThread(t));
    std::vector<ThreadLog> logs(threads);
    std::vector<std::thread> workers;
    workers.reserve(threads);
    for (unsigned t = 1; t < threads; ++t) {
        try {
            workers.emplace_back(OpenFiles, std::ref(run), handles[t], std::ref(logs[t]));
        } catch (const std::system_error&) {
            break;  // fewer threads than asked; the ones running share the work
        }
    }
    OpenFiles(run, handles[0], logs[0]);
    for (std::thread& worker : workers) worker.join();
    if (run.Failure) std::rethrow_exception(run.Failure);
    AddLogLines(MergeInFileOrder(logs));
    return records;
}
