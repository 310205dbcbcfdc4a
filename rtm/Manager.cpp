#include "Manager.h"

#include <rtm/CallDeadline.h>
#include <rtm/ExecutionContext.h>
#include <rtm/ManagerConfig.h>
#include <rtm/ManagerConfigCheck.h>
#include <rtm/NVUtil.h>
#include <rtm/NamingFormat.h>
#include <rtm/NamingManager.h>
#include <rtm/PortBase.h>
#include <rtm/RTObject.h>

#include <coil/stringutil.h>

#include <semaphore.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <future>

namespace RTC {
namespace {
// Exit status when a second signal cuts shutdown short.
constexpr int kInterruptedExitStatus = 130;
// Exit status when the end could not wait for a callback or a call to finish.
constexpr int kCutShortExitStatus = 1;
// The names of the process are unbound within this time at the end, all together.
constexpr std::chrono::milliseconds kUnbindBudget{150};
// How long the end waits for calls into this process to finish.
constexpr std::chrono::milliseconds kCallDrainWait{1000};

std::atomic<int> g_signalCount{0};
// Posted by a signal and by terminate(), so that runManager looks at once.
sem_t g_wake;
std::once_flag g_wakeReady;
std::mutex g_instanceMutex;
Manager* g_instance = nullptr;

extern "C" void onTerminationSignal(int) {
  if (g_signalCount.fetch_add(1) > 0) _exit(kInterruptedExitStatus);
  sem_post(&g_wake);
}

// What the ORB says while it starts: its own lines would otherwise go to standard error
// as they are, several for one problem.
std::mutex g_orbMessagesMutex;
std::vector<std::string> g_orbMessages;

void keepOrbMessage(const char* message) {
  std::string text = message ? message : "";
  // "omniORB: (0) 2026-12-08 08:41:50.042195: Cannot get the address of host x.\n"
  const std::string prefix = "omniORB: ";
  if (text.compare(0, prefix.size(), prefix) == 0) {
    const size_t colon = text.find(": ", prefix.size());
    if (colon != std::string::npos) text = text.substr(colon + 2);
  }
  std::lock_guard<std::mutex> lock(g_orbMessagesMutex);
  g_orbMessages.push_back(coil::trim(text));
}

// Keeps the ORB's lines while it exists; the first one explains a failed start best.
class OrbMessageCapture {
 public:
  OrbMessageCapture() {
    std::lock_guard<std::mutex> lock(g_orbMessagesMutex);
    g_orbMessages.clear();
    omniORB::setLogFunction(keepOrbMessage);
  }
  ~OrbMessageCapture() { omniORB::setLogFunction(nullptr); }
  OrbMessageCapture(const OrbMessageCapture&) = delete;
  OrbMessageCapture& operator=(const OrbMessageCapture&) = delete;

