#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace durnmoor::fuzz {

// Stops the run where a property fails, so that libFuzzer keeps the input.
inline void require(bool holds, const char *file = __builtin_FILE(), int line = __builtin_LINE())
{
    if (holds)
        return;
    std::fprintf(stderr, "%s:%d: property does not hold\n", file, line);
    std::abort();
}

// The first count - 1 lines of an input and the rest after them; missing ones are empty.
inline std::vector<std::string_view> lines(std::string_view text, std::size_t count)
{
    std::vector<std::string_view> out;
    while (out.size() + 1 < count) {
        const std::size_t lf = text.find('\n');
        if (lf == std::string_view::npos)
            break;
        out.push_back(text.substr(0, lf));
        text.remove_prefix(lf + 1);
    }
    out.push_back(text);
    out.resize(count);
    return out;
}

inline QString utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace durnmoor::fuzz

// The entry point libFuzzer calls; the body that follows gets the input as text.
#define DURNMOOR_FUZZ_TARGET(text)                                                                 \
    static void fuzz_one(std::string_view text);                                                   \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)              \
    {                                                                                              \
        fuzz_one(std::string_view(reinterpret_cast<const char *>(data), size));                    \
        return 0;                                                                                  \
    }                                                                                              \
    static void fuzz_one(std::string_view text)
