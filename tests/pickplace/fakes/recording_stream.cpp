#include "recording_stream.h"

namespace pickplace::fakes {

std::string RecordingStream::Buffer::text() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return text_;
}

bool RecordingStream::Buffer::waitFor(const std::string& text,
                                      std::chrono::milliseconds limit) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return written_.wait_for(lock, limit, [&] { return text_.find(text) != std::string::npos; });
}

RecordingStream::Buffer::int_type RecordingStream::Buffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) {
    return traits_type::not_eof(c);
  }
  const char character = traits_type::to_char_type(c);
  xsputn(&character, 1);
  return c;
}

std::streamsize RecordingStream::Buffer::xsputn(const char* s, std::streamsize n) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    text_.append(s, static_cast<std::size_t>(n));
  }
  written_.notify_all();
  return n;
}

}  // namespace pickplace::fakes
