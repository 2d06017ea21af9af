// BLAKE3 and xxHash against b3sum and xxhsum (tests/make-engine-vectors) on
// every path, random cuts, each BLAKE3 vector path against the portable one.
#include "checksum/blake3_engine.h"
#include "checksum/checksum_text.h"
#include "checksum/xxhash_engine.h"

#include "unit_support.h"

#include <gtest/gtest.h>

extern "C" {
#include <blake3_impl.h>
}

#include <fstream>
#include <sstream>
#include <stdio.h>

namespace {

// The digest (size bytes) in hexadecimal of data fed whole, or (cuts) in
// random pieces of at most largest bytes, some empty.
template <typename Context, int (*Init)(Context *), void (*Update)(Context *, const unsigned char *, uint32_t),
          void (*Final)(Context *), size_t Size>
std::string DigestOf(const std::vector<unsigned char> &data, std::mt19937 *cuts, size_t largest)
{
    static Context ctx;
    EXPECT_EQ(Init(&ctx), 0);
    for (size_t at = 0, piece; at < data.size(); at += piece) {
        piece = cuts ? std::min<size_t>((*cuts)() % (largest + 1), data.size() - at) : data.size();
        Update(&ctx, data.data() + at, (uint32_t)piece);
    }
    Final(&ctx);
    char text[SHA512_TEXT_SIZE];
    FormatDigestText(ctx.Digest, Size, 1, text, sizeof text);
    return text;
}

int Blake3Start(Blake3Context *ctx)
{
    Blake3Init(ctx);
    return 0;
}

const struct {
    const char *Name;
    bool Paths;   // runs on each XXH3 path
    decltype(DigestOf<Xxh3Context, Xxh3Init, Xxh3Update, Xxh3Final, 8>) *Digest;
} Engines[] = { { "BLAKE3", false, DigestOf<Blake3Context, Blake3Start, Blake3Update, Blake3Final, 32> },
                { "XXH3", true, DigestOf<Xxh3Context, Xxh3Init, Xxh3Update, Xxh3Final, 8> },
                { "XXH128", true, DigestOf<Xxh3Context, Xxh3Init, Xxh3Update, Xxh128Final, 16> },
                { "XXH64", false, DigestOf<Xxh64Context, Xxh64Init, Xxh64Update, Xxh64Final, 8> } };

// Runs check(engine) for each engine, on each XXH3 path the processor has,
// restoring the path chosen at start-up.
template <typename Check>
void ForEachEngineAndPath(Check check)
{
    Xxh3Path initial = Xxh3ActivePath();
    for (const auto &engine : Engines)
        for (Xxh3Path path : { XXH3_PATH_SCALAR, XXH3_PATH_SSE2, XXH3_PATH_AVX2 }) {
            if (engine.Paths ? !Xxh3PathAvailable(path) : path != initial)
                continue;
            Xxh3SelectPath(path);
            SCOPED_TRACE(std::string(engine.Name) + ", XXH3 path " + std::to_string(path));
            check(engine);
        }
    Xxh3SelectPath(initial);
}

std::vector<unsigned char> OfficialInput(size_t length)
{
    std::vector<unsigned char> data(length);
    for (size_t i = 0; i < length; i++)
        data[i] = (unsigned char)(i % 251);
    return data;
}

} // namespace

TEST(FastEngines, OfficialInputsMatchB3sumAndXxhsumOnEveryPath)
{
    std::vector<unsigned char> empty;
    EXPECT_EQ(Engines[0].Digest(empty, nullptr, 0), "af1349b9f5f9a1a6a0404dea36dcc9499bcb25c9adc112b7cc9a93cae41f3262");
    EXPECT_EQ(Engines[1].Digest(empty, nullptr, 0), "2d06800538d394c2");
    EXPECT_EQ(Engines[3].Digest(empty, nullptr, 0), "ef46db3751d8e999");
    EXPECT_EQ(Xxh3ActivePath(), __builtin_cpu_supports("avx2")   ? XXH3_PATH_AVX2
                                : __builtin_cpu_supports("sse2") ? XXH3_PATH_SSE2
                                                                 : XXH3_PATH_SCALAR)
        << "XXH3 takes the fastest path this processor has";

    std::ifstream expected(ScratchPath("engine-vectors/expected.txt"));
    ASSERT_TRUE(expected.good()) << "the expected digests were not computed";
    std::string line;
    int lengths = 0;
    for (; std::getline(expected, line); lengths++) {
        std::istringstream fields(line);
        size_t length;
        std::string digests[4];
        fields >> length >> digests[0] >> digests[1] >> digests[2] >> digests[3];
        std::vector<unsigned char> data = OfficialInput(length);
        ForEachEngineAndPath([&](const auto &engine) {
            EXPECT_EQ(engine.Digest(data, nullptr, 0), digests[&engine - Engines]) << length << " bytes";
        });
    }
    EXPECT_EQ(lengths, 22);
}

TEST(FastEngines, RandomCutsGiveTheDigestOfTheWhole)
{
    std::vector<unsigned char> data = RandomBytes(300000, 6);
    ForEachEngineAndPath([&](const auto &engine) {
        std::string whole = engine.Digest(data, nullptr, 0);
        for (unsigned seed = 0; seed < 6; seed++) {
            std::mt19937 cuts(seed);
            EXPECT_EQ(engine.Digest(data, &cuts, seed < 3 ? 300 : 20000), whole) << "seed " << seed;
        }
    });
}

TEST(Blake3Paths, EveryVectorPathMatchesThePortableOne)
{
    bool sse41 = __builtin_cpu_supports("sse4.1"), avx2 = __builtin_cpu_supports("avx2");
    bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
    EXPECT_EQ(blake3_simd_degree(), avx512 ? 16u : avx2 ? 8u : 4u) << "the widest path this processor has";
    const struct {
        const char *Name;
        bool Present;
        decltype(blake3_hash_many_portable) *Hash;
    } paths[] = { { "SSE2", true, blake3_hash_many_sse2 }, { "SSE4.1", sse41, blake3_hash_many_sse41 },
                  { "AVX2", avx2, blake3_hash_many_avx2 }, { "AVX-512", avx512, blake3_hash_many_avx512 } };
    // 1 to 17 chunks, or parents of two children; a counter about to carry.
    std::vector<unsigned char> data = OfficialInput(17 * BLAKE3_CHUNK_LEN);
    const uint8_t *inputs[17];
    for (const auto &path : paths) {
        if (!path.Present)
            printf("BLAKE3 %s path: not on this processor, not tested\n", path.Name);
        for (size_t n = 1; n <= 17 && path.Present; n++)
            for (size_t blocks : { BLAKE3_CHUNK_LEN / BLAKE3_BLOCK_LEN, 1 }) {
                bool chunks = blocks > 1;
                inputs[n - 1] = data.data() + (n - 1) * BLAKE3_CHUNK_LEN;
                uint8_t flags = chunks ? 0 : PARENT, start = chunks ? CHUNK_START : 0, end = chunks ? CHUNK_END : 0;
                std::vector<uint8_t> expected(n * BLAKE3_OUT_LEN), got(n * BLAKE3_OUT_LEN);
                blake3_hash_many_portable(inputs, n, blocks, IV, 0xFFFFFFFEull, chunks, flags, start, end,
                                          expected.data());
                path.Hash(inputs, n, blocks, IV, 0xFFFFFFFEull, chunks, flags, start, end, got.data());
                EXPECT_EQ(got, expected) << "BLAKE3 " << path.Name << ", " << n << (chunks ? " chunks" : " parents");
            }
    }
}
