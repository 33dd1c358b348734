// The UDP link on BSD sockets. The calls follow the Winsock build step for step;
// its library start-up and clean-up have nothing to map to here.
#include "platform/udp_link.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "net/dotted_address.h"

static_assert(sizeof(sockaddr_in) == 16, "the link keeps IPv4 addresses as 16 raw bytes");

namespace {

// Zero-padded dotted groups are decimal; anything else goes to the name resolver.
bool resolveIPv4(const char* text, uint8_t out[4]) {
    if (text == nullptr) return false;
    if (parseDottedDecimal(text, out)) return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(text, nullptr, &hints, &found) != 0 || found == nullptr) return false;
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

void fillAddress(uint8_t raw[16], int port, const uint8_t address[4]) {
    sockaddr_in in{};
    in.sin_family = AF_INET;
    in.sin_port = htons(static_cast<uint16_t>(port));  // as the 16-bit htons of the other build
    std::memcpy(&in.sin_addr, address, 4);
    std::memcpy(raw, &in, sizeof in);
}

int openDatagramSocket() {
    const int s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s < 0) return -1;
    const int flags = fcntl(s, F_GETFL, 0);
    if (flags >= 0) fcntl(s, F_SETFL, flags | O_NONBLOCK);  // result ignored, as with ioctlsocket
    fcntl(s, F_SETFD, FD_CLOEXEC);
    return s;
}

// A port a socket cannot take fails the open rather than wrapping to another port.
bool portInRange(int port) { return port >= 0 && port <= 65535; }

}  // namespace

UdpLink& UdpLink::instance() {
    static UdpLink* link = new UdpLink();  // lives until the process ends
    return *link;
}

UdpLink::UdpLink() = default;

UdpLink::~UdpLink() { close(); }

bool UdpLink::openServer(int port) {
    static const uint8_t any[4] = {0, 0, 0, 0};
    if (!portInRange(port)) return false;
    close();  // a socket left from an earlier match would leak
    socket_ = openDatagramSocket();
    if (socket_ < 0) return false;
    fillAddress(localAddress_, port, any);
    return ::bind(socket_, reinterpret_cast<const sockaddr*>(localAddress_), 16) == 0;
}

bool UdpLink::openServerOn(int port, const char* localAddressText) {
    uint8_t address[4];
    if (!portInRange(port) || !resolveIPv4(localAddressText, address)) return false;
    close();
    socket_ = openDatagramSocket();
    if (socket_ < 0) return false;
    fillAddress(localAddress_, port, address);
    return ::bind(socket_, reinterpret_cast<const sockaddr*>(localAddress_), 16) == 0;
}

bool UdpLink::openClient(int port, const char* addressText) {
    if (!portInRange(port)) return false;
    if (!resolveIPv4(addressText, host_)) return false;  // no socket made for a bad name
    close();
    socket_ = openDatagramSocket();
    if (socket_ < 0) return false;
    fillAddress(remoteAddress_, port, host_);
    return true;  // never bound: the first send picks the local port
}

int UdpLink::send(const uint8_t* data, int length) {
    if (socket_ < 0 || data == nullptr || length < 0) return 0;
    const ssize_t sent = ::sendto(socket_, data, static_cast<size_t>(length), MSG_NOSIGNAL,
                                  reinterpret_cast<const sockaddr*>(remoteAddress_), 16);
    return sent < 0 ? 0 : static_cast<int>(sent);
}

int UdpLink::receive(uint8_t* buffer) {
    if (socket_ < 0 || buffer == nullptr) return 0;
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    // MSG_TRUNC reports the datagram's real length, so an oversized one fails here
    // as it does under Winsock instead of arriving cut to 99 bytes.
    const ssize_t got = ::recvfrom(socket_, buffer, kMaxDatagram, MSG_TRUNC,
                                   reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (got < 0 || got > kMaxDatagram) return 0;
    if (fromLength == sizeof from && from.sin_family == AF_INET) std::memcpy(remoteAddress_, &from, 16);
    return static_cast<int>(got);
}

void UdpLink::close() {
    if (socket_ >= 0) ::close(socket_);
    socket_ = -1;
}

int UdpLink::boundPort() const {
    if (socket_ < 0) return 0;
    sockaddr_in in{};
    socklen_t length = sizeof in;
    if (getsockname(socket_, reinterpret_cast<sockaddr*>(&in), &length) != 0) return 0;
    return ntohs(in.sin_port);
}

bool UdpLink::waitForDatagram(int milliseconds) const {
    if (socket_ < 0) return false;
    pollfd p{socket_, POLLIN, 0};
    return ::poll(&p, 1, milliseconds) > 0 && (p.revents & POLLIN) != 0;
}
