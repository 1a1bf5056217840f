// Operations on ChannelInfo.xml: categories (Channel1), channels (Channel2),
// subscriptions and per-channel settings. The caller holds the channel lock.
#pragma once

#include "store/CatalogueStore.h"

#include <string>
#include <vector>

// Today's local date as the number YYYYMMDD.
int TodayNumber();

class CChannelCatalogue {
public:
    explicit CChannelCatalogue(CCatalogueStore &store) : m_store(store) {}

    // PreserveNum of the first channel with that ID; -1 when none; 0 without a root.
    int GetPreserveNum(int channel) const;
    // 1 when the channel's advertisement is current (ADTime today or later), AD then copied.
    int GetChannelAd(int channel, std::string *ad, int today = TodayNumber()) const;
    // The AD names of every channel whose advertisement is current, each once, in document order.
    std::vector<std::string> GetCurrentAds(int today = TodayNumber()) const;
    // 1 when the flag changed and the file was saved; 0 when unchanged or not found.
    int SetSubscribe(int channel, int category, int flag);
    // Channels whose Subscribe is exactly "1", in document order.
    std::vector<int> GetSubscribedChannels() const;
    std::string GetCategoryName(int category) const;
    std::string GetChannelName(int channel) const;
    int GetCategoryOfChannel(int channel) const;
    // Marks in the fetched document every channel subscribed here; 1, or 0 without a root.
    int CarrySubscriptions(TiXmlDocument &fetched) const;
    // Replaces the catalogue by the fetched one and saves; false without a fetched root.
    bool ReplaceChannelCatalogue(const TiXmlDocument &fetched);

private:
    const TiXmlElement *FindChannel(int channel) const;

    CCatalogueStore &m_store;
};
