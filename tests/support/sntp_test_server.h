#pragma once
// Client of tools/sntp_test_server.py's control socket: each instance is one SNTP server
// with its own port and behaviour, closed again when the instance goes.
#include <string>

#include "sync/sntp_query.h"

namespace velmora::testing {

class SntpTestServer {
public:
    // `settings`: the JSON members of a "serve" command, e.g. R"("offset_ms": -250)".
    explicit SntpTestServer(const std::string& settings = {});
    ~SntpTestServer();
    SntpTestServer(const SntpTestServer&) = delete;
    SntpTestServer& operator=(const SntpTestServer&) = delete;

    bool Started() const { return port_ != 0; }
    unsigned short Port() const { return port_; }
    bool Ipv6() const { return ipv6_; }
    SntpTarget Target() const;     // numeric loopback host and port
    SocketAddress Address() const;
    int Requests() const;          // datagrams the server has received

private:
    unsigned short port_ = 0;
    bool ipv6_ = false;
};

// A loopback UDP port with nobody behind it.
SocketAddress ClosedLoopbackPort();

}  // namespace velmora::testing
