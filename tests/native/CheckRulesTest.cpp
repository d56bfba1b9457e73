// The check box click rule, the sub-option enabling rule, and Reset.
#include <gtest/gtest.h>

#include "rules/mdlMain.h"
#include "tests/native/FakePanel.h"

namespace polvane::test {
namespace {

TEST(CheckBoxRule, UserClickChecksClearAndClearsCheckedOrGreyed) {
  std::vector<std::string> log;
  FakeCheck box("box", log);
  box.ClickAsUser();
  EXPECT_EQ(box.Value(), kChecked);
  box.ClickAsUser();
  EXPECT_EQ(box.Value(), kUnchecked);
  box.SetValue(kGreyed);
  box.ClickAsUser();
  EXPECT_EQ(box.Value(), kUnchecked);
  EXPECT_EQ(box.clicks, 4);
}

TEST(CheckBoxRule, AssigningRaisesClickOnlyWhenTheValueChanges) {
  std::vector<std::string> log;
  FakeCheck box("box", log);
  box.SetValue(kUnchecked);
  EXPECT_EQ(box.clicks, 0);
  box.SetValue(kGreyed);
  box.SetValue(kGreyed);
  EXPECT_EQ(box.clicks, 1);
  box.SetValue(kChecked);
  EXPECT_EQ(box.clicks, 2);
}

TEST(CheckBoxRule, ClickRunsNestedAndSeesTheNewValue) {
  std::vector<std::string> log;
  FakeCheck box("box", log);
  CheckValue seen = -1;
  box.onClick = [&] {
    seen = box.Value();
    log.push_back("clicked");
  };
  box.SetValue(kChecked);
  log.push_back("after assignment");
  EXPECT_EQ(seen, kChecked);
  EXPECT_EQ(log, (std::vector<std::string>{"box = 1", "clicked", "after assignment"}));
}

TEST(CheckBoxRule, DisabledBoxIgnoresTheUserButCodeStillAssignsAndReads) {
  std::vector<std::string> log;
  FakeCheck box("box", log);
  box.SetEnabled(false);
  box.ClickAsUser();
  EXPECT_EQ(box.Value(), kUnchecked);
  EXPECT_EQ(box.clicks, 0);
  box.SetValue(kChecked);
  EXPECT_EQ(box.Value(), kChecked);
  EXPECT_EQ(box.clicks, 1);
}

void ExpectSubOptionsEnabled(FakePanel& panel, bool enabled) {
  for (int i = 0; i <= OptionPanel::kSubOptionUpperBound; ++i)
    EXPECT_EQ(panel.SubOption(i).IsEnabled(), enabled) << "sub-option " << i;
}

TEST(UpdateSubOptions, CheckedMasterDisablesSubOptionsAndKeepsTheirTicks) {
  FakePanel panel;
  panel.SubOption(1).SetValue(kChecked);
  panel.SubOption(3).SetValue(kGreyed);
  panel.Option(0).SetValue(kChecked);  // its click applies the rule
  ExpectSubOptionsEnabled(panel, false);
  EXPECT_EQ(panel.SubOption(1).Value(), kChecked);
  EXPECT_EQ(panel.SubOption(3).Value(), kGreyed);

  panel.Option(0).ClickAsUser();
  ExpectSubOptionsEnabled(panel, true);
  EXPECT_EQ(panel.SubOption(1).Value(), kChecked);
  EXPECT_EQ(panel.SubOption(3).Value(), kGreyed);
}

TEST(UpdateSubOptions, GreyedMasterLeavesTheEnabledStateAsItWas) {
  FakePanel panel;
  panel.Option(0).SetValue(kChecked);
  panel.Option(0).SetValue(kGreyed);
  ExpectSubOptionsEnabled(panel, false);

  panel.Option(0).SetValue(kUnchecked);
  panel.Option(0).SetValue(kGreyed);
  ExpectSubOptionsEnabled(panel, true);
}

TEST(UpdateSubOptions, NeverTouchesValuesOrTheScopeOption) {
  FakePanel panel;
  panel.Option(1).SetValue(kChecked);
  panel.log.clear();
  UpdateSubOptions(panel);  // master clear, sub-options already enabled
  EXPECT_TRUE(panel.log.empty());
  EXPECT_EQ(panel.Option(1).Value(), kChecked);
}

TEST(ResetOptionPanel, ClearsTheMasterFirstThenEachSubOptionLeavingTheScope) {
  FakePanel panel;
  panel.Option(1).SetValue(kChecked);
  panel.SubOption(0).SetValue(kChecked);
  panel.SubOption(3).SetValue(kGreyed);
  panel.Option(0).SetValue(kChecked);
  panel.log.clear();

  ResetOptionPanel(panel);

  const std::vector<std::string> expected{"master = 0",   "sub0 enabled", "sub1 enabled",
                                          "sub2 enabled", "sub3 enabled", "sub0 = 0",
                                          "sub3 = 0"};
  EXPECT_EQ(panel.log, expected);
  EXPECT_EQ(panel.Option(1).Value(), kChecked);
}

TEST(ResetOptionPanel, RaisesNoClickWhenAllIsClear) {
  FakePanel panel;
  ResetOptionPanel(panel);
  EXPECT_TRUE(panel.log.empty());
  EXPECT_EQ(panel.Option(0).clicks, 0);
}

}  // namespace
}  // namespace polvane::test
