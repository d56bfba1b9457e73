#pragma once
// Where the policies are kept, and whether this process may change them.
#include <string>

#include "seams/RegistryApi.h"

namespace polvane {

// Where the policies are kept: the registry, and the root of the current
// user's scope, HKEY_CURRENT_USER or the loaded hive of another signed-in
// user whose policies Polvane was asked to show.
struct PolicyStore {
  RegistryApi& registry;
  RegKey userRoot = kCurrentUser;
  // The user whose root that is, as the texts name them (DOMAIN\name), when
  // it is not this process's own; empty for the current user.
  std::string otherUser = {};
  // Whether this process holds an administrator's rights in force, so that
  // a refusal is the keys' own security and no elevation would help.
  bool elevated = false;

  // HKEY_LOCAL_MACHINE for every user, else the current user's root.
  RegKey Root(bool allUsers) const { return allUsers ? kLocalMachine : userRoot; }
};

// Whether Windows lets this process change the scope's policies, asked of
// the policy key's security (Software\Policies is the administrators' in
// both scopes). Only a refusal says no: any other doubt is left to the save.
bool MayChangePolicies(const PolicyStore& store, bool allUsers);

}  // namespace polvane
