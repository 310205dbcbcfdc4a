#pragma once
// The images inside samples (every Orvn::ImageData member) as PNG files, and back.
//
// A saved image is "<folder>/<sequence>-<crc32>.png" (000001-1a2b3c4d.png): the sequence
// keeps the files in arrival order, the CRC-32 of the pixel bytes is the one the readable line
// shows (<480000 bytes crc32 1a2b3c4d>), so that a line can find its pixels again.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "outcome.h"
#include "sample_value.h"

namespace port_data {

// The Orvn::ImageData values inside a sample of the type, in field order.
std::vector<const Value*> imagesIn(const TypeDesc& type, const Value& value);

// Writes one Orvn::ImageData value (8 bits per channel, 1, 3 (blue, green, red) or 4 channels,
// rows widthStep apart or packed when widthStep is 0) as a PNG file in the folder, which must
// exist. The path written, or why the image cannot be saved.
Outcome<std::string> saveImagePng(const Value& image, const std::string& folder, int sequence);

// Finds the pixels of images saved by saveImagePng, by their size and checksum.
class ImageFolder {
 public:
  explicit ImageFolder(std::string folder) : folder_(std::move(folder)) {}
  std::optional<Bytes> pixels(size_t size, std::uint32_t crc) const;

 private:
  std::string folder_;
};

}  // namespace port_data
