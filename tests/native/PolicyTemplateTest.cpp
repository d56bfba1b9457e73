// The Group Policy template pair against the program's own policy table: an
// administrator who deploys the template must get the very values Polvane
// writes and reads.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "rules/PolicyTable.h"

namespace polvane {
namespace {

std::string ReadSource(const std::string& path) {
  std::ifstream file(std::string(POLVANE_SOURCE_DIR) + "/" + path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Every match of pattern's first group, in order.
std::vector<std::string> AllOf(const std::string& text, const std::string& pattern) {
  std::vector<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it)
    found.push_back((*it)[1]);
  return found;
}

std::string Attribute(const std::string& element, const std::string& name) {
  std::smatch match;
  const std::regex re("\\b" + name + "=\"([^\"]*)\"");
  return std::regex_search(element, match, re) ? match[1].str() : std::string();
}

class PolicyTemplate : public ::testing::Test {
 protected:
  std::string admx = ReadSource("policy/Polvane.admx");
  std::string adml = ReadSource("policy/en-US/Polvane.adml");
  // Each <policy ...>...</policy>, whole.
  std::vector<std::string> policies = AllOf(admx, "(<policy [\\s\\S]*?</policy>)");
};

TEST_F(PolicyTemplate, DefinesTheProgramsFivePoliciesInItsOrderUnderItsKey) {
  ASSERT_EQ(policies.size(), kPolicyTable.size());
  for (std::size_t i = 0; i < policies.size(); ++i) {
    const std::string& policy = policies[i];
    EXPECT_EQ(Attribute(policy, "valueName"), kPolicyTable[i].valueName);
    EXPECT_EQ(Attribute(policy, "name"), kPolicyTable[i].valueName);
    EXPECT_EQ(Attribute(policy, "key"), kPolicyKeyPath);
    EXPECT_EQ(Attribute(policy, "class"), "Both") << "for users and for computers";
    EXPECT_NE(policy.find("<enabledValue>\n        <decimal value=\"1\" />"), std::string::npos)
        << kPolicyTable[i].valueName << ": enabled must store 1";
    EXPECT_NE(policy.find("<disabledValue>\n        <decimal value=\"0\" />"), std::string::npos)
        << kPolicyTable[i].valueName << ": disabled must store 0";
  }
}

TEST_F(PolicyTemplate, EveryReferenceResolves) {
  const std::vector<std::string> categories = AllOf(admx, "<category name=\"([^\"]+)\"");
  const std::vector<std::string> platforms = AllOf(admx, "<definition name=\"([^\"]+)\"");
  ASSERT_EQ(categories.size(), 1u) << "the policies have a category of their own";
  for (const std::string& policy : policies) {
    EXPECT_EQ(AllOf(policy, "<parentCategory ref=\"([^\"]+)\""), categories);
    EXPECT_EQ(AllOf(policy, "<supportedOn ref=\"([^\"]+)\""), platforms);
  }

  // Strings the template uses are exactly those the English resources define.
  const std::vector<std::string> used = AllOf(admx, "\\$\\(string\\.([^)]+)\\)");
  const std::vector<std::string> defined = AllOf(adml, "<string id=\"([^\"]+)\">");
  EXPECT_EQ(std::set<std::string>(used.begin(), used.end()),
            std::set<std::string>(defined.begin(), defined.end()));
  EXPECT_EQ(std::set<std::string>(defined.begin(), defined.end()).size(), defined.size())
      << "a string id is defined twice";
  for (const std::string& id : defined)
    EXPECT_FALSE(AllOf(adml, "<string id=\"" + id + "\">([^<]+)</string>").empty()) << id;

  EXPECT_EQ(Attribute(admx, "revision"), Attribute(adml, "revision"));
  EXPECT_EQ(AllOf(admx, "<resources minRequiredRevision=\"([^\"]+)\""),
            std::vector<std::string>{Attribute(adml, "revision")});
}

}  // namespace
}  // namespace polvane
