#include "qt/net/LoggerServer.h"

#include <QDateTime>

#include "serve/LivePage.h"

#include <utility>

namespace qs {

namespace {

// What a stream starts with: how long a browser waits before it connects
// again after the stream broke.
constexpr const char* kStreamStart = "retry: 2000\n\n";

}  // namespace

LoggerServer::LoggerServer(TGPIBTelnet& logger, Settings settings)
    : state_(logger, std::move(settings.identity)),
      server_(std::move(settings.address), std::move(settings.token),
              [this](ServeRoute route, const HttpServer::Query& query) { return answer(route, query); },
              settings.limits) {
    state_.setEventListener([this](std::string_view name, const std::string& json) { server_.broadcast(name, json); });
}

bool LoggerServer::start(std::string& error) {
    if (!server_.start(error)) return false;
    state_.follow();
    return true;
}

std::string LoggerServer::servingText() const { return "Serving " + server_.url(); }

HttpServer::Reply LoggerServer::answer(ServeRoute route, const HttpServer::Query& query) const {
    switch (route) {
        case ServeRoute::Status: return {200, state_.statusJson()};
        case ServeRoute::Samples: {
            const std::optional<SamplesQuery> samples = ParseSamplesQuery(query("since"), query("limit"));
            if (!samples) return {400, {}};
            return {200, state_.samplesJson(*samples)};
        }
        case ServeRoute::History: {
            const std::optional<SampleHistory::Window> window =
                ParseHistoryQuery(query("width"), query("from"), query("to"));
            if (!window) return {400, {}};
            return {200, state_.historyJson(*window)};
        }
        case ServeRoute::Page: return {200, std::string(LivePageHtml())};
        case ServeRoute::Metrics:
            return {200, state_.metricsText(static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0)};
        case ServeRoute::Events: return {200, kStreamStart};
    }
    return {404, {}};
}

}  // namespace qs
