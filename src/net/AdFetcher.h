// The advertisement fetcher: makes FileRoot + "ADs/" hold exactly the clips
// that current channel advertisements name, fetching each missing one once.
#pragma once

#include "store/CatalogueStore.h"
#include "store/ChannelCatalogue.h"

// The advertisement folder below a FileRoot.
std::string AdFolder(const std::string &fileRoot);

// One pass; today is the local date as YYYYMMDD.
void GetADThread(CCatalogueStore &store, int today = TodayNumber());
