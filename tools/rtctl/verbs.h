#pragma once
// rtctl's commands, one function each (one file each, named verb_<command>.cpp). Each writes
// its results on standard output and returns the exit status; a failure is thrown as
// rtctl::Failure with the one line to print.
#include <atomic>

#include "command_line.h"
#include "session.h"
#include "system_file.h"

namespace rtctl {

// Set by SIGINT and SIGTERM: the commands that go on until interrupted (and inject reading
// its samples) end cleanly.
extern std::atomic<bool> stopRequested;

int listComponents(Session& session, const Invocation& invocation);
int showComponent(Session& session, const Invocation& invocation);
int connectCommand(Session& session, const Invocation& invocation);
int disconnectCommand(Session& session, const Invocation& invocation);
int stateCommand(Session& session, const Invocation& invocation);  // activate, deactivate, reset
int exitCommand(Session& session, const Invocation& invocation);
int confCommand(Session& session, const Invocation& invocation);
int injectCommand(Session& session, const Invocation& invocation);
int printCommand(Session& session, const Invocation& invocation);
int hzCommand(Session& session, const Invocation& invocation);
// record FILE NAME:port..., and record --info FILE.
int recordCommand(Session& session, const Invocation& invocation);
int replayCommand(Session& session, const Invocation& invocation);
int waitCommand(Session& session, const Invocation& invocation);
int watchCommand(Session& session, const Invocation& invocation);
int captureCommand(Session& session, const Invocation& invocation);
int deleteCommand(Session& session, const Invocation& invocation);
int cleanCommand(Session& session, const Invocation& invocation);

// The commands that read a system file.
int checkCommand(Session* session, const Invocation& invocation, const SystemFile& file);
int applyCommand(Session& session, const Invocation& invocation, const SystemFile& file);
int stopCommand(Session& session, const Invocation& invocation, const SystemFile& file);
// Makes its own session, once it has set up its signal handling.
int launchCommand(const Invocation& invocation, const SystemFile& file,
                  const std::string& nameServer);

}  // namespace rtctl
