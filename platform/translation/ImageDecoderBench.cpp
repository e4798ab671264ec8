// Decoding a picture the size of an installer's about picture (640 x 480)
// in each format, into the pixel buffer a bitmap is made from. The
// counters give the rate in pixels per second.

#include <ImageDecoder.h>
#include <ImageTestSupport.h>

#include <benchmark/benchmark.h>

using namespace BPrivate;
using namespace brenvik::test;

namespace {

constexpr int32 kWidth = 640;
constexpr int32 kHeight = 480;

void Decode(benchmark::State& state, const Bytes& bytes)
{
    for (auto _ : state) {
        PixelBuffer image;
        if (DecodeImage(bytes.data(), bytes.size(), &image) != B_OK) {
            state.SkipWithError("the picture did not decode");
            return;
        }
        benchmark::DoNotOptimize(image.Bits());
    }
    state.counters["pixels"] = benchmark::Counter(
        double(kWidth) * kHeight * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["file_bytes"] = double(bytes.size());
}

void BM_DecodePng(benchmark::State& state)
{
    Decode(state, MakePng(TestPicture(kWidth, kHeight, false)));
}
BENCHMARK(BM_DecodePng);

void BM_DecodeJpeg(benchmark::State& state)
{
    Decode(state, MakeJpeg(TestPicture(kWidth, kHeight, true)));
}
BENCHMARK(BM_DecodeJpeg);

void BM_DecodeGif(benchmark::State& state)
{
    Decode(state, MakeGif(kWidth, kHeight, 3));
}
BENCHMARK(BM_DecodeGif);

void BM_DecodeBmp24(benchmark::State& state)
{
    Decode(state, MakeBmp(kWidth, kHeight, 24, false));
}
BENCHMARK(BM_DecodeBmp24);

void BM_DecodeBmp8(benchmark::State& state)
{
    Decode(state, MakeBmp(kWidth, kHeight, 8, false));
}
BENCHMARK(BM_DecodeBmp8);

} // namespace
