#pragma once
// The two web addresses the About window opens. A build may point them
// elsewhere: cmake -DPOLVANE_MESSENGER_URL=... -DPOLVANE_HOMEPAGE_URL=...

#ifndef POLVANE_MESSENGER_URL
#define POLVANE_MESSENGER_URL "https://messenger.msn.com/"
#endif
#ifndef POLVANE_HOMEPAGE_URL
#define POLVANE_HOMEPAGE_URL "https://www.krestel.example/article.php?sid=27"
#endif

namespace polvane {

// The Messenger product site's root, opened by the banner.
inline constexpr char kMessengerProductUrl[] = POLVANE_MESSENGER_URL;
// Polvane's page on its home site, opened by "Polvane Homepage".
inline constexpr char kHomePageUrl[] = POLVANE_HOMEPAGE_URL;

}  // namespace polvane
