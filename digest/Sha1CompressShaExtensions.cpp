// SHA-1 on the x86 SHA extensions. Only this file's functions are compiled for them (through
// the target attribute), and they run only after cpuid has confirmed the processor has them.
#include "digest/Sha1Compress.h"

#if defined(__x86_64__) || defined(__i386__)

#include <cpuid.h>
#include <immintrin.h>
#include <utility>

#define KELPMERE_SHA_TARGET __attribute__((target("sha,sse4.1"), always_inline))

namespace {

using Messages = __m128i[4];
using Es = __m128i[2];

// Four of the 80 rounds. The message schedule runs three groups ahead in msg1/xor/msg2 steps,
// and the E value alternates between two registers.
template <int G>
KELPMERE_SHA_TARGET inline void FourRounds(__m128i& abcd, Es& e, Messages& m)
{
    constexpr int current = G & 1;
    constexpr int other = current ^ 1;
    constexpr int word = G & 3;
    if constexpr (G == 0) {
        e[0] = _mm_add_epi32(e[0], m[0]);
    } else {
        e[current] = _mm_sha1nexte_epu32(e[current], m[word]);
    }
    e[other] = abcd;
    if constexpr (G >= 3 && G <= 18)
        m[(G + 1) & 3] = _mm_sha1msg2_epu32(m[(G + 1) & 3], m[word]);
    abcd = _mm_sha1rnds4_epu32(abcd, e[current], G / 5);
    if constexpr (G >= 1 && G <= 16)
        m[(G + 3) & 3] = _mm_sha1msg1_epu32(m[(G + 3) & 3], m[word]);
    if constexpr (G >= 2 && G <= 17)
        m[(G + 2) & 3] = _mm_xor_si128(m[(G + 2) & 3], m[word]);
}

template <int... G>
KELPMERE_SHA_TARGET inline void EightyRounds(__m128i& abcd, Es& e, Messages& m, std::integer_sequence<int, G...>)
{
    (FourRounds<G>(abcd, e, m), ...);
}

} // namespace

bool CpuHasShaExtensions()
{
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    const bool sse41 = (ecx & bit_SSE4_1) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx))
        return false;
    const bool sha = (ebx & bit_SHA) != 0;
    return sse41 && sha;
}

__attribute__((target("sha,sse4.1"))) void Sha1CompressShaExtensions(
    std::uint32_t state[5], const unsigned char* data, std::size_t blocks)
{
    // Reverses the bytes of each 128-bit load: the message words are big-endian, and the
    // instructions want the first word in the highest lane.
    const __m128i byteOrder = _mm_set_epi64x(0x0001020304050607LL, 0x08090a0b0c0d0e0fLL);
    __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i eSaved = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abcdSaved = abcd;
        Es e = {eSaved, _mm_setzero_si128()};
        Messages m;
        for (int i = 0; i < 4; ++i) {
            m[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), byteOrder);
        }
        EightyRounds(abcd, e, m, std::make_integer_sequence<int, 20>{});
        eSaved = _mm_sha1nexte_epu32(e[0], eSaved);
        abcd = _mm_add_epi32(abcd, abcdSaved);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(abcd, 0x1B));
    state[4] = static_cast<std::uint32_t>(_mm_extract_epi32(eSaved, 3));
}

#else

#include <cstdlib>

bool CpuHasShaExtensions()
{
    return false;
}

void Sha1CompressShaExtensions(std::uint32_t*, const unsigned char*, std::size_t)
{
    std::abort();
}

#endif
