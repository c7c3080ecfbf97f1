#include "digest/Sha1Compress.h"

#include <atomic>
#include <bit>

namespace {

constexpr int kNotChosen = -1;
std::atomic<int> g_engine{kNotChosen};

Sha1Engine ChooseEngine()
{
    int engine = g_engine.load(std::memory_order_relaxed);
    if (engine == kNotChosen) {
        engine = static_cast<int>(CpuHasShaExtensions() ? Sha1Engine::ShaExtensions : Sha1Engine::Portable);
        g_engine.store(engine, std::memory_order_relaxed);
    }
    return static_cast<Sha1Engine>(engine);
}

inline std::uint32_t LoadBigEndian(const unsigned char* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
}

// Word i of the message schedule for i >= 16, kept in a ring of 16 words.
inline std::uint32_t Expand(std::uint32_t w[16], int i)
{
    const std::uint32_t next = std::rotl(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
    w[i & 15] = next;
    return next;
}

struct Choose {
    static constexpr std::uint32_t k = 0x5A827999;
    static std::uint32_t f(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return d ^ (b & (c ^ d)); }
};
struct Parity1 {
    static constexpr std::uint32_t k = 0x6ED9EBA1;
    static std::uint32_t f(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; }
};
struct Majority {
    static constexpr std::uint32_t k = 0x8F1BBCDC;
    static std::uint32_t f(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return (b & c) | (d & (b | c)); }
};
struct Parity2 {
    static constexpr std::uint32_t k = 0xCA62C1D6;
    static std::uint32_t f(std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; }
};

struct Registers {
    std::uint32_t a, b, c, d, e;
};

template <typename Round>
inline void Step(Registers& r, std::uint32_t w)
{
    const std::uint32_t t = std::rotl(r.a, 5) + Round::f(r.b, r.c, r.d) + r.e + Round::k + w;
    r.e = r.d;
    r.d = r.c;
    r.c = std::rotl(r.b, 30);
    r.b = r.a;
    r.a = t;
}

} // namespace

void Sha1CompressPortable(
    std::uint32_t state[5], std::uint32_t workspace[16], const unsigned char* data, std::size_t blocks)
{
    for (; blocks > 0; --blocks, data += 64) {
        for (int i = 0; i < 16; ++i)
            workspace[i] = LoadBigEndian(data + 4 * i);
        Registers r{state[0], state[1], state[2], state[3], state[4]};
        int i = 0;
        for (; i < 16; ++i)
            Step<Choose>(r, workspace[i]);
        for (; i < 20; ++i)
            Step<Choose>(r, Expand(workspace, i));
        for (; i < 40; ++i)
            Step<Parity1>(r, Expand(workspace, i));
        for (; i < 60; ++i)
            Step<Majority>(r, Expand(workspace, i));
        for (; i < 80; ++i)
            Step<Parity2>(r, Expand(workspace, i));
        state[0] += r.a;
        state[1] += r.b;
        state[2] += r.c;
        state[3] += r.d;
        state[4] += r.e;
    }
}

void Sha1Compress(std::uint32_t state[5], std::uint32_t workspace[16], const unsigned char* data, std::size_t blocks)
{
    if (blocks == 0)
        return;
    if (ChooseEngine() == Sha1Engine::ShaExtensions) {
        Sha1CompressShaExtensions(state, data, blocks);
    } else {
        Sha1CompressPortable(state, workspace, data, blocks);
    }
}

Sha1Engine ActiveSha1Engine()
{
    return ChooseEngine();
}

bool SelectSha1Engine(Sha1Engine engine)
{
    if (engine == Sha1Engine::ShaExtensions && !CpuHasShaExtensions())
        return false;
    g_engine.store(static_cast<int>(engine), std::memory_order_relaxed);
    return true;
}
