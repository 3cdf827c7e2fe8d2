// Host tool: writes the refusal click as a WAV file to the path given as argument.
#include "art.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_click OUTPUT.wav\n");
        return 2;
    }
    static std::uint8_t bytes[WavCapacity];
    std::uint32_t size = encode_click(bytes, sizeof bytes);
    if (size == 0 || write_bytes(argv[1], bytes, size) != 0) {
        std::fprintf(stderr, "make_click: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
