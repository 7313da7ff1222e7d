#include <gtest/gtest.h>

#include <string>

#include "link/LinkTarget.h"
#include "platform/Exception.h"

namespace qs {
namespace {

using K = LinkKindId;

struct TargetCase {
    const char* text;
    K kind;
    const char* host;
    int port;
    int gpibAddress;
};

class HostBoxGrammar : public ::testing::TestWithParam<TargetCase> {};

TEST_P(HostBoxGrammar, NamesTheKindHostPortAndAddress) {
    const auto& c = GetParam();
    const LinkTarget target = ParseLinkTarget(c.text);
    EXPECT_EQ(target, (LinkTarget{c.kind, c.host, static_cast<std::uint16_t>(c.port), c.gpibAddress})) << c.text;
}

// Every host box text without a scheme means the Telnet adapter, as it
// always did.
INSTANTIATE_TEST_SUITE_P(
    Texts, HostBoxGrammar,
    ::testing::Values(TargetCase{"192.168.0.254", K::Telnet, "192.168.0.254", 23, -1},
                      TargetCase{"192.168.0.254:2323", K::Telnet, "192.168.0.254", 2323, -1},
                      TargetCase{"  10.0.0.7 ", K::Telnet, "10.0.0.7", 23, -1},
                      TargetCase{"kiss488.lab", K::Telnet, "kiss488.lab", 23, -1},
                      TargetCase{"localhost:65535", K::Telnet, "localhost", 65535, -1},
                      TargetCase{"127.0.0.1:1", K::Telnet, "127.0.0.1", 1, -1},
                      TargetCase{"[::1]:2323", K::Telnet, "::1", 2323, -1},
                      TargetCase{"[fe80::1%eth0]", K::Telnet, "fe80::1%eth0", 23, -1},
                      TargetCase{"fe80::2a0:c9ff:fe00:1", K::Telnet, "fe80::2a0:c9ff:fe00:1", 23, -1},
                      TargetCase{"::1", K::Telnet, "::1", 23, -1},
                      TargetCase{"telnet://10.0.0.9", K::Telnet, "10.0.0.9", 23, -1},
                      TargetCase{"TELNET://kiss.lab:2323", K::Telnet, "kiss.lab", 2323, -1},
                      TargetCase{"tcp://10.0.0.5:5025", K::RawSocket, "10.0.0.5", 5025, -1},
                      TargetCase{"tcp://[::1]:5025", K::RawSocket, "::1", 5025, -1},
                      TargetCase{"Tcp://dmm.lab:5025", K::RawSocket, "dmm.lab", 5025, -1},
                      TargetCase{"prologix://10.0.0.7/5", K::Controller, "10.0.0.7", 1234, 5},
                      TargetCase{"prologix://10.0.0.7:1235/0", K::Controller, "10.0.0.7", 1235, 0},
                      TargetCase{"prologix://[::1]:1234/30", K::Controller, "::1", 1234, 30},
                      TargetCase{"prologix://gpib.lab/22", K::Controller, "gpib.lab", 1234, 22}));

struct BadCase {
    const char* text;
    const char* names;  // what the message must say is wrong
};

class HostBoxRefusal : public ::testing::TestWithParam<BadCase> {};

TEST_P(HostBoxRefusal, NamesWhatIsWrongAndListsTheForms) {
    const auto& c = GetParam();
    try {
        ParseLinkTarget(c.text);
        FAIL() << "no exception for " << c.text;
    } catch (const Exception& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find(c.names), std::string::npos) << message;
        for (const char* form : {"telnet://host[:port]", "tcp://host:port", "prologix://host[:port]/ADDR"})
            EXPECT_NE(message.find(form), std::string::npos) << message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, HostBoxRefusal,
    ::testing::Values(BadCase{"", "empty"}, BadCase{"   ", "empty"}, BadCase{":23", "no host"},
                      BadCase{"host:", "port \"\""}, BadCase{"host:0", "port \"0\""},
                      BadCase{"host:65536", "1 to 65535"}, BadCase{"host:99999999", "port \"99999999\""},
                      BadCase{"host:23a", "port \"23a\""}, BadCase{"host:-1", "port \"-1\""},
                      BadCase{"host: 23", "port \" 23\""}, BadCase{"[::1", "\"]\" is missing"},
                      BadCase{"[]:23", "no host"}, BadCase{"[::1]23", "Unexpected \"23\""},
                      BadCase{"[::1]:", "port \"\""}, BadCase{"[::1]:x", "port \"x\""},
                      BadCase{"http://10.0.0.5", "Unknown kind of link \"http://\""},
                      BadCase{"ssh://10.0.0.5:22", "Unknown kind of link \"ssh://\""},
                      BadCase{"tcp://10.0.0.5", "needs its port"}, BadCase{"tcp://[::1]", "needs its port"},
                      BadCase{"tcp://10.0.0.5:0", "1 to 65535"}, BadCase{"tcp://10.0.0.5:5025/1", "no \"/\""},
                      BadCase{"tcp://:5025", "no host"}, BadCase{"telnet://kiss/1", "no \"/\""},
                      BadCase{"prologix://10.0.0.7", "GPIB address after"},
                      BadCase{"prologix://10.0.0.7/", "GPIB address after"},
                      BadCase{"prologix://10.0.0.7/31", "GPIB address \"31\""},
                      BadCase{"prologix://10.0.0.7/-1", "GPIB address \"-1\""},
                      BadCase{"prologix://10.0.0.7/x5", "GPIB address \"x5\""},
                      BadCase{"prologix://10.0.0.7:70000/5", "port \"70000\""},
                      BadCase{"prologix:///5", "no host"}));

}  // namespace
}  // namespace qs
