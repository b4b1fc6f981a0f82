#pragma once

#include <string>

namespace durnmoor::test {

// Two registers of different sizes that the crash test's writer turns into each other;
// after any kill the file must read as exactly one of them.
inline std::string writer_content(int which)
{
    std::string out;
    const int records = which == 0 ? 300 : 700;
    for (int r = 0; r < records; ++r)
        for (int line = 1; line <= 50; ++line)
            out += (which == 0 ? "first " : "second ") + std::to_string(r) + "." +
                   std::to_string(line) + "\r\n";
    return out;
}

} // namespace durnmoor::test
