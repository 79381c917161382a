// Decoding of every format and variant, the format probing order, the file
// classes and the allocation limits.
#include "ImageFixtures.h"
#include "PixFile.h"
#include "PixImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Velmora;
using ImageFixtures::Fixture;

namespace {

std::string TempPath(const std::string& name) {
    return std::string(TEST_BINARY_DIR) + "/" + name;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& data) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    ASSERT_EQ(std::fwrite(data.data(), 1, data.size(), file), data.size());
    std::fclose(file);
}

const std::vector<Fixture>& Fixtures() {
    static const std::vector<Fixture> all = ImageFixtures::AllFixtures();
    return all;
}

const Fixture& Png() {
    for (const Fixture& fixture : Fixtures())
        if (fixture.name == "png_rgba8")
            return fixture;
    throw std::runtime_error("no PNG fixture");
}

void ExpectContent(const CPixImage& image, const Fixture& fixture) {
    ASSERT_EQ(image.GetWidth(), fixture.width);
    ASSERT_EQ(image.GetHeight(), fixture.height);
    EXPECT_EQ(image.GetBpp(), fixture.bpp);
    EXPECT_EQ(image.HasAlpha(), fixture.alphaPlane);
    EXPECT_EQ(image.GetTransColor(), fixture.transColor);
    EXPECT_EQ(image.GetFormat(), fixture.format);
    int mismatches = 0;
    for (int32_t y = 0; y < fixture.height && mismatches < 5; ++y)
        for (int32_t x = 0; x < fixture.width && mismatches < 5; ++x) {
            const PixRgbQuad got = image.GetPixelColor(x, y);
            const ImageFixtures::Rgba want = fixture.expected(x, y);
            const int t = fixture.tolerance;
            if (std::abs(got.red - want.red) > t || std::abs(got.green - want.green) > t ||
                std::abs(got.blue - want.blue) > t || got.alpha != want.alpha) {
                ++mismatches;
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got.red) << ","
                              << int(got.green) << "," << int(got.blue) << "/" << int(got.alpha)
                              << " instead of " << int(want.red) << "," << int(want.green) << ","
                              << int(want.blue) << "/" << int(want.alpha);
            }
        }
}

// A memory stream that counts what the decoders do with it.
class CountingFile : public CPixMemFile {
  public:
    CountingFile(const void* data, size_t size) : CPixMemFile(data, size) {}
    size_t Read(void* buffer, size_t size, size_t count) override {
        ++reads;
        return CPixMemFile::Read(buffer, size, count);
    }
    long GetC() override {
        ++reads;
        return CPixMemFile::GetC();
    }
    bool Seek(long offset, int origin) override {
        if (origin == SEEK_SET)
            absoluteSeeks.push_back(offset);
        else
            ++otherSeeks;
        return CPixMemFile::Seek(offset, origin);
    }
    int reads = 0;
    int otherSeeks = 0;
    std::vector<long> absoluteSeeks;
};

} // namespace

// Each variant decodes to its known pixels whether its format is named, left
// to probing, or read from a file on disk.
TEST(Decoding, EveryVariantTypedProbedAndFromDisk) {
    for (const Fixture& fixture : Fixtures()) {
        SCOPED_TRACE(fixture.name);
        for (uint32_t format : {fixture.format, uint32_t(PIXFORMAT_UNKNOWN)}) {
            CPixImage image;
            ASSERT_TRUE(image.ReadFromMemory(fixture.data.data(), fixture.data.size(), format))
                << image.GetLastError();
            ExpectContent(image, fixture);
        }
        const std::string path = TempPath("fixture_" + fixture.name);
        WriteFile(path, fixture.data);
        CPixImage fromDisk;
        ASSERT_TRUE(fromDisk.ReadFromFile(path.c_str(), fixture.format)) << fromDisk.GetLastError();
        ExpectContent(fromDisk, fixture);
        std::remove(path.c_str());
    }
}

