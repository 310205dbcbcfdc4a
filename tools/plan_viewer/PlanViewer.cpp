#include "PlanViewer.h"

#include <cstdio>

#include <shell/component_shell.h>

#include "image_frame.h"

namespace {

const char* const plan_viewer_profile[] = {"implementation_id",
                                           "PlanViewer",
                                           "type_name",
                                           "PlanViewer",
                                           "description",
                                           "Stores planning images as PNG frames and a video",
                                           "version",
                                           "1.0.0",
                                           "vendor",
                                           "MobileManipulator",
                                           "category",
                                           "Viewer",
                                           "activity_type",
                                           "PERIODIC",
                                           "kind",
                                           "DataFlowComponent",
                                           "max_instance",
                                           "1",
                                           "language",
                                           "C++",
                                           "lang_type",
                                           "compile",
                                           ""};

planviewer::FrameWriterOptions& launchOptions() {
  static planviewer::FrameWriterOptions options;
  return options;
}

}  // namespace

void PlanViewer::setOptions(const planviewer::FrameWriterOptions& options) {
  launchOptions() = options;
}

PlanViewer::PlanViewer(RTC::Manager* manager)
    : RTC::DataFlowComponentBase(manager), imageIn_("planning_img", image_) {}

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
  const std::string failure = writer_->write(frame.bgr);
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
