#pragma once
// An option panel made of plain check boxes with the same click rule and the
// same wiring as the main window's: the master option's click applies the
// enabling rule. Every change is logged in order.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "rules/CheckValue.h"
#include "rules/OptionPanel.h"
#include "rules/mdlMain.h"

namespace polvane::test {

class FakeCheck final : public CheckControl {
 public:
  FakeCheck(std::string name, std::vector<std::string>& log) : name_(std::move(name)), log_(log) {}

  bool IsEnabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override {
    if (enabled != enabled_) log_.push_back(name_ + (enabled ? " enabled" : " disabled"));
    enabled_ = enabled;
  }
  std::function<void()> onClick;
  int clicks = 0;

 private:
  CheckValue StoredValue() const override { return value_; }
  void StoreValue(CheckValue value) override {
    log_.push_back(name_ + " = " + std::to_string(value));
    value_ = value;
  }
  void RaiseClick() override {
    ++clicks;
    if (onClick) onClick();
  }

  std::string name_;
  std::vector<std::string>& log_;
  CheckValue value_ = kUnchecked;
  bool enabled_ = true;
};

class FakePanel final : public OptionPanel {
 public:
  FakePanel() {
    options_[kMasterOption].onClick = [this] { UpdateSubOptions(*this); };
  }

  FakeCheck& Option(int index) override { return options_.at(static_cast<std::size_t>(index)); }
  FakeCheck& SubOption(int index) override { return subs_.at(static_cast<std::size_t>(index)); }

  std::vector<std::string> log;

 private:
  std::array<FakeCheck, 2> options_{FakeCheck("master", log), FakeCheck("scope", log)};
  std::array<FakeCheck, 4> subs_{FakeCheck("sub0", log), FakeCheck("sub1", log),
                                 FakeCheck("sub2", log), FakeCheck("sub3", log)};
};

}  // namespace polvane::test
