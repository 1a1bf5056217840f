// How the messages to the service identify this machine.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The dotted IPv4 address of the host name's first address, or "NULL".
std::string GetLocalAddress();
// Twelve upper-case hex digits of the first non-loopback adapter, or "NULL".
std::string GetHardwareAddress();

// The pieces behind them, so a machine without a name or an adapter can be tested.
using THostResolver = std::function<bool(const std::string &host, std::string &dotted)>;
std::string LocalAddressOf(const std::string &hostName, const THostResolver &resolve);
bool ResolveHostIPv4(const std::string &host, std::string &dotted);

using THardwareAddress = std::array<uint8_t, 6>;
std::vector<THardwareAddress> ListAdapterAddresses();
std::string FormatFirstAdapter(const std::vector<THardwareAddress> &adapters);
