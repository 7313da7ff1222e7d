#include "SimOptions.h"

#include <charconv>
#include <cstdio>
#include <functional>
#include <stdexcept>

namespace qs::sim {

namespace {

struct OptionSpec {
    const char* name;
    const char* valueName;  // nullptr: a flag without value
    const char* help;
    std::function<void(SimConfig&, const std::string&)> apply;
};

template <typename Number>
Number number(const std::string& text, Number min, Number max) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < min || value > max)
        throw std::invalid_argument("expects a whole number from " + std::to_string(min) + " to " +
                                    std::to_string(max) + ", not \"" + text + "\"");
    return value;
}

double decimal(const std::string& text) {
    std::size_t used = 0;
    double value = 0;
    try {
        value = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) throw std::invalid_argument("expects a number, not \"" + text + "\"");
    return value;
}

// The comma-separated texts of a list, empty ones included ("a,,b").
std::vector<std::string> texts(const std::string& list) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1)
        parts.push_back(list.substr(start, comma - start));
    parts.push_back(list.substr(start));
    return parts;
}

constexpr int kMaxMs = 600000;
constexpr int kMaxCount = 1000000000;
constexpr std::size_t kMaxBytes = std::size_t{1} << 30;

const std::vector<OptionSpec>& table() {
    static const std::vector<OptionSpec> options = {
        {"--port", "N", "TCP port to listen on (default 2323; 0 picks a free port)",
         [](SimConfig& c, const std::string& v) { c.port = number(v, 0, 65535); }},
        {"--bind", "ADDRESS", "numeric address to listen on (default 127.0.0.1)",
         [](SimConfig& c, const std::string& v) { c.bindAddress = v; }},
        {"--protocol", "telnet|raw|prologix",
         "what the socket speaks (default telnet): the adapter's Telnet with its greeting; a raw SCPI socket "
         "(no greeting, commands and replies end with LF); or a GPIB-Ethernet controller taking \"++\" "
         "commands, which checks its set-up lines, answers ++ver, and passes queries to the voltmeter only after "
         "++auto 1 and ++addr of --gpib-address (replies end with LF)",
         [](SimConfig& c, const std::string& v) {
             if (v == "telnet") c.protocol = Protocol::Telnet;
             else if (v == "raw") c.protocol = Protocol::Raw;
             else if (v == "prologix") c.protocol = Protocol::Controller;
             else throw std::invalid_argument("must be telnet, raw or prologix");
         }},
        {"--gpib-address", "N", "the voltmeter's GPIB address behind the controller, 0-30 (default 22)",
         [](SimConfig& c, const std::string& v) { c.gpibAddress = number(v, 0, 30); }},
        {"--greeting", "TEXT", "greeting sent on connect, followed by CR LF (default mentions KISS-488)",
         [](SimConfig& c, const std::string& v) { c.greeting = v; }},
        {"--volts", "V", "value around which the readings drift (default 1.0)",
         [](SimConfig& c, const std::string& v) { c.baseVolts = decimal(v); }},
        {"--drift", "V", "how far the base of the readings moves at each reading (default 0)",
         [](SimConfig& c, const std::string& v) { c.driftVolts = decimal(v); }},
        {"--noise", "V",
         "readings are the base plus white noise of this standard deviation, instead of a random walk about it",
         [](SimConfig& c, const std::string& v) { c.noiseVolts = decimal(v); }},
        {"--replies", "TEXT,TEXT,...",
         "answer each query with the next of these texts instead of a reading, from the first again after the "
         "last (e.g. \"INF,nan,0x1A,1E999,+1.0E+00\"; a text cannot hold a comma)",
         [](SimConfig& c, const std::string& v) { c.replies = texts(v); }},
        {"--seed", "N", "seed of the reading drift and of --binary (default 1)",
         [](SimConfig& c, const std::string& v) { c.seed = number<std::uint32_t>(v, 0, 4294967295u); }},
        {"--record", "FILE", "append every data byte received (after Telnet decoding; as they came with the other protocols) to FILE, emptied at start",
         [](SimConfig& c, const std::string& v) { c.recordFile = v; }},
        {"--log-sent", nullptr,
         "print \"link MS N faulty|healthy\" for each client taken (refused ones included) and \"sent MS KIND "
         "TEXT\" once each greeting or reply has gone out up to its line end; MS: the system's monotonic clock in "
         "ms, KIND: greeting, reply, stranded, cut, flood or garbled; TEXT: the bytes without the line end, each "
         "outside 32-126 as \\xHH, cut after 200",
         [](SimConfig& c, const std::string&) { c.logSent = true; }},
        {"--no-greeting", nullptr, "fault: never greet (a controller: never answer ++ver)", [](SimConfig& c, const std::string&) { c.greet = false; }},
        {"--refuse", nullptr, "fault: close every connection right after accepting it",
         [](SimConfig& c, const std::string&) { c.refuse = true; }},
        {"--delay", "MS", "fault: wait MS milliseconds before each reply",
         [](SimConfig& c, const std::string& v) { c.replyDelayMs = number(v, 0, kMaxMs); }},
        {"--chunk", "N", "fault: send greeting and replies in pieces of N bytes (1: one byte per piece)",
         [](SimConfig& c, const std::string& v) { c.chunkBytes = number<std::size_t>(v, 1, kMaxBytes); }},
        {"--chunk-gap", "MS", "pause between the pieces of --chunk (default 20)",
         [](SimConfig& c, const std::string& v) { c.chunkGapMs = number(v, 0, kMaxMs); }},
        {"--strand-every", "N", "fault: every Nth reply comes without its line end (stranded data)",
         [](SimConfig& c, const std::string& v) { c.strandEvery = number(v, 1, kMaxCount); }},
        {"--prefix", "TEXT", "fault: put TEXT (a unit, e.g. V) in front of every reading",
         [](SimConfig& c, const std::string& v) { c.unitPrefix = v; }},
        {"--mute-after", "N", "fault: stop answering after N replies (the link stays up)",
         [](SimConfig& c, const std::string& v) { c.muteAfter = number(v, 0, kMaxCount); }},
        {"--close-after", "N", "fault: close the link after the Nth reply (0: right after the greeting)",
         [](SimConfig& c, const std::string& v) { c.closeAfter = number(v, 0, kMaxCount); }},
        {"--flood", "BYTES", "fault: answer each query with BYTES digits and no line end (e.g. 1048576)",
         [](SimConfig& c, const std::string& v) { c.floodBytes = number<std::size_t>(v, 1, kMaxBytes); }},
        {"--binary", "BYTES", "fault: put BYTES random bytes (0x00 and 0xFF included) in front of each reply",
         [](SimConfig& c, const std::string& v) { c.binaryBytes = number<std::size_t>(v, 1, kMaxBytes); }},
        {"--negotiation-burst", "N", "fault: send N Telnet option requests on connect, before the greeting",
         [](SimConfig& c, const std::string& v) { c.negotiationBurst = number(v, 1, kMaxCount); }},
        {"--cut-reply", "N", "fault: send only the first half of the Nth reply of a link, then close the link",
         [](SimConfig& c, const std::string& v) { c.cutReply = number(v, 1, kMaxCount); }},
        {"--chaos", "PERCENT",
         "fault: each link and each reading is faulty with this chance (refused link, slow, silent for a few "
         "commands, garbage in front, stranded, cut off with the link, link dropped after it, one-byte pieces, "
         "a flood of digits), drawn from --seed; prints \"fault MS KIND\" for each",
         [](SimConfig& c, const std::string& v) { c.chaosPercent = number(v, 0, 100); }},
        {"--faulty-links", "N",
         "the faults last for the first N links only (refused ones included); later links behave",
         [](SimConfig& c, const std::string& v) { c.faultyLinks = number(v, 0, kMaxCount); }},
        {"--faulty-replies", "N",
         "the faults of single replies (--delay, --chunk, --strand-every, --prefix, --flood, --binary) last for "
         "the first N replies only, counted over all links; later replies behave",
         [](SimConfig& c, const std::string& v) { c.faultyReplies = number(v, 0, kMaxCount); }},
    };
    return options;
}

