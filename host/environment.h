// One host for one process at a time: the function table, the global object
// with its member "vel", and the transition registry. The free host functions
// that need host state (the registry's, ZANGetScriptDispatch) reach the
// environment constructed last and not yet destroyed; tests make one per test.
#pragma once

#include "host/function_table.h"
#include "host/game_object.h"
#include "host/global_object.h"
#include "host/host_ref.h"
#include "host/transition_registry.h"

namespace zanhost {

class Environment {
 public:
  // "vel" starts with this inner size.
  static constexpr orn_int kInnerWidth = 640;
  static constexpr orn_int kInnerHeight = 480;

  // Throws std::logic_error while another environment is current.
  Environment();
  ~Environment();
  Environment(const Environment &) = delete;
  Environment &operator=(const Environment &) = delete;

  FunctionTable &Functions() { return functions_; }
  GlobalObject &Global() { return *global_.get(); }
  GameObject &Vel() { return *vel_.get(); }
  TransitionRegistry &Registry() { return registry_; }
  // While false, ZANGetScriptDispatch answers null (a host without a global
  // object).
  void SetGlobalObjectAvailable(bool available) { globalAvailable_ = available; }
  bool GlobalObjectAvailable() const { return globalAvailable_; }

 private:
  FunctionTable functions_;
  Ref<GlobalObject> global_;
  Ref<GameObject> vel_;
  bool globalAvailable_ = true;
  // Last, so providers are released before the objects above go.
  TransitionRegistry registry_;
};

// The current environment; throws std::logic_error when there is none.
Environment &CurrentEnvironment();

// Host function (see hostapi/host_functions.h): the global object with one
// reference for the caller, or null when unavailable or without environment.
iORNDispatch2 *ZANGetScriptDispatch();

}  // namespace zanhost
