#pragma once

#include <QString>
#include <optional>

namespace tl {

// Asks the operator once for the password of the server that address names,
// under why (what the server said), and keeps it for this run only
// (Database::rememberServerPassword). False when the operator cancelled.
bool askServerPassword(const QString& address, const QString& why);

// Runs attempt (a login, a create or a register on a server) until the
// server needs no password it has not been given: whenever the result's
// serverPasswordNeeded is set, asks with its outcome's message and tries
// again. Returns nothing when the operator cancelled the question.
template <typename Attempt>
auto withServerPassword(const QString& address, Attempt attempt)
    -> std::optional<decltype(attempt())> {
    for (;;) {
        auto result = attempt();
        if (!result.serverPasswordNeeded)
            return result;
        if (!askServerPassword(address, result.outcome.message))
            return std::nullopt;
    }
}

} // namespace tl
