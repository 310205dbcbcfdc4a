#include "launch_supervisor.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "child_program.h"
#include "component_control.h"
#include "component_names.h"
#include "name_server_address.h"
#include "naming_tree.h"
#include "private_system.h"
#include "system_apply.h"
#include "time_text.h"

namespace rtctl {

namespace {

namespace fs = std::filesystem;

// How long one round of watching waits for a signal.
constexpr auto kStepWait = std::chrono::milliseconds(20);
// How often the name server is asked whether starting programs have registered.
constexpr auto kNamePoll = std::chrono::milliseconds(50);
// How long a program may take to end after SIGTERM before it is killed.
constexpr auto kStopGrace = std::chrono::seconds(5);
constexpr const char* kNameServerProgram = "omniNames";
constexpr const char* kNameServerLabel = "the name server";

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string joined(const std::vector<std::string>& words) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : ", ") + word;
  return text;
}

bool touches(const Action& line, const std::vector<std::string>& names) {
  for (const std::string& name : line.componentNames()) {
    if (std::find(names.begin(), names.end(), name) != names.end()) return true;
  }
  return false;
}

}  // namespace

Supervisor::Supervisor(Session& session, const Invocation& invocation, const SystemFile& file,
                       int signalFd)
    : session_(session),
      invocation_(invocation),
      file_(file),
      signalFd_(signalFd),
      nameServer_(session.nameServer()) {}

Supervisor::~Supervisor() {
  // The probes ask through the session's ORB: they end before it does.
  for (Program& program : programs_) program.probe.reset();
  nameServerProbe_.reset();
}

void Supervisor::report(const std::string& line) {
  std::cout << wallClockText(std::chrono::system_clock::now()) << " " << line << std::endl;
}

void Supervisor::fail(const std::string& why) {
  failed_ = true;
  exitNow_ = true;
  if (failure_.empty()) failure_ = why;
}

int Supervisor::run() {
  if (!prepare()) return 1;
  bool nameServerReady = file_.startNameServer ? startNameServer() : checkNameServer();
  if (nameServerReady && removeLeftNames()) {
    for (Program& program : programs_) {
      if (!exitNow_) startProgram(program);
    }
    if (!exitNow_ && bringUp() && applyInitialLines()) {
      report("system up: " + std::to_string(programs_.size()) + " programs, " + file_.path +
             " applied; Ctrl-C stops it");
      supervise();
    }
  }
  stopAll(stopSignals_ > 0 ? "asked to stop" : failure_);
  if (failed_ && failure_.empty()) failure_ = "a program ended for good during the run";
  if (failed_) std::cerr << "rtctl: " << failure_ << std::endl;
  return failed_ ? 1 : 0;
}

bool Supervisor::prepare() {
  bool ready = true;
  for (const ProgramEntry& entry : file_.programs) {
    ProgramStartPlan plan = planProgramStart(file_, entry, nameServer_, invocation_.launch.outDir);
    for (const std::string& problem : plan.problems) std::cerr << "rtctl: " << problem << "\n";
    if (!plan.start) {
      ready = false;
      continue;
    }
    Program program;
    program.entry = &entry;
    program.start = *plan.start;
    program.respawn = entry.respawn || invocation_.launch.respawnAll;
    programs_.push_back(std::move(program));
  }
  if (!ready) std::cerr << "rtctl: nothing was started" << std::endl;
  return ready;
}

