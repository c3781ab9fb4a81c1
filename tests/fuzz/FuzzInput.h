#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

// Reads a fuzzer's bytes as a stream of small decisions; once the bytes run out every read
// gives 0, so any input is a complete, valid run.
class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : next(data), end(data + size) {}

    bool exhausted() const { return next == end; }
    std::uint8_t byte() { return next == end ? 0 : *next++; }
    // A number from 0 to n - 1, for n up to 256.
    int below(int n) { return byte() % n; }
    std::uint32_t word() {
        std::uint32_t w = 0;
        for (int k = 0; k < 4; ++k) {
            w = w << 8 | byte();
        }
        return w;
    }
    // Any 32-bit pattern: huge, tiny, subnormal, infinite and NaN values included.
    float anyFloat() {
        const std::uint32_t bits = word();
        float f;
        std::memcpy(&f, &bits, sizeof f);
        return f;
    }
    // A grid position: mostly whole numbers inside a 100-cell grid, also fractional ones, ones
    // outside it, special values and raw bit patterns, and repeats of the previous value.
    float coordinate() {
        static const float special[] = {std::numeric_limits<float>::quiet_NaN(),
                                        std::numeric_limits<float>::infinity(),
                                        -std::numeric_limits<float>::infinity(),
                                        1e30f,
                                        -1e30f,
                                        3e9f,
                                        -3e9f,
                                        1e-40f,
                                        -0.0f,
                                        99.5f,
                                        0.49999997f,
                                        -1.5f,
                                        1024.0f,
                                        1025.0f};
        switch (below(8)) {
            case 0:
            case 1:
            case 2:
                previous = static_cast<float>(below(100));
                break;
            case 3:
                previous = static_cast<float>(below(256)) - 80.0f;
                break;
            case 4:
                previous = static_cast<float>(below(100)) + static_cast<float>(byte()) / 256.0f;
                break;
            case 5:
                previous = special[below(sizeof special / sizeof special[0])];
                break;
            case 6:
                previous = anyFloat();
                break;
            default:
                break;  // the previous value again
        }
        return previous;
    }

private:
    const std::uint8_t* next;
    const std::uint8_t* end;
    float previous = 0.0f;
};

// A failed property is a finding: report it and stop, as a crash would.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