const OptionSpec* find(const std::string& name) {
    for (const auto& option : table())
        if (name == option.name) return &option;
    return nullptr;
}

}  // namespace

std::string SimOptions::helpText() {
    std::string text =
        "kiss488-sim: a simulated KISS-488 GPIB-LAN adapter with a voltmeter behind it\n"
        "(or, with --protocol, the voltmeter's raw SCPI socket or a GPIB-Ethernet controller).\n"
        "It asks the client for its terminal type, greets, and answers each command line\n"
        "(ended by CR): *IDN? with an identity, any other query (containing MEAS or READ,\n"
        "or ending in ?) with a drifting reading like +1.00001234E+00, each ended by CR LF.\n"
        "One client at a time; a new one is accepted after a drop. Prints\n"
        "\"listening on ADDRESS:PORT\" once ready. Stops on SIGINT or SIGTERM.\n\n"
        "Options (--name VALUE or --name=VALUE):\n";
    for (const auto& option : table()) {
        std::string left = std::string("  ") + option.name;
        if (option.valueName) left += std::string(" ") + option.valueName;
        if (left.size() < 26) left.resize(26, ' ');
        text += left + " " + option.help + "\n";
    }
    text += "  --help                   show this text\n";
    return text;
}

SimOptions::Outcome SimOptions::parse(const std::vector<std::string>& args) {
    SimConfig config;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        if (name == "--help" || name == "-h") {
            std::fputs(helpText().c_str(), stdout);
            return {std::nullopt, 0};
        }
        const OptionSpec* option = find(name);
        if (!option) {
            std::fprintf(stderr, "kiss488-sim: unknown option %s (see --help)\n", name.c_str());
            return {std::nullopt, 2};
        }
        if (option->valueName && !value) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "kiss488-sim: %s needs a value %s\n", name.c_str(), option->valueName);
                return {std::nullopt, 2};
            }
            value = args[++i];
        }
        if (!option->valueName && value) {
            std::fprintf(stderr, "kiss488-sim: %s takes no value\n", name.c_str());
            return {std::nullopt, 2};
        }
        try {
            option->apply(config, value.value_or(std::string()));
        } catch (const std::invalid_argument& e) {
            std::fprintf(stderr, "kiss488-sim: %s %s\n", name.c_str(), e.what());
            return {std::nullopt, 2};
        }
    }
    return {config, 0};
}

}  // namespace qs::sim
