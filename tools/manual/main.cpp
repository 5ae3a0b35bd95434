// kelto_manual SOURCE IMAGE-DIR... OUTPUT.pdf: sets the manual's plain-text source as a PDF.
#include <QGuiApplication>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "ManualRenderer.h"
#include "ManualSource.h"

#ifndef KELTO_VERSION
#define KELTO_VERSION "unknown"
#endif

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: kelto_manual SOURCE [IMAGE-DIR...] OUTPUT.pdf\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "kelto_manual: %s cannot be read\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    ManualSource source;
    std::string error;
    if (!ParseManual(text.str(), source, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    ManualRenderOptions options;
    options.version = KELTO_VERSION;
    for (int i = 2; i < argc - 1; ++i) options.imageDirs.push_back(argv[i]);
    options.output = argv[argc - 1];
    if (!RenderManual(source, options, error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
