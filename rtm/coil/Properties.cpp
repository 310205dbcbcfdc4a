#include "Properties.h"

#include <istream>
#include <ostream>

namespace coil {
namespace {
std::string trimmed(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

// The separator is the first unescaped ':' or '='.
size_t separatorPosition(const std::string& line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\') {
      ++i;
      continue;
    }
    if (line[i] == ':' || line[i] == '=') return i;
  }
  return std::string::npos;
}

std::string unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      char next = text[++i];
      switch (next) {
        case 't':
          out += '\t';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        default:
          out += next;
          break;
      }
    } else {
      out += text[i];
    }
  }
  return out;
}
}  // namespace

Properties::Properties(const char* const defaults[], long num) { setDefaults(defaults, num); }

void Properties::setDefaults(const char* const defaults[], long num) {
  for (long i = 0; i + 1 < num; i += 2) {
    if (defaults[i] == nullptr || defaults[i][0] == '\0') break;
    setDefault(trimmed(defaults[i]), defaults[i + 1] ? trimmed(defaults[i + 1]) : "");
  }
}

Properties::Entry* Properties::find(const std::string& key) {
  for (Entry& entry : m_entries)
    if (entry.key == key) return &entry;
  return nullptr;
}

const Properties::Entry* Properties::find(const std::string& key) const {
  for (const Entry& entry : m_entries)
    if (entry.key == key) return &entry;
  return nullptr;
}

Properties::Entry& Properties::findOrAdd(const std::string& key) {
  if (Entry* entry = find(key)) return *entry;
  m_entries.push_back(Entry{key, "", "", false});
  return m_entries.back();
}

std::string& Properties::operator[](const std::string& key) {
  Entry& entry = findOrAdd(key);
  if (!entry.hasValue) {
    entry.value = entry.defaultValue;
    entry.hasValue = true;
  }
  return entry.value;
}

std::string Properties::getProperty(const std::string& key, const std::string& def) const {
  const Entry* entry = find(key);
  if (entry == nullptr) return def;
  if (entry->hasValue && !entry->value.empty()) return entry->value;
  if (!entry->defaultValue.empty()) return entry->defaultValue;
  return entry->hasValue ? entry->value : def;
}

std::string Properties::getDefault(const std::string& key) const {
  const Entry* entry = find(key);
  return entry ? entry->defaultValue : "";
}

std::string Properties::setProperty(const std::string& key, const std::string& value) {
  Entry& entry = findOrAdd(key);
  std::string old = entry.hasValue ? entry.value : entry.defaultValue;
  entry.value = value;
  entry.hasValue = true;
  return old;
}

std::string Properties::setDefault(const std::string& key, const std::string& value) {
  Entry& entry = findOrAdd(key);
  std::string old = entry.defaultValue;
  entry.defaultValue = value;
  return old;
}

bool Properties::hasKey(const std::string& key) const { return find(key) != nullptr; }

void Properties::removeProperty(const std::string& key) {
  for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
    if (it->key == key) {
      m_entries.erase(it);
      return;
    }
  }
}

std::vector<std::string> Properties::propertyNames() const {
  std::vector<std::string> names;
  names.reserve(m_entries.size());
  for (const Entry& entry : m_entries) names.push_back(entry.key);
  return names;
}

Properties Properties::getNode(const std::string& prefix) const {
  Properties node;
  const std::string head = prefix + ".";
  for (const Entry& entry : m_entries) {
    if (entry.key.compare(0, head.size(), head) != 0 || entry.key.size() == head.size()) continue;
    Entry copy = entry;
    copy.key = entry.key.substr(head.size());
    node.m_entries.push_back(copy);
  }
  return node;
}

Properties& Properties::operator<<(const Properties& other) {
  for (const Entry& entry : other.m_entries) {
    Entry& mine = findOrAdd(entry.key);
    if (!entry.defaultValue.empty() || !mine.hasValue) mine.defaultValue = entry.defaultValue;
    if (entry.hasValue) {
      mine.value = entry.value;
      mine.hasValue = true;
    }
  }
  return *this;
}

void Properties::load(std::istream& in) {
  std::string line;
  std::string pending;
  while (std::getline(in, line)) {
    std::string text = trimmed(line);
    if (pending.empty() && (text.empty() || text[0] == '#' || text[0] == '!')) continue;
    if (!text.empty() && text.back() == '\\' &&
        (text.size() < 2 || text[text.size() - 2] != '\\')) {
      pending += text.substr(0, text.size() - 1);
      continue;
    }
    pending += text;
    size_t separator = separatorPosition(pending);
    if (separator == std::string::npos) {
      if (!trimmed(pending).empty()) setProperty(unescaped(trimmed(pending)), "");
    } else {
      setProperty(unescaped(trimmed(pending.substr(0, separator))),
                  unescaped(trimmed(pending.substr(separator + 1))));
    }
    pending.clear();
  }
  if (!pending.empty()) {
    size_t separator = separatorPosition(pending);
    if (separator != std::string::npos)
      setProperty(unescaped(trimmed(pending.substr(0, separator))),
                  unescaped(trimmed(pending.substr(separator + 1))));
  }
}

void Properties::store(std::ostream& out) const {
  for (const Entry& entry : m_entries) out << entry.key << ": " << getProperty(entry.key) << "\n";
}

}  // namespace coil
