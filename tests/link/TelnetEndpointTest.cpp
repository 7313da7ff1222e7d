#include <gtest/gtest.h>

#include <string>

#include "link/TelnetEndpoint.h"
#include "platform/Exception.h"

namespace qs {
namespace {

struct EndpointCase {
    const char* text;
    const char* host;
    int port;
};

class TelnetEndpointParse : public ::testing::TestWithParam<EndpointCase> {};

TEST_P(TelnetEndpointParse, SplitsHostAndPort) {
    const auto& c = GetParam();
    const TelnetEndpoint endpoint = ParseTelnetEndpoint(c.text);
    EXPECT_EQ(endpoint.host, c.host);
    EXPECT_EQ(endpoint.port, c.port);
}

INSTANTIATE_TEST_SUITE_P(Texts, TelnetEndpointParse,
                         ::testing::Values(EndpointCase{"192.168.0.254", "192.168.0.254", 23},
                                           EndpointCase{"192.168.0.254:2323", "192.168.0.254", 2323},
                                           EndpointCase{"  10.0.0.7 ", "10.0.0.7", 23},
                                           EndpointCase{"kiss488.lab", "kiss488.lab", 23},
                                           EndpointCase{"localhost:65535", "localhost", 65535},
                                           EndpointCase{"127.0.0.1:1", "127.0.0.1", 1},
                                           EndpointCase{"[::1]:2323", "::1", 2323},
                                           EndpointCase{"[fe80::1%eth0]", "fe80::1%eth0", 23},
                                           EndpointCase{"fe80::2a0:c9ff:fe00:1", "fe80::2a0:c9ff:fe00:1", 23},
                                           EndpointCase{"::1", "::1", 23}));

class TelnetEndpointReject : public ::testing::TestWithParam<const char*> {};

TEST_P(TelnetEndpointReject, RaisesAnException) { EXPECT_THROW(ParseTelnetEndpoint(GetParam()), Exception); }

INSTANTIATE_TEST_SUITE_P(Texts, TelnetEndpointReject,
                         ::testing::Values("", "   ", ":23", "host:", "host:0", "host:65536", "host:99999999",
                                           "host:23a", "host:-1", "host: 23", "[::1", "[]:23", "[::1]23",
                                           "[::1]:", "[::1]:x"));

}  // namespace
}  // namespace qs
