// Throughput of our SHA-1 and MD5 against OpenSSL's EVP digests (when OpenSSL is present), on
// a 16 KiB and a 4 MiB message.
#include "digest/CMd5Digest.h"
#include "digest/CSha1Digest.h"
#include "digest/Sha1Compress.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#ifdef KELPMERE_BENCH_OPENSSL
#include <openssl/evp.h>
#endif

namespace {

// 4 MiB of fixed pseudo-random bytes; the shorter cases hash its start.
const unsigned char* Message()
{
    static std::vector<unsigned char> bytes = [] {
        std::vector<unsigned char> data(4u << 20);
        std::uint32_t x = 12345;
        for (unsigned char& b : data) {
            x = x * 1103515245u + 12345u;
            b = static_cast<unsigned char>(x >> 24);
        }
        return data;
    }();
    return bytes.data();
}

void SetThroughput(benchmark::State& state, std::size_t size)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
}

void Sha1Ours(benchmark::State& state, Sha1Engine engine)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const unsigned char* data = Message();
    const Sha1Engine previous = ActiveSha1Engine();
    if (!SelectSha1Engine(engine)) {
        state.SkipWithError("no SHA extensions on this processor");
        return;
    }
    for (auto _ : state) {
        CSha1Digest sha;
        sha.Update(data, static_cast<unsigned int>(size));
        sha.Final();
        benchmark::DoNotOptimize(sha.digest);
    }
    SelectSha1Engine(previous);
    SetThroughput(state, size);
}

void BM_Sha1_Ours(benchmark::State& state)
{
    Sha1Ours(state, Sha1Engine::ShaExtensions);
}
void BM_Sha1_OursPortable(benchmark::State& state)
{
    Sha1Ours(state, Sha1Engine::Portable);
}

void BM_Md5_Ours(benchmark::State& state)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const unsigned char* data = Message();
    for (auto _ : state) {
        CMd5Digest md5;
        md5.Update(data, static_cast<unsigned int>(size));
        md5.Final();
        benchmark::DoNotOptimize(md5.digest);
    }
    SetThroughput(state, size);
}

#ifdef KELPMERE_BENCH_OPENSSL
void OpenSslDigest(benchmark::State& state, const EVP_MD* md)
{
    const std::size_t size = static_cast<std::size_t>(state.range(0));
    const unsigned char* data = Message();
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    unsigned char out[EVP_MAX_MD_SIZE];
    unsigned int outSize = 0;
    for (auto _ : state) {
        EVP_DigestInit_ex(context, md, nullptr);
        EVP_DigestUpdate(context, data, size);
        EVP_DigestFinal_ex(context, out, &outSize);
        benchmark::DoNotOptimize(out);
    }
    EVP_MD_CTX_free(context);
    SetThroughput(state, size);
}

void BM_Sha1_OpenSsl(benchmark::State& state)
{
    OpenSslDigest(state, EVP_sha1());
}
void BM_Md5_OpenSsl(benchmark::State& state)
{
    OpenSslDigest(state, EVP_md5());
}
#endif

constexpr std::int64_t k16KiB = 16 << 10;
constexpr std::int64_t k4MiB = 4 << 20;

BENCHMARK(BM_Sha1_Ours)->Arg(k16KiB)->Arg(k4MiB);
BENCHMARK(BM_Sha1_OursPortable)->Arg(k16KiB)->Arg(k4MiB);
BENCHMARK(BM_Md5_Ours)->Arg(k16KiB)->Arg(k4MiB);
#ifdef KELPMERE_BENCH_OPENSSL
BENCHMARK(BM_Sha1_OpenSsl)->Arg(k16KiB)->Arg(k4MiB);
BENCHMARK(BM_Md5_OpenSsl)->Arg(k16KiB)->Arg(k4MiB);
#endif

} // namespace

BENCHMARK_MAIN();
