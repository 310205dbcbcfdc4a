// Configuration sets of a component and the members bound to their parameters.
//
// Sets come from the profile's "conf.<set>.<parameter>" keys ("default" from
// conf.default.*). Tools change sets and choose the active one from ORB threads; the
// bound members are written only by update(), which the execution context calls on its
// own thread before its next callback, and once after onInitialize.
#pragma once

#include <rtm/Logger.h>
#include <rtm/ParameterCheck.h>

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

  // Binds `name` to `var`. A value is refused when `trans` cannot convert it or `check`
  // (when given) finds it unusable; a refused value never reaches `var`.
  template <class T>
  bool bindParameter(const char* name, T& var, const char* default_value,
                     bool (*trans)(T&, const char*), ParameterCheck<T> check = nullptr) {
    auto refusal = [trans, check](const char* text) -> std::string {
      T converted{};
      if (!trans(converted, text)) return "does not convert";
      return check ? check(converted) : std::string();
    };
    auto assign = [&var, trans](const char* text) {
      T converted = var;
      if (!trans(converted, text)) return false;
      var = converted;
      return true;
    };
    return addParameter(name, default_value ? default_value : "", refusal, assign);
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
  // Updates (or adds) values of set `id`, creating the set when needed. Refuses the whole
  // update, changing nothing, when a value of a bound parameter is refused; `refusal` then
  // says which and why.
  bool setValues(const std::string& id, const coil::Properties& values,
                 std::string* refusal = nullptr);
  bool addSet(const std::string& id, const coil::Properties& values,
              std::string* refusal = nullptr);
  // The first value of any set that its bound parameter refuses, as one line naming the
  // set, the parameter, the value and the reason; empty when every value is usable.
  std::string findRefusedValue() const;
  // The active set cannot be removed.
  bool removeSet(const std::string& id);
  bool activateSet(const std::string& id);

  std::vector<std::string> parameterNames() const;

 private:
  struct Parameter {
    std::string name;
    std::string defaultValue;
    // Why a text is refused, or empty.
    std::function<std::string(const char*)> refusal;
    std::function<bool(const char*)> assign;
  };
  struct ConfigSet {
    std::string id;
    coil::Properties values;
  };
  bool addParameter(const std::string& name, const std::string& default_value,
                    std::function<std::string(const char*)> refusal,
                    std::function<bool(const char*)> assign);
  // Like findRefusedValue, for one set of values; the caller holds the lock.
  std::string refusedValueIn(const std::string& set_id, const coil::Properties& values) const;
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
