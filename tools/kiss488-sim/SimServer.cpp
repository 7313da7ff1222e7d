#include "SimServer.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace qs::sim {

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

std::string numericEndpoint(const sockaddr_storage& address, socklen_t length) {
    char host[NI_MAXHOST];
    char port[NI_MAXSERV];
    if (::getnameinfo(reinterpret_cast<const sockaddr*>(&address), length, host, sizeof host, port, sizeof port,
                      NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return "?";
    return address.ss_family == AF_INET6 ? "[" + std::string(host) + "]:" + port : std::string(host) + ":" + port;
}

}  // namespace

SimServer::SimServer(SimConfig config)
    : config_(std::move(config)), model_(config_.baseVolts, config_.seed, config_.replies, config_.driftVolts, config_.noiseVolts) {
    if (config_.chaosPercent > 0) randomFaults_.emplace(config_.chaosPercent, config_.seed);
    if (!config_.recordFile.empty()) {
        std::FILE* file = std::fopen(config_.recordFile.c_str(), "wb");
        if (!file) throw systemError("cannot create " + config_.recordFile);
        std::fclose(file);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(config_.port);
    if (const int rc = ::getaddrinfo(config_.bindAddress.c_str(), port.c_str(), &hints, &found); rc != 0)
        throw std::runtime_error("cannot use address " + config_.bindAddress + ": " + ::gai_strerror(rc));
    const addrinfo address = *found;
    listenFd_ = ::socket(address.ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int one = 1;
    const bool ok = listenFd_ >= 0 && ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) == 0 &&
                    ::bind(listenFd_, address.ai_addr, address.ai_addrlen) == 0 && ::listen(listenFd_, 4) == 0;
    ::freeaddrinfo(found);
    if (!ok) {
        const auto error = systemError("cannot listen on " + config_.bindAddress + ":" + port);
        if (listenFd_ >= 0) ::close(listenFd_);
        throw error;
    }

    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&bound), &length);
    endpoint_ = numericEndpoint(bound, length);

    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    signalFd_ = ::signalfd(-1, &stopSignals, SFD_NONBLOCK | SFD_CLOEXEC);
    if (signalFd_ < 0) {
        const auto error = systemError("signalfd");
        ::close(listenFd_);
        throw error;
    }
}

SimServer::~SimServer() {
    session_.reset();
    ::close(signalFd_);
    ::close(listenFd_);
}

void SimServer::run() {
    for (;;) {
        pollfd fds[2] = {{signalFd_, POLLIN, 0}, {-1, 0, 0}};
        if (session_) {
            fds[1] = {session_->fd(), static_cast<short>(POLLIN | (session_->wantsWrite() ? POLLOUT : 0)), 0};
        } else {
            fds[1] = {listenFd_, POLLIN, 0};
        }
        if (::poll(fds, 2, pollTimeoutMs()) < 0) {
            if (errno == EINTR) continue;
            throw systemError("poll");
        }
        if (fds[0].revents & POLLIN) return;

        if (!session_) {
            if (fds[1].revents & POLLIN) acceptClient();
            continue;
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) session_->onReadable();
        if (!session_->finished() && (fds[1].revents & POLLOUT)) session_->onWritable();
        if (!session_->finished()) session_->runDue(SimSession::Clock::now());
        if (session_->finished()) {
            session_.reset();
            std::printf("client disconnected\n");
            std::fflush(stdout);
        }
    }
}

int SimServer::pollTimeoutMs() const {
    if (!session_) return -1;
    const auto due = session_->nextDue();
    if (!due) return -1;
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(*due - SimSession::Clock::now()).count();
    // Round up so that we wake at or after the due time, never just before.
    return wait <= 0 ? 0 : static_cast<int>(wait) + 1;
}

void SimServer::acceptClient() {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    const int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return;  // the client gave up before we got to it
    ++links_;
    const bool faulty = config_.faultyLinks < 0 || links_ <= config_.faultyLinks;
    if (config_.logSent) {
        std::printf("link %lld %d %s\n", SimSession::monotonicMs(), links_, faulty ? "faulty" : "healthy");
        std::fflush(stdout);
    }
    const bool refusedAtRandom = randomFaults_ && randomFaults_->refuseLink();
    if (refusedAtRandom) {
        std::printf("fault %lld refused\n", SimSession::monotonicMs());
        std::fflush(stdout);
    }
    if ((faulty && config_.refuse) || refusedAtRandom) {
        ::close(fd);
        std::printf("refused client %s\n", numericEndpoint(peer, length).c_str());
        std::fflush(stdout);
        return;
    }
    // Each piece of a split reply must leave as its own segment.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::printf("client connected from %s\n", numericEndpoint(peer, length).c_str());
    std::fflush(stdout);
    session_ = std::make_unique<SimSession>(fd, config_, model_, faulty, replies_,
                                            randomFaults_ ? &*randomFaults_ : nullptr);
    session_->runDue(SimSession::Clock::now());
}

}  // namespace qs::sim