  std::string firstMessage() const {
    std::lock_guard<std::mutex> lock(g_orbMessagesMutex);
    return g_orbMessages.empty() ? "" : g_orbMessages.front();
  }
};

void installSignalHandlers() {
  struct sigaction action = {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

std::string hostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "localhost";
  return name;
}

coil::Properties parseQuery(const std::string& query) {
  coil::Properties properties;
  for (const std::string& pair : coil::split(query, "&")) {
    const size_t equals = pair.find('=');
    if (equals != std::string::npos)
      properties.setProperty(coil::trim(pair.substr(0, equals)),
                             coil::trim(pair.substr(equals + 1)));
  }
  return properties;
}
}  // namespace

Manager::Manager() = default;
Manager::~Manager() = default;

Manager* Manager::init(int argc, char** argv) {
  std::lock_guard<std::mutex> lock(g_instanceMutex);
  if (g_instance == nullptr) {
    std::call_once(g_wakeReady, [] { sem_init(&g_wake, 0, 0); });
    auto manager = std::unique_ptr<Manager>(new Manager);
    if (!manager->initialize(argc, argv)) return nullptr;
    g_instance = manager.release();
  }
  return g_instance;
}

Manager& Manager::instance() {
  {
    std::lock_guard<std::mutex> lock(g_instanceMutex);
    if (g_instance != nullptr) return *g_instance;
  }
  char name[] = "rtc";
  char* argv[] = {name, nullptr};
  Manager* manager = init(1, argv);
  // The reason is on standard error already.
  if (manager == nullptr) std::exit(kCutShortExitStatus);
  return *manager;
}

bool Manager::initialize(int argc, char** argv) {
  const CommandLine command_line = parseCommandLine(argc, argv);
  const char* env_config = std::getenv("RTC_MANAGER_CONFIG");
  std::string used_file;
  std::vector<std::string> errors = command_line.problems;
  m_config = buildManagerConfig(command_line, env_config ? env_config : "", used_file, errors);
  const ManagerConfigReport report = checkManagerConfig(m_config);
  errors.insert(errors.end(), report.errors.begin(), report.errors.end());
  if (errors.empty()) {
    const std::string file_name = m_config.getProperty("logger.file_name");
    const std::string log_problem = Logger::configure(
        isYes(m_config.getProperty("logger.enable")),
        parseLogLevel(m_config.getProperty("logger.log_level")).value_or(LogLevel::INFO),
        file_name);
    if (!log_problem.empty())
      errors.push_back(refusedValueLine("logger.file_name", file_name, log_problem));
  }
  if (!errors.empty()) {
    for (const std::string& error : errors) std::fprintf(stderr, "%s\n", error.c_str());
    return false;
  }
  for (const std::string& warning : report.warnings) RTC_LOG(m_log, WARN, "%s", warning.c_str());
  if (!used_file.empty()) RTC_LOG(m_log, INFO, "configuration read from %s", used_file.c_str());
  coil::stringTo(m_callTimeout_ms, m_config.getProperty("corba.call_timeout_ms").c_str());
  installSignalHandlers();
  const std::string orb_problem = initOrb();
  if (!orb_problem.empty()) {
    std::fprintf(stderr, "%s\n", orb_problem.c_str());
    Logger::shutdown();
    return false;
  }
  initNaming();
  return true;
}

std::string Manager::initOrb() {
  std::vector<std::string> words = orbArguments(m_config);
  words.insert(words.begin(), "rtc");
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(&word[0]);
  argv.push_back(nullptr);
  int argc = static_cast<int>(words.size());
  OrbMessageCapture capture;
  std::string failure;
  try {
    m_orb = CORBA::ORB_init(argc, argv.data(), "omniORB4");
    // A peer that does not accept connections must not hold a caller for minutes.
    if (m_config.getProperty("corba.args").find("clientConnectTimeOutPeriod") == std::string::npos)
      omniORB::setClientConnectTimeout(m_callTimeout_ms);
    CORBA::Object_var object = m_orb->resolve_initial_references("RootPOA");
    m_poa = PortableServer::POA::_narrow(object);
    PortableServer::POAManager_var poa_manager = m_poa->the_POAManager();
    poa_manager->activate();
    return "";
  } catch (const CORBA::SystemException& error) {
    failure = error.NP_minorString() ? error.NP_minorString() : error._name();
  } catch (const CORBA::Exception& error) {
    failure = error._name();
  } catch (const std::exception& error) {
    failure = error.what();
  }
  if (!CORBA::is_nil(m_orb)) {
    try {
      m_orb->destroy();
    } catch (const CORBA::Exception&) {
    }
  }
  m_poa = PortableServer::POA::_nil();
  m_orb = CORBA::ORB::_nil();
  const std::string said = capture.firstMessage();
  const std::string reason = said.empty() ? "the ORB refused it (" + failure + ")" : said;
  std::string endpoints = m_config.getProperty("corba.endpoints");
  if (endpoints.empty()) endpoints = m_config.getProperty("corba.endpoint");
  const std::string args = m_config.getProperty("corba.args");
  if (failure.find("TransportError") != std::string::npos)
    return refusedValueLine("corba.endpoints", endpoints, "cannot be used: " + reason);
  if (failure.find("InvalidORBInitArgs") != std::string::npos)
    return refusedValueLine("corba.args", args, "cannot be used: " + reason);
  return "the ORB cannot start with corba.endpoints \"" + endpoints + "\" and corba.args \"" +
         args + "\": " + reason;
}

void Manager::initNaming() {
  if (!isYes(m_config.getProperty("naming.enable"))) return;
  std::vector<std::string> servers = coil::split(m_config.getProperty("corba.nameservers"), ",");
  double interval_s = 0;
  if (isYes(m_config.getProperty("naming.update.enable")) &&
      !coil::stringTo(interval_s, m_config.getProperty("naming.update.interval").c_str())) {
    RTC_LOG(m_log, WARN, "naming.update.interval is not a number of seconds; using 10");
    interval_s = 10.0;
  }
  m_naming = std::make_unique<NamingManager>(m_orb, servers, interval_s, m_callTimeout_ms, m_log);
}

void Manager::setModuleInitProc(ModuleInitProc proc) { m_initProc = proc; }

bool Manager::activateManager() {
  if (m_initProc != nullptr) m_initProc(this);
  connectPreconnected();
  activatePreactivated();
  if (m_naming) m_naming->startRefresh();
  if (!getComponents().empty()) return true;
  if (isYes(m_config.getProperty("manager.shutdown_on_nortcs"))) {
    RTC_LOG(m_log, INFO, "no component in this process; shutting down");
    terminate();
  }
  return false;
}

void Manager::connectPreconnected() {
  std::vector<std::string> problems;
  const auto entries =
      parsePreconnect(m_config.getProperty("manager.components.preconnect"), problems);
  for (const std::string& problem : problems) RTC_LOG(m_log, WARN, "%s", problem.c_str());
  for (const PreconnectEntry& entry : entries) {
    ConnectorProfile profile;
    std::string name;
    profile.ports.length(static_cast<CORBA::ULong>(entry.ports.size()));
    bool found_all = true;
    for (size_t i = 0; i < entry.ports.size(); ++i) {
      const std::string& port_path = entry.ports[i];
      name += (i ? "_" : "") + port_path;
      const size_t dot = port_path.find('.');
      RTObject_impl* component = getComponent(port_path.substr(0, dot).c_str());
      PortServiceList_var ports;
      if (component != nullptr) ports = component->get_ports();
      bool found = false;
      for (CORBA::ULong p = 0; component != nullptr && p < ports->length(); ++p) {
        PortProfile_var port_profile = ports[p]->get_port_profile();
        if (port_path == static_cast<const char*>(port_profile->name)) {
          profile.ports[static_cast<CORBA::ULong>(i)] = ::RTC::PortService::_duplicate(ports[p]);
          found = true;
          break;
        }
      }
      if (!found) {
        RTC_LOG(m_log, WARN, "preconnect: no port %s in this process", port_path.c_str());
        found_all = false;
      }
    }
    if (!found_all) continue;
    profile.name = name.c_str();
    profile.connector_id = "";
    NVUtil::copyFromProperties(profile.properties, entry.properties);
    if (profile.ports[0]->connect(profile) != RTC_OK)
      RTC_LOG(m_log, WARN, "preconnect of %s failed", name.c_str());
  }
}

void Manager::activatePreactivated() {
  for (const std::string& name :
       coil::split(m_config.getProperty("manager.components.preactivation"), ",")) {
    if (name.empty()) continue;
    RTObject_impl* component = getComponent(name.c_str());
    if (component == nullptr || component->ownedContext() == nullptr) {
      RTC_LOG(m_log, WARN, "preactivation: no component %s in this process", name.c_str());
      continue;
    }
    if (component->ownedContext()->activate() != RTC_OK)
      RTC_LOG(m_log, WARN, "preactivation of %s failed", name.c_str());
  }
}

void Manager::runManager(bool no_block) {
  if (no_block) return;
  std::unique_lock<std::mutex> lock(m_shutdownMutex);
  m_blockingInRun = true;
  while (!m_shutdownRequested && g_signalCount.load() == 0) {
    lock.unlock();
    while (sem_wait(&g_wake) != 0 && errno == EINTR) {
    }
    lock.lock();
  }
  if (g_signalCount.load() > 0) RTC_LOG(m_log, INFO, "signal received: shutting down");
  lock.unlock();
  shutdownEverything();
  lock.lock();
  m_blockingInRun = false;
}

void Manager::terminate() {
  std::lock_guard<std::mutex> lock(m_shutdownMutex);
  m_shutdownRequested = true;
  sem_post(&g_wake);
}

void Manager::shutdown() {
  {
    std::lock_guard<std::mutex> lock(m_shutdownMutex);
    m_shutdownRequested = true;
    sem_post(&g_wake);
    if (m_blockingInRun) return;
  }
  shutdownEverything();
}

void Manager::shutdownEverything() {
  {
    std::lock_guard<std::mutex> lock(m_shutdownMutex);
    if (m_isShutDown) return;
    m_isShutDown = true;
  }
  if (m_naming) m_naming->stopRefresh();
  std::vector<Member> members;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    members = m_members;
  }
  // Every component deactivates and finalises, all of them at once, while every port of the
  // process is still connected (see RTObject.h).
  for (Member& member : members) member.component->beginShutdown();
  const auto callbacks_deadline =
      std::chrono::steady_clock::now() + PeriodicExecutionContext::kCallbackWait;
  std::string stuck;
  for (Member& member : members) {
    if (member.component->finalizeForShutdown(callbacks_deadline)) continue;
    stuck += std::string(stuck.empty() ? "" : ", ") + member.component->getInstanceName() + "'s " +
             member.component->stuckCallback();
  }
  for (Member& member : members) member.component->releasePortsForShutdown();
  {
    CallDeadline deadline(CallDeadline::Clock::now() + kUnbindBudget);
    for (Member& member : members) notifyFinalized(member.component);
    if (m_naming) {
      m_naming->unbindAll();
      m_naming.reset();
    }
  }
  if (!stuck.empty()) endNow(stuck + " did not return");
  // Waits for calls in progress; afterwards no servant is reached any more.
  if (!destroyOrb()) endNow("a call into this process did not finish");
  std::vector<Member> finished;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    finished.swap(m_finished);
    m_poa = PortableServer::POA::_nil();
  }
  for (Member& member : finished) member.factory->destroy(member.component);
  RTC_LOG(m_log, INFO, "manager shut down");
  Logger::shutdown();
}

