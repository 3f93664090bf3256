// Graphics benchmarks:
//  - composing a 640 x 284 frame from 20 overlapping alpha-blended widget
//    bitmaps (goal: under 2 ns per blended pixel);
//  - Stretch of 1024 x 768 to 640 x 284 and to 1280 x 568 (goal: 20 ms);
//  - loading a 1024 x 768 JPEG through the store, against libjpeg decoding
//    the same bytes from memory (goal: at most 1.2 times as long).
// The JPEG is made by ImageMagick (/usr/bin/convert) at start-up.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/graphics.h"
#include "platform/machine.h"
#include "platform/platform.h"
#include "store/store.h"
#include "tool_store.h"

namespace {

struct Widget {
  c_GUIB_Bitmap *bitmap;
  int32_t x, y;
};

// Frame, background and 20 widgets of random size and place whose pixels
// are all translucent, so every pixel takes the blending path.
struct Scene {
  c_GUIB_Bitmap *frame = new c_GUIB_Bitmap(640, 284);
  c_GUIB_Bitmap *background = new c_GUIB_Bitmap(640, 284);
  std::vector<Widget> widgets;
  int64_t blended = 0;  // pixels blended per frame

  Scene() {
    std::mt19937 rng(42);
    for (uint32_t i = 0; i < 640 * 284; ++i)
      background->Pixels()[i] = 0xFF000000 | (rng() & 0xFFFFFF);
    for (int i = 0; i < 20; ++i) {
      const int32_t w = 80 + int32_t(rng() % 320), h = 30 + int32_t(rng() % 200);
      Widget wd{new c_GUIB_Bitmap(w, h), int32_t(rng() % (640 - w / 2)),
                int32_t(rng() % (284 - h / 2))};
      for (int32_t p = 0; p < w * h; ++p)
        wd.bitmap->Pixels()[p] = uint32_t(1 + rng() % 254) << 24 | (rng() & 0xFFFFFF);
      const int64_t vw = std::min<int64_t>(w, 640 - wd.x), vh = std::min<int64_t>(h, 284 - wd.y);
      blended += vw * vh;
      widgets.push_back(wd);
    }
  }
  ~Scene() {
    for (auto &w : widgets) w.bitmap->Release();
    frame->Release();
    background->Release();
  }
};

void BM_ComposeFrame(benchmark::State &state) {
  Scene scene;
  for (auto _ : state) {
    scene.background->CopyTo(scene.frame, 0, 0, 0, 0, 640, 284);
    for (const Widget &w : scene.widgets)
      w.bitmap->BlendTo(scene.frame, w.x, w.y, 0, 0, int32_t(w.bitmap->Width()),
                        int32_t(w.bitmap->Height()));
    benchmark::DoNotOptimize(scene.frame->Pixels()[1000]);
  }
  state.counters["blended_px"] = double(scene.blended);
  state.counters["ns_per_blended_px"] =
      benchmark::Counter(double(scene.blended) * double(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["ns_per_frame_px"] =
      benchmark::Counter(640.0 * 284 * double(state.iterations()),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ComposeFrame)->Unit(benchmark::kMicrosecond);

void BM_Stretch(benchmark::State &state) {
  GUIB_Ref<c_GUIB_Bitmap> source(new c_GUIB_Bitmap(1024, 768));
  std::mt19937 rng(1);
  for (uint32_t i = 0; i < 1024 * 768; ++i) source->Pixels()[i] = rng();
  for (auto _ : state) {
    state.PauseTiming();
    c_GUIB_Bitmap *b = new c_GUIB_Bitmap(source.get());
    state.ResumeTiming();
    b->Stretch(int32_t(state.range(0)), int32_t(state.range(1)));
    benchmark::DoNotOptimize(b->Pixels());
    state.PauseTiming();
    b->Release();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Stretch)->Args({640, 284})->Args({1280, 568})->Unit(benchmark::kMillisecond);

std::string g_jpeg_host;   // the host file
std::string g_jpeg_name;   // its name in the store
std::string g_jpeg_bytes;  // its contents

void BM_JpegThroughStore(benchmark::State &state) {
  for (auto _ : state) {
    ImageInfo info;
    if (!LoadImage(g_jpeg_name.c_str(), &info)) {
      state.SkipWithError("load failed");
      return;
    }
    benchmark::DoNotOptimize(info.pixels[0]);
    SYS_Free(info.pixels);
  }
}
BENCHMARK(BM_JpegThroughStore)->Unit(benchmark::kMillisecond);

void BM_JpegLibjpegFromMemory(benchmark::State &state) {
  for (auto _ : state) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(g_jpeg_bytes.data()),
                 g_jpeg_bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    std::vector<unsigned char> pixels(size_t(cinfo.output_width) * cinfo.output_height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
      JSAMPROW row = pixels.data() + size_t(cinfo.output_scanline) * cinfo.output_width * 3;
      jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    benchmark::DoNotOptimize(pixels[0]);
  }
}
BENCHMARK(BM_JpegLibjpegFromMemory)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  char dir[] = "/tmp/bench_graphics_XXXXXX";
  if (!mkdtemp(dir)) return 1;
  g_jpeg_host = std::string(dir) + "/photo.jpg";
  const std::string make =
      "/usr/bin/convert -size 1024x768 plasma:fractal -seed 5 -blur 0x1 "
      "-quality 85 " +
      g_jpeg_host;
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "bench_graphics: cannot make the test JPEG\n");
    return 1;
  }
  std::ifstream in(g_jpeg_host, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  g_jpeg_bytes = bytes.str();
  // The store mounted over a folder on drive C: of a private machine, as the
  // program mounts it over its own folder.
  if (ToolOpenStoreFor(g_jpeg_host).empty() || !SYS_CreateDirectory("C:\\BENCH")) return 1;
  char host[4096];
  if (!SYS_MapPath("C:\\BENCH\\photo.jpg", host, sizeof host)) return 1;
  std::ofstream(host, std::ios::binary) << g_jpeg_bytes;
  BF_Unmount();
  BF_MountParams params = {"*.cbf", "C:\\BENCH\\", nullptr, 1, 1, 0};
  if (!BF_Mount(&params)) return 1;
  g_jpeg_name = "photo.jpg";

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ToolCloseStore();
  std::remove(g_jpeg_host.c_str());
  std::remove(dir);
  return 0;
}
