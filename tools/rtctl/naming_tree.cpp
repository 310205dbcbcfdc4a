#include "naming_tree.h"

#include "name_server_address.h"

namespace name_service {

namespace {

// Bindings asked for per call: the server's answer stays small, the iterator gives the rest.
constexpr CORBA::ULong kListBatch = 256;

void limitCalls(CORBA::Object_ptr object, unsigned long callTimeout_ms) {
  if (callTimeout_ms > 0 && !CORBA::is_nil(object)) {
    omniORB::setClientCallTimeout(object, callTimeout_ms);
  }
}

void walk(CosNaming::NamingContext_ptr context, const std::string& prefix, int depth,
          unsigned long callTimeout_ms, NamingListing& listing);

void visit(CosNaming::NamingContext_ptr context, const CosNaming::Binding& binding,
           const std::string& prefix, int depth, unsigned long callTimeout_ms,
           NamingListing& listing) {
  std::string path = (prefix.empty() ? "" : prefix + "/") + pathText(binding.binding_name);
  if (binding.binding_type != CosNaming::ncontext) {
    listing.paths.push_back(path);
    return;
  }
  if (depth >= kMaxNamingDepth) return;
  try {
    CORBA::Object_var object = context->resolve(binding.binding_name);
    CosNaming::NamingContext_var child = CosNaming::NamingContext::_narrow(object);
    limitCalls(child, callTimeout_ms);
    if (!CORBA::is_nil(child)) walk(child, path, depth + 1, callTimeout_ms, listing);
  } catch (const CORBA::Exception&) {
    listing.unreachableContexts.push_back(path);
  }
}

void walk(CosNaming::NamingContext_ptr context, const std::string& prefix, int depth,
          unsigned long callTimeout_ms, NamingListing& listing) {
  CosNaming::BindingList_var batch;
  CosNaming::BindingIterator_var rest;
  context->list(kListBatch, batch.out(), rest.out());
  limitCalls(rest, callTimeout_ms);
  std::vector<CosNaming::Binding> bindings;
  for (CORBA::ULong i = 0; i < batch->length(); ++i) bindings.push_back(batch[i]);
  if (!CORBA::is_nil(rest)) {
    for (;;) {
      CosNaming::BindingList_var more;
      bool left = rest->next_n(kListBatch, more.out());
      for (CORBA::ULong i = 0; i < more->length(); ++i) bindings.push_back(more[i]);
      if (!left || more->length() == 0) break;
    }
    rest->destroy();
  }
  for (const auto& binding : bindings) {
    visit(context, binding, prefix, depth, callTimeout_ms, listing);
  }
}

}  // namespace

std::string pathText(const CosNaming::Name& name) {
  std::string text;
  for (CORBA::ULong i = 0; i < name.length(); ++i) {
    if (i) text += "/";
    text += name[i].id.in();
    if (*name[i].kind.in()) text += std::string(".") + name[i].kind.in();
  }
  return text;
}

CosNaming::NamingContextExt_ptr rootContext(CORBA::ORB_ptr orb, const std::string& nameServer,
                                            unsigned long callTimeout_ms) {
  std::string location = nameServiceLocation(nameServer);
  if (location.empty()) return CosNaming::NamingContextExt::_nil();
  CORBA::Object_var object = orb->string_to_object(location.c_str());
  limitCalls(object, callTimeout_ms);
  // A corbaloc reference is narrowed without asking the server.
  return CosNaming::NamingContextExt::_unchecked_narrow(object);
}

NamingListing listBindings(CosNaming::NamingContext_ptr root, unsigned long callTimeout_ms) {
  NamingListing listing;
  walk(root, "", 0, callTimeout_ms, listing);
  return listing;
}

}  // namespace name_service
