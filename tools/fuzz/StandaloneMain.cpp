// Runs a fuzz target without libFuzzer: seed inputs, then a fixed number of mutations from a fixed seed.
// Usage: fuzz-smoke ITERATIONS SEED [seed files...]
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

void Mutate(Bytes &input, std::mt19937 &rng, const std::vector<Bytes> &corpus) {
    auto pick = [&](size_t n) { return n ? size_t(rng() % n) : 0; };
    switch (rng() % 7) {
    case 0: // flip bits
        for (int i = 0, n = 1 + int(rng() % 8); i < n && !input.empty(); ++i)
            input[pick(input.size())] ^= uint8_t(1u << (rng() % 8));
        break;
    case 1: // set bytes to interesting values
        for (int i = 0, n = 1 + int(rng() % 4); i < n && !input.empty(); ++i) {
            static const uint8_t values[] = {0x00, 0xFF, 0xFB, 0xE0, 0x7F, 0x80, 0x01};
            input[pick(input.size())] = values[rng() % sizeof values];
        }
        break;
    case 2: { // erase a run
        if (input.empty())
            break;
        const size_t at = pick(input.size());
        const size_t n = std::min(input.size() - at, size_t(1 + rng() % 600));
        input.erase(input.begin() + long(at), input.begin() + long(at + n));
        break;
    }
    case 3: { // insert a run of random bytes
        const size_t at = pick(input.size() + 1);
        Bytes run(1 + rng() % 300);
        for (auto &b : run)
            b = uint8_t(rng());
        input.insert(input.begin() + long(at), run.begin(), run.end());
        break;
    }
    case 4: { // insert a frame header or tag start
        static const uint8_t pieces[][4] = {{0xFF, 0xFB, 0x90, 0x00}, {0xFF, 0xF3, 0x48, 0xC4}, {'I', 'D', '3', 4},
                                            {'T', 'A', 'G', 0},       {'X', 'i', 'n', 'g'},     {'V', 'B', 'R', 'I'}};
        const auto &piece = pieces[rng() % 6];
        input.insert(input.begin() + long(pick(input.size() + 1)), piece, piece + 4);
        break;
    }
    case 5: { // splice with another seed
        const Bytes &other = corpus[pick(corpus.size())];
        if (other.empty())
            break;
        const size_t from = pick(other.size());
        const size_t n = std::min(other.size() - from, size_t(1 + rng() % 4000));
        input.insert(input.begin() + long(pick(input.size() + 1)), other.begin() + long(from),
                     other.begin() + long(from + n));
        break;
    }
    default: // cut the end
        if (!input.empty())
            input.resize(pick(input.size()));
        break;
    }
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s ITERATIONS SEED [seed files...]\n", argv[0]);
        return 2;
    }
    const long iterations = std::atol(argv[1]);
    std::mt19937 rng(static_cast<unsigned>(std::atol(argv[2])));
    std::vector<Bytes> corpus;
    for (int i = 3; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (corpus.empty())
        corpus.emplace_back();
    for (const Bytes &seed : corpus)
        LLVMFuzzerTestOneInput(seed.data(), seed.size());
    for (long i = 0; i < iterations; ++i) {
        Bytes input = corpus[rng() % corpus.size()];
        for (int m = 0, n = 1 + int(rng() % 4); m < n; ++m)
            Mutate(input, rng, corpus);
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%ld inputs ran\n", iterations + long(corpus.size()));
    return 0;
}
