#include "input/key_buffer.h"

KeyBuffer& KeyBuffer::instance() {
    static KeyBuffer* buffer = new KeyBuffer();  // never destroyed
    return *buffer;
}