bool Supervisor::startNameServer() {
  bool isPrivate = name_service::isUnixSocketAddress(nameServer_);
  std::string host = name_service::hostOf(nameServer_);
  std::vector<std::string> argv;
  if (isPrivate) {
    std::string problem = preparePrivateFolder(name_service::socketFolderOf(nameServer_));
    if (!problem.empty()) {
      fail(problem);
      return false;
    }
  } else if (!name_service::isLoopbackAddress(nameServer_)) {
    const HostEntry* where = nullptr;
    for (const HostEntry& entry : file_.hosts) {
      if (entry.declared && entry.address == host) where = &entry;
    }
    if (!where) {
      fail("launch starts the name server on this machine or on a host of the file, and " + host +
           " is neither (" + file_.nameServerPlace.text() + ")");
      return false;
    }
    argv = launcherOf(*where);
    if (!argv.empty() && argv[0].empty()) {
      fail("the launcher of host " + where->name + " is no program here (" + where->place.text() +
           ")");
      return false;
    }
  }
  if (nameServerAnswers()) {
    fail("a name server already answers at " + nameServer_ + "; end it, or remove \"start\" from " +
         file_.nameServerPlace.text());
    return false;
  }
  std::string program = findProgram(kNameServerProgram);
  if (program.empty()) {
    fail("omniNames is not installed (Debian package omniorb-nameserver)");
    return false;
  }
  fs::path out = fs::absolute(invocation_.launch.outDir);
  std::string data = (out / "names").string();
  std::error_code ignored;
  fs::remove_all(data, ignored);
  if (isPrivate) {
    // A socket left by a name server that is gone (none answers there) is in the way.
    fs::remove(nameServer_, ignored);
    argv.insert(argv.end(), {program, "-start", "-datadir", data, "-ignoreport"});
    std::vector<std::string> orbArguments =
        privateOrbArguments(name_service::socketFolderOf(nameServer_), nameServer_);
    argv.insert(argv.end(), orbArguments.begin(), orbArguments.end());
  } else {
    std::string port = std::to_string(name_service::portOf(nameServer_));
    argv.insert(argv.end(), {program, "-start", port, "-datadir", data, "-always", "-ORBendPoint",
                             "giop:tcp:" + host + ":" + port});
  }
  std::string log = (out / "logs" / "omniNames.log").string();
  try {
    nameServerPid_ = startChildProgram(argv, {}, data, log);
  } catch (const Failure& failure) {
    fail(failure.what());
    return false;
  }
  report("started the name server omniNames (pid " + std::to_string(nameServerPid_) + ") on " +
         nameServer_ + ", log " + log);
  auto deadline = Clock::now() + std::chrono::duration<double>(invocation_.launch.startTimeout_s);
  while (!nameServerAnswers()) {
    if (std::optional<int> status = reapChild(nameServerPid_)) {
      nameServerPid_ = -1;
      fail("the name server ended during start-up: " + exitText(*status) + "; see " + log);
      return false;
    }
    readSignals(kNamePoll);
    if (stopSignals_ > 0) return false;
    if (Clock::now() > deadline) {
      fail("the name server does not answer at " + nameServer_ + "; see " + log);
      return false;
    }
  }
  return checkNameServer();
}

std::string Supervisor::nameServerReference() {
  try {
    CosNaming::NamingContextExt_var root =
        name_service::rootContext(session_.orb(), nameServer_, 0);
    if (!CORBA::is_nil(root) && !root->_non_existent()) {
      CORBA::String_var ior = session_.orb()->object_to_string(root);
      return ior.in();
    }
  } catch (const CORBA::Exception&) {
    // Not (yet) there.
  }
  return "";
}

bool Supervisor::nameServerAnswers() { return !nameServerReference().empty(); }

bool Supervisor::checkNameServer() {
  std::string reference = nameServerReference();
  if (reference.empty()) {
    fail("no name server answers at " + nameServer_ +
         " (start one, or give the file a \"nameserver start\" line)");
    return false;
  }
  watchNameServer(reference);
  return true;
}

void Supervisor::watchNameServer(const std::string& target) {
  AnswerProbe::Target probeTarget;
  probeTarget.name = kNameServerLabel;
  probeTarget.object = session_.orb()->string_to_object(target.c_str());
  std::vector<AnswerProbe::Target> targets{probeTarget};
  nameServerProbe_ = std::make_unique<AnswerProbe>(
      targets,
      std::chrono::milliseconds(static_cast<long>(invocation_.launch.answerTimeout_s * 1000)));
}

