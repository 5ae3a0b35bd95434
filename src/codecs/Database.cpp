#include "codecs/Database.h"

#include <array>
#include <cstdint>
#include <pugixml.hpp>

#include "base/Paths.h"
#include "platform/File.h"

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi;

// A missing attribute reads as the empty string.
std::string Attribute(const pugi::xml_node& node, const char* name) {
    return node.attribute(name).value();
}

CDatabasePreset ReadPreset(const pugi::xml_node& node) {
    CDatabasePreset preset;
    if (node.type() != pugi::node_element) return preset;
    preset.CommandLine = Attribute(node, "CommandLine");
    preset.Extension = Attribute(node, "Extension");
    preset.Description = Attribute(node, "Description");
    preset.Type = Attribute(node, "Type");
    return preset;
}

CDatabaseEntry ReadEntry(const pugi::xml_node& node) {
    CDatabaseEntry entry;
    if (node.type() != pugi::node_element) return entry;
    entry.Hash = Attribute(node, "Hash");
    entry.FileName = Attribute(node, "FileName");
    entry.FileSize = Attribute(node, "FileSize");
    entry.Date = Attribute(node, "Date");
    entry.Description = Attribute(node, "Description");
    entry.Type = Attribute(node, "Type");
    entry.Format = Attribute(node, "Format");
    for (const pugi::xml_node& child : node.children()) entry.Presets.push_back(ReadPreset(child));
    return entry;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    platform::File file = platform::File::OpenRead(path);
    if (!file.IsOpen()) return false;
    std::array<char, 16384> chunk;
    for (;;) {
        const std::int64_t got = file.Read(chunk.data(), chunk.size());
        if (got < 0) return false;
        if (got == 0) return true;
        content.append(chunk.data(), static_cast<std::size_t>(got));
    }
}

}  // namespace

CDatabase::CDatabase() : m_document(std::make_unique<pugi::xml_document>()) {}

CDatabase::~CDatabase() = default;

void CDatabase::Clear() {
    m_document->reset();
    m_entries.clear();
    m_date.clear();
}

bool CDatabase::Load(const std::string& path) {
    Clear();
    if (!platform::PathExists(path)) return false;
    std::string content;
    // A file that exists but cannot be read counts as a malformed one: no entries.
    if (ReadWholeFile(path, content)) LoadFromText(content);
    return true;
}

void CDatabase::LoadFromText(const std::string& xml) {
    Clear();
    const pugi::xml_parse_result result =
        m_document->load_buffer(xml.data(), xml.size(), kParseOptions, pugi::encoding_auto);
    if (!result) {
        m_document->reset();
        return;
    }
    ReadTree();
}

void CDatabase::ReadTree() {
    const pugi::xml_node root = m_document->document_element();
    if (!root) return;
    m_date = Attribute(root, "Date");
    for (const pugi::xml_node& child : root.children()) m_entries.push_back(ReadEntry(child));
}

const CDatabaseEntry* CDatabase::GetAt(std::size_t index) const {
    return index < m_entries.size() ? &m_entries[index] : nullptr;
}

const CDatabaseEntry* CDatabase::FindByHash(const std::string& hash) const {
    for (const CDatabaseEntry& entry : m_entries) {
        if (entry.Hash == hash) return &entry;
    }
    return nullptr;
}

const CDatabaseEntry* CDatabase::FindByFileName(const std::string& path) const {
    const std::string fileName = PathFileName(path);
    for (const CDatabaseEntry& entry : m_entries) {
        if (entry.FileName.empty()) continue;  // entries made from comments match nothing
        if (entry.FileName == fileName || entry.FileName == path) return &entry;
    }
    return nullptr;
}
