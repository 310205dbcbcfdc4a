#include "ConfigAdmin.h"

namespace RTC {
namespace {
constexpr const char* kConfPrefix = "conf.";
}

bool ConfigAdmin::addParameter(const std::string& name, const std::string& default_value,
                               std::function<std::string(const char*)> refusal,
                               std::function<bool(const char*)> assign) {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const Parameter& parameter : m_parameters)
    if (parameter.name == name) return false;
  const std::string reason = refusal(default_value.c_str());
  if (!reason.empty())
    RTC_LOG(m_log, WARN, "configuration parameter %s: default \"%s\" %s", name.c_str(),
            default_value.c_str(), reason.c_str());
  else
    assign(default_value.c_str());
  m_parameters.push_back({name, default_value, std::move(refusal), std::move(assign)});
  return true;
}

std::string ConfigAdmin::refusedValueIn(const std::string& set_id,
                                        const coil::Properties& values) const {
  for (const Parameter& parameter : m_parameters) {
    if (!values.hasKey(parameter.name)) continue;
    const std::string value = values.getProperty(parameter.name);
    const std::string reason = parameter.refusal(value.c_str());
    if (!reason.empty())
      return "configuration set \"" + set_id + "\": " + parameter.name + " \"" + value +
             "\" refused: " + reason;
  }
  return {};
}

std::string ConfigAdmin::findRefusedValue() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  for (const ConfigSet& set : m_sets) {
    std::string refusal = refusedValueIn(set.id, set.values);
    if (!refusal.empty()) return refusal;
  }
  return {};
}

void ConfigAdmin::loadSets(const coil::Properties& profile) {
  std::lock_guard<std::mutex> lock(m_mutex);
  const std::string prefix = kConfPrefix;
  for (const std::string& key : profile.propertyNames()) {
    if (key.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string rest = key.substr(prefix.size());
    size_t dot = rest.find('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == rest.size()) continue;
    const std::string set_id = rest.substr(0, dot);
    if (set_id.compare(0, 2, "__") == 0) continue;
    ConfigSet* set = findSet(set_id);
    if (set == nullptr) {
      m_sets.push_back({set_id, {}});
      set = &m_sets.back();
    }
    set->values.setProperty(rest.substr(dot + 1), profile.getProperty(key));
  }
  m_changed = true;
}

ConfigAdmin::ConfigSet* ConfigAdmin::findSet(const std::string& id) {
  for (ConfigSet& set : m_sets)
    if (set.id == id) return &set;
  return nullptr;
}

const ConfigAdmin::ConfigSet* ConfigAdmin::findSet(const std::string& id) const {
  for (const ConfigSet& set : m_sets)
    if (set.id == id) return &set;
  return nullptr;
}

void ConfigAdmin::update() {
  if (!m_changed.exchange(false)) return;
  updateAll();
}

void ConfigAdmin::updateAll() {
  std::vector<std::pair<Parameter*, std::string>> values;
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changed = false;
    const ConfigSet* active = findSet(m_active);
    if (active == nullptr) return;
    for (Parameter& parameter : m_parameters)
      if (active->values.hasKey(parameter.name))
        values.emplace_back(&parameter, active->values.getProperty(parameter.name));
  }
  apply(values);
}

void ConfigAdmin::apply(const std::vector<std::pair<Parameter*, std::string>>& values) {
  // Parameters are bound only in onInitialize, before any update, so the pointers stay
  // valid while the members are written without the lock.
  for (const auto& entry : values) {
    if (!entry.first->assign(entry.second.c_str()))
      RTC_LOG(m_log, WARN,
              "configuration parameter %s: value \"%s\" does not convert; keeping its "
              "previous value (default \"%s\")",
              entry.first->name.c_str(), entry.second.c_str(), entry.first->defaultValue.c_str());
  }
}

std::vector<std::string> ConfigAdmin::setIds() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<std::string> ids;
  for (const ConfigSet& set : m_sets) ids.push_back(set.id);
  return ids;
}

bool ConfigAdmin::haveSet(const std::string& id) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return findSet(id) != nullptr;
}

coil::Properties ConfigAdmin::getSet(const std::string& id) const {
  std::lock_guard<std::mutex> lock(m_mutex);
  const ConfigSet* set = findSet(id);
  return set ? set->values : coil::Properties();
}

std::string ConfigAdmin::activeSetId() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_active;
}

bool ConfigAdmin::setValues(const std::string& id, const coil::Properties& values,
                            std::string* refusal) {
  if (id.empty()) return false;
  std::lock_guard<std::mutex> lock(m_mutex);
  std::string reason = refusedValueIn(id, values);
  if (!reason.empty()) {
    RTC_LOG(m_log, WARN, "%s", reason.c_str());
    if (refusal) *refusal = std::move(reason);
    return false;
  }
  ConfigSet* set = findSet(id);
  if (set == nullptr) {
    m_sets.push_back({id, {}});
    set = &m_sets.back();
  }
  for (const std::string& key : values.propertyNames())
    set->values.setProperty(key, values.getProperty(key));
  if (id == m_active) m_changed = true;
  return true;
}

bool ConfigAdmin::addSet(const std::string& id, const coil::Properties& values,
                         std::string* refusal) {
  if (id.empty()) return false;
  std::lock_guard<std::mutex> lock(m_mutex);
  if (findSet(id) != nullptr) return false;
  std::string reason = refusedValueIn(id, values);
  if (!reason.empty()) {
    RTC_LOG(m_log, WARN, "%s", reason.c_str());
    if (refusal) *refusal = std::move(reason);
    return false;
  }
  m_sets.push_back({id, values});
  return true;
}

bool ConfigAdmin::removeSet(const std::string& id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (id == m_active) return false;
  for (auto it = m_sets.begin(); it != m_sets.end(); ++it) {
    if (it->id == id) {
      m_sets.erase(it);
      return true;
    }
  }
  return false;
}

bool ConfigAdmin::activateSet(const std::string& id) {
  std::lock_guard<std::mutex> lock(m_mutex);
  if (findSet(id) == nullptr) return false;
  m_active = id;
  m_changed = true;
  return true;
}

std::vector<std::string> ConfigAdmin::parameterNames() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::vector<std::string> names;
  for (const Parameter& parameter : m_parameters) names.push_back(parameter.name);
  return names;
}

}  // namespace RTC
