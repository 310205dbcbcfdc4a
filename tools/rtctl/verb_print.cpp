// rtctl print: each sample an out-port writes, one line each (the readable line or JSON), until
// COUNT samples, S seconds, Ctrl-C, or the component or the name server going away.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <memory>

#include "port_samples.h"
#include "port_tap.h"
#include "sample_queue.h"
#include "tools/port_data/cdr_codec.h"
#include "tools/port_data/image_files.h"
#include "tools/port_data/json_form.h"
#include "tools/port_data/text_form.h"
#include "verbs.h"

namespace rtctl {

namespace {

// Unread samples kept for the printer; a flood beyond this drops the oldest (and says so).
constexpr size_t kPrintQueueCapacity = 1024;
// How often print looks at the stop flag while no sample arrives.
constexpr double kStopPoll_s = 0.1;

// Writes the images of each sample as PNG files; says once what could not be written.
class ImageSaver {
 public:
  ImageSaver(const std::string& folder, const std::string& what) : folder_(folder), what_(what) {
    if (folder_.empty()) return;
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) throw Failure(what_ + ": cannot create " + folder_ + ": " + error.message());
  }

  void save(const port_data::TypeDesc& type, const port_data::Value& sample) {
    if (folder_.empty()) return;
    for (const port_data::Value* image : port_data::imagesIn(type, sample)) {
      auto saved = port_data::saveImagePng(*image, folder_, ++sequence_);
      if (!saved && failures_++ == 0)
        std::cerr << "rtctl: " << what_ << ": " << saved.error() << std::endl;
    }
  }

  ~ImageSaver() {
    if (failures_ > 1) {
      std::cerr << "rtctl: " << what_ << ": " << failures_ << " images were not saved" << std::endl;
    }
  }

 private:
  std::string folder_;
  std::string what_;
  int sequence_ = 0;
  int failures_ = 0;
};

}  // namespace

int printCommand(Session& session, const Invocation& invocation) {
  const PortAddress& address = invocation.ports[0];
  const PortDataOptions& options = invocation.portData;
  const std::string what = "print " + label(address);
  FoundPort found = findPort(session, address);
  const port_data::TypeDesc& type = sampleTypeOf(found, address, kDataOutPort);
  ImageSaver images(options.saveFolder, what);
  // Shared with the sink, which may still be running a moment after the connection is gone.
  auto queue = std::make_shared<SampleQueue>(kPrintQueueCapacity);
  OutPortTap tap(
      session, std::move(found), address, "print", [queue](const OpenRTM::CdrData& data) {
        queue->push({port_data::Bytes(data.get_buffer(), data.get_buffer() + data.length()),
                     std::chrono::steady_clock::now()});
        return OpenRTM::PORT_OK;
      });
  int printed = 0;
  const auto start = std::chrono::steady_clock::now();
  auto nextCheck = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                               std::chrono::duration<double>(kLivenessCheck_s));
  while (!stopRequested && (!invocation.count || printed < *invocation.count)) {
    const auto now = std::chrono::steady_clock::now();
    double wait_s = kStopPoll_s;
    if (invocation.timeout_s) {
      double left_s = *invocation.timeout_s - std::chrono::duration<double>(now - start).count();
      if (left_s <= 0) break;
      wait_s = std::min(wait_s, left_s);
    }
    if (now >= nextCheck) {
      std::string lost = tap.lost();
      if (!lost.empty()) throw Failure(what + ": " + lost);
      nextCheck = now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                            std::chrono::duration<double>(kLivenessCheck_s));
    }
    auto sample = queue->next(wait_s);
    if (!sample) continue;
    auto value = port_data::decodeSample(type, sample->octets, tap.littleEndian());
    if (!value) {
      std::cerr << "rtctl: " << what << ": a sample of " << sample->octets.size() << " octets is "
                << value.error() << std::endl;
      continue;
    }
    images.save(type, *value);
    std::cout << (options.format == SampleFormat::Json ? port_data::formatJson(type, *value)
                                                       : port_data::formatLine(type, *value))
              << std::endl;
    ++printed;
  }
  tap.disconnect();
  if (queue->dropped() > 0) {
    std::cerr << "rtctl: " << what << ": " << queue->dropped()
              << " samples were dropped: they came faster than they could be printed" << std::endl;
  }
  if (invocation.count && printed < *invocation.count && !stopRequested) {
    throw Failure(what + ": " + std::to_string(printed) + " of " +
                  std::to_string(*invocation.count) + " samples arrived within " +
                  std::to_string(*invocation.timeout_s) + " s");
  }
  return 0;
}

}  // namespace rtctl
