// demo_generator <demo folder>: writes the demonstration data set.

#include <cstdio>
#include <exception>

#include "tools/demo/demo_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo_generator <demo folder>\n");
        return 2;
    }
    try {
        demo::WriteDemoData(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo_generator: %s\n", error.what());
        return 1;
    }
    return 0;
}
