// Configuration sets of a component and the members bound to their parameters.
//
// Sets come from the profile's "conf.<set>.<parameter>" keys ("default" from
// conf.default.*). Tools change sets and choose the active one from ORB threads; the
// bound members are written only by update(), which the execution context calls on its
// own thread before its next callback, and once after onInitialize.
#pragma once

#include <rtm/Logger.h>

#include <coil/Properties.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace RTC {

class ConfigAdmin {
 public:
  explicit ConfigAdmin(Logger& log) : m_log(log) {}

  template <class T>
  bool bindParameter(const char* name, T& var, const char* default_value,
                     bool (*trans)(T&, const char*)) {
    auto assign = [&var, trans](const char* text) {
      T converted = var;
      if (!trans(converted, text)) return false;
      var = converted;
      return true;
    };
    return addParameter(name, default_value ? default_value : "", assign);
  }

  // Reads every "conf.<set>.<parameter>" key of `profile`; "conf.__...__" keys (widgets,
  // constraints) are not sets. The "default" set always exists and starts active.
  void loadSets(const coil::Properties& profile);

  // Applies the active set to the bound members when it changed since the last update.
  // A value that does not convert leaves the member as it was and logs one warning.
  void update();
  // Applies the active set now, whether changed or not.
  void updateAll();
  bool isChanged() const { return m_changed.load(); }

  std::vector<std::string> setIds() const;
  bool haveSet(const std::string& id) const;
  // The values of set `id` (empty when unknown).
  coil::Properties getSet(const std::string& id) const;
  std::string activeSetId() const;
  // Updates (or adds) values of set `id`, creating the set when needed.
  bool setValues(const std::string& id, const coil::Properties& values);
  bool addSet(const std::string& id, const coil::Properties& values);
  // The active set cannot be removed.
  bool removeSet(const std::string& id);
  bool activateSet(const std::string& id);

  std::vector<std::string> parameterNames() const;

 private:
  struct Parameter {
    std::string name;
    std::string defaultValue;
    std::function<bool(const char*)> assign;
  };
  struct ConfigSet {
    std::string id;
    coil::Properties values;
  };
  bool addParameter(const std::string& name, const std::string& default_value,
                    std::function<bool(const char*)> assign);
  ConfigSet* findSet(const std::string& id);
  const ConfigSet* findSet(const std::string& id) const;
  void apply(const std::vector<std::pair<Parameter*, std::string>>& values);

  Logger& m_log;
  mutable std::mutex m_mutex;
  std::vector<Parameter> m_parameters;
  std::vector<ConfigSet> m_sets{{"default", {}}};
  std::string m_active = "default";
  std::atomic<bool> m_changed{false};
};

}  // namespace RTC