TEST(Decoding, FormatZeroFindsPngAfterTheOthersFromTheSameStreamPosition) {
    // The image starts in the middle of a larger block, as in a skin database.
    std::vector<uint8_t> block(37, 0xAB);
    block.insert(block.end(), Png().data.begin(), Png().data.end());
    CountingFile file(block.data(), block.size());
    ASSERT_TRUE(file.Seek(37, SEEK_SET));
    file.absoluteSeeks.clear();
    CPixImage image;
    ASSERT_TRUE(image.Decode(file, PIXFORMAT_UNKNOWN)) << image.GetLastError();
    ExpectContent(image, Png());
    // BMP, JPEG, ICO, GIF and PNG each began at the remembered position.
    ASSERT_GE(file.absoluteSeeks.size(), 5u);
    for (auto start = file.absoluteSeeks.end() - 5; start != file.absoluteSeeks.end(); ++start)
        EXPECT_EQ(*start, 37);
}

TEST(Decoding, UnsupportedFormatIdIsRefusedWithoutReading) {
    const Fixture& any = Fixtures().front();
    for (uint32_t format : {6u, 7u, 255u}) {
        CountingFile file(any.data.data(), any.data.size());
        CPixImage image;
        EXPECT_FALSE(image.Decode(file, format));
        EXPECT_EQ(file.reads + file.otherSeeks + file.absoluteSeeks.size(), 0u);
        EXPECT_STREQ(image.GetLastError(), "CPixImage: unsupported image format");
        EXPECT_FALSE(image.ReadFromMemory(any.data.data(), any.data.size(), format));
    }
    const std::string path = TempPath("format_six.bmp");
    WriteFile(path, any.data);
    CPixImage image;
    EXPECT_FALSE(image.ReadFromFile(path.c_str(), 6));
    EXPECT_FALSE(image.IsValid());
    std::remove(path.c_str());
}

