#pragma once
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <optional>

namespace qs::test {

// Runs what as an ordinary user, since file permissions bind only one: in
// this process when it is one already, else in a child process that gives up
// root for the user "nobody" (65534). The result is what returned; nullopt
// when no ordinary user could run it.
inline std::optional<bool> AsOrdinaryUser(bool (*what)()) {
    if (::geteuid() != 0) return what();
    const pid_t child = ::fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(77);
        ::_exit(what() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 77) return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

}  // namespace qs::test
