#include "platform/LocalSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

bool FillAddress(const std::string& path, sockaddr_un* address) {
    std::memset(address, 0, sizeof(*address));
    address->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address->sun_path)) return false;
    std::memcpy(address->sun_path, path.data(), path.size());
    return true;
}

using Clock = std::chrono::steady_clock;

// Milliseconds left until the deadline, 0 when it passed.
int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// Waits until fd is ready for the events or the deadline passes.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, MillisecondsLeft(deadline));
        if (n > 0) return true;
        if (n == 0 || errno != EINTR) return false;
    }
}

}  // namespace

int LocalListen(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(path, &address)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    ::unlink(path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 || ::listen(fd, 8) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int LocalAccept(int listenFd) {
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

int LocalConnect(const std::string& path) {
    sockaddr_un address;
    if (!FillAddress(path, &address)) return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return -1;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        // A local connect either succeeds at once or is refused; a full
        // backlog counts as nobody answering.
        ::close(fd);
        return -1;
    }
    return fd;
}

bool LocalSendAll(int fd, const char* data, size_t size, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLOUT, deadline)) continue;
        return false;
    }
    return true;
}

bool LocalReceiveExact(int fd, char* data, size_t size, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (size > 0) {
        const ssize_t n = ::recv(fd, data, size, 0);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            continue;
        }
        if (n == 0) return false;  // the peer closed
        if (errno == EINTR) continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && WaitFor(fd, POLLIN, deadline)) continue;
        return false;
    }
    return true;
}

void LocalClose(int fd) {
    if (fd >= 0) ::close(fd);
}

void LocalRemove(const std::string& path) { ::unlink(path.c_str()); }
