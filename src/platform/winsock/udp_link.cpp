// The UDP link on Windows Sockets 1.1 calls. Every open starts the library once and
// close ends it, so starts and clean-ups stay paired across matches.
#include "platform/udp_link.h"

#include <winsock2.h>

#include <cstddef>
#include <cstring>

static_assert(sizeof(sockaddr_in) == kIPv4AddressSize && offsetof(sockaddr_in, sin_port) == 2 &&
                  offsetof(sockaddr_in, sin_addr) == 4 && AF_INET == kAddressFamilyIPv4,
              "the link keeps IPv4 addresses as 16 raw bytes");
static_assert(static_cast<intptr_t>(INVALID_SOCKET) == -1, "kNoSocket stands for INVALID_SOCKET");

namespace {

bool lookupHost(const char* name, uint8_t out[4]) {
    const hostent* host = gethostbyname(name);
    if (host == nullptr || host->h_addrtype != AF_INET || host->h_length != 4 || host->h_addr_list == nullptr ||
        host->h_addr_list[0] == nullptr)
        return false;
    std::memcpy(out, host->h_addr_list[0], 4);
    return true;
}

SOCKET sock(intptr_t s) { return static_cast<SOCKET>(s); }

bool startLibrary() {
    WSADATA data;
    return WSAStartup(0x0101, &data) == 0;
}

intptr_t openDatagramSocket() {
    const SOCKET s = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (s == INVALID_SOCKET) return -1;
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);  // result ignored
    return static_cast<intptr_t>(s);
}

}  // namespace

UdpLink& UdpLink::instance() {
    static UdpLink* link = new UdpLink();  // lives until the process ends
    return *link;
}

UdpLink::UdpLink() = default;

UdpLink::~UdpLink() { close(); }

bool UdpLink::openBound(int port, const uint8_t address[4]) {
    socket_ = openDatagramSocket();
    if (socket_ == kNoSocket) return false;
    fillIPv4Address(localAddress_, port, address);
    return ::bind(sock(socket_), reinterpret_cast<const sockaddr*>(localAddress_), kIPv4AddressSize) == 0;
}

bool UdpLink::openServer(int port) {
    static const uint8_t any[4] = {0, 0, 0, 0};
    if (!portInRange(port)) return false;
    close();  // a socket left from an earlier match would leak
    libraryStarted_ = startLibrary();
    return libraryStarted_ && openBound(port, any);
}

bool UdpLink::openServerOn(int port, const char* localAddressText) {
    if (!portInRange(port)) return false;
    close();
    libraryStarted_ = startLibrary();
    uint8_t address[4];
    return libraryStarted_ && resolveIPv4(localAddressText, address, lookupHost) && openBound(port, address);
}

bool UdpLink::openClient(int port, const char* addressText) {
    if (!portInRange(port) || !startLibrary()) return false;
    uint8_t address[4];
    if (!resolveIPv4(addressText, address, lookupHost)) {
        WSACleanup();  // a bad name leaves the link as it was, with no socket made
        return false;
    }
    close();
    libraryStarted_ = true;
    std::memcpy(host_, address, 4);
    socket_ = openDatagramSocket();
    if (socket_ == kNoSocket) return false;
    fillIPv4Address(remoteAddress_, port, host_);
    return true;  // never bound: the first send picks the local port
}

int UdpLink::send(const uint8_t* data, int length) {
    if (socket_ == kNoSocket || data == nullptr || length < 0) return 0;
    const int sent = ::sendto(sock(socket_), reinterpret_cast<const char*>(data), length, 0,
                              reinterpret_cast<const sockaddr*>(remoteAddress_), kIPv4AddressSize);
    return sent == SOCKET_ERROR ? 0 : sent;
}

int UdpLink::receive(uint8_t* buffer) {
    if (socket_ == kNoSocket || buffer == nullptr) return 0;
    sockaddr_in from{};
    int fromLength = sizeof from;
    // Every error is nothing received: WSAEWOULDBLOCK when nothing is queued,
    // WSAEMSGSIZE for an oversized datagram (dropped), WSAECONNRESET for an earlier
    // send the peer's system refused.
    const int got = ::recvfrom(sock(socket_), reinterpret_cast<char*>(buffer), kMaxDatagram, 0,
                               reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (got == SOCKET_ERROR || got > kMaxDatagram) return 0;
    if (fromLength == sizeof from && from.sin_family == AF_INET) std::memcpy(remoteAddress_, &from, sizeof from);
    return got;
}

void UdpLink::close() {
    if (socket_ != kNoSocket) closesocket(sock(socket_));
    socket_ = kNoSocket;
    if (libraryStarted_) WSACleanup();
    libraryStarted_ = false;
}

int UdpLink::boundPort() const {
    if (socket_ == kNoSocket) return 0;
    sockaddr_in in{};
    int length = sizeof in;
    if (getsockname(sock(socket_), reinterpret_cast<sockaddr*>(&in), &length) != 0) return 0;
    return ntohs(in.sin_port);
}

bool UdpLink::waitForDatagram(int milliseconds) const {
    if (socket_ == kNoSocket) return false;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(sock(socket_), &readable);
    timeval wait{milliseconds / 1000, (milliseconds % 1000) * 1000};
    return ::select(0, &readable, nullptr, nullptr, &wait) > 0 && FD_ISSET(sock(socket_), &readable);
}
