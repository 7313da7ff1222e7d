#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qs {

// What the server serves. The table is fixed: a path is looked up in it and
// never reaches the file system.
enum class ServeRoute { Page, Status, Samples, History, Events, Metrics };

struct ServeRouteSpec {
    std::string_view path;
    ServeRoute route;
    std::string_view contentType;
};

std::span<const ServeRouteSpec> ServeRouteTable();

// One request as the server library parsed it; the token fields are empty
// when the request brought none.
struct ServeRequest {
    std::string_view method;
    std::string_view path;           // without the query, as the client sent it
    std::string_view authorization;  // the Authorization header
    std::string_view queryToken;     // ?token=
};

// Where a request goes: the route, or the status that refuses it (404 for
// a path outside the table, 405 for a method other than GET and HEAD, 401
// for a missing or wrong token).
struct ServeDecision {
    const ServeRouteSpec* route = nullptr;
    int status = 200;
};

// token: --serve-token-file's first line; empty when none is asked for.
ServeDecision DecideRequest(const ServeRequest& request, std::string_view token);

// Whether the two texts are equal, in a time that depends on their lengths
// only, so that a client cannot find a token byte by byte.
bool TokenMatches(std::string_view given, std::string_view token);

// A query value that is a whole number in decimal digits and nothing else;
// nullopt for anything else, an empty text or one beyond 2^64 - 1.
std::optional<std::uint64_t> ParseWholeNumber(std::string_view text);

// /api/samples?since=SEQ&limit=N; nullopt for a value that is no whole
// number. Without since, from the first; without limit, kDefaultLimit; a
// limit is never more than kMaxLimit.
struct SamplesQuery {
    std::uint64_t since = 0;
    std::size_t limit = 0;
    static constexpr std::size_t kDefaultLimit = 1000;
    static constexpr std::size_t kMaxLimit = 100000;
};
std::optional<SamplesQuery> ParseSamplesQuery(std::optional<std::string_view> since,
                                              std::optional<std::string_view> limit);

}  // namespace qs
