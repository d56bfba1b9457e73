#include "rules/Command.h"

namespace polvane {
namespace {

// The user whose registry a command reads or changes: see RegistryUserOf.
struct RegistryUser {
  using User = std::optional<std::string>;
  User operator()(const ShowCommand& c) const { return Of(c.target); }
  User operator()(const ChangeCommand& c) const { return Of(c.target); }
  User operator()(const JsonCommand& c) const { return c.user; }
  User operator()(const CheckCommand& c) const { return c.scope.user; }
  User operator()(const ExportCommand& c) const { return c.scope.user; }
  User operator()(const ImportCommand& c) const { return c.scope.user; }
  User operator()(const auto&) const { return std::nullopt; }

  static User Of(const PolicyTarget& target) {
    if (const auto* scope = std::get_if<RegistryScope>(&target)) return scope->user;
    return std::nullopt;
  }
};

}  // namespace

std::optional<std::string> RegistryUserOf(const Command& command) {
  return std::visit(RegistryUser{}, command);
}

}  // namespace polvane
