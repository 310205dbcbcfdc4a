// What the port-data verbs spend on one sample: decoding and printing a planning image (400 x
// 400 x 3) and a velocity command, and recording an image (deflated) into a file.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "tools/port_data/cdr_codec.h"
#include "tools/port_data/json_form.h"
#include "tools/port_data/recording_file.h"
#include "tools/port_data/text_form.h"

namespace {

using namespace port_data;

constexpr int kSide = 400;
constexpr int kChannels = 3;

// A planning image as the planner draws it: black, a grey band of unknown cells, green walls.
Bytes planningImageOctets() {
  const TypeDesc& type = *findType("Orvn::TimedImageData");
  Value sample = defaultValue(type);
  Value::Items& data = sample.items()[1].items();
  data[0] = Value{std::int64_t{kChannels}};
  data[1] = Value{std::int64_t{8}};
  data[3] = Value{std::int64_t{kSide}};
  data[4] = Value{std::int64_t{kSide}};
  data[5] = Value{std::int64_t{kSide * kSide * kChannels}};
  Bytes pixels(kSide * kSide * kChannels, 0);
  for (int row = 0; row < kSide; ++row) {
    for (int column = 0; column < kSide; ++column) {
      std::uint8_t* pixel = &pixels[(row * kSide + column) * kChannels];
      if (row > 300) pixel[0] = pixel[1] = pixel[2] = 128;
      if (column == 120 || row == 60) pixel[1] = 255;
    }
  }
  data[6] = Value{std::move(pixels)};
  return encodeSample(type, sample);
}

void decodeImage(benchmark::State& state) {
  const Bytes octets = planningImageOctets();
  const TypeDesc& type = *findType("Orvn::TimedImageData");
  for (auto _ : state) benchmark::DoNotOptimize(decodeSample(type, octets));
  state.SetBytesProcessed(state.iterations() * octets.size());
}
BENCHMARK(decodeImage);

void printImageLine(benchmark::State& state) {
  const Bytes octets = planningImageOctets();
  const TypeDesc& type = *findType("Orvn::TimedImageData");
  for (auto _ : state) benchmark::DoNotOptimize(formatLine(type, *decodeSample(type, octets)));
  state.SetBytesProcessed(state.iterations() * octets.size());
}
BENCHMARK(printImageLine);

void printImageJson(benchmark::State& state) {
  const Bytes octets = planningImageOctets();
  const TypeDesc& type = *findType("Orvn::TimedImageData");
  for (auto _ : state) benchmark::DoNotOptimize(formatJson(type, *decodeSample(type, octets)));
  state.SetBytesProcessed(state.iterations() * octets.size());
}
BENCHMARK(printImageJson);

void velocityLineBackToOctets(benchmark::State& state) {
  const TypeDesc& type = *findType("Pexa::TimedVelocity2D");
  const std::string line =
      "tm: 0.000000000, id: [], data: {vx: 0.3 m/s, vy: 0 m/s, va: -0.1 rad/s}, error: []";
  for (auto _ : state) benchmark::DoNotOptimize(encodeSample(type, *parseLine(type, line)));
}
BENCHMARK(velocityLineBackToOctets);

void recordImage(benchmark::State& state) {
  char path[] = "/tmp/port-data-bench-XXXXXX";
  const int fd = mkstemp(path);
  close(fd);
  auto writer = RecordingWriter::create(path, {0, "bench", "bench"});
  Sample sample;
  sample.octets = planningImageOctets();
  for (auto _ : state) writer.value()->write(sample);
  state.SetBytesProcessed(state.iterations() * sample.octets.size());
  state.counters["file_bytes_per_image"] =
      static_cast<double>(writer.value()->bytesWritten()) / state.iterations();
  std::remove(path);
}
BENCHMARK(recordImage);

}  // namespace

BENCHMARK_MAIN();