bool Supervisor::removeLeftNames() {
  try {
    std::vector<std::string> paths = session_.componentPaths();
    for (const Program& program : programs_) {
      for (const std::string& component : program.entry->components) {
        for (const std::string& path : matchComponentName(paths, component)) {
          Presence presence = session_.presenceOf(path);
          if (presence == Presence::Answers) {
            fail(component + " already runs (" + path + " answers): end it first (rtctl -n " +
                 nameServer_ + " exit " + component + "), or bring the system up with rtctl apply");
            return false;
          }
          if (presence == Presence::Hung) {
            fail(component + " is bound at " + path +
                 " and does not answer in time, but may still run: end its process, or remove "
                 "the name with rtctl delete --force");
            return false;
          }
          session_.unbind(path);
          report("removed the name " + path + ", left by a process that is gone");
        }
      }
    }
  } catch (const Failure& failure) {
    fail(failure.what());
    return false;
  }
  return true;
}

void Supervisor::startProgram(Program& program) {
  const ProgramStart& start = program.start;
  if (!start.confPath.empty()) {
    std::error_code ignored;
    fs::create_directories(start.workingFolder, ignored);
    std::ofstream conf(start.confPath);
    conf << start.confText;
    if (!conf.flush()) {
      fail(program.entry->label + ": cannot write " + start.confPath);
      return;
    }
  }
  try {
    program.pid =
        startChildProgram(start.argv, start.environment, start.workingFolder, start.logPath);
  } catch (const Failure& failure) {
    if (!program.everUp) {
      fail(program.entry->label + ": " + failure.what());
      return;
    }
    report(program.entry->label + ": " + failure.what() + "; it stays down");
    program.phase = Phase::Ended;
    failed_ = failed_ || !program.entry->optional;
    return;
  }
  program.phase = Phase::Starting;
  program.startedAt = Clock::now();
  program.startDeadline =
      program.startedAt + std::chrono::duration_cast<Clock::duration>(
                              std::chrono::duration<double>(invocation_.launch.startTimeout_s));
  report("started " + program.entry->label + " (pid " + std::to_string(program.pid) + "), log " +
         start.logPath);
  // Nothing to wait for in the name server: it runs.
  if (program.entry->components.empty()) programUp(program, {});
}

bool Supervisor::bringUp() {
  auto waiting = [this] {
    return std::any_of(programs_.begin(), programs_.end(),
                       [](const Program& program) { return program.phase == Phase::Starting; });
  };
  while (waiting()) {
    if (!step(true)) return false;
  }
  return !exitNow_;
}

std::vector<Action> Supervisor::linesToApply(const std::vector<std::string>& only) const {
  std::vector<std::string> down;
  for (const Program& program : programs_) {
    if (program.phase != Phase::Up) {
      down.insert(down.end(), program.entry->components.begin(), program.entry->components.end());
    }
  }
  std::vector<Action> lines;
  for (const Action& line : file_.actions) {
    if (!only.empty() && !touches(line, only)) continue;
    if (touches(line, down)) continue;
    lines.push_back(line);
  }
  return lines;
}

bool Supervisor::applyInitialLines() {
  for (const Program& program : programs_) {
    if (program.phase == Phase::Up) continue;
    for (const Action& line : file_.actions) {
      if (touches(line, program.entry->components)) {
        report("left out " + line.place.text() + ": " + line.text() + " (" + program.entry->label +
               " is not running)");
      }
    }
  }
  ApplyOutcome outcome =
      applyLines(session_, linesToApply({}), [this](const std::string& line) { report(line); });
  if (!outcome.failure.empty()) {
    fail("could not apply " + file_.path + ": " + outcome.failure);
    return false;
  }
  for (Program& program : programs_) startReportingStates(program);
  return true;
}

void Supervisor::supervise() {
  while (step(false)) {
  }
}

bool Supervisor::step(bool startingUp) {
  readSignals(kStepWait);
  if (stopSignals_ > 0) return false;
  reapEnded(startingUp);
  if (exitNow_) return false;
  checkNameServerAnswers();
  checkAnswers();
  startDuePrograms();
  pollStartingPrograms(startingUp);
  return !exitNow_;
}

void Supervisor::readSignals(Clock::duration wait) {
  pollfd watched{signalFd_, POLLIN, 0};
  int timeout_ms =
      static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(wait).count());
  if (poll(&watched, 1, timeout_ms) <= 0) return;
  signalfd_siginfo info;
  while (read(signalFd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    // SIGCHLD only wakes the round up: every round looks for ended children.
    if (info.ssi_signo != SIGCHLD) ++stopSignals_;
    pollfd more{signalFd_, POLLIN, 0};
    if (poll(&more, 1, 0) <= 0) break;
  }
}