bool Manager::destroyOrb() {
  auto destroyed = std::make_shared<std::promise<void>>();
  std::future<void> done = destroyed->get_future();
  CORBA::ORB_ptr orb = m_orb.in();
  std::thread destroyer([orb, destroyed] {
    try {
      orb->destroy();
    } catch (const CORBA::Exception&) {
    }
    destroyed->set_value();
  });
  if (done.wait_for(kCallDrainWait) != std::future_status::ready) {
    // The thread goes with the process.
    destroyer.detach();
    return false;
  }
  destroyer.join();
  return true;
}

void Manager::endNow(const std::string& reason) {
  RTC_LOG(m_log, ERROR, "%s; the process ends without waiting for it", reason.c_str());
  Logger::shutdown();
  std::fflush(nullptr);
  std::_Exit(kCutShortExitStatus);
}

bool Manager::registerFactory(coil::Properties& profile, RtcNewFunc new_func,
                              RtcDeleteFunc delete_func) {
  const std::string type_name = profile.getProperty("type_name");
  if (type_name.empty() || new_func == nullptr || delete_func == nullptr) return false;
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const auto& factory : m_factories)
    if (factory->profile.getProperty("type_name") == type_name) return false;
  auto factory = std::make_unique<Factory>();
  factory->profile = profile;
  factory->create = new_func;
  factory->destroy = delete_func;
  m_factories.push_back(std::move(factory));
  return true;
}

