#pragma once
// Local stream sockets named by a file path (the single-instance channel of
// the desktop program). Every call answers -1 or false on failure and never
// raises a signal: a peer that went away is just a failed send.
#include <cstddef>
#include <string>

// A listening socket at path, non-blocking; a socket file left there by an
// earlier process is replaced. -1 when the path is too long or the socket
// cannot be made.
int LocalListen(const std::string& path);
// The next waiting connection of a listening socket, blocking in its reads
// and writes (each bounded by the timeouts below); -1 when none waits.
int LocalAccept(int listenFd);
// A connection to the socket at path; -1 when nothing listens there.
int LocalConnect(const std::string& path);
// Writes all size bytes within timeoutMs; false when the peer went away or
// the time ran out.
bool LocalSendAll(int fd, const char* data, size_t size, int timeoutMs);
// Reads exactly size bytes within timeoutMs; false when the peer closed
// before, or the time ran out.
bool LocalReceiveExact(int fd, char* data, size_t size, int timeoutMs);
void LocalClose(int fd);
// Removes the socket file at path (nothing when there is none).
void LocalRemove(const std::string& path);
