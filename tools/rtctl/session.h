#pragma once
// rtctl's connection to the world: its ORB (every remote call time-limited), the name server,
// and lookups of components and ports. Failures are thrown as rtctl::Failure carrying the one
// line the tool prints.
#include <RTC.hh>
#include <omniORB4/Naming.hh>

#include <string>
#include <vector>

#include "connection_plan.h"
#include "failure.h"
#include "profile_format.h"

namespace rtctl {

// How long any one remote call may take before rtctl gives up on the peer.
inline constexpr unsigned kCallTimeout_ms = 5000;
inline constexpr unsigned kConnectTimeout_ms = 3000;

// A component found in the name server.
struct Component {
  std::string path;
  std::string instanceName;
  RTC::RTObject_var object;
};

// Whether the object bound at a name is there: it answers, its process is gone (the name is
// left over), or it does not answer in time (hung, or far away).
enum class Presence { Answers, Gone, Hung };

class Session {
 public:
  explicit Session(const std::string& nameServer);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  CORBA::ORB_ptr orb() const { return orb_.in(); }
  // The root POA, activated on first use (for rtctl's own port servants).
  PortableServer::POA_ptr activePoa();

  // Naming paths of every binding of kind "rtc", recursively.
  std::vector<std::string> componentPaths();
  // The component an instance name or naming path means; checks that it answers.
  Component findComponent(const std::string& name);
  // The same among paths already listed with componentPaths().
  Component findComponentIn(const std::vector<std::string>& paths, const std::string& name);
  // The object bound at a naming path (not called).
  CORBA::Object_ptr resolvePath(const std::string& path);
  // Whether the object bound at path answers; a name server that fails is a Failure.
  Presence presenceOf(const std::string& path);
  // Removes the binding at a naming path.
  void unbind(const std::string& path);
  const std::string& nameServer() const { return nameServer_; }
  // The component's port called portName ("out" or "Talker0.out").
  RTC::PortService_ptr findPort(const Component& component, const std::string& portName);
  // The first execution context the component owns.
  RTC::ExecutionContext_ptr firstContext(const Component& component);

  // Plain copies for printing.
  ComponentInfo describe(const Component& component);
  PortInfo describePort(RTC::PortService_ptr port, const std::string& label);
  ListEntry listEntry(const std::string& path);

  // "<what>: <exception>" for a CORBA exception from a peer.
  static std::string explain(const std::string& what, const CORBA::Exception& error);

 private:
  CosNaming::NamingContextExt_ptr rootContext();
  // Runs work on the root context; naming exceptions about path become one line.
  template <class Work>
  auto atPath(const std::string& path, Work work);

  std::string nameServer_;
  CORBA::ORB_var orb_;
  PortableServer::POA_var poa_;
  bool poaActive_ = false;
};

// NVList as text pairs; values that are not strings show as "<binary>".
PropertyMap propertiesOf(const SDOPackage::NVList& list);
// The string value under key in an NVList, or "".
std::string stringProperty(const SDOPackage::NVList& list, const std::string& key);
void setStringProperty(SDOPackage::NVList& list, const std::string& key, const std::string& value);
// "PRECONDITION_NOT_MET" and so on.
std::string returnCodeName(RTC::ReturnCode_t code);

}  // namespace rtctl