coil::Properties Manager::componentProperties(const Factory& factory,
                                              const std::string& instance_name,
                                              const coil::Properties& query) {
  coil::Properties properties = factory.profile;
  const std::string category = factory.profile.getProperty("category");
  const std::string type_name = factory.profile.getProperty("type_name");
  // rtc.conf may adjust a component by type or by instance: "<category>.<type>.key" and
  // "<category>.<instance>.key", or a file named by their ".config_file" key.
  for (const std::string& prefix : {category + "." + type_name, category + "." + instance_name}) {
    coil::Properties node = m_config.getNode(prefix);
    const std::string file = node.getProperty("config_file");
    if (!file.empty()) {
      std::ifstream in(file);
      if (in.good())
        properties.load(in);
      else
        RTC_LOG(m_log, WARN, "component configuration file %s cannot be read", file.c_str());
    }
    properties << node;
  }
  properties << query;
  properties.setProperty("instance_name", instance_name);
  if (!properties.hasKey("exec_cxt.periodic.rate"))
    properties.setProperty("exec_cxt.periodic.rate",
                           m_config.getProperty("exec_cxt.periodic.rate"));
  return properties;
}

RTObject_impl* Manager::createComponent(const char* type_name_arg) {
  if (type_name_arg == nullptr) return nullptr;
  std::string request = type_name_arg;
  const size_t question = request.find('?');
  const coil::Properties query =
      parseQuery(question == std::string::npos ? "" : request.substr(question + 1));
  const std::string type_name = request.substr(0, question);

  Factory* factory = nullptr;
  std::string instance_name;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& candidate : m_factories)
      if (candidate->profile.getProperty("type_name") == type_name) factory = candidate.get();
    if (factory == nullptr) {
      RTC_LOG(m_log, ERROR, "no factory for component type %s", type_name.c_str());
      return nullptr;
    }
    long max_instance = 0;
    coil::stringTo(max_instance, factory->profile.getProperty("max_instance", "0").c_str());
    if (max_instance > 0 && static_cast<long>(factory->live.size()) >= max_instance) {
      RTC_LOG(m_log, ERROR, "component type %s admits %ld instance(s); none created",
              type_name.c_str(), max_instance);
      return nullptr;
    }
    instance_name = query.getProperty("instance_name");
    auto in_use = [this](const std::string& name) {
      for (const Member& member : m_members)
        if (name == member.component->getInstanceName()) return true;
      return false;
    };
    if (instance_name.empty()) {
      for (int index = 0;; ++index) {
        instance_name = type_name + std::to_string(index);
        if (!in_use(instance_name)) break;
      }
    } else if (in_use(instance_name)) {
      RTC_LOG(m_log, ERROR, "instance name %s is taken; none created", instance_name.c_str());
      return nullptr;
    }
  }

  RTObject_impl* component = factory->create(this);
  if (component == nullptr) {
    RTC_LOG(m_log, ERROR, "the factory of %s made no component", type_name.c_str());
    return nullptr;
  }
  component->setProperties(componentProperties(*factory, instance_name, query));
  component->activateObject();
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    factory->live.push_back(component);
    m_members.push_back({component, factory, {}});
  }
  if (component->initialize() != RTC_OK) {
    RTC_LOG(m_log, ERROR, "%s failed to initialise; removed", instance_name.c_str());
    component->deactivateObjects();
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      for (auto it = m_members.begin(); it != m_members.end(); ++it)
        if (it->component == component) {
          m_members.erase(it);
          break;
        }
      auto& live = factory->live;
      for (auto it = live.begin(); it != live.end(); ++it)
        if (*it == component) {
          live.erase(it);
          break;
        }
    }
    // Never published, so no call can be under way: it may go at once.
    factory->destroy(component);
    return nullptr;
  }
  const std::vector<std::string> paths = namingPathsOf(*component);
  if (m_naming) {
    RTObject_var reference = component->getObjRef();
    for (const std::string& path : paths) m_naming->bindObject(path, reference);
  }
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Member& member : m_members)
      if (member.component == component) member.namingPaths = paths;
  }
  RTC_LOG(m_log, INFO, "component %s created", instance_name.c_str());
  return component;
}

