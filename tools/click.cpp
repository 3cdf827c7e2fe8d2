// Synthesises the refusal click, a short damped wooden "tock", as 16-bit mono PCM in a WAV file.
#include "art.h"

#include <cmath>
#include <cstring>

constexpr std::uint32_t SampleRate = 22050;
constexpr std::uint32_t SampleCount = SampleRate * 60 / 1000;

std::uint32_t encode_click(std::uint8_t* out, std::uint32_t capacity)
{
    std::uint32_t data_bytes = SampleCount * 2;
    std::uint32_t total = 44 + data_bytes;
    if (capacity < total) {
        return 0;
    }
    std::memcpy(out, "RIFF", 4);
    put32(out + 4, total - 8);
    std::memcpy(out + 8, "WAVEfmt ", 8);
    put32(out + 16, 16);
    put16(out + 20, 1);
    put16(out + 22, 1);
    put32(out + 24, SampleRate);
    put32(out + 28, SampleRate * 2);
    put16(out + 32, 2);
    put16(out + 34, 16);
    std::memcpy(out + 36, "data", 4);
    put32(out + 40, data_bytes);

    // A 1100 Hz body with a quickly fading partial near 2.7 times it, which gives the wooden attack;
    // a 1.5 ms raised-cosine onset avoids a pop, an exponential decay and a 6 ms fade end it at zero.
    const double pi = 3.14159265358979323846;
    const double attack = 0.0015;
    const double fade = 0.006;
    const double duration = static_cast<double>(SampleCount) / SampleRate;
    const double peak = 20000.0;
    for (std::uint32_t i = 0; i < SampleCount; ++i) {
        double t = static_cast<double>(i) / SampleRate;
        double envelope = std::exp(-t / 0.012);
        if (t < attack) {
            envelope *= 0.5 - 0.5 * std::cos(pi * t / attack);
        }
        if (t > duration - fade) {
            envelope *= (duration - t) / fade;
        }
        double body = std::sin(2.0 * pi * 1100.0 * t);
        double knock = 0.45 * std::exp(-t / 0.004) * std::sin(2.0 * pi * 2970.0 * t);
        double value = peak * envelope * (body + knock) / 1.45;
        long sample = std::lround(value);
        if (sample > 32767) {
            sample = 32767;
        }
        if (sample < -32767) {
            sample = -32767;
        }
        put16(out + 44 + 2 * i, static_cast<std::uint32_t>(sample) & 0xFFFF);
    }
    return total;
}