void Supervisor::reapEnded(bool startingUp) {
  if (nameServerPid_ > 0) {
    if (std::optional<int> status = reapChild(nameServerPid_)) {
      report("the name server omniNames (pid " + std::to_string(nameServerPid_) +
             ") ended: " + exitText(*status) +
             "; the components keep running, but none can be found or brought back");
      nameServerPid_ = -1;
      nameServerProbe_.reset();
      failed_ = true;
      if (startingUp || invocation_.launch.exitOnFailure) {
        fail("the name server ended: " + exitText(*status));
      }
    }
  }
  for (Program& program : programs_) {
    if (program.pid <= 0) continue;
    if (std::optional<int> status = reapChild(program.pid)) {
      programEnded(program, *status, startingUp);
    }
  }
}

void Supervisor::programEnded(Program& program, int waitStatus, bool startingUp) {
  const ProgramEntry& entry = *program.entry;
  std::string line =
      entry.label + " (pid " + std::to_string(program.pid) + ") ended: " + exitText(waitStatus);
  double ranFor_s = secondsSince(program.startedAt);
  signalChildGroup(program.pid, SIGKILL);
  program.pid = -1;
  program.probe.reset();
  program.silent = false;
  program.endedAt = Clock::now();
  if (startingUp && !program.everUp) {
    program.phase = Phase::Ended;
    if (entry.optional) {
      report(line + " while starting (optional: the system goes on without it); see " +
             program.start.logPath);
      return;
    }
    fail(entry.label + " ended while starting: " + exitText(waitStatus) + "; see " +
         program.start.logPath);
    return;
  }
  if (program.respawn) {
    std::optional<double> delay = program.schedule.afterEnd(ranFor_s);
    if (delay) {
      program.phase = Phase::Waiting;
      program.respawnAt = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(*delay));
      report(line + "; starting it again" + (*delay > 0 ? " in " + secondsText(*delay) : ""));
      removeNamesOf(program, false);
      return;
    }
    report(line + "; not starting it again: it ended " +
           std::to_string(program.schedule.quickEnds()) + " times in a row within " +
           secondsText(RespawnSchedule::kSteadyRun_s) + " of its start");
  } else {
    report(line + (entry.optional ? " (optional: the system goes on without it)"
                                  : "; the others stay up"));
  }
  program.phase = Phase::Ended;
  removeNamesOf(program, false);
  if (entry.optional) return;
  failed_ = true;
  if (invocation_.launch.exitOnFailure) {
    fail(entry.label + " ended: " + exitText(waitStatus) + " (--exit-on-failure)");
  }
}

void Supervisor::checkNameServerAnswers() {
  if (!nameServerProbe_) return;
  double silence = nameServerProbe_->silentFor_s();
  if (!nameServerSilent_ && silence > invocation_.launch.answerTimeout_s) {
    nameServerSilent_ = true;
    report("the name server " + nameServer_ + " stopped answering: no answer for " +
           secondsText(silence));
    failed_ = true;
    if (invocation_.launch.exitOnFailure) {
      fail("the name server " + nameServer_ + " stopped answering (--exit-on-failure)");
    }
  } else if (nameServerSilent_ && silence < invocation_.launch.answerTimeout_s) {
    nameServerSilent_ = false;
    report("the name server " + nameServer_ + " answers again");
  }
}

void Supervisor::checkAnswers() {
  for (Program& program : programs_) {
    if (program.phase != Phase::Up || !program.probe) continue;
    const ProgramEntry& entry = *program.entry;
    double silence = program.probe->silentFor_s();
    if (!program.silent && silence > invocation_.launch.answerTimeout_s) {
      program.silent = true;
      std::string line = entry.label + " (pid " + std::to_string(program.pid) +
                         ") stopped answering: no answer for " + secondsText(silence);
      if (program.respawn) {
        report(line + "; killing it to start it again");
        signalChildGroup(program.pid, SIGKILL);
      } else {
        report(line + (entry.optional ? " (optional)" : "; the others stay up"));
      }
    } else if (program.silent && silence < invocation_.launch.answerTimeout_s) {
      program.silent = false;
      reconnect(program);
    }
    auto states = program.probe->statesSince(program.statesFrom);
    if (!states) continue;
    for (const auto& [component, state] : *states) {
      auto reported = program.reportedStates.find(component);
      if (reported != program.reportedStates.end() && reported->second != state) {
        report(component + ": " + reported->second + " -> " + state);
      }
      program.reportedStates[component] = state;
    }
  }
}