std::vector<std::string> Manager::namingPathsOf(RTObject_impl& component) {
  NamingFields fields;
  const coil::Properties& properties = component.getProperties();
  fields.instanceName = component.getInstanceName();
  fields.typeName = component.getTypeName();
  fields.implementationId = properties.getProperty("implementation_id");
  fields.version = properties.getProperty("version");
  fields.vendor = properties.getProperty("vendor");
  fields.category = properties.getProperty("category");
  fields.hostName = hostName();
  fields.managerName = m_config.getProperty("manager.name");
  fields.processId = static_cast<long>(getpid());
  std::vector<std::string> paths;
  for (const std::string& format : coil::split(m_config.getProperty("naming.formats"), ","))
    if (!format.empty()) paths.push_back(expandNamingFormat(format, fields));
  return paths;
}

void Manager::notifyFinalized(RTObject_impl* component) {
  std::vector<std::string> paths;
  bool none_left = false;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    bool found = false;
    for (auto it = m_members.begin(); it != m_members.end(); ++it) {
      if (it->component != component) continue;
      paths = it->namingPaths;
      auto& live = it->factory->live;
      for (auto l = live.begin(); l != live.end(); ++l)
        if (*l == component) {
          live.erase(l);
          break;
        }
      // Deleted only after the ORB is gone, when no call can reach it any more.
      m_finished.push_back(*it);
      m_members.erase(it);
      found = true;
      break;
    }
    if (!found) return;
    none_left = m_members.empty();
  }
  if (m_naming)
    for (const std::string& path : paths) m_naming->unbindObject(path);
  RTC_LOG(m_log, INFO, "component %s finalized", component->getInstanceName());
  if (none_left && isYes(m_config.getProperty("manager.shutdown_on_nortcs"))) terminate();
}

std::vector<RTObject_impl*> Manager::getComponents() {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<RTObject_impl*> components;
  for (const Member& member : m_members) components.push_back(member.component);
  return components;
}

RTObject_impl* Manager::getComponent(const char* instance_name) {
  if (instance_name == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const Member& member : m_members)
    if (std::string(instance_name) == member.component->getInstanceName()) return member.component;
  return nullptr;
}

CORBA::ORB_ptr Manager::getORB() { return CORBA::ORB::_duplicate(m_orb); }

PortableServer::POA_ptr Manager::getPOA() {
  std::lock_guard<std::mutex> lock(m_mutex);
  return PortableServer::POA::_duplicate(m_poa);
}

}  // namespace RTC
