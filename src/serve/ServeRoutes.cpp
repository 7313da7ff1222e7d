#include "serve/ServeRoutes.h"

#include <algorithm>
#include <charconv>

namespace qs {

namespace {

constexpr ServeRouteSpec kRoutes[] = {
    {"/", ServeRoute::Page, "text/html; charset=utf-8"},
    {"/api/status", ServeRoute::Status, "application/json"},
    {"/api/samples", ServeRoute::Samples, "application/json"},
    {"/api/history", ServeRoute::History, "application/json"},
    {"/events", ServeRoute::Events, "text/event-stream"},
    {"/metrics", ServeRoute::Metrics, "text/plain; version=0.0.4; charset=utf-8"},
};

constexpr std::string_view kBearer = "Bearer ";

}  // namespace

std::optional<std::uint64_t> ParseWholeNumber(std::string_view text) {
    std::uint64_t n = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return n;
}

std::span<const ServeRouteSpec> ServeRouteTable() { return kRoutes; }

bool TokenMatches(std::string_view given, std::string_view token) {
    // Every byte of the longer text is looked at whatever differs, so the
    // time tells nothing of where the first difference lies.
    const std::size_t n = std::max(given.size(), token.size());
    unsigned char diff = given.size() == token.size() ? 0 : 1;
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char a = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
        const unsigned char b = i < token.size() ? static_cast<unsigned char>(token[i]) : 0;
        diff |= a ^ b;
    }
    return diff == 0;
}

ServeDecision DecideRequest(const ServeRequest& request, std::string_view token) {
    ServeDecision decision;
    const auto it = std::find_if(std::begin(kRoutes), std::end(kRoutes),
                                 [&](const ServeRouteSpec& r) { return r.path == request.path; });
    if (it == std::end(kRoutes)) {
        decision.status = 404;
        return decision;
    }
    if (request.method != "GET" && request.method != "HEAD") {
        decision.status = 405;
        return decision;
    }
    if (!token.empty()) {
        const std::string_view header = request.authorization;
        const bool byHeader = header.starts_with(kBearer) && TokenMatches(header.substr(kBearer.size()), token);
        const bool byQuery = TokenMatches(request.queryToken, token);
        if (!byHeader && !byQuery) {
            decision.status = 401;
            return decision;
        }
    }
    decision.route = &*it;
    return decision;
}

std::optional<SamplesQuery> ParseSamplesQuery(std::optional<std::string_view> since,
                                              std::optional<std::string_view> limit) {
    SamplesQuery query;
    query.limit = SamplesQuery::kDefaultLimit;
    if (since) {
        const auto n = ParseWholeNumber(*since);
        if (!n) return std::nullopt;
        query.since = *n;
    }
    if (limit) {
        const auto n = ParseWholeNumber(*limit);
        if (!n) return std::nullopt;
        query.limit = static_cast<std::size_t>(std::min<std::uint64_t>(*n, SamplesQuery::kMaxLimit));
    }
    return query;
}

}  // namespace qs
