// The creating machine's match frame against any datagrams from the other side.
#include "exchange_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::LinkPair* links = new fuzz::LinkPair(Create);
    fuzz::runMatch(*links, Create, data, size);
    return 0;
}
