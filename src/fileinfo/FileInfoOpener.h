#pragma once

#include <memory>
#include <string>
#include <vector>

class CFileInfo;
class CFileInfoCache;
class MediaInfoHandle;

// Opens file records on several threads, each with a MediaInfo handle of its own, so that a
// folder of thousands of files is read on every processor. The results, and the lines the
// readers write to the program log, come out in the order of the paths, exactly as if one
// thread had opened the files one after the other.
class CFileInfoOpener {
public:
    // mainHandle (lent, may be null) serves the calling thread; the other threads' handles are
    // made on first need and kept for later calls. threads 0 means one per processor.
    explicit CFileInfoOpener(MediaInfoHandle* mainHandle, unsigned threads = 0);
    ~CFileInfoOpener();
    CFileInfoOpener(const CFileInfoOpener&) = delete;
    CFileInfoOpener& operator=(const CFileInfoOpener&) = delete;

    // One entry per path: the opened record, or null where Open refused the path. failures
    // (when given) gets one text per path: why Open refused it (CFileInfo::GetOpenFailure),
    // empty for the opened ones. An exception of an Open (out of memory) comes out here after
    // every thread has stopped.
    std::vector<std::unique_ptr<CFileInfo>> OpenAll(const std::vector<std::string>& paths,
                                                    std::vector<std::string>* failures = nullptr);

    unsigned GetThreadCount() const { return m_threads; }
    // From now on a file whose entry in cache (lent; null: none) still holds is taken from it
    // unread, and what is read of the others is stored there.
    void SetCache(CFileInfoCache* cache) { m_cache = cache; }

private:
    MediaInfoHandle* HandleOfThread(unsigned thread);

    MediaInfoHandle* m_mainHandle;
    CFileInfoCache* m_cache = nullptr;
    unsigned m_threads;
    // Handles of threads 1 and up; thread 0 is the caller.
    std::vector<std::unique_ptr<MediaInfoHandle>> m_workerHandles;
};
