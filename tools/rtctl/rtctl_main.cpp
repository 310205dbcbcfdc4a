// rtctl: lists, inspects, connects and drives RT-components through the name server, and
// brings whole systems up from system files.
#include <signal.h>

#include <cstdlib>
#include <iostream>

#include "verbs.h"

namespace rtctl {

std::atomic<bool> stopRequested{false};

}  // namespace rtctl

namespace {

constexpr int kUsageError = 2;
constexpr int kCommandFailed = 1;

void requestStop(int) { rtctl::stopRequested = true; }

// Ctrl-C and SIGTERM end a command that runs until stopped cleanly (its connections removed,
// its file complete). Without SA_RESTART, a read from standard input returns at once.
void stopOnSignals() {
  struct sigaction action {};
  action.sa_handler = requestStop;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

// The commands that go on until interrupted.
bool runsUntilInterrupted(rtctl::Verb verb) {
  using rtctl::Verb;
  return verb == Verb::Print || verb == Verb::Wait || verb == Verb::Watch || verb == Verb::Inject ||
         verb == Verb::Hz || verb == Verb::Record || verb == Verb::Replay;
}

bool readsSystemFile(rtctl::Verb verb) {
  return verb == rtctl::Verb::Check || verb == rtctl::Verb::Apply || verb == rtctl::Verb::Stop ||
         verb == rtctl::Verb::Launch;
}

int runSystemFileCommand(const rtctl::Invocation& invocation) {
  using namespace rtctl;
  SystemFileRead read = readSystemFile(invocation.systemFile.path, invocation.systemFile.variables);
  if (!read.file) throw Failure(read.error);
  const SystemFile& file = *read.file;
  std::string nameServer = invocation.nameServerGiven
                               ? invocation.nameServer
                               : file.nameServer.value_or(invocation.nameServer);
  if (invocation.verb == Verb::Launch) return launchCommand(invocation, file, nameServer);
  Invocation resolved = invocation;
  resolved.nameServer = nameServer;
  if (invocation.verb == Verb::Check && invocation.fileOnly) {
    return checkCommand(nullptr, resolved, file);
  }
  Session session(nameServer);
  switch (invocation.verb) {
    case Verb::Check:
      return checkCommand(&session, resolved, file);
    case Verb::Apply:
      return applyCommand(session, resolved, file);
    default:
      return stopCommand(session, resolved, file);
  }
}

int runInvocation(const rtctl::Invocation& invocation) {
  using namespace rtctl;
  if (readsSystemFile(invocation.verb)) return runSystemFileCommand(invocation);
  Session session(invocation.nameServer);
  switch (invocation.verb) {
    case Verb::Ls:
      return listComponents(session, invocation);
    case Verb::Cat:
      return showComponent(session, invocation);
    case Verb::Connect:
      return connectCommand(session, invocation);
    case Verb::Disconnect:
      return disconnectCommand(session, invocation);
    case Verb::Activate:
    case Verb::Deactivate:
    case Verb::Reset:
      return stateCommand(session, invocation);
    case Verb::Exit:
      return exitCommand(session, invocation);
    case Verb::Conf:
      return confCommand(session, invocation);
    case Verb::Inject:
      return injectCommand(session, invocation);
    case Verb::Print:
      return printCommand(session, invocation);
    case Verb::Hz:
      return hzCommand(session, invocation);
    case Verb::Record:
      return recordCommand(session, invocation);
    case Verb::Replay:
      return replayCommand(session, invocation);
    case Verb::Wait:
      return waitCommand(session, invocation);
    case Verb::Watch:
      return watchCommand(session, invocation);
    case Verb::Capture:
      return captureCommand(session, invocation);
    case Verb::Delete:
      return deleteCommand(session, invocation);
    case Verb::Clean:
      return cleanCommand(session, invocation);
    default:
      return kCommandFailed;
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  rtctl::ParsedCommandLine parsed =
      rtctl::parseCommandLine(arguments, std::getenv(rtctl::kNameServerVariable));
  if (!parsed.invocation && parsed.error.empty()) {
    std::cout << parsed.help;
    return 0;
  }
  if (!parsed.invocation) {
    std::cerr << "rtctl: " << parsed.error << "\n\n" << parsed.usage;
    return kUsageError;
  }
  if (runsUntilInterrupted(parsed.invocation->verb)) stopOnSignals();
  try {
    return runInvocation(*parsed.invocation);
  } catch (const rtctl::Failure& failure) {
    std::cerr << "rtctl: " << failure.what() << std::endl;
  } catch (const CORBA::Exception& error) {
    std::cerr << "rtctl: " << rtctl::Session::explain("unexpected failure", error) << std::endl;
  }
  return kCommandFailed;
}
