// What a user is told when a save fails.
#include <gtest/gtest.h>

#include "rules/Messages.h"

namespace polvane::test {
namespace {

TEST(SaveFailureMessage, NamesTheScopeAndGivesTheSystemsReason) {
  EXPECT_EQ(SaveFailureMessage(ScopeName(false), 29,
                               "The system cannot write to the specified device.\r\n", false),
            "The settings could not be saved for the current user.\n\n"
            "The system cannot write to the specified device.");
  EXPECT_EQ(SaveFailureMessage(ScopeName(true, "CONTOSO\\alice"), 29, "", true),
            "The settings could not be saved for all users.\n\nError 29.");
  EXPECT_EQ(SaveFailureMessage(ScopeName(false, "CONTOSO\\alice"), 29, "Write fault.", true),
            "The settings could not be saved for CONTOSO\\alice.\n\nWrite fault.");
}

// A refusal asks for an administrator only of a process that is not one;
// an administrator refused is told that the key's own security refuses
// administrators, in the window and on the command line alike.
TEST(SaveFailureMessage, AsksForAnAdministratorOnlyWhereElevationCouldHelp) {
  EXPECT_EQ(SaveFailureMessage("all users", kAccessDenied, "Access denied.\r\n", false),
            "The settings could not be saved for all users.\n\nAccess denied.\n\n"
            "Windows lets only administrators change policies, in either scope: saving them for "
            "all users needs Polvane run as an administrator.");
  constexpr char kRefused[] =
      "Polvane runs with an administrator's rights, but the security of the registry key that "
      "holds the Messenger policies of all users refuses even administrators here.";
  EXPECT_EQ(SaveFailureMessage("all users", kAccessDenied, "Access denied.", true),
            std::string("The settings could not be saved for all users.\n\nAccess denied.\n\n") +
                kRefused);
  EXPECT_EQ(RefusedChangeMessage("all users", true),
            std::string("Access is denied: ") + kRefused + " Nothing was written.");
}

}  // namespace
}  // namespace polvane::test
