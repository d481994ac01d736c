#include "tests/support/sntp_test_server.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "framework/unique_handle.h"

namespace velmora::testing {
namespace {

struct WinsockUser {
    WinsockUser() {
        WSADATA data;
        ::WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockUser() { ::WSACleanup(); }
};

sockaddr_in ControlAddress() {
    // VELMORA_SNTP_CONTROL=127.0.0.1:47123, set by the test registration.
    const char* setting = std::getenv("VELMORA_SNTP_CONTROL");
    const std::string text = setting ? setting : "127.0.0.1:47123";
    const auto colon = text.rfind(':');
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(std::atoi(text.c_str() + colon + 1)));
    ::inet_pton(AF_INET, text.substr(0, colon).c_str(), &address.sin_addr);
    return address;
}

// One request and its reply on the control socket; empty on time-out.
std::string Control(const std::string& json) {
    WinsockUser winsock;
    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    const DWORD timeout = 3000;
    ::setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    const sockaddr_in address = ControlAddress();
    ::sendto(socket.get(), json.data(), static_cast<int>(json.size()), 0, reinterpret_cast<const sockaddr*>(&address),
             sizeof address);
    char reply[512] = {};
    const int received = ::recv(socket.get(), reply, sizeof reply - 1, 0);
    return received > 0 ? std::string(reply, received) : std::string();
}

long NumberAfter(const std::string& json, const std::string& key) {
    const auto at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return -1;
    return std::strtol(json.c_str() + at + key.size() + 3, nullptr, 10);
}

}  // namespace

SntpTestServer::SntpTestServer(const std::string& settings) {
    ipv6_ = settings.find("\"ipv6\"") != std::string::npos;
    const std::string reply = Control(R"({"cmd": "serve")" + (settings.empty() ? "" : ", " + settings) + "}");
    const long port = NumberAfter(reply, "port");
    if (port > 0) port_ = static_cast<unsigned short>(port);
}

SntpTestServer::~SntpTestServer() {
    if (port_) Control(R"({"cmd": "close", "port": )" + std::to_string(port_) + "}");
}

SntpTarget SntpTestServer::Target() const {
    return SntpTarget{ipv6_ ? L"::1" : L"127.0.0.1", std::to_wstring(port_)};
}

SocketAddress SntpTestServer::Address() const {
    SocketAddress result;
    if (ipv6_) {
        auto* address = reinterpret_cast<sockaddr_in6*>(&result.address);
        address->sin6_family = AF_INET6;
        address->sin6_port = htons(port_);
        address->sin6_addr = in6addr_loopback;
        result.length = sizeof(sockaddr_in6);
    } else {
        auto* address = reinterpret_cast<sockaddr_in*>(&result.address);
        address->sin_family = AF_INET;
        address->sin_port = htons(port_);
        address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        result.length = sizeof(sockaddr_in);
    }
    return result;
}

int SntpTestServer::Requests() const {
    return static_cast<int>(NumberAfter(Control(R"({"cmd": "stats", "port": )" + std::to_string(port_) + "}"),
                                        "requests"));
}

SocketAddress ClosedLoopbackPort() {
    // Bind a port, then let it go: nothing listens there any more.
    WinsockUser winsock;
    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    int length = sizeof address;
    ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
    SocketAddress result;
    std::memcpy(&result.address, &address, sizeof address);
    result.length = sizeof address;
    return result;
}

}  // namespace velmora::testing
