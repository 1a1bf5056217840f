#include "app/MachineIdentity.h"

#include <arpa/inet.h>
#include <cstdio>
#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string Dotted(const in_addr &address)
{
    char text[INET_ADDRSTRLEN] = {};
    return inet_ntop(AF_INET, &address, text, sizeof text) ? std::string(text) : std::string();
}

} // namespace

bool RouteSourceAddress(const sockaddr_in &service, std::string &dotted)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr *>(&service), sizeof service) == 0 &&
                    ::getsockname(fd, reinterpret_cast<sockaddr *>(&local), &length) == 0 &&
                    local.sin_family == AF_INET && local.sin_addr.s_addr != htonl(INADDR_ANY);
    ::close(fd);
    if (ok)
        dotted = Dotted(local.sin_addr);
    return ok && !dotted.empty();
}

std::vector<std::string> ListAdapterIPv4Addresses()
{
    std::vector<std::string> addresses;
    ifaddrs *list = nullptr;
    if (getifaddrs(&list) != 0)
        return addresses;
    for (const ifaddrs *entry = list; entry; entry = entry->ifa_next) {
        if (!entry->ifa_addr || entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_LOOPBACK))
            continue;
        const std::string dotted = Dotted(reinterpret_cast<const sockaddr_in *>(entry->ifa_addr)->sin_addr);
        if (!dotted.empty())
            addresses.push_back(dotted);
    }
    freeifaddrs(list);
    return addresses;
}

std::string LocalAddressOf(const sockaddr_in *service, const TAdapterLister &adapters)
{
    std::string dotted;
    if (service && RouteSourceAddress(*service, dotted))
        return dotted;
    const std::vector<std::string> addresses = adapters();
    return addresses.empty() ? std::string("NULL") : addresses.front();
}

std::string GetLocalAddress(const sockaddr_in *service) { return LocalAddressOf(service, ListAdapterIPv4Addresses); }

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
