#include "app/MachineIdentity.h"

#include <arpa/inet.h>
#include <cstdio>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <netdb.h>
#include <unistd.h>

bool ResolveHostIPv4(const std::string &host, std::string &dotted)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo *result = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &result) != 0 || !result)
        return false;
    char text[INET_ADDRSTRLEN] = {};
    const auto *address = reinterpret_cast<const sockaddr_in *>(result->ai_addr);
    const bool ok = inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) != nullptr;
    freeaddrinfo(result);
    if (ok)
        dotted = text;
    return ok;
}

std::string LocalAddressOf(const std::string &hostName, const THostResolver &resolve)
{
    std::string dotted;
    if (hostName.empty() || !resolve(hostName, dotted))
        return "NULL";
    return dotted;
}

std::string GetLocalAddress()
{
    char name[260] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return "NULL";
    return LocalAddressOf(name, ResolveHostIPv4);
}

std::vector<THardwareAddress> ListAdapterAddresses()
{
    std::vector<THardwareAddress> adapters;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return adapters;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_PACKET || (entry->ifa_flags & IFF_LOOPBACK))
            continue;
        const auto *link = reinterpret_cast<const sockaddr_ll *>(entry->ifa_addr);
        if (link->sll_halen != 6)
            continue;
        THardwareAddress address;
        std::copy(link->sll_addr, link->sll_addr + 6, address.begin());
        if (address != THardwareAddress{})
            adapters.push_back(address);
    }
    freeifaddrs(list);
    return adapters;
}

std::string FormatFirstAdapter(const std::vector<THardwareAddress> &adapters)
{
    if (adapters.empty())
        return "NULL";
    const THardwareAddress &a = adapters.front();
    char text[13];
    std::snprintf(text, sizeof text, "%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3], a[4], a[5]);
    return text;
}

std::string GetHardwareAddress() { return FormatFirstAdapter(ListAdapterAddresses()); }
