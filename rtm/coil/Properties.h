// Text key/value settings with defaults: component profiles, rtc.conf and configuration sets.
#pragma once

#include <climits>
#include <iosfwd>
#include <string>
#include <vector>

namespace coil {

// Keys are dotted paths ("exec_cxt.periodic.rate"); each key may hold a value and a
// default, and lookups fall back to the default when no value was set. Keys keep the
// order in which they were first added.
class Properties {
 public:
  Properties() = default;

  // Reads key/value pairs from `defaults` (key, value, key, value, ...) as defaults, up
  // to `num` strings or an empty key, whichever comes first.
  explicit Properties(const char* const defaults[], long num = LONG_MAX);

  // The value of `key`, created empty (showing its default, if any) when absent.
  std::string& operator[](const std::string& key);

  // The value of `key`, else its default, else `def`.
  std::string getProperty(const std::string& key, const std::string& def = "") const;
  std::string getDefault(const std::string& key) const;

  // Sets the value and returns the previous one.
  std::string setProperty(const std::string& key, const std::string& value);
  std::string setDefault(const std::string& key, const std::string& value);
  void setDefaults(const char* const defaults[], long num = LONG_MAX);

  bool hasKey(const std::string& key) const;
  void removeProperty(const std::string& key);

  // Every key, in insertion order.
  std::vector<std::string> propertyNames() const;
  size_t size() const { return m_entries.size(); }

  // The keys under `prefix` + "." with that part cut off, values and defaults kept.
  Properties getNode(const std::string& prefix) const;

  // Copies every value (and default) of `other` over this one's.
  Properties& operator<<(const Properties& other);

  // Reads "key: value" or "key = value" lines; '#' and '!' start comments, a trailing
  // backslash continues a line.
  void load(std::istream& in);
  void store(std::ostream& out) const;

 private:
  struct Entry {
    std::string key;
    std::string value;
    std::string defaultValue;
    bool hasValue = false;
  };
  Entry* find(const std::string& key);
  const Entry* find(const std::string& key) const;
  Entry& findOrAdd(const std::string& key);

  std::vector<Entry> m_entries;
};

}  // namespace coil
