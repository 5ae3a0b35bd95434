// A stand-in for a codec program. Runs its options in order, then exits:
//   --record FILE LABEL   append "LABEL start T" now and "LABEL end T" at exit (T: monotonic ns)
//   --pid-file FILE       write own pid
//   --grandchild FILE     start a child that writes its pid to FILE and sleeps for a minute
//   --sleep MS            sleep
//   --busy MS             use the processor
//   --wait-for FILE       sleep until FILE exists, 20 s at most (a test's fault never hangs it)
//   --write FILE BYTES    write BYTES bytes to FILE
//   --say TEXT            write TEXT to standard error; \n, \r, \t and \e stand for controls
//   --say-lines N         write N numbered lines to standard error
//   --exit CODE           exit status (default 0)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

std::string g_recordFile;
std::string g_recordLabel;

long long NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void AppendLine(const std::string& path, const std::string& line) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return;
    const std::string text = line + "\n";
    // One write with O_APPEND keeps lines of concurrent programs whole.
    if (::write(fd, text.data(), text.size()) < 0) std::perror("write");
    ::close(fd);
}

void Record(const char* what) {
    if (!g_recordFile.empty()) {
        AppendLine(g_recordFile, g_recordLabel + " " + what + " " + std::to_string(NowNs()));
    }
}

void WriteText(const std::string& path, const std::string& text) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

void Busy(long ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    volatile unsigned long sink = 0;
    while (std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 10000; ++i) sink = sink + static_cast<unsigned long>(i);
    }
}

void StartGrandchild(const std::string& pidFile) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        WriteText(pidFile + ".tmp", std::to_string(::getpid()));
        std::rename((pidFile + ".tmp").c_str(), pidFile.c_str());
        ::sleep(60);
        ::_exit(0);
    }
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n'   ? '\n'
                   : next == 'r' ? '\r'
                   : next == 't' ? '\t'
                   : next == 'e' ? '\x1B'
                                 : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

void Say(const std::string& text) {
    if (::write(2, text.data(), text.size()) < 0) std::perror("write");
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    int exitCode = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (option == "--record") {
            g_recordFile = next();
            g_recordLabel = next();
            Record("start");
        } else if (option == "--pid-file") {
            const auto path = next();
            WriteText(path + ".tmp", std::to_string(::getpid()));
            std::rename((path + ".tmp").c_str(), path.c_str());
        } else if (option == "--grandchild") {
            StartGrandchild(next());
        } else if (option == "--sleep") {
            std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(next().c_str())));
        } else if (option == "--busy") {
            Busy(std::atol(next().c_str()));
        } else if (option == "--wait-for") {
            const auto path = next();
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!Exists(path) && std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } else if (option == "--write") {
            const auto path = next();
            WriteText(path, std::string(static_cast<std::size_t>(std::atol(next().c_str())), 'x'));
        } else if (option == "--say") {
            Say(Unescaped(next()));
        } else if (option == "--say-lines") {
            const long count = std::atol(next().c_str());
            std::string text;
            for (long line = 1; line <= count; ++line)
                text += "line " + std::to_string(line) + "\n";
            Say(text);
        } else if (option == "--exit") {
            exitCode = std::atoi(next().c_str());
        } else {
            std::fprintf(stderr, "job_program: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    Record("end");
    return exitCode;
}
