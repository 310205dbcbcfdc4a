#pragma once
// What the component's execution context receives, handed to the watcher's thread: the words
// on the watched ports and the newest planning picture. Guarded; the component only appends,
// the watcher takes everything at its own rate, so a burst of samples costs no drawing.
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "command_words.h"
#include "frame_caption.h"

namespace dashboard {

struct ReceivedWord {
  WordTarget source;  // whose report port it came from
  std::string word;
  double time_s;
};

struct ReceivedFrame {
  cv::Mat picture;  // BGR, the planner's picture as received
  planviewer::FrameCaption caption;
  int received = 0;
  double time_s = 0.0;
};

class Inbox {
 public:
  // Words kept between two takes; the oldest go beyond this (the page shows the last ones).
  static constexpr std::size_t kMaxWords = 200;

  void addWord(WordTarget source, const std::string& word, double time_s);
  void setFrame(ReceivedFrame frame);

  struct Contents {
    std::vector<ReceivedWord> words;
    std::optional<ReceivedFrame> frame;  // only when a new one came
  };
  Contents take();

 private:
  std::mutex mutex_;
  Contents contents_;
};

}  // namespace dashboard
