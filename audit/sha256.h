#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace durnmoor {

using Sha256Digest = std::array<unsigned char, 32>;

// SHA-256 of many short texts in a row, one context kept for all of them: checking a trail
// hashes every line, and a million lines should cost their hashing and nothing more. The
// system's crypto library does the hashing (with the processor's SHA instructions where it
// has them, ten times the speed of Qt's own code).
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(Sha256 &&) noexcept;
    Sha256 &operator=(Sha256 &&) noexcept;

    Sha256Digest of(std::string_view bytes);

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// SHA-256 of bytes handed over in pieces, such as a large file read a piece at a time, by the
// same library as Sha256 (Qt's own code when the library cannot start one).
class Sha256Pieces {
public:
    Sha256Pieces();
    ~Sha256Pieces();
    Sha256Pieces(const Sha256Pieces &) = delete;
    Sha256Pieces &operator=(const Sha256Pieces &) = delete;

    void add(std::string_view piece);
    // Once the last piece is in: the hex digest of them all; nullopt when the library failed
    // part way, which leaves nothing to be said of the bytes.
    std::optional<std::string> hex();

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// 64 lowercase hex digits; into out, whose storage is reused.
std::string hex_of(const Sha256Digest &digest);
void hex_into(const Sha256Digest &digest, std::string &out);
std::string sha256_hex(std::string_view bytes);

} // namespace durnmoor
