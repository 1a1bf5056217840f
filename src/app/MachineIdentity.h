// How the messages to the service identify this machine.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sockaddr_in;

// The dotted IPv4 address this machine uses to reach the service: what
// getsockname gives for a UDP socket connected to it. Connecting a UDP socket
// sends no packet and looks up no name, so it never waits on the network; a
// service on the loopback gives the loopback address. Without a usable service
// address (null, or no route to it), the first adapter's address that is not
// loopback; "NULL" when there is none.
std::string GetLocalAddress(const sockaddr_in *service);
// Twelve upper-case hex digits of the first non-loopback adapter, or "NULL".
std::string GetHardwareAddress();

// The pieces behind them, so a machine without a route or an adapter can be tested.
bool RouteSourceAddress(const sockaddr_in &service, std::string &dotted);
using TAdapterLister = std::function<std::vector<std::string>()>;
std::string LocalAddressOf(const sockaddr_in *service, const TAdapterLister &adapters);
// The IPv4 addresses of the adapters that are not loopback, in the platform's order.
std::vector<std::string> ListAdapterIPv4Addresses();

using THardwareAddress = std::array<uint8_t, 6>;
std::vector<THardwareAddress> ListAdapterAddresses();
std::string FormatFirstAdapter(const std::vector<THardwareAddress> &adapters);
