// The picture files under statmon/ui/res and setup/ui/res are what the
// resource scripts embed; they are read here as the loaders will read them.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadFile(const std::string& relative) {
    std::ifstream in(std::string(KLRN_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t U16(const Bytes& b, std::size_t at) { return b.at(at) | (b.at(at + 1) << 8); }
std::uint32_t U32(const Bytes& b, std::size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
std::int32_t S32(const Bytes& b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }
std::string Tag(const Bytes& b, std::size_t at) {
    return std::string(reinterpret_cast<const char*>(&b.at(at)), 4);
}

struct Chunk {
    std::string tag;
    std::size_t data;  // offset of the chunk's data
    std::uint32_t size;
};

// The chunks between `begin` and `end`; fails the test when a size runs past the end.
std::vector<Chunk> Chunks(const Bytes& b, std::size_t begin, std::size_t end) {
    std::vector<Chunk> chunks;
    std::size_t at = begin;
    while (at < end) {
        EXPECT_LE(at + 8, end) << "chunk header past the end at " << at;
        if (at + 8 > end) break;
        Chunk chunk{Tag(b, at), at + 8, U32(b, at + 4)};
        EXPECT_LE(chunk.data + chunk.size, end) << chunk.tag << " runs past its list";
        if (chunk.data + chunk.size > end) break;
        chunks.push_back(chunk);
        at = chunk.data + chunk.size + (chunk.size & 1);
    }
    EXPECT_EQ(at, end) << "chunks do not fill their list exactly";
    return chunks;
}

// One image of an icon (type 1) or cursor (type 2) file at `offset`.
struct IconEntry {
    unsigned width, height, planesOrHotX, bitsOrHotY;
    std::uint32_t bytes, offset;
};

std::vector<IconEntry> IconDirectory(const Bytes& file, unsigned type) {
    EXPECT_GE(file.size(), 6u);
    EXPECT_EQ(U16(file, 0), 0u);
    EXPECT_EQ(U16(file, 2), type);
    std::vector<IconEntry> entries;
    unsigned count = U16(file, 4);
    for (unsigned i = 0; i < count; ++i) {
        std::size_t at = 6 + 16 * i;
        IconEntry e{file.at(at) ? file.at(at) : 256u, file.at(at + 1) ? file.at(at + 1) : 256u,
                    U16(file, at + 4), U16(file, at + 6), U32(file, at + 8), U32(file, at + 12)};
        EXPECT_LE(e.offset + e.bytes, file.size()) << "image " << i;
        // The image itself: a DIB header with the doubled height of colour and mask.
        EXPECT_EQ(U32(file, e.offset), 40u);
        EXPECT_EQ(S32(file, e.offset + 4), static_cast<std::int32_t>(e.width));
        EXPECT_EQ(S32(file, e.offset + 8), static_cast<std::int32_t>(2 * e.height));
        EXPECT_EQ(U16(file, e.offset + 12), 1u);
        unsigned bits = U16(file, e.offset + 14);
        std::size_t colour = ((e.width * bits + 31) / 32) * 4 * e.height;
        std::size_t mask = ((e.width + 31) / 32) * 4 * e.height;
        EXPECT_EQ(e.bytes, 40 + colour + mask) << "image " << i;
        entries.push_back(e);
    }
    return entries;
}

Bytes Slice(const Bytes& b, std::size_t at, std::size_t size) {
    return Bytes(b.begin() + static_cast<std::ptrdiff_t>(at),
                 b.begin() + static_cast<std::ptrdiff_t>(at + size));
}

class AnimatedPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(AnimatedPicture, IsATwoFrameAnimatedCursor) {
    const Bytes file = ReadFile(GetParam());
    ASSERT_GE(file.size(), 12u) << GetParam();
    ASSERT_EQ(Tag(file, 0), "RIFF");
    ASSERT_EQ(U32(file, 4) + 8, file.size());
    ASSERT_EQ(Tag(file, 8), "ACON");

    std::vector<std::string> order;
    std::vector<Bytes> frames;
    bool infoSeen = false, anihSeen = false;
    for (const Chunk& chunk : Chunks(file, 12, file.size())) {
        if (chunk.tag == "LIST" && Tag(file, chunk.data) == "INFO") {
            order.push_back("INFO");
            std::set<std::string> texts;
            for (const Chunk& text : Chunks(file, chunk.data + 4, chunk.data + chunk.size)) {
                texts.insert(text.tag);
                ASSERT_GE(text.size, 2u);
                EXPECT_EQ(file.at(text.data + text.size - 1), 0) << text.tag << " not terminated";
            }
            EXPECT_EQ(texts, (std::set<std::string>{"INAM", "IART"}));
            infoSeen = true;
        } else if (chunk.tag == "anih") {
            order.push_back("anih");
            ASSERT_EQ(chunk.size, 36u);
            const std::size_t h = chunk.data;
            EXPECT_EQ(U32(file, h), 36u);       // cbSize
            EXPECT_EQ(U32(file, h + 4), 2u);    // frames
            EXPECT_EQ(U32(file, h + 8), 2u);    // steps
            EXPECT_EQ(U32(file, h + 12), 0u);   // width
            EXPECT_EQ(U32(file, h + 16), 0u);   // height
            EXPECT_EQ(U32(file, h + 20), 0u);   // bit count
            EXPECT_EQ(U32(file, h + 24), 1u);   // planes
            EXPECT_EQ(U32(file, h + 28), 12u);  // jiffies per step
            EXPECT_EQ(U32(file, h + 32), 1u);   // icon-format frames, no sequence
            anihSeen = true;
        } else if (chunk.tag == "LIST" && Tag(file, chunk.data) == "fram") {
            order.push_back("fram");
            for (const Chunk& icon : Chunks(file, chunk.data + 4, chunk.data + chunk.size)) {
                EXPECT_EQ(icon.tag, "icon");
                frames.push_back(Slice(file, icon.data, icon.size));
            }
        } else {
            ADD_FAILURE() << "unexpected chunk " << chunk.tag;
        }
    }
    EXPECT_TRUE(infoSeen);
    EXPECT_TRUE(anihSeen);
    EXPECT_EQ(order, (std::vector<std::string>{"INFO", "anih", "fram"}));

    ASSERT_EQ(frames.size(), 2u);
    for (const Bytes& frame : frames) {
        const auto entries = IconDirectory(frame, 2);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].width, 32u);
        EXPECT_EQ(entries[0].height, 32u);
        EXPECT_LT(entries[0].planesOrHotX, 32u);  // hot spot inside the image
        EXPECT_LT(entries[0].bitsOrHotY, 32u);
        EXPECT_EQ(entries[0].offset + entries[0].bytes, frame.size());
    }
    // The picture blinks: its two frames differ.
    EXPECT_NE(frames[0], frames[1]);
}

INSTANTIATE_TEST_SUITE_P(StatusPictures, AnimatedPicture,
                         ::testing::Values("statmon/ui/res/error.ani", "statmon/ui/res/info.ani"));

TEST(AnimatedPictures, ErrorAndInfoAreDifferentPictures) {
    EXPECT_NE(ReadFile("statmon/ui/res/error.ani"), ReadFile("statmon/ui/res/info.ani"));
}

struct BitmapWant {
    const char* path;
    int width, height;
    unsigned bits;
};

class BitmapFile : public ::testing::TestWithParam<BitmapWant> {};

TEST_P(BitmapFile, HeaderDescribesTheImage) {
    const BitmapWant want = GetParam();
    const Bytes file = ReadFile(want.path);
    ASSERT_GE(file.size(), 54u) << want.path;
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(S32(file, 18), want.width);
    EXPECT_EQ(S32(file, 22), want.height);  // bottom-up rows
    EXPECT_EQ(U16(file, 26), 1u);
    EXPECT_EQ(U16(file, 28), want.bits);
    EXPECT_EQ(U32(file, 30), 0u);  // BI_RGB
    std::uint32_t paletteSize = 0;
    if (want.bits <= 8) {
        std::uint32_t used = U32(file, 46);
        EXPECT_GT(used, 0u);
        EXPECT_LE(used, 1u << want.bits);
        paletteSize = 4 * (used ? used : (1u << want.bits));
    } else {
        EXPECT_EQ(U32(file, 46), 0u);
    }
    const std::size_t stride = ((want.width * want.bits + 31) / 32) * 4;
    EXPECT_EQ(U32(file, 10), 54 + paletteSize);
    EXPECT_EQ(U32(file, 34), stride * want.height);
    EXPECT_EQ(file.size(), 54 + paletteSize + stride * want.height);
    if (want.bits == 8) {
        // Every pixel names a colour of the palette.
        const std::uint32_t used = U32(file, 46);
        for (int y = 0; y < want.height; ++y)
            for (int x = 0; x < want.width; ++x)
                ASSERT_LT(file[54 + paletteSize + y * stride + x], used);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BitmapFile,
    ::testing::Values(BitmapWant{"statmon/ui/res/printer.bmp", 102, 74, 24},
                      BitmapWant{"setup/ui/res/filecopy.bmp", 112, 128, 24},
                      BitmapWant{"setup/ui/res/model.bmp", 96, 96, 8},
                      BitmapWant{"setup/ui/res/connect.bmp", 425, 160, 24}));

struct IconWant {
    const char* path;
    std::vector<unsigned> sizes;
};

class IconFile : public ::testing::TestWithParam<IconWant> {};

TEST_P(IconFile, HoldsTheSquareImagesOfEachSize) {
    const Bytes file = ReadFile(GetParam().path);
    ASSERT_GE(file.size(), 6u) << GetParam().path;
    std::vector<unsigned> sizes;
    for (const IconEntry& e : IconDirectory(file, 1)) {
        EXPECT_EQ(e.width, e.height);
        EXPECT_EQ(e.planesOrHotX, 1u);
        EXPECT_EQ(e.bitsOrHotY, 32u);
        sizes.push_back(e.width);
    }
    EXPECT_EQ(sizes, GetParam().sizes);
}

INSTANTIATE_TEST_SUITE_P(
    Icons, IconFile,
    ::testing::Values(IconWant{"statmon/ui/res/app.ico", {16, 32, 48}},
                      IconWant{"statmon/ui/res/tray.ico", {24, 16}},
                      IconWant{"installation/res/setup.ico", {16, 32, 48}}));

}  // namespace
