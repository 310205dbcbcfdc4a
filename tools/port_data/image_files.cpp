#include "image_files.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

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

// libpng's pixel format for an image's channels, in the image's order (blue, green, red).
png_uint_32 formatOf(std::int64_t channels) {
  switch (channels) {
    case 1:
      return PNG_FORMAT_GRAY;
    case 3:
      return PNG_FORMAT_BGR;
    default:
      return PNG_FORMAT_BGRA;
  }
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
  char name[32];
  std::snprintf(name, sizeof name, "%06d-%08x.png", sequence, crc32Of(pixels));
  const std::string path = (std::filesystem::path(folder) / name).string();
  png_image picture;
  std::memset(&picture, 0, sizeof picture);
  picture.version = PNG_IMAGE_VERSION;
  picture.width = static_cast<png_uint_32>(width);
  picture.height = static_cast<png_uint_32>(height);
  picture.format = formatOf(channels);
  if (!png_image_write_to_file(&picture, path.c_str(), 0, pixels.data(),
                               static_cast<png_int_32>(row), nullptr)) {
    return Outcome<std::string>::failure("cannot write " + path + ": " + picture.message);
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
    png_image picture;
    std::memset(&picture, 0, sizeof picture);
    picture.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&picture, entry.path().string().c_str())) continue;
    // Read in the channels the file has: grey, blue-green-red, or with alpha.
    const bool colour = picture.format & PNG_FORMAT_FLAG_COLOR;
    const bool alpha = picture.format & PNG_FORMAT_FLAG_ALPHA;
    picture.format = formatOf(colour ? (alpha ? 4 : 3) : 1);
    Bytes bytes(PNG_IMAGE_SIZE(picture));
    if (!png_image_finish_read(&picture, nullptr, bytes.data(), 0, nullptr)) continue;
    if (bytes.size() == size && crc32Of(bytes) == crc) return bytes;
  }
  return std::nullopt;
}

}  // namespace port_data
