#include "app/AboutTexts.h"

namespace polvane {

AboutTexts MakeAboutTexts(const VersionRecord& record) {
  return {.caption = "About " + record.productName,
          .title = record.companyName + " " + record.productName,
          .version = "Version " + std::to_string(record.major) + "." +
                     std::to_string(record.minor) + "." + std::to_string(record.revision),
          .description =
              "Polvane lets you alter hidden settings for MSN/Windows Messenger, "
              "suitable for network/system administrators"};
}

}  // namespace polvane
