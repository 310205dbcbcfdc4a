#include "image_files.h"

#include <cstdio>
#include <filesystem>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "text_form.h"

namespace port_data {

namespace {

const char* const kImageData = "IDL:Orvn/ImageData:1.0";
constexpr int kSupportedDepth_bits = 8;

void collectImages(const TypeDesc& type, const Value& value, std::vector<const Value*>& images) {
  if (type.repositoryId == kImageData) {
    images.push_back(&value);
    return;
  }
  if (type.kind == Kind::Struct) {
    for (size_t i = 0; i < type.fields.size(); ++i) {
      collectImages(*type.fields[i].type, value.items()[i], images);
    }
  } else if (type.kind == Kind::Sequence && !type.isByteBlock()) {
    for (const Value& item : value.items()) collectImages(*type.element, item, images);
  }
}

std::int64_t member(const Value& image, const char* name) {
  return fieldOf(*findType(kImageData), image, name)->asInteger();
}

}  // namespace

std::vector<const Value*> imagesIn(const TypeDesc& type, const Value& value) {
  std::vector<const Value*> images;
  collectImages(type, value, images);
  return images;
}

Outcome<std::string> saveImagePng(const Value& image, const std::string& folder, int sequence) {
  const std::int64_t channels = member(image, "nChannels");
  const std::int64_t depth = member(image, "depth");
  const std::int64_t width = member(image, "width");
  const std::int64_t height = member(image, "height");
  const std::int64_t packedRow = width * channels;
  const std::int64_t row = member(image, "widthStep") == 0 ? packedRow : member(image, "widthStep");
  const Bytes& pixels = fieldOf(*findType(kImageData), image, "imgData")->asBytes();
  if (depth != kSupportedDepth_bits) {
    return Outcome<std::string>::failure("an image of depth " + std::to_string(depth) +
                                         " cannot be saved (8 bits per channel only)");
  }
  if (channels != 1 && channels != 3 && channels != 4) {
    return Outcome<std::string>::failure("an image of " + std::to_string(channels) +
                                         " channels cannot be saved (1, 3 or 4 only)");
  }
  if (width <= 0 || height <= 0 || row < packedRow ||
      static_cast<std::uint64_t>(row * height) > pixels.size()) {
    return Outcome<std::string>::failure(
        "the image's header (" + std::to_string(width) + " x " + std::to_string(height) + " x " +
        std::to_string(channels) + ", " + std::to_string(row) + " bytes a row) does not fit its " +
        std::to_string(pixels.size()) + " bytes");
  }
  cv::Mat picture(static_cast<int>(height), static_cast<int>(width),
                  CV_8UC(static_cast<int>(channels)), const_cast<std::uint8_t*>(pixels.data()),
                  static_cast<size_t>(row));
  char name[32];
  std::snprintf(name, sizeof name, "%06d-%08x.png", sequence, crc32Of(pixels));
  const std::string path = (std::filesystem::path(folder) / name).string();
  try {
    if (!cv::imwrite(path, picture)) {
      return Outcome<std::string>::failure("cannot write " + path);
    }
  } catch (const cv::Exception& error) {
    return Outcome<std::string>::failure("cannot write " + path + ": " + error.what());
  }
  return Outcome<std::string>::success(path);
}

std::optional<Bytes> ImageFolder::pixels(size_t size, std::uint32_t crc) const {
  char text[16];
  std::snprintf(text, sizeof text, "-%08x.png", crc);
  const std::string suffix = text;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= suffix.size() ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) {
      continue;
    }
    cv::Mat picture = cv::imread(entry.path().string(), cv::IMREAD_UNCHANGED);
    if (picture.empty() || picture.depth() != CV_8U) continue;
    Bytes bytes;
    const size_t rowBytes = static_cast<size_t>(picture.cols) * picture.channels();
    for (int r = 0; r < picture.rows; ++r) {
      bytes.insert(bytes.end(), picture.ptr<std::uint8_t>(r),
                   picture.ptr<std::uint8_t>(r) + rowBytes);
    }
    if (bytes.size() == size && crc32Of(bytes) == crc) return bytes;
  }
  return std::nullopt;
}

}  // namespace port_data
