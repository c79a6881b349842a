#pragma once
// Unpredictable numbers for the names of new files (temporary names, atomic replacement).

#include <chrono>
#include <cstdint>
#include <random>
#include <string>

// A fresh 32-bit value from the system's entropy source; falls back to a clock-seeded
// generator when that source is unavailable. Callers still create files exclusively.
inline std::uint32_t RandomUInt32() {
    try {
        std::random_device device;
        return device();
    } catch (...) {
        const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
        std::mt19937 generator(static_cast<std::mt19937::result_type>(ticks));
        return generator();
    }
}

// RandomUInt32() as eight upper-case hexadecimal digits, the unique part of a new file's name.
inline std::string RandomHexName() {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::uint32_t bits = RandomUInt32();
    std::string digits(8, '0');
    for (auto it = digits.rbegin(); it != digits.rend(); ++it, bits >>= 4) *it = kHex[bits & 15];
    return digits;
}
