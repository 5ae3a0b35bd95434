#include "session/ApartRewrite.h"

#include <vector>

#include "platform/File.h"
#include "platform/FileIdentity.h"
#include "session/OutputNames.h"
#include "session/RunFiles.h"

namespace {

// How many names beside the file are tried.
constexpr int kApartNameTries = 1000;
constexpr std::size_t kCopyBlock = 1 << 20;

bool CopyBytes(const std::string& from, const std::string& to, std::string* why) {
    platform::File in = platform::File::OpenRead(from);
    if (!in.IsOpen()) {
        *why = from + " cannot be read: " + in.LastError().text;
        return false;
    }
    platform::File out = platform::File::Create(to);
    if (!out.IsOpen()) {
        *why = to + " cannot be written: " + out.LastError().text;
        return false;
    }
    std::vector<char> block(kCopyBlock);
    for (;;) {
        const std::int64_t read = in.Read(block.data(), block.size());
        if (read < 0) {
            *why = from + " cannot be read: " + in.LastError().text;
            return false;
        }
        if (read == 0) break;
        if (!out.WriteAll(block.data(), static_cast<std::size_t>(read))) {
            *why = to + " cannot be written: " + out.LastError().text;
            return false;
        }
    }
    if (!out.Sync() || !out.Close()) {
        *why = to + " cannot be written: " + out.LastError().text;
        return false;
    }
    return true;
}

}  // namespace

bool RewriteApart(const std::string& path, CRunFiles& runFiles,
                  const std::function<bool(const std::string& copy, std::string* why)>& edit,
                  std::string* why) {
    std::string reason;
    std::string copy;
    for (int number = 1; number <= kApartNameTries && copy.empty(); ++number) {
        const std::string name = UnfinishedOutputName(path, number);
        if (name.empty()) break;
        if (runFiles.Claim(name, &reason))
            copy = name;
        else if (!platform::EntryExists(name))
            break;
    }
    if (copy.empty()) {
        if (why) *why = "no name beside " + path + " can be had: " + reason;
        return false;
    }
    platform::Error error;
    bool done = CopyBytes(path, copy, &reason) && edit(copy, &reason);
    if (done && !platform::CopyPermissions(path, copy, &error)) {
        reason = "the permissions of " + path + " cannot be kept: " + error.text;
        done = false;
    }
    if (done && !platform::RenameFile(copy, path, &error)) {
        reason = copy + " cannot replace " + path + ": " + error.text;
        done = false;
    }
    if (!done) platform::RemoveFile(copy);
    runFiles.Forget(copy);
    if (!done && why) *why = reason;
    return done;
}
