// Host tool: writes the 17 tile bitmaps and the application icon into the folder given as argument.
#include "art.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_art OUTPUT_FOLDER\n");
        return 2;
    }
    if (write_art(argv[1]) != 0) {
        std::fprintf(stderr, "make_art: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
