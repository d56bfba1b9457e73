// What a user is told when a save fails.
#include <gtest/gtest.h>

#include "rules/Messages.h"

namespace polvane::test {
namespace {

TEST(SaveFailureMessage, NamesTheScopeAndGivesTheSystemsReason) {
  EXPECT_EQ(SaveFailureMessage(false, 29, "The system cannot write to the specified device.\r\n"),
            "The settings could not be saved for the current user.\n\n"
            "The system cannot write to the specified device.");
  EXPECT_EQ(SaveFailureMessage(true, 29, ""),
            "The settings could not be saved for all users.\n\nError 29.");
}

TEST(SaveFailureMessage, AsksForAnAdministratorForRefusedSavesInEitherScope) {
  const std::string machine = SaveFailureMessage(true, kAccessDenied, "Access denied.\r\n");
  EXPECT_EQ(machine,
            "The settings could not be saved for all users.\n\nAccess denied.\n\n"
            "Changing settings for all users needs Polvane run as an administrator.");
  const std::string user = SaveFailureMessage(false, kAccessDenied, "Access denied.");
  EXPECT_NE(user.find("the current user's too: they need Polvane run as an administrator."),
            std::string::npos);
  EXPECT_EQ(SaveFailureMessage(false, 29, "Write fault.").find("administrator"), std::string::npos);
}

}  // namespace
}  // namespace polvane::test
