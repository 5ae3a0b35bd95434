#include <string>
#include <vector>

#include "cli/CliApplication.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    CCliApplication application;
    return application.Run(args);
}