void Supervisor::startDuePrograms() {
  for (Program& program : programs_) {
    if (program.phase == Phase::Waiting && Clock::now() >= program.respawnAt) {
      startProgram(program);
    }
  }
}

void Supervisor::pollStartingPrograms(bool startingUp) {
  bool anyStarting = std::any_of(programs_.begin(), programs_.end(), [](const Program& program) {
    return program.phase == Phase::Starting;
  });
  if (!anyStarting || Clock::now() - lastNamePoll_ < kNamePoll) return;
  lastNamePoll_ = Clock::now();
  std::vector<std::string> paths;
  try {
    paths = session_.componentPaths();
  } catch (const Failure&) {
    return;
  }
  for (Program& program : programs_) {
    if (program.phase != Phase::Starting) continue;
    const ProgramEntry& entry = *program.entry;
    if (Clock::now() > program.startDeadline) {
      std::string what = entry.label + " did not register " + joined(entry.components) +
                         " within " + secondsText(invocation_.launch.startTimeout_s);
      if (startingUp && !program.everUp) {
        fail(what + "; see " + program.start.logPath);
        return;
      }
      report(what + "; killing it");
      signalChildGroup(program.pid, SIGKILL);
      program.startDeadline = Clock::time_point::max();
      continue;
    }
    std::vector<Component> components;
    for (const std::string& name : entry.components) {
      try {
        components.push_back(session_.findComponentIn(paths, name));
      } catch (const Failure&) {
        break;
      }
    }
    if (components.size() == entry.components.size()) programUp(program, components);
  }
}

void Supervisor::programUp(Program& program, const std::vector<Component>& components) {
  std::vector<AnswerProbe::Target> targets;
  try {
    for (const Component& component : components) {
      AnswerProbe::Target target;
      target.name = component.instanceName;
      target.component = RTC::RTObject::_duplicate(component.object);
      target.context = session_.firstContext(component);
      targets.push_back(target);
    }
  } catch (const Failure&) {
    return;  // not quite there yet: asked again at the next round
  }
  bool back = program.everUp;
  program.phase = Phase::Up;
  program.everUp = true;
  program.silent = false;
  program.statesFrom = Clock::time_point::max();  // from the end of the next apply on
  if (!targets.empty()) {
    program.probe = std::make_unique<AnswerProbe>(
        targets,
        std::chrono::milliseconds(static_cast<long>(invocation_.launch.answerTimeout_s * 1000)));
  }
  if (components.empty()) {
    report(program.entry->label + (back ? ": running again" : ": running"));
  } else if (!back) {
    report(program.entry->label + ": " + joined(program.entry->components) + " up (" +
           secondsText(secondsSince(program.startedAt)) + " after its start)");
  } else {
    reapplyLinesOf(program);
  }
}

void Supervisor::reapplyLinesOf(Program& program) {
  std::vector<Action> lines = linesToApply(program.entry->components);
  ApplyOutcome outcome = applyLines(session_, lines, [](const std::string&) {});
  startReportingStates(program);
  std::string after =
      secondsText(std::chrono::duration<double>(Clock::now() - program.endedAt).count());
  if (!outcome.failure.empty()) {
    report(program.entry->label +
           ": back up, but its lines could not be applied again: " + outcome.failure);
    return;
  }
  report(program.entry->label + ": back up with " + std::to_string(lines.size()) +
         " of its lines applied again (" + std::to_string(outcome.changed) + " changed), " + after +
         " after it ended");
}

