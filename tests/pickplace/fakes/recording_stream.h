#pragma once
// An output stream for the coordinator's console in tests where the worker and the test's
// own thread meet: it keeps everything written, and another thread may read it or wait for a
// text to appear, with a deadline.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

namespace pickplace::fakes {

class RecordingStream : public std::ostream {
 public:
  RecordingStream() : std::ostream(&buffer_) {}
  RecordingStream(const RecordingStream&) = delete;
  RecordingStream& operator=(const RecordingStream&) = delete;

  // Everything written so far.
  std::string str() const { return buffer_.text(); }
  // Waits until `text` has been written, at most `limit`; true when it has.
  bool waitFor(const std::string& text, std::chrono::milliseconds limit) const {
    return buffer_.waitFor(text, limit);
  }

 private:
  class Buffer : public std::streambuf {
   public:
    std::string text() const;
    bool waitFor(const std::string& text, std::chrono::milliseconds limit) const;

   protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;

   private:
    mutable std::mutex mutex_;
    mutable std::condition_variable written_;
    std::string text_;
  };

  Buffer buffer_;
};

}  // namespace pickplace::fakes
