#include "audit/sha256.h"

#include <QCryptographicHash>

#include <openssl/evp.h>

#include <cstring>

namespace durnmoor {

namespace {

// Fetched once: a fetch per hash would cost more than hashing a line.
const EVP_MD *sha256_method()
{
    static const EVP_MD *method = [] {
        const EVP_MD *fetched = EVP_MD_fetch(nullptr, "SHA256", nullptr);
        return fetched ? fetched : EVP_sha256();
    }();
    return method;
}

// The SHA instructions the crypto library uses exist in SSE form only, and SSE instructions
// run far slower while the upper halves of the AVX registers are left in use, as the GUI's
// start-up leaves them: a trail's check then took half as long again. Clearing them before
// each hash costs a cycle.
void clear_upper_registers()
{
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool has_avx = __builtin_cpu_supports("avx");
    if (has_avx)
        asm volatile("vzeroupper");
#endif
}

} // namespace

struct Sha256::Context {
    EVP_MD_CTX *evp = EVP_MD_CTX_new();
    Context() = default;
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;
    ~Context() { EVP_MD_CTX_free(evp); }
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {}
Sha256::~Sha256() = default;
Sha256::Sha256(Sha256 &&) noexcept = default;
Sha256 &Sha256::operator=(Sha256 &&) noexcept = default;

Sha256Digest Sha256::of(std::string_view bytes)
{
    clear_upper_registers();
    Sha256Digest digest{};
    unsigned int length = 0;
    if (context_ && context_->evp &&
        EVP_DigestInit_ex(context_->evp, sha256_method(), nullptr) == 1 &&
        EVP_DigestUpdate(context_->evp, bytes.data(), bytes.size()) == 1 &&
        EVP_DigestFinal_ex(context_->evp, digest.data(), &length) == 1 && length == digest.size())
        return digest;
    // A crypto library that refuses (a provider not loaded) still gets the same digest.
    const QByteArray qt =
        QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                 QCryptographicHash::Sha256);
    std::memcpy(digest.data(), qt.constData(), digest.size());
    return digest;
}

struct Sha256Pieces::Context {
    EVP_MD_CTX *evp = EVP_MD_CTX_new();
    std::optional<QCryptographicHash> qt;
    bool failed = false;
    Context()
    {
        if (!evp || EVP_DigestInit_ex(evp, sha256_method(), nullptr) != 1)
            qt.emplace(QCryptographicHash::Sha256);
    }
    Context(const Context &) = delete;
    Context &operator=(const Context &) = delete;
    ~Context() { EVP_MD_CTX_free(evp); }
};

Sha256Pieces::Sha256Pieces() : context_(std::make_unique<Context>()) {}
Sha256Pieces::~Sha256Pieces() = default;

void Sha256Pieces::add(std::string_view piece)
{
    if (context_->qt) {
        context_->qt->addData(QByteArrayView(piece.data(), static_cast<qsizetype>(piece.size())));
        return;
    }
    clear_upper_registers();
    if (EVP_DigestUpdate(context_->evp, piece.data(), piece.size()) != 1)
        context_->failed = true;
}

std::optional<std::string> Sha256Pieces::hex()
{
    Sha256Digest digest{};
    if (context_->qt) {
        const QByteArray qt = context_->qt->result();
        std::memcpy(digest.data(), qt.constData(), digest.size());
        return hex_of(digest);
    }
    unsigned int length = 0;
    if (context_->failed || EVP_DigestFinal_ex(context_->evp, digest.data(), &length) != 1 ||
        length != digest.size())
        return std::nullopt;
    return hex_of(digest);
}

void hex_into(const Sha256Digest &digest, std::string &out)
{
    static constexpr char digits[] = "0123456789abcdef";
    out.resize(digest.size() * 2);
    for (std::size_t i = 0; i < digest.size(); ++i) {
        out[2 * i] = digits[digest[i] >> 4];
        out[2 * i + 1] = digits[digest[i] & 0x0f];
    }
}

std::string hex_of(const Sha256Digest &digest)
{
    std::string out;
    hex_into(digest, out);
    return out;
}

std::string sha256_hex(std::string_view bytes)
{
    Sha256 hash;
    return hex_of(hash.of(bytes));
}

} // namespace durnmoor
