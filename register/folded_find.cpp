#include "register/folded_find.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace durnmoor {

namespace {

char small(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
}

#if defined(__SSE2__)
// Sixteen bytes compared with one byte of the word. A small letter is matched by its
// capital too: setting 0x20 turns the capital into it and nothing else into it.
struct FoldedByte {
    explicit FoldedByte(char c)
        : value(_mm_set1_epi8(c)), fold(_mm_set1_epi8(c >= 'a' && c <= 'z' ? 0x20 : 0))
    {
    }
    __m128i equal(const char *at) const
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        return _mm_cmpeq_epi8(_mm_or_si128(bytes, fold), value);
    }
    __m128i value;
    __m128i fold;
};
#endif

} // namespace

bool FoldedFinder::stands_at(const char *at) const
{
    for (const char c : word_)
        if (small(*at++) != c)
            return false;
    return true;
}

const char *FoldedFinder::find(const char *from, const char *to) const
{
    const std::size_t length = word_.size();
    if (static_cast<std::size_t>(to - from) < length)
        return to;
    const char *const last_start = to - length;
    const char *at = from;
#if defined(__SSE2__)
    // Places whose first and last bytes both fit are the only ones compared whole.
    const FoldedByte first(word_.front());
    const FoldedByte last(word_.back());
    for (; last_start - at >= 15; at += 16) {
        unsigned places = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(first.equal(at), last.equal(at + length - 1))));
        for (; places != 0; places &= places - 1) {
            const char *place = at + __builtin_ctz(places);
            if (stands_at(place))
                return place;
        }
    }
#endif
    for (; at <= last_start; ++at)
        if (stands_at(at))
            return at;
    return to;
}

const char *first_beyond_ascii(const char *from, const char *to)
{
    const char *at = from;
#if defined(__SSE2__)
    for (; to - at >= 16; at += 16) {
        const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(at)));
        if (high != 0)
            return at + __builtin_ctz(static_cast<unsigned>(high));
    }
#endif
    for (; at < to; ++at)
        if (static_cast<unsigned char>(*at) >= 0x80)
            return at;
    return to;
}

} // namespace durnmoor
