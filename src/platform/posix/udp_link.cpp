// The UDP link on BSD sockets. The calls follow the Winsock link step for step;
// its library start-up and clean-up have nothing to map to here.
#include "platform/udp_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>

static_assert(sizeof(sockaddr_in) == kIPv4AddressSize && offsetof(sockaddr_in, sin_port) == 2 &&
                  offsetof(sockaddr_in, sin_addr) == 4 && AF_INET == kAddressFamilyIPv4,
              "the link keeps IPv4 addresses as 16 raw bytes");

namespace {

bool lookupHost(const char* name, uint8_t out[4]) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &found) != 0 || found == nullptr) return false;
    bool ok = false;
    for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
        if (a->ai_family == AF_INET && a->ai_addr != nullptr && a->ai_addrlen >= sizeof(sockaddr_in)) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
            std::memcpy(out, &in->sin_addr, 4);
            ok = true;
            break;
        }
    }
    freeaddrinfo(found);
    return ok;
}

int openDatagramSocket() {
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return -1;
    const int flags = fcntl(s, F_GETFL, 0);
    if (flags >= 0) fcntl(s, F_SETFL, flags | O_NONBLOCK);  // result ignored, as with ioctlsocket
    fcntl(s, F_SETFD, FD_CLOEXEC);
    return s;
}

int fd(intptr_t s) { return static_cast<int>(s); }

}  // namespace

UdpLink& UdpLink::instance() {
    static UdpLink* link = new UdpLink();  // lives until the process ends
    return *link;
}

UdpLink::UdpLink() = default;

UdpLink::~UdpLink() { close(); }

bool UdpLink::openBound(int port, const uint8_t address[4]) {
    close();  // a socket left from an earlier match would leak
    socket_ = openDatagramSocket();
    if (socket_ == kNoSocket) return false;
    fillIPv4Address(localAddress_, port, address);
    return ::bind(fd(socket_), reinterpret_cast<const sockaddr*>(localAddress_), kIPv4AddressSize) == 0;
}

bool UdpLink::openServer(int port) {
    static const uint8_t any[4] = {0, 0, 0, 0};
    return portInRange(port) && openBound(port, any);
}

bool UdpLink::openServerOn(int port, const char* localAddressText) {
    uint8_t address[4];
    return portInRange(port) && resolveIPv4(localAddressText, address, lookupHost) && openBound(port, address);
}

bool UdpLink::openClient(int port, const char* addressText) {
    if (!portInRange(port)) return false;
    if (!resolveIPv4(addressText, host_, lookupHost)) return false;  // no socket made for a bad name
    close();
    socket_ = openDatagramSocket();
    if (socket_ == kNoSocket) return false;
    fillIPv4Address(remoteAddress_, port, host_);
    return true;  // never bound: the first send picks the local port
}

int UdpLink::send(const uint8_t* data, int length) {
    if (socket_ == kNoSocket || data == nullptr || length < 0) return 0;
    const ssize_t sent = ::sendto(fd(socket_), data, static_cast<size_t>(length), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(remoteAddress_), kIPv4AddressSize);
    return sent < 0 ? 0 : static_cast<int>(sent);
}

int UdpLink::receive(uint8_t* buffer) {
    if (socket_ == kNoSocket || buffer == nullptr) return 0;
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    // MSG_TRUNC reports the datagram's real length, so an oversized one fails here
    // as it does under Winsock instead of arriving cut to 99 bytes. Every error,
    // would-block and a refused earlier send (ECONNREFUSED) alike, is nothing received.
    const ssize_t got = ::recvfrom(fd(socket_), buffer, kMaxDatagram, MSG_TRUNC,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (got < 0 || got > kMaxDatagram) return 0;
    if (fromLength == sizeof from && from.sin_family == AF_INET) std::memcpy(remoteAddress_, &from, sizeof from);
    return static_cast<int>(got);
}

void UdpLink::close() {
    if (socket_ != kNoSocket) ::close(fd(socket_));
    socket_ = kNoSocket;
}

int UdpLink::boundPort() const {
    if (socket_ == kNoSocket) return 0;
    sockaddr_in in{};
    socklen_t length = sizeof in;
    if (getsockname(fd(socket_), reinterpret_cast<sockaddr*>(&in), &length) != 0) return 0;
    return ntohs(in.sin_port);
}

bool UdpLink::waitForDatagram(int milliseconds) const {
    if (socket_ == kNoSocket) return false;
    pollfd p{fd(socket_), POLLIN, 0};
    return ::poll(&p, 1, milliseconds) > 0 && (p.revents & POLLIN) != 0;
}
