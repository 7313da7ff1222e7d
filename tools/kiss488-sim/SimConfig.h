#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qs::sim {

// What the simulator speaks on its socket: the KISS-488's Telnet, an
// instrument's raw SCPI socket, or a GPIB-Ethernet controller with "++"
// commands and the voltmeter at one GPIB address behind it.
enum class Protocol { Telnet, Raw, Controller };

// Everything the command line sets. Each fault is off at its default, so a
// plain start behaves like a healthy adapter.
struct SimConfig {
    // ---- where to listen
    std::string bindAddress = "127.0.0.1";
    int port = 2323;  // 0: any free port, printed once listening
    Protocol protocol = Protocol::Telnet;
    int gpibAddress = 22;  // the voltmeter's, behind a controller

    // ---- the healthy adapter
    std::string greeting = "KISS-488 GPIB-LAN adapter (simulated) ready";
    // A controller's answer to "++ver".
    std::string controllerVersion = "GPIB-LAN controller (simulated) version 1.0";
    double baseVolts = 1.0;
    // Per reading: the base moves by drift, and with noise >= 0 each reading
    // is the base plus white noise of that standard deviation instead of
    // the random walk about it.
    double driftVolts = 0.0;
    double noiseVolts = -1.0;
    // Texts the voltmeter answers with instead of its readings, in turn and
    // over again from the first; empty: drifting readings.
    std::vector<std::string> replies;
    std::uint32_t seed = 1;
    std::string recordFile;  // empty: received bytes are not recorded
    bool logSent = false;    // print every reply and every link, with times

    // ---- faults
    bool greet = true;
    bool refuse = false;
    int replyDelayMs = 0;
    std::size_t chunkBytes = 0;  // 0: everything in one piece
    int chunkGapMs = 20;
    int strandEvery = 0;         // 0: every reply has its line end
    std::string unitPrefix;
    int muteAfter = -1;          // -1: answers for ever
    int closeAfter = -1;         // -1: keeps the link
    std::size_t floodBytes = 0;  // 0: normal readings
    std::size_t binaryBytes = 0;
    int negotiationBurst = 0;
    int cutReply = -1;           // -1: every reply goes out whole

    int chaosPercent = 0;        // 0: no random faults

    // ---- how long the faults last
    int faultyLinks = -1;    // -1: every link; N: the first N links only
    int faultyReplies = -1;  // -1: every reply; N: the first N replies in all
};

}  // namespace qs::sim
