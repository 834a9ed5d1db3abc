#include "cli/scenario.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "cli/scenario/runner.h"

namespace veltrano {

ScenarioRunner::ScenarioRunner(Folders folders, std::ostream& out)
    : runner_(std::make_unique<scenario::Runner>(std::move(folders), out)) {}

ScenarioRunner::~ScenarioRunner() = default;

bool ScenarioRunner::Run(std::string_view script, std::string_view name) {
  return runner_->Run(script, name);
}

const std::string& ScenarioRunner::failure() const {
  return runner_->failure();
}

int ScenarioRunner::failure_line() const { return runner_->failure_line(); }

}  // namespace veltrano
