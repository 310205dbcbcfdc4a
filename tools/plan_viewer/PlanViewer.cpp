#include "PlanViewer.h"

#include <chrono>
#include <cstdio>

#include <shell/component_shell.h>
#include <shell/time_scale.h>

#include "frame_annotation.h"
#include "image_frame.h"

namespace {

// clang-format off
const char* const plan_viewer_profile[] = {
    "implementation_id", "PlanViewer",
    "type_name",         "PlanViewer",
    "description",       "Stores planning images as PNG frames and a video",
    "version",           "1.0.0",
    "vendor",            "MobileManipulator",
    "category",          "Viewer",
    "activity_type",     "PERIODIC",
    "kind",              "DataFlowComponent",
    "max_instance",      "1",
    "language",          "C++",
    "lang_type",         "compile",
    ""};
// clang-format on

planviewer::FrameWriterOptions& launchOptions() {
  static planviewer::FrameWriterOptions options;
  return options;
}

double steadyNow_s() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void PlanViewer::setOptions(const planviewer::FrameWriterOptions& options) {
  launchOptions() = options;
}

PlanViewer::PlanViewer(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager),
      imageIn_("planning_img", image_),
      captions_(shell::timeScaleOf(manager->getConfig())) {}

RTC::ReturnCode_t PlanViewer::onInitialize() {
  addInPort("planning_img", imageIn_);
  writer_ = std::make_unique<planviewer::FrameWriter>(launchOptions());
  return RTC::RTC_OK;
}

RTC::ReturnCode_t PlanViewer::onExecute(RTC::UniqueId) {
  while (imageIn_.isNew()) {
    imageIn_.read();
    store();
  }
  return RTC::RTC_OK;
}

void PlanViewer::store() {
  ++received_;
  const Orvn::ImageData& data = image_.data;
  planviewer::RawImage raw;
  raw.nChannels = data.nChannels;
  raw.depth = data.depth;
  raw.origin = data.origin;
  raw.width = data.width;
  raw.height = data.height;
  raw.imageSize = data.imageSize;
  raw.widthStep = data.widthStep;
  raw.bytes = reinterpret_cast<const std::uint8_t*>(data.imgData.get_buffer());
  raw.byteCount = data.imgData.length();
  const planviewer::FrameResult frame = planviewer::toBgrFrame(raw);
  if (!frame.ok) {
    ++refused_;
    std::fprintf(stderr, "PlanViewer: image %d refused: %s\n", received_, frame.error.c_str());
    return;
  }
  const planviewer::FrameCaption caption = captions_.next(frame.bgr, steadyNow_s());
  const std::string failure = writer_->write(planviewer::annotatedFrame(frame.bgr, caption));
  if (!failure.empty()) std::fprintf(stderr, "PlanViewer: %s\n", failure.c_str());
}

RTC::ReturnCode_t PlanViewer::onDeactivated(RTC::UniqueId) {
  writer_->finish();
  return RTC::RTC_OK;
}

RTC::ReturnCode_t PlanViewer::onFinalize() {
  if (writer_) {
    writer_->finish();
    std::printf("PlanViewer: %d images received, %d frames written, %d refused\n", received_,
                writer_->framesWritten(), refused_);
    std::fflush(stdout);
  }
  return RTC::RTC_OK;
}

extern "C" void PlanViewerInit(RTC::Manager* manager) {
  shell::registerComponentFactory(manager, plan_viewer_profile, shell::createComponent<PlanViewer>,
                                  shell::destroyComponent);
}
