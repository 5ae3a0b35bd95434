#include "session/ProgramVersions.h"

#include <algorithm>

#include "platform/FileIdentity.h"
#include "session/Catalogue.h"
#include "session/ProgramVersion.h"

CProgramVersions::~CProgramVersions() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        m_queue.clear();
    }
    if (m_reader.joinable()) m_reader.join();
}

void CProgramVersions::Request(const std::vector<std::string>& paths) {
    std::lock_guard lock(m_mutex);
    for (const std::string& path : paths) {
        if (std::find(m_asked.begin(), m_asked.end(), path) != m_asked.end()) continue;
        m_asked.push_back(path);
        m_queue.push_back(path);
    }
    if (m_reading || m_queue.empty()) return;
    // A reader that found its queue empty has ended or is about to: nothing holds it.
    if (m_reader.joinable()) m_reader.join();
    m_reading = true;
    m_reader = std::thread(&CProgramVersions::ReadQueued, this);
}

bool CProgramVersions::Find(const std::string& path, std::string* version) const {
    std::lock_guard lock(m_mutex);
    const auto found = m_known.find(path);
    if (found == m_known.end()) return false;
    *version = found->second;
    return true;
}

void CProgramVersions::ReadQueued() {
    // The programs are started from this thread and waited for on it, as the platform layer
    // asks of every child.
    for (;;) {
        std::string path;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty() || m_stopping) {
                m_reading = false;
                return;
            }
            path = m_queue.front();
            m_queue.pop_front();
        }
        std::string version = ReadProgramVersion(path, m_timeoutMs);
        std::lock_guard lock(m_mutex);
        m_known[path] = std::move(version);
    }
}

std::vector<std::string> CatalogueProgramPaths(CCatalogue& catalogue) {
    std::vector<std::string> paths;
    auto add = [&paths](const std::string& path) {
        if (path.empty()) return;
        for (const std::string& known : paths) {
            if (known == path || platform::IsSameFile(known, path)) return;
        }
        paths.push_back(path);
    };
    CCoderList& coders = catalogue.GetCoders();
    for (int i = 0; i < coders.GetCount(); ++i) {
        if (!catalogue.IsPassThrough(i)) add(coders.GetAt(i)->GetProgramPath());
    }
    CDecoderList& decoders = catalogue.GetDecoders();
    for (int i = 0; i < decoders.GetCount(); ++i) add(decoders.GetAt(i)->GetProgramPath());
    return paths;
}
