// Pictures a player swaps in: bytes after the end of a JPEG are fine, a JPEG cut short is not.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/image_decode.h"

namespace {

std::string jpegBytes() {
    std::ifstream in(std::string(FROSTEL_RUN_DIR) + "/gfx/menu_main.jpg", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool decodes(const std::string& bytes, DecodedImage* out) {
    return decodeImageMemory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
}

TEST(JpegDecode, TrailingBytesAfterTheEndMarkerAreIgnored) {
    const std::string bytes = jpegBytes();
    DecodedImage plain, trailed;
    ASSERT_TRUE(decodes(bytes, &plain));

    std::string tail(4096, '\0');
    std::mt19937 random(7);
    for (char& c : tail) c = char(random());
    tail[100] = char(0xFF), tail[101] = char(0xD9);  // a stray end marker in the junk
    ASSERT_TRUE(decodes(bytes + tail, &trailed));
    EXPECT_EQ(trailed.width, plain.width);
    EXPECT_EQ(trailed.pixels, plain.pixels);
}

TEST(JpegDecode, PicturesCutShortAreRefused) {
    const std::string bytes = jpegBytes();
    ASSERT_GT(bytes.size(), 1000u);
    DecodedImage out;
    for (size_t cut = 2; cut < bytes.size(); cut += 97)
        EXPECT_FALSE(decodes(bytes.substr(0, cut), &out)) << cut;
    EXPECT_FALSE(decodes(bytes.substr(0, bytes.size() - 1), &out));
    EXPECT_FALSE(decodes(bytes.substr(0, bytes.size() - 2), &out));

    // an application segment (a thumbnail, say) holding an end marker of its own
    const std::string segment("\xFF\xE1\x00\x04\xFF\xD9", 6);
    const std::string withSegment = bytes.substr(0, 2) + segment + bytes.substr(2);
    EXPECT_TRUE(decodes(withSegment, &out));
    EXPECT_FALSE(decodes(withSegment.substr(0, withSegment.size() - 200), &out));
}

}  // namespace
