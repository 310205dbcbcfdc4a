#include "string_ports.h"

#include "port_samples.h"
#include "port_writer.h"
#include "tools/port_data/cdr_codec.h"
#include "tools/port_data/text_form.h"

namespace rtctl {

namespace {

// Unread samples kept for the listener; a flood beyond this drops the oldest.
constexpr size_t kListenerCapacity = 1024;

// The word type of a data port of the expected kind; throws for any other port.
const port_data::TypeDesc& wordTypeOf(const FoundPort& found, const PortAddress& address,
                                      const std::string& expectedPortType) {
  requirePortType(found, address, expectedPortType);
  const port_data::TypeDesc* type = port_data::findType(property(found.info, kDataTypeKey));
  if (!type || !port_data::isWordType(*type)) {
    const std::string dataType = property(found.info, kDataTypeKey);
    throw Failure(label(address) + " carries " + (dataType.empty() ? "no data type" : dataType) +
                  ", not TimedString or TimedStringSeq");
  }
  return *type;
}

}  // namespace

StringListener::StringListener(Session& session, const PortAddress& address,
                               const std::string& purpose)
    : queue_(std::make_shared<SampleQueue>(kListenerCapacity)) {
  FoundPort source = findPort(session, address);
  type_ = &wordTypeOf(source, address, kDataOutPort);
  tap_ = std::make_unique<OutPortTap>(
      session, std::move(source), address, purpose, [queue = queue_](const OpenRTM::CdrData& data) {
        queue->push({port_data::Bytes(data.get_buffer(), data.get_buffer() + data.length()),
                     std::chrono::steady_clock::now()});
        return OpenRTM::PORT_OK;
      });
}

std::optional<std::string> StringListener::next(double timeout_s) {
  auto sample = queue_->next(timeout_s);
  if (!sample) return std::nullopt;
  auto value = port_data::decodeSample(*type_, sample->octets, tap_->littleEndian());
  if (!value) return "<undecodable sample of " + std::to_string(sample->octets.size()) + " bytes>";
  return port_data::formatLine(*type_, *value);
}

void writeString(Session& session, const PortAddress& address, const std::string& text,
                 const std::string& purpose) {
  FoundPort target = findPort(session, address);
  const port_data::TypeDesc& type = wordTypeOf(target, address, kDataInPort);
  auto [sec, nsec] = stampNow();
  port_data::ParseOptions stamp;
  stamp.stampSec = sec;
  stamp.stampNsec = nsec;
  auto value = port_data::parseLine(type, text, stamp);
  if (!value) throw Failure(purpose + " " + label(address) + ": " + value.error());
  InPortWriter writer(session, std::move(target), address, purpose);
  writer.write(port_data::encodeSample(type, *value, writer.littleEndian()));
}

}  // namespace rtctl
