#pragma once
#include <string>

#include "qt/net/HttpServer.h"
#include "serve/ServeAddress.h"
#include "serve/ServedState.h"
#include "window/TGPIBTelnet.h"

namespace qs {

// The logger served over HTTP: what the server tells (kept from the
// logger's records) and the server that answers with it, each record also
// sent to the /events clients.
class LoggerServer {
public:
    struct Settings {
        ServeAddress address;
        std::string token;  // empty: no token asked for
        ServedState::Identity identity;
        HttpServer::Limits limits;
    };

    LoggerServer(TGPIBTelnet& logger, Settings settings);
    LoggerServer(const LoggerServer&) = delete;
    LoggerServer& operator=(const LoggerServer&) = delete;

    // Listens, and from then on follows the logger's records, so that the
    // logger must not outlive this; false with the reason (one line), and
    // nothing followed.
    bool start(std::string& error);
    // What the status bar and the headless line say: "Serving http://...".
    std::string servingText() const;

    HttpServer& server() { return server_; }
    const ServedState& state() const { return state_; }

private:
    HttpServer::Reply answer(ServeRoute route, const HttpServer::Query& query) const;

    ServedState state_;
    HttpServer server_;
};

}  // namespace qs
