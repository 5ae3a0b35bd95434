// Reads arbitrary bytes as an output record: whatever it holds, what is kept reads back the
// same once written, every entry is found by its output and by its source and track, and no
// entry names an output outside the record's folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/Paths.h"
#include "session/OutputRecord.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    COutputRecord record;
    record.Parse(input);
    const std::string text = record.Format();
    COutputRecord again;
    again.Parse(text);
    Check(again.Entries().size() == record.Entries().size());
    Check(again.Format() == text);
    for (const auto& [output, entry] : record.Entries()) {
        Check(output == entry.Output);
        Check(!output.empty() && output.front() != '/');
        Check(output.substr(0, 3) != "../" && output.find("/../") == std::string::npos);
        const RecordEntry* read = again.FindOutput(output);
        Check(read != nullptr && *read == entry);
        const RecordEntry* bySource =
            again.FindSource(entry.Source, PathExtension(output), entry.Track);
        Check(bySource != nullptr && *bySource == entry);
    }
    return 0;
}
