// "opts.dat": a 40-byte little-endian record, the same bytes on every platform.
//   0 float mouseSensitivity, 4 int32 port, 8 char[20] peerAddress (zero-terminated),
//   28 byte highDetail, 29..31 unused, 32 int32 effectsVolume, 36 int32 musicVolume.
// Values are kept as read; the places that use them convert them safely.
#include <cstdio>
#include <cstring>
#include <limits>

#include "sim/game.h"

static_assert(std::numeric_limits<float>::is_iec559, "the record holds an IEEE-754 float");

namespace {

constexpr int kRecordSize = 40;
constexpr const char* kOptionsFile = "opts.dat";

uint32_t readU32(const uint8_t* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void writeU32(uint8_t* b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[i] = uint8_t(v >> (8 * i));
}

int32_t readI32(const uint8_t* b) {
    uint32_t u = readU32(b);
    int32_t v;
    std::memcpy(&v, &u, 4);
    return v;
}

}  // namespace

bool Game::loadOptions() {
    std::FILE* file = std::fopen(kOptionsFile, "rb");
    if (!file) return false;
    uint8_t record[kRecordSize];
    int got = 0;
    for (; got < kRecordSize; ++got) {
        int c = std::fgetc(file);
        if (c == EOF) break;
        record[got] = uint8_t(c);
    }
    std::fclose(file);
    // A short file is no record at all: treat it as missing so the defaults apply.
    if (got < kRecordSize) return false;

    musicVolume = readI32(record + 36);
    effectsVolume = readI32(record + 32);
    highDetail = record[28];
    uint32_t bits = readU32(record + 0);
    std::memcpy(&mouseSensitivity, &bits, 4);
    port = readI32(record + 4);
    // The text up to and including its zero; without one, 19 characters and a zero.
    const uint8_t* text = record + 8;
    int n = 0;
    while (n < 19 && text[n] != 0) {
        peerAddress[n] = char(text[n]);
        ++n;
    }
    peerAddress[n] = '\0';
    return true;
}

void Game::saveOptions() {
    uint8_t record[kRecordSize] = {};
    uint32_t bits;
    std::memcpy(&bits, &mouseSensitivity, 4);
    writeU32(record + 0, bits);
    writeU32(record + 4, uint32_t(port));
    std::memcpy(record + 8, peerAddress, 20);
    record[28] = highDetail;
    writeU32(record + 32, uint32_t(effectsVolume));
    writeU32(record + 36, uint32_t(musicVolume));

    std::FILE* file = std::fopen(kOptionsFile, "wb");
    if (!file) return;
    for (uint8_t b : record) std::fputc(b, file);
    std::fclose(file);
}