TEST(Decoding, TypedFileReadRetriesEveryFormatAndKeepsTheTypedError) {
    const std::string path = TempPath("retry_image.bin");
    WriteFile(path, Png().data);
    CPixImage image;
    ASSERT_TRUE(image.ReadFromFile(path.c_str(), PIXFORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(image.GetFormat(), Png().format);

    WriteFile(path, std::vector<uint8_t>(100, 0x5A));
    CPixImage broken;
    EXPECT_FALSE(broken.ReadFromFile(path.c_str(), PIXFORMAT_PNG));
    EXPECT_STREQ(broken.GetLastError(), "PNG: not a PNG file");
    EXPECT_FALSE(broken.ReadFromFile((path + ".missing").c_str(), PIXFORMAT_UNKNOWN));
    EXPECT_STREQ(broken.GetLastError(), "CPixImage: can't open file");
    std::remove(path.c_str());
}

TEST(Decoding, FailedDecodeLeavesThePreviousImage) {
    const Fixture& first = Fixtures().front();
    for (const Fixture& fixture : Fixtures()) {
        SCOPED_TRACE(fixture.name);
        // Run-length bitmaps may end early by design, and an icon falls back on a
        // complete smaller entry; everything else cut short is incomplete.
        if (fixture.name.find("rle") != std::string::npos ||
            fixture.name == "ico_largest_deepest" || fixture.name == "ico_png_entry")
            continue;
        CPixImage image;
        ASSERT_TRUE(image.ReadFromMemory(first.data.data(), first.data.size(), PIXFORMAT_UNKNOWN));
        const std::vector<uint8_t> before(image.GetBits(), image.GetBits() + image.GetPixelSize());
        EXPECT_FALSE(
            image.ReadFromMemory(fixture.data.data(), fixture.data.size() / 3, fixture.format));
        EXPECT_STRNE(image.GetLastError(), "");
        ASSERT_EQ(image.GetWidth(), first.width);
        ASSERT_EQ(image.GetBpp(), first.bpp);
        EXPECT_EQ(image.GetFormat(), first.format);
        EXPECT_EQ(std::vector<uint8_t>(image.GetBits(), image.GetBits() + image.GetPixelSize()),
                  before);
    }
}

TEST(Allocation, SizeLimitsTextsAndDepths) {
    CPixImage image;
    image.Allocate(1, 1, 8, 0);
    // 65536 x 65536 wraps to zero in 32 bits, and one-bit rows padded to four
    // bytes take 32 times the bits they hold: both must still be refused.
    const int32_t huge[][3] = {{10000, 10000, 24}, {65536, 65536, 1}, {1, 0x7FFFFFFF, 1}};
    for (const auto& size : huge) {
        EXPECT_EQ(image.Allocate(size[0], size[1], size[2], PIXFORMAT_UNKNOWN), nullptr);
        EXPECT_STREQ(image.GetLastError(), "PIXIMAGE_MAX_MEMORY exceeded");
    }
    for (auto size : {std::make_pair(0, 5), std::make_pair(5, 0), std::make_pair(-3, 5)}) {
        EXPECT_EQ(image.Allocate(size.first, size.second, 24, PIXFORMAT_UNKNOWN), nullptr);
        EXPECT_STREQ(image.GetLastError(),
                     "CPixImage::Create : width and height must be greater than zero");
    }
    // Every failure above left the last good image in place.
    EXPECT_EQ(image.GetWidth(), 1);

    const uint32_t depths[][3] = {{0, 1, 2},   {2, 4, 16},  {4, 4, 16},
                                  {5, 8, 256}, {16, 24, 0}, {32, 24, 0}};
    for (const auto& depth : depths) {
        const uint8_t* bits = image.Allocate(7, 3, depth[0], PIXFORMAT_BMP);
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(image.GetBpp(), depth[1]);
        EXPECT_EQ(image.GetNumColors(), depth[2]);
        EXPECT_EQ(image.GetHeader()->bitCount, depth[1]);
        // Pixels follow the palette in the block handed to GDI, zeroed.
        EXPECT_EQ(bits, reinterpret_cast<const uint8_t*>(image.GetHeader()) + 40 + depth[2] * 4);
        EXPECT_EQ(std::count(bits, bits + image.GetPixelSize(), 0), long(image.GetPixelSize()));
    }
    image.Allocate(4, 4, 24, 0);
    ASSERT_TRUE(image.AlphaCreate());
    image.Allocate(2, 2, 24, 0);
    EXPECT_FALSE(image.HasAlpha());
}

TEST(PixFile, MemoryAndStdioFilesKeepToTheirBounds) {
    const char text[] = "12 abc\nline";
    CPixMemFile borrowed(text, sizeof(text) - 1);
    int number = 0;
    EXPECT_EQ(borrowed.Scanf("%d", &number), 1);
    EXPECT_EQ(number, 12);
    char line[32];
    EXPECT_STREQ(borrowed.GetS(line, sizeof(line)), " abc\n");
    EXPECT_FALSE(borrowed.PutC('x'));
    EXPECT_EQ(borrowed.Write("x", 1, 1), 0u);
    EXPECT_FALSE(borrowed.Seek(1, SEEK_END));
    EXPECT_FALSE(borrowed.Seek(-1, SEEK_SET));
    ASSERT_TRUE(borrowed.Seek(-4, SEEK_END));
    char tail[8] = {};
    EXPECT_EQ(borrowed.Read(tail, 2, 4), 2u); // whole elements only
    EXPECT_STREQ(tail, "line");
    EXPECT_EQ(borrowed.GetC(), EOF);

    CPixMemFile owned;
    ASSERT_TRUE(owned.Open());
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(owned.PutC(static_cast<uint8_t>(i)));
    ASSERT_TRUE(owned.Seek(10, SEEK_SET));
    EXPECT_EQ(owned.Write("\xFF\xFE", 2, 1), 1u);
    ASSERT_TRUE(owned.Seek(-3, SEEK_CUR));
    EXPECT_EQ(owned.GetC(), 9);
    EXPECT_EQ(owned.GetC(), 0xFF);
    EXPECT_EQ(owned.GetBuffer()[4999], static_cast<uint8_t>(4999));
    EXPECT_EQ(owned.Size(), 5000);

    const std::string path = TempPath("pixfile.txt");
    WriteFile(path, {'4', '2'});
    FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    {
        CPixIOFile file(stream);
        EXPECT_EQ(file.GetC(), '4');
        EXPECT_TRUE(file.Close());
    }
    // Only streams the file opened itself are closed: this one is still usable.
    EXPECT_EQ(std::fgetc(stream), '2');
    std::fclose(stream);
    std::remove(path.c_str());
}

TEST(DecodingEdges, RunLengthDeltaAndEarlyEndLeaveIndexZero) {
    // 6 x 4, 8 bits: a run on the bottom row, a delta over two pixels and one
    // row, an absolute run of three cut at the row's end, then the end of the bitmap.
    std::vector<uint8_t> file = ImageFixtures::BitmapHeaders(6, 4, 8, 1);
    file.insert(file.end(), {3, 7, 0, 2, 2, 1, 0, 3, 9, 8, 7, 0, 0, 1});
    CPixImage image;
    ASSERT_TRUE(image.ReadFromMemory(file.data(), file.size(), PIXFORMAT_BMP))
        << image.GetLastError();
    const uint8_t rows[4][6] = {{0}, {0}, {0, 0, 0, 0, 0, 9}, {7, 7, 7}};
    for (int32_t y = 0; y < 4; ++y)
        EXPECT_EQ(std::vector<uint8_t>(image.GetRow(y), image.GetRow(y) + 6),
                  std::vector<uint8_t>(rows[y], rows[y] + 6))
            << y;
}

TEST(DecodingEdges, HeadersClaimingHugePicturesFailWithoutDecoding) {
    CPixImage image;
    // 30000 x 30000 at 24 bits in a file of a few bytes: refused before any allocation.
    std::vector<uint8_t> bitmap = ImageFixtures::BitmapHeaders(30000, 30000, 24, 0);
    bitmap.resize(bitmap.size() + 64, 0x11);
    EXPECT_FALSE(image.ReadFromMemory(bitmap.data(), bitmap.size(), PIXFORMAT_BMP));
    EXPECT_STREQ(image.GetLastError(), "BMP: pixel data truncated");
    // Negative width, and a height at the bottom of the 32-bit range.
    for (auto size : {std::make_pair(-5, 5), std::make_pair(5, INT32_MIN)}) {
        const std::vector<uint8_t> odd =
            ImageFixtures::BitmapHeaders(size.first, size.second, 24, 0);
        EXPECT_FALSE(image.ReadFromMemory(odd.data(), odd.size(), PIXFORMAT_BMP));
        EXPECT_STREQ(image.GetLastError(), "BMP: bad image size");
    }

    // A GIF screen of 65535 x 65535 exceeds the image limit.
    const std::vector<uint8_t> gif = {'G', 'I', 'F', '8',  '9', 'a',  0xFF, 0xFF, 0xFF, 0xFF,
                                      0,   0,   0,   0x2C, 0,   0,    0,    0,    1,    0,
                                      1,   0,   0,   2,    2,   0x44, 0x01, 0,    0x3B};
    EXPECT_FALSE(image.ReadFromMemory(gif.data(), gif.size(), PIXFORMAT_GIF));
    EXPECT_STREQ(image.GetLastError(), "PIXIMAGE_MAX_MEMORY exceeded");

    // An icon whose only entry, of 1000 bytes at offset 22, runs past the end of the file.
    std::vector<uint8_t> icon = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, 0xE8, 3, 0, 0, 22};
    icon.resize(40, 0);
    EXPECT_FALSE(image.ReadFromMemory(icon.data(), icon.size(), PIXFORMAT_ICO));
    EXPECT_STREQ(image.GetLastError(), "ICO: no usable entry");

    // A JPEG cut after its header.
    std::vector<ImageFixtures::Rgba> pixels(64 * 64, ImageFixtures::Rgba{1, 2, 3, 255});
    const std::vector<uint8_t> jpeg = ImageFixtures::EncodeJpegRgb(64, 64, pixels, false, 80);
    EXPECT_FALSE(image.ReadFromMemory(jpeg.data(), 700, PIXFORMAT_JPG));
    EXPECT_EQ(std::string(image.GetLastError()).rfind("JPEG: ", 0), 0u) << image.GetLastError();
    EXPECT_FALSE(image.IsValid());
}
