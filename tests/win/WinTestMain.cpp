#include <gtest/gtest.h>

#include "ui/CommonControls.h"

int main(int argc, char** argv) {
  polvane::InitControls();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
