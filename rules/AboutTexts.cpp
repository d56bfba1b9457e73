#include "rules/AboutTexts.h"

#include "rules/Decimal.h"

namespace polvane {

AboutTexts MakeAboutTexts(const VersionRecord& record) {
  return {.caption = "About " + record.productName,
          .title = record.companyName + " " + record.productName,
          .version = "Version " + Decimal(record.major) + "." + Decimal(record.minor) + "." +
                     Decimal(record.revision),
          .description =
              "Polvane lets you alter hidden settings for MSN/Windows Messenger, "
              "suitable for network/system administrators"};
}

}  // namespace polvane
