#pragma once
// PlanViewer: receives the planner's planning images on `planning_img`, adds the step number,
// the time, a scale bar and a legend beside each (frame_annotation.h) and stores them with
// FrameWriter. Samples whose sizes do not add up are refused with one line on standard error.
//
// Lifecycle: onInitialize registers the port; onExecute (execution context's thread) takes every
// new sample; onDeactivated and onFinalize complete the video.

// The port data type comes first: the middleware's port templates find its Any operators
// only when they are declared before them.
#include <idl/OrvnCdrCodec.h>
#include <Orvn.hh>

#include <rtm/DataFlowComponentBase.h>
#include <rtm/DataInPort.h>
#include <rtm/Manager.h>

#include <memory>

#include "frame_caption.h"
#include "frame_writer.h"

class PlanViewer : public RTC::DataFlowComponentBase {
 public:
  explicit PlanViewer(RTC::Manager* manager);

  // Where frames go; set by the program before the component is created.
  static void setOptions(const planviewer::FrameWriterOptions& options);

  RTC::ReturnCode_t onInitialize() override;
  RTC::ReturnCode_t onExecute(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onDeactivated(RTC::UniqueId ec_id) override;
  RTC::ReturnCode_t onFinalize() override;

 private:
  void store();

  Orvn::TimedImageData image_;
  RTC::InPort<Orvn::TimedImageData> imageIn_;
  std::unique_ptr<planviewer::FrameWriter> writer_;
  planviewer::CaptionCounter captions_;
  int received_ = 0;
  int refused_ = 0;
};

extern "C" void PlanViewerInit(RTC::Manager* manager);
