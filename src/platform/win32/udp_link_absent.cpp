// Stand-in for the Windows Sockets link until it is part of the build: a link that never
// opens, so a network match fails to start like one with no network.
#include "platform/udp_link.h"

UdpLink& UdpLink::instance() {
    static UdpLink* link = new UdpLink();  // lives until the process ends
    return *link;
}

UdpLink::UdpLink() = default;
UdpLink::~UdpLink() = default;
bool UdpLink::openServer(int) { return false; }
bool UdpLink::openClient(int, const char*) { return false; }
int UdpLink::send(const uint8_t*, int) { return 0; }
int UdpLink::receive(uint8_t*) { return 0; }
void UdpLink::close() {}
bool UdpLink::openServerOn(int, const char*) { return false; }
int UdpLink::boundPort() const { return 0; }
bool UdpLink::waitForDatagram(int) const { return false; }
