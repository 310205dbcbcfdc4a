#include "NamingManager.h"

#include <rtm/CallDeadline.h>
#include <rtm/ManagerConfig.h>
#include <rtm/NamingFormat.h>

#include <chrono>

namespace RTC {
namespace {
CosNaming::Name toName(const std::vector<NameComponentText>& parts, size_t count) {
  CosNaming::Name name;
  name.length(static_cast<CORBA::ULong>(count));
  for (size_t i = 0; i < count; ++i) {
    name[i].id = parts[i].id.c_str();
    name[i].kind = parts[i].kind.c_str();
  }
  return name;
}
}  // namespace

NamingManager::NamingManager(CORBA::ORB_ptr orb, const std::vector<std::string>& servers,
                             double update_interval_s, unsigned long call_timeout_ms, Logger& log)
    : m_orb(CORBA::ORB::_duplicate(orb)),
      m_log(log),
      m_interval_s(update_interval_s),
      m_callTimeout_ms(call_timeout_ms) {
  for (const std::string& address : servers) {
    Server server;
    server.address = address;
    m_servers.push_back(server);
  }
}

NamingManager::~NamingManager() { stopRefresh(); }

CosNaming::NamingContext_ptr NamingManager::rootOf(Server& server) {
  if (CORBA::is_nil(server.root)) {
    CORBA::Object_var object = m_orb->string_to_object(nameServiceLocation(server.address).c_str());
    if (m_callTimeout_ms > 0) omniORB::setClientCallTimeout(object, m_callTimeout_ms);
    server.root = CosNaming::NamingContext::_unchecked_narrow(object);
  }
  return server.root.in();
}

void NamingManager::reportFailure(Server& server, const char* what) {
  if (!server.reachable) return;
  server.reachable = false;
  RTC_LOG(m_log, WARN,
          "name server %s is unreachable (%s); components stay unbound there until it "
          "answers",
          server.address.c_str(), what);
}

void NamingManager::reportSuccess(Server& server) {
  if (server.reachable) return;
  server.reachable = true;
  RTC_LOG(m_log, INFO, "name server %s answers again; names bound", server.address.c_str());
}

void NamingManager::bindOn(Server& server, const Binding& binding) {
  const std::vector<NameComponentText> parts = splitNamingPath(binding.path);
  if (parts.empty()) return;
  try {
    CosNaming::NamingContext_var context = CosNaming::NamingContext::_duplicate(rootOf(server));
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
      CosNaming::Name step = toName(std::vector<NameComponentText>{parts[i]}, 1);
      CosNaming::NamingContext_var next;
      try {
        next = context->bind_new_context(step);
      } catch (const CosNaming::NamingContext::AlreadyBound&) {
        CORBA::Object_var existing = context->resolve(step);
        next = CosNaming::NamingContext::_narrow(existing);
      }
      if (CORBA::is_nil(next)) {
        RTC_LOG(m_log, WARN, "name server %s: %s.%s is not a naming context",
                server.address.c_str(), parts[i].id.c_str(), parts[i].kind.c_str());
        return;
      }
      if (m_callTimeout_ms > 0) omniORB::setClientCallTimeout(next, m_callTimeout_ms);
      context = next._retn();
    }
    context->rebind(toName(std::vector<NameComponentText>{parts.back()}, 1), binding.object);
    reportSuccess(server);
  } catch (const CORBA::TRANSIENT& error) {
    reportFailure(server, error._name());
  } catch (const CORBA::COMM_FAILURE& error) {
    reportFailure(server, error._name());
  } catch (const CORBA::TIMEOUT& error) {
    reportFailure(server, error._name());
  } catch (const CORBA::OBJECT_NOT_EXIST& error) {
    reportFailure(server, error._name());
  } catch (const CORBA::Exception& error) {
    RTC_LOG(m_log, WARN, "name server %s refused %s (%s)", server.address.c_str(),
            binding.path.c_str(), error._name());
  }
}

void NamingManager::bindObject(const std::string& path, CORBA::Object_ptr object) {
  std::lock_guard<std::mutex> lock(m_mutex);
  Binding binding;
  binding.path = path;
  binding.object = CORBA::Object::_duplicate(object);
  for (Server& server : m_servers) bindOn(server, binding);
  m_bindings.push_back(binding);
}

void NamingManager::unbindObject(const std::string& path) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (auto it = m_bindings.begin(); it != m_bindings.end(); ++it) {
    if (it->path != path) continue;
    const std::vector<NameComponentText> parts = splitNamingPath(path);
    const CosNaming::Name name = toName(parts, parts.size());
    for (Server& server : m_servers) {
      if (!server.reachable) continue;
      try {
        CosNaming::NamingContext_ptr root = rootOf(server);
        if (!boundCallTime(root, m_callTimeout_ms)) break;
        // Someone else may have bound the name since; leave theirs alone.
        CORBA::Object_var bound = root->resolve(name);
        if (bound->_is_equivalent(it->object)) root->unbind(name);
      } catch (const CORBA::SystemException& error) {
        reportFailure(server, error._name());
      } catch (const CORBA::UserException&) {
        // Already gone.
      }
    }
    m_bindings.erase(it);
    return;
  }
}

void NamingManager::unbindAll() {
  std::vector<std::string> paths;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Binding& binding : m_bindings) paths.push_back(binding.path);
  }
  for (const std::string& path : paths) unbindObject(path);
}

void NamingManager::refreshAll() {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (Server& server : m_servers)
    for (const Binding& binding : m_bindings) bindOn(server, binding);
}

void NamingManager::startRefresh() {
  if (m_interval_s <= 0 || m_refreshThread.joinable()) return;
  m_refreshStop = false;
  m_refreshThread = std::thread([this] {
    const auto interval = std::chrono::duration<double>(m_interval_s);
    std::unique_lock<std::mutex> lock(m_refreshMutex);
    while (!m_refreshWake.wait_for(lock, interval, [this] { return m_refreshStop; })) {
      lock.unlock();
      refreshAll();
      lock.lock();
    }
  });
}

void NamingManager::stopRefresh() {
  {
    std::lock_guard<std::mutex> lock(m_refreshMutex);
    m_refreshStop = true;
  }
  m_refreshWake.notify_all();
  if (m_refreshThread.joinable()) m_refreshThread.join();
}

}  // namespace RTC
