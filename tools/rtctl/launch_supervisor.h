#pragma once
// rtctl launch's watch over a system: starts the name server when the file says so and the
// file's programs, waits for their components, applies the file, then watches. A program that
// ends is noticed at once (SIGCHLD), one whose components stop answering within the answer
// time-out; either is reported in one time-stamped line and the others stay up. With respawn
// the program is started again, its connections and activation re-applied. Ctrl-C or SIGTERM
// deactivates the components in the reverse order of activation, ends the programs in the
// reverse order of the file, removes the names they left and ends the name server it started.
//
// Everything runs on the calling thread; each program's components are asked whether they
// answer by a thread of their own (answer_probe.h).
#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "answer_probe.h"
#include "command_line.h"
#include "program_start.h"
#include "respawn_policy.h"
#include "session.h"
#include "system_file.h"

namespace rtctl {

class Supervisor {
 public:
  // signalFd delivers SIGINT, SIGTERM, SIGHUP and SIGCHLD, which the caller has blocked in
  // every thread before any was started.
  Supervisor(Session& session, const Invocation& invocation, const SystemFile& file, int signalFd);
  ~Supervisor();
  Supervisor(const Supervisor&) = delete;
  Supervisor& operator=(const Supervisor&) = delete;

  // Brings the system up and watches it until a signal (or, with --exit-on-failure, a
  // failure) ends it; returns the exit status.
  int run();

 private:
  using Clock = std::chrono::steady_clock;

  enum class Phase { NotStarted, Starting, Up, Waiting, Ended };

  struct Program {
    const ProgramEntry* entry = nullptr;
    ProgramStart start;
    pid_t pid = -1;
    Phase phase = Phase::NotStarted;
    bool respawn = false;
    bool everUp = false;
    Clock::time_point startedAt, endedAt, respawnAt, startDeadline;
    RespawnSchedule schedule;
    std::unique_ptr<AnswerProbe> probe;
    bool silent = false;
    // State changes are reported from the first look after this (the last apply).
    Clock::time_point statesFrom;
    std::map<std::string, std::string> reportedStates;
  };

  void report(const std::string& line);
  void fail(const std::string& why);

  bool prepare();
  bool startNameServer();
  // The name server's root context as a string when it answers, else "".
  std::string nameServerReference();
  bool nameServerAnswers();
  // Starts watching the name server when it answers; fails otherwise.
  bool checkNameServer();
  void watchNameServer(const std::string& target);
  bool removeLeftNames();
  void startProgram(Program& program);
  bool bringUp();
  bool applyInitialLines();
  void supervise();

  // One round of watching; false once the run is to end.
  bool step(bool startingUp);
  void readSignals(Clock::duration wait);
  void reapEnded(bool startingUp);
  void programEnded(Program& program, int waitStatus, bool startingUp);
  void checkAnswers();
  void checkNameServerAnswers();
  void startDuePrograms();
  void pollStartingPrograms(bool startingUp);
  void programUp(Program& program, const std::vector<Component>& components);
  void reapplyLinesOf(Program& program);
  // State changes count from now on (after an apply, which changes states itself).
  void reconnect(const Program& program);
  void startReportingStates(Program& program);
  std::vector<Action> linesToApply(const std::vector<std::string>& only) const;
  void removeNamesOf(const Program& program, bool reportEach);

  void stopAll(const std::string& reason);
  void deactivateAll();
  void endProcess(pid_t pid, const std::string& label);

  Session& session_;
  const Invocation& invocation_;
  const SystemFile& file_;
  int signalFd_;
  std::string nameServer_;
  std::vector<Program> programs_;
  pid_t nameServerPid_ = -1;
  std::unique_ptr<AnswerProbe> nameServerProbe_;
  bool nameServerSilent_ = false;
  int stopSignals_ = 0;
  Clock::time_point lastNamePoll_;
  bool failed_ = false;
  bool exitNow_ = false;
  std::string failure_;
};

}  // namespace rtctl
