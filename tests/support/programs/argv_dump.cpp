// argv_dump FILE ARG...: writes each ARG to FILE followed by a zero byte, so that tests can see
// exactly which arguments a started program received. Exit status 0, or 3 on a write error.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) return 3;
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr) return 3;
    for (int i = 2; i < argc; ++i) std::fwrite(argv[i], 1, std::strlen(argv[i]) + 1, file);
    return std::fclose(file) == 0 ? 0 : 3;
}
