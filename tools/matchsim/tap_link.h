#pragma once
// A machine's link as matchsim sees it: everything passes through to the real endpoint,
// and the datagram the machine read in its latest frame stays readable for the audit.
#include "net/state_message.h"
#include "platform/datagram_link.h"

class TapLink final : public DatagramLink {
public:
    explicit TapLink(DatagramLink& inner) : inner_(inner) {}

    bool openServer(int port) override { return inner_.openServer(port); }
    bool openClient(int port, const char* addressText) override { return inner_.openClient(port, addressText); }
    int send(const uint8_t* data, int length) override { return inner_.send(data, length); }
    int receive(uint8_t* buffer) override {
        const int length = inner_.receive(buffer);
        heard_ = readStateMessage(buffer, length, message_);
        return length;
    }
    void close() override { inner_.close(); }

    void startFrame() { heard_ = false; }
    // The message read this frame, if a usable one was.
    const StateMessage* heard() const { return heard_ ? &message_ : nullptr; }

private:
    DatagramLink& inner_;
    bool heard_ = false;
    StateMessage message_;
};
