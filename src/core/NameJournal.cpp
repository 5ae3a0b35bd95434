#include "core/NameJournal.h"

#include <unordered_map>

#include "core/StaleFiles.h"

namespace {

constexpr char kHeader[] = "kelto journal 1\n";
constexpr std::size_t kHeaderSize = sizeof kHeader - 1;
// Past this size a journal is written anew with only the names it still lists, so that a long
// session does not grow it without end.
constexpr std::int64_t kCompactSize = 64 * 1024;

std::string Line(char change, const std::string& name) {
    std::string line(1, change);
    for (char c : name) {
        if (c == '\\') {
            line += "\\\\";
        } else if (c == '\n') {
            line += "\\n";
        } else {
            line += c;
        }
    }
    line += '\n';
    return line;
}

// The name a line carries; false for a line that is not one of ours.
bool ParseName(const std::string& text, std::size_t begin, std::size_t end, std::string* name) {
    name->clear();
    for (std::size_t i = begin; i < end; ++i) {
        if (text[i] != '\\') {
            *name += text[i];
            continue;
        }
        if (++i == end) return false;
        if (text[i] == '\\') {
            *name += '\\';
        } else if (text[i] == 'n') {
            *name += '\n';
        } else {
            return false;
        }
    }
    return CNameJournal::IsPlainName(*name);
}

}  // namespace

bool CNameJournal::ListedNames(const std::string& text, std::vector<std::string>* names) {
    if (text.compare(0, kHeaderSize, kHeader) != 0) return false;
    std::unordered_map<std::string, bool> listed;
    std::vector<std::string> order;
    std::string name;
    for (std::size_t begin = kHeaderSize;;) {
        const std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) break;  // a line cut short, or none
        const char change = end > begin ? text[begin] : '\0';
        if ((change == '+' || change == '-') && ParseName(text, begin + 1, end, &name)) {
            const auto [at, added] = listed.try_emplace(name, change == '+');
            if (added) order.push_back(name);
            at->second = change == '+';
        }
        begin = end + 1;
    }
    names->clear();
    for (const std::string& each : order) {
        if (listed[each]) names->push_back(each);
    }
    return true;
}

bool CNameJournal::Create(const std::string& path, platform::Error* error) {
    platform::LockFile file = platform::LockFile::Create(path, error);
    if (!file.IsHeld()) return false;
    if (!file.Append(kHeader, error)) {
        file.Remove();
        return false;
    }
    m_file = std::move(file);
    m_names.clear();
    m_namesBytes = 0;
    return true;
}

bool CNameJournal::Add(const std::string& name, std::string* reason) {
    if (!IsPlainName(name)) {
        if (reason) *reason = "not a plain file name: " + name;
        return false;
    }
    if (Lists(name)) return true;
    if (!Write('+', name, reason)) return false;
    m_names.insert(name);
    m_namesBytes += Line('+', name).size();
    return true;
}

void CNameJournal::Drop(const std::string& name) {
    if (m_names.erase(name) == 0) return;
    m_namesBytes -= Line('+', name).size();
    // Nothing listed any more: the journal can start afresh.
    if (m_names.empty() && m_file.Truncate(static_cast<std::int64_t>(kHeaderSize))) return;
    Write('-', name, nullptr);
    if (m_file.Size() > kCompactSize &&
        m_file.Size() > 8 * static_cast<std::int64_t>(m_namesBytes)) {
        Compact();
    }
}

bool CNameJournal::Write(char change, const std::string& name, std::string* reason) {
    platform::Error error;
    if (m_file.Append(Line(change, name), &error)) return true;
    if (reason) *reason = error.text;
    return false;
}

// A crash between cutting the journal and writing it anew leaves some of our files unlisted:
// they would stay, but no file that is not ours can ever be listed that way.
void CNameJournal::Compact() {
    std::string text;
    text.reserve(m_namesBytes);
    for (const std::string& name : m_names) text += Line('+', name);
    if (m_file.Truncate(static_cast<std::int64_t>(kHeaderSize))) m_file.Append(text);
}

void CNameJournal::Remove() {
    if (m_file.IsHeld()) m_file.Remove();
    m_names.clear();
    m_namesBytes = 0;
}

int CNameJournal::RemoveIfStale(const std::string& folder, const std::string& journalName) {
    return RemoveStaleFiles(folder, journalName, ListedNames);
}

bool CNameJournal::IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\0", 2)) == std::string::npos;
}
