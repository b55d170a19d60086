// The cost of the demo's GIF encoder on 2048 x 2048 pictures of every kind people save:
// one colour, a desktop screenshot with large flat areas, a photo-like picture and noise.
// The yardstick is a plain copy of the same pixel bytes; a picture with long runs of one
// colour must cost no more than a photo-like one. Run it from a Release build without
// sanitizers.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "demo/gif_lzw.h"
#include "tests/demo/gif_test_pictures.h"

namespace {

using gif_test::TPicture;

constexpr int kSide = 2048;

const TPicture& Picture(int kind) {
  static const TPicture flat = gif_test::Flat(kSide, kSide, 7);
  static const TPicture screen = gif_test::ScreenLike(kSide, kSide, 22);
  static const TPicture photo = gif_test::PhotoLike(kSide, kSide, 21);
  static const TPicture noise = gif_test::Noise(kSide, kSide, 8, 23);
  switch (kind) {
    case 0: return flat;
    case 1: return screen;
    case 2: return photo;
    default: return noise;
  }
}

void BM_RawCopy(benchmark::State& state) {
  const TPicture& picture = Picture(2);
  std::vector<uint8_t> copy(picture.Bits.size());
  for (auto _ : state) {
    std::memcpy(copy.data(), picture.Bits.data(), copy.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(copy.size()));
}

void BM_Encode(benchmark::State& state) {
  const TPicture& picture = Picture(static_cast<int>(state.range(0)));
  size_t written = 0;
  for (auto _ : state) {
    std::vector<uint8_t> raster = EncodeGifRaster(picture.Pixels, false);
    written = raster.size();
    benchmark::DoNotOptimize(raster.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(picture.Bits.size()));
  state.counters["raster_bytes"] = static_cast<double>(written);
}

}  // namespace

BENCHMARK(BM_RawCopy)->Unit(benchmark::kMillisecond);
// 0 one colour, 1 screenshot, 2 photo-like, 3 noise.
BENCHMARK(BM_Encode)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
