// The editor's pictures as the binary carries them: every image the layout draws from is
// embedded under its number with the size, colour type and frame layout its control expects.
#include "platform/KavrelPlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace {

struct Picture {
    int id;
    int width;
    int height;
    bool alpha;
    int frames; // stacked vertically (the output selector: two rows of its three columns)
};

constexpr Picture kPictures[] = {
    {10000, 728, 595, false, 1}, {10001, 53, 1884, false, 12}, {10002, 61, 52, true, 1},
    {10015, 25, 9, true, 1},     {10016, 3, 9, true, 1},       {10017, 25, 108, true, 6},
    {10018, 34, 44, true, 2},    {10019, 10, 20, true, 2},     {10020, 10, 20, true, 2},
    {10021, 77, 13, true, 1},    {10022, 8, 13, true, 1},      {10023, 44, 22, true, 2},
    {10024, 44, 22, true, 2},    {10025, 44, 22, true, 2},     {10026, 44, 22, true, 2},
    {10027, 44, 22, true, 2},    {10028, 44, 22, true, 2},     {10029, 62, 74, true, 2},
    {10030, 62, 74, true, 2},    {10031, 44, 22, true, 2},     {10032, 44, 22, true, 2},
    {10033, 44, 22, true, 2},    {10034, 209, 13, true, 1},    {10035, 62, 74, true, 2},
    {10036, 49, 11, false, 1},   {10037, 181, 259, false, 1},
};

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

struct Header {
    int width = 0;
    int height = 0;
    int depth = 0;
    int colourType = -1;
};

// The PNG header of an embedded resource, or a colour type of -1 when there is none.
Header headerOf(int id) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    Header h;
    static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    if (!kavrel::platform::loadModuleResource("DATA", id, &data, &size) || size < 33 ||
        std::memcmp(data, signature, 8) != 0 || std::memcmp(data + 12, "IHDR", 4) != 0)
        return h;
    h.width = static_cast<int>(be32(data + 16));
    h.height = static_cast<int>(be32(data + 20));
    h.depth = data[24];
    h.colourType = data[25];
    return h;
}

} // namespace

TEST(SkinResources, EveryPictureIsEmbeddedWithItsSizeColourTypeAndFrames) {
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.id);
        const Header h = headerOf(p.id);
        ASSERT_NE(h.colourType, -1) << "not embedded";
        EXPECT_EQ(h.width, p.width);
        EXPECT_EQ(h.height, p.height);
        EXPECT_EQ(h.depth, 8);
        EXPECT_EQ(h.colourType, p.alpha ? 6 : 2); // RGBA or RGB, never a palette
        EXPECT_EQ(h.height % p.frames, 0);
    }
    for (int id = 10003; id <= 10014; ++id) { // the voice pages' titles
        const Header h = headerOf(id);
        EXPECT_EQ(h.width, 96) << id;
        EXPECT_EQ(h.height, 20) << id;
        EXPECT_EQ(h.colourType, 2) << id;
    }
    for (int id : {20000, 20001}) { // the glyph sheets
        const Header h = headerOf(id);
        EXPECT_EQ(h.width, 256) << id;
        EXPECT_EQ(h.height, 256) << id;
        EXPECT_EQ(h.colourType, 6) << id;
    }
}
