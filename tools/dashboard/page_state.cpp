#include "page_state.h"

#include "command_words.h"

namespace dashboard {

namespace {

nlohmann::json wordsJson(const WordLog& log) {
  nlohmann::json words = nlohmann::json::array();
  for (const TimedWord& word : log.words()) {
    words.push_back({{"word", word.word}, {"time_s", word.time_s}});
  }
  return words;
}

nlohmann::json componentJson(const ComponentView& component) {
  nlohmann::json ports = nlohmann::json::array();
  for (const PortView& port : component.ports) {
    nlohmann::json connectors = nlohmann::json::array();
    for (const PortView::Connector& connector : port.connectors) {
      connectors.push_back({{"id", connector.id}, {"ports", connector.ports}});
    }
    ports.push_back({{"name", port.name},
                     {"kind", port.kind},
                     {"dataType", port.dataType},
                     {"connectors", connectors}});
  }
  return {{"path", component.path},
          {"name", component.instanceName},
          {"state", component.state.empty() ? "No context" : component.state},
          {"problem", component.problem},
          {"ports", ports}};
}

nlohmann::json stepJson(const StepView& step) {
  nlohmann::json json = {{"label", step.label},
                         {"command", step.command},
                         {"answer", step.answer},
                         {"expected", step.expected},
                         {"succeeded", step.succeeded}};
  json["duration_s"] = step.duration_s ? nlohmann::json(*step.duration_s) : nlohmann::json();
  return json;
}

}  // namespace

nlohmann::json pageStateJson(const PageState& state) {
  nlohmann::json components = nlohmann::json::array();
  for (const ComponentView& component : state.system.components) {
    components.push_back(componentJson(component));
  }
  nlohmann::json connections = nlohmann::json::array();
  for (const ConnectionView& connection : connectionsOf(state.system)) {
    connections.push_back(
        {{"id", connection.id}, {"from", connection.from}, {"to", connection.to}});
  }
  nlohmann::json steps = nlohmann::json::array();
  for (const StepView& step : state.steps) steps.push_back(stepJson(step));
  nlohmann::json scenes = nlohmann::json::array();
  for (const SceneStatus& scene : state.scenes) {
    scenes.push_back({{"name", scene.name},
                      {"title", scene.title},
                      {"available", scene.available},
                      {"problem", scene.problem},
                      {"version", scene.version}});
  }
  nlohmann::json actions = nlohmann::json::array();
  for (const ActionOutcome& action : state.actions) {
    actions.push_back({{"what", action.what},
                       {"ok", action.ok},
                       {"detail", action.detail},
                       {"time_s", action.time_s}});
  }
  nlohmann::json buttons = nlohmann::json::array();
  for (const CommandButton& button : kCommandButtons) {
    buttons.push_back({{"id", button.id},
                       {"label", button.label},
                       {"target", targetName(button.target)},
                       {"word", button.word},
                       {"confirm", button.confirm}});
  }
  nlohmann::json planning;
  if (state.planning) {
    planning = {{"received", state.planning->received},
                {"step", state.planning->step},
                {"runTime_s", state.planning->runTime_s},
                {"receivedAt_s", state.planning->receivedAt_s},
                {"mapMissing", state.planning->mapMissing}};
  }
  return {{"time_s", state.time_s},
          {"pollRate_hz", state.pollRate_hz},
          {"nameServer", state.system.nameServer},
          {"nameServerProblem", state.system.problem},
          {"components", components},
          {"connections", connections},
          {"words",
           {{"coordinator", wordsJson(state.coordinatorWords)},
            {"planner", wordsJson(state.plannerWords)},
            {"sent", wordsJson(state.sentWords)}}},
          {"steps", steps},
          {"stepsSource", state.stepsSource},
          {"stepsProblem", state.stepsProblem},
          {"planning", planning},
          {"scenes", scenes},
          {"actions", actions},
          {"buttons", buttons}};
}

}  // namespace dashboard