void Supervisor::reconnect(const Program& program) {
  // A writer drops a connection whose reader stops answering (a pulled network cable): once
  // the program answers again, the file's connections to it are made again where they are
  // gone. Values and states live in the process and are left as they are, so that a component
  // the operator deactivated stays so.
  std::vector<Action> connections;
  for (const Action& line : linesToApply(program.entry->components)) {
    if (line.kind == ActionKind::Connect) connections.push_back(line);
  }
  ApplyOutcome outcome = applyLines(session_, connections, [this](const std::string& line) {
    if (line.find(": already connected") == std::string::npos) report(line);
  });
  std::string line = program.entry->label + " answers again";
  if (!outcome.failure.empty())
    line += "; its connections could not be made again: " + outcome.failure;
  report(line);
}

void Supervisor::startReportingStates(Program& program) {
  program.statesFrom = Clock::now();
  program.reportedStates.clear();
}

void Supervisor::removeNamesOf(const Program& program, bool reportEach) {
  try {
    std::vector<std::string> paths = session_.componentPaths();
    for (const std::string& component : program.entry->components) {
      for (const std::string& path : matchComponentName(paths, component)) {
        if (session_.presenceOf(path) != Presence::Gone) continue;
        session_.unbind(path);
        if (reportEach) report("removed the name " + path + ", left by " + program.entry->label);
      }
    }
  } catch (const Failure&) {
    // Without a name server there is no name to remove.
  }
}

void Supervisor::stopAll(const std::string& reason) {
  report("stopping" + (reason.empty() ? std::string() : " (" + reason + ")"));
  nameServerProbe_.reset();
  for (Program& program : programs_) program.probe.reset();
  if (stopSignals_ < 2) deactivateAll();
  for (auto program = programs_.rbegin(); program != programs_.rend(); ++program) {
    if (program->pid <= 0) continue;
    endProcess(program->pid, program->entry->label);
    program->pid = -1;
  }
  for (const Program& program : programs_) removeNamesOf(program, true);
  if (nameServerPid_ > 0) {
    endProcess(nameServerPid_, kNameServerLabel);
    nameServerPid_ = -1;
    // omniNames leaves its socket behind when it ends.
    std::error_code ignored;
    if (name_service::isUnixSocketAddress(nameServer_)) fs::remove(nameServer_, ignored);
  }
  report("stopped");
}

void Supervisor::deactivateAll() {
  std::vector<std::string> down;
  for (const Program& program : programs_) {
    if (program.phase != Phase::Up) {
      down.insert(down.end(), program.entry->components.begin(), program.entry->components.end());
    }
  }
  for (auto line = file_.actions.rbegin(); line != file_.actions.rend(); ++line) {
    if (line->kind != ActionKind::Activate || touches(*line, down)) continue;
    readSignals(Clock::duration::zero());
    if (stopSignals_ >= 2) return;
    try {
      Component component = session_.findComponent(line->component);
      RTC::ExecutionContext_var context = session_.firstContext(component);
      if (context->get_component_state(component.object) != RTC::ACTIVE_STATE) continue;
      changeState(session_, component, StateChange::Deactivate);
      report("deactivated " + component.instanceName);
    } catch (const Failure& failure) {
      report("could not deactivate " + line->component + ": " + failure.what());
    } catch (const CORBA::Exception& error) {
      report("could not deactivate " + Session::explain(line->component, error));
    }
  }
}

void Supervisor::endProcess(pid_t pid, const std::string& label) {
  bool killed = stopSignals_ >= 2;
  signalChildGroup(pid, killed ? SIGKILL : SIGTERM);
  auto deadline = Clock::now() + kStopGrace;
  for (;;) {
    if (std::optional<int> status = reapChild(pid)) {
      signalChildGroup(pid, SIGKILL);  // whatever it left behind in its group
      report(label + " (pid " + std::to_string(pid) + ") stopped: " + exitText(*status));
      return;
    }
    readSignals(std::chrono::milliseconds(10));
    if (!killed && (stopSignals_ >= 2 || Clock::now() > deadline)) {
      report(label + (stopSignals_ >= 2
                          ? ": asked again to stop; killing it"
                          : " did not stop within " +
                                secondsText(std::chrono::duration<double>(kStopGrace).count()) +
                                " of SIGTERM; killing it"));
      signalChildGroup(pid, SIGKILL);
      killed = true;
    }
  }
}

}  // namespace rtctl
