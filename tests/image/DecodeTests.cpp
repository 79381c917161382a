// Decoding of every format and variant, the format probing order, the file
// classes and the allocation limits.
#include "ImageFixtures.h"
#include "PixFile.h"
#include "PixImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Velmora;
using ImageFixtures::Fixture;
using ImageFixtures::Rgba;

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

void ExpectContent(const CPixImage& image, const Fixture& fixture) {
    ASSERT_EQ(image.GetWidth(), fixture.width);
    ASSERT_EQ(image.GetHeight(), fixture.height);
    EXPECT_EQ(image.GetBpp(), fixture.bpp);
    EXPECT_EQ(image.HasAlpha(), fixture.alphaPlane);
    EXPECT_EQ(image.GetTransColor(), fixture.transColor);
    EXPECT_EQ(image.GetFormat(), fixture.format);
    int mismatches = 0;
    for (int32_t y = 0; y < fixture.height && mismatches < 5; ++y) {
        for (int32_t x = 0; x < fixture.width && mismatches < 5; ++x) {
            const PixRgbQuad got = image.GetPixelColor(x, y);
            const Rgba want = fixture.expected(x, y);
            const bool same = std::abs(got.red - want.red) <= fixture.tolerance &&
                              std::abs(got.green - want.green) <= fixture.tolerance &&
                              std::abs(got.blue - want.blue) <= fixture.tolerance &&
                              got.alpha == want.alpha;
            if (!same) {
                ++mismatches;
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got.red) << ","
                              << int(got.green) << "," << int(got.blue) << "/" << int(got.alpha)
                              << " instead of " << int(want.red) << "," << int(want.green) << ","
                              << int(want.blue) << "/" << int(want.alpha);
            }
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

class Decoding : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fixtures = new std::vector<Fixture>(ImageFixtures::AllFixtures());
    }
    static void TearDownTestSuite() {
        delete fixtures;
        fixtures = nullptr;
    }
    static const Fixture& Find(const std::string& name) {
        for (const Fixture& fixture : *fixtures)
            if (fixture.name == name)
                return fixture;
        throw std::runtime_error("no fixture " + name);
    }
    static std::vector<Fixture>* fixtures;
};

std::vector<Fixture>* Decoding::fixtures = nullptr;

} // namespace

// Each variant decodes to its known pixels whether its format is named, left
// to probing, or read from a file on disk.
TEST_F(Decoding, EveryVariantTypedProbedAndFromDisk) {
    for (const Fixture& fixture : *fixtures) {
        SCOPED_TRACE(fixture.name);
        CPixImage typed;
        ASSERT_TRUE(typed.ReadFromMemory(fixture.data.data(), fixture.data.size(), fixture.format))
            << typed.GetLastError();
        ExpectContent(typed, fixture);

        CPixImage probed;
        ASSERT_TRUE(
            probed.ReadFromMemory(fixture.data.data(), fixture.data.size(), PIXFORMAT_UNKNOWN))
            << probed.GetLastError();
        ExpectContent(probed, fixture);

        const std::string path = TempPath("fixture_" + fixture.name);
        WriteFile(path, fixture.data);
        CPixImage fromDisk;
        ASSERT_TRUE(fromDisk.ReadFromFile(path.c_str(), fixture.format)) << fromDisk.GetLastError();
        ExpectContent(fromDisk, fixture);
        std::remove(path.c_str());
    }
}

TEST_F(Decoding, FormatZeroFindsPngAfterTheOthersFromTheSameStreamPosition) {
    const Fixture* png = &Find("png_rgba8");
    // The image starts in the middle of a larger block, as in a skin database.
    std::vector<uint8_t> block(37, 0xAB);
    block.insert(block.end(), png->data.begin(), png->data.end());
    CountingFile file(block.data(), block.size());
    ASSERT_TRUE(file.Seek(37, SEEK_SET));
    file.absoluteSeeks.clear();
    CPixImage image;
    ASSERT_TRUE(image.Decode(file, PIXFORMAT_UNKNOWN)) << image.GetLastError();
    EXPECT_EQ(image.GetFormat(), static_cast<uint32_t>(PIXFORMAT_PNG));
    ExpectContent(image, *png);
    // BMP, JPEG, ICO, GIF and PNG each began at the remembered position.
    ASSERT_GE(file.absoluteSeeks.size(), 5u);
    const std::vector<long> starts(file.absoluteSeeks.end() - 5, file.absoluteSeeks.end());
    for (long start : starts)
        EXPECT_EQ(start, 37);
}

TEST_F(Decoding, UnsupportedFormatIdIsRefusedWithoutReading) {
    const Fixture& any = fixtures->front();
    for (uint32_t format : {6u, 7u, 255u}) {
        CountingFile file(any.data.data(), any.data.size());
        CPixImage image;
        EXPECT_FALSE(image.Decode(file, format));
        EXPECT_EQ(file.reads, 0);
        EXPECT_EQ(file.otherSeeks, 0);
        EXPECT_TRUE(file.absoluteSeeks.empty());
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

TEST_F(Decoding, TypedFileReadRetriesEveryFormatAndKeepsTheTypedError) {
    const Fixture& png = Find("png_rgba8");
    const std::string path = TempPath("retry_image.bin");
    WriteFile(path, png.data);
    CPixImage image;
    ASSERT_TRUE(image.ReadFromFile(path.c_str(), PIXFORMAT_BMP)) << image.GetLastError();
    EXPECT_EQ(image.GetFormat(), png.format);

    WriteFile(path, std::vector<uint8_t>(100, 0x5A));
    CPixImage broken;
    EXPECT_FALSE(broken.ReadFromFile(path.c_str(), PIXFORMAT_PNG));
    EXPECT_STREQ(broken.GetLastError(), "PNG: not a PNG file");
    EXPECT_FALSE(broken.ReadFromFile((path + ".missing").c_str(), PIXFORMAT_UNKNOWN));
    EXPECT_STREQ(broken.GetLastError(), "CPixImage: can't open file");
    std::remove(path.c_str());
}

TEST_F(Decoding, FailedDecodeLeavesThePreviousImage) {
    const Fixture& first = fixtures->front();
    for (const Fixture& fixture : *fixtures) {
        SCOPED_TRACE(fixture.name);
        // Run-length bitmaps may end early by design, and an icon falls back on a
        // complete smaller entry; everything else cut short is incomplete.
        if (fixture.name.find("rle") != std::string::npos ||
            fixture.name == "ico_largest_deepest" || fixture.name == "ico_png_entry")
            continue;
        CPixImage image;
        ASSERT_TRUE(image.ReadFromMemory(first.data.data(), first.data.size(), PIXFORMAT_UNKNOWN));
        const std::vector<uint8_t> before(image.GetBits(), image.GetBits() + image.GetPixelSize());
        const std::vector<uint8_t> cut(fixture.data.begin(),
                                       fixture.data.begin() + fixture.data.size() / 3);
        EXPECT_FALSE(image.ReadFromMemory(cut.data(), cut.size(), fixture.format));
        EXPECT_STRNE(image.GetLastError(), "");
        ASSERT_EQ(image.GetWidth(), first.width);
        ASSERT_EQ(image.GetBpp(), first.bpp);
        EXPECT_EQ(image.GetFormat(), first.format);
        EXPECT_EQ(std::vector<uint8_t>(image.GetBits(), image.GetBits() + image.GetPixelSize()),
                  before);
    }
}

TEST(Allocation, SizeLimitsAndTheirTexts) {
    CPixImage image;
    EXPECT_EQ(image.Allocate(10000, 10000, 24, PIXFORMAT_UNKNOWN), nullptr);
    EXPECT_STREQ(image.GetLastError(), "PIXIMAGE_MAX_MEMORY exceeded");
    image.Allocate(1, 1, 8, 0);
    EXPECT_EQ(image.Allocate(20000, 20000, 24, PIXFORMAT_UNKNOWN), nullptr);
    EXPECT_STREQ(image.GetLastError(), "PIXIMAGE_MAX_MEMORY exceeded");
    // 65536 x 65536 wraps to zero in 32 bits; it must still be refused.
    EXPECT_EQ(image.Allocate(65536, 65536, 1, PIXFORMAT_UNKNOWN), nullptr);
    EXPECT_STREQ(image.GetLastError(), "PIXIMAGE_MAX_MEMORY exceeded");
    // One-bit rows padded to four bytes take 32 times the bits they hold.
    EXPECT_EQ(image.Allocate(1, 0x7FFFFFFF, 1, PIXFORMAT_UNKNOWN), nullptr);
    EXPECT_STREQ(image.GetLastError(), "PIXIMAGE_MAX_MEMORY exceeded");
    for (auto size : {std::make_pair(0, 5), std::make_pair(5, 0), std::make_pair(-3, 5)}) {
        EXPECT_EQ(image.Allocate(size.first, size.second, 24, PIXFORMAT_UNKNOWN), nullptr);
        EXPECT_STREQ(image.GetLastError(),
                     "CPixImage::Create : width and height must be greater than zero");
    }
    // Every failure above left the last good image in place.
    EXPECT_EQ(image.GetWidth(), 1);
}

TEST(Allocation, DepthStrideHeaderAndReset) {
    const struct {
        uint32_t asked, got, colors;
    } depths[] = {{0, 1, 2},   {1, 1, 2},   {2, 4, 16},  {4, 4, 16},
                  {5, 8, 256}, {8, 8, 256}, {16, 24, 0}, {32, 24, 0}};
    for (const auto& depth : depths) {
        CPixImage image;
        uint8_t* bits = image.Allocate(7, 3, depth.asked, PIXFORMAT_BMP);
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(image.GetBpp(), depth.got);
        EXPECT_EQ(image.GetNumColors(), depth.colors);
        EXPECT_EQ(image.GetEffWidth(), ((7 * depth.got + 31) / 32) * 4);
        const PixBitmapInfoHeader* header = image.GetHeader();
        EXPECT_EQ(header->size, 40u);
        EXPECT_EQ(header->width, 7);
        EXPECT_EQ(header->height, 3);
        EXPECT_EQ(header->planes, 1);
        EXPECT_EQ(header->bitCount, depth.got);
        const uint8_t* palette = reinterpret_cast<const uint8_t*>(header) + 40;
        EXPECT_EQ(bits, palette + depth.colors * 4);
        for (size_t i = 0; i < image.GetPixelSize(); ++i)
            ASSERT_EQ(bits[i], 0);
    }
    CPixImage image;
    image.Allocate(4, 4, 24, 0);
    ASSERT_TRUE(image.AlphaCreate());
    image.Allocate(2, 2, 24, 0);
    EXPECT_FALSE(image.HasAlpha());
}

TEST(PixFile, MemoryFileReadsWritesAndSeeks) {
    const char text[] = "12 abc\nsecond line";
    CPixMemFile borrowed(text, sizeof(text) - 1);
    EXPECT_EQ(borrowed.Size(), static_cast<long>(sizeof(text) - 1));
    int number = 0;
    EXPECT_EQ(borrowed.Scanf("%d", &number), 1);
    EXPECT_EQ(number, 12);
    EXPECT_EQ(borrowed.Tell(), 2);
    EXPECT_EQ(borrowed.GetC(), ' ');
    char line[32];
    EXPECT_STREQ(borrowed.GetS(line, sizeof(line)), "abc\n");
    EXPECT_FALSE(borrowed.PutC('x'));
    EXPECT_EQ(borrowed.Write("x", 1, 1), 0u);
    EXPECT_FALSE(borrowed.Seek(1, SEEK_END));
    EXPECT_FALSE(borrowed.Seek(-1, SEEK_SET));
    ASSERT_TRUE(borrowed.Seek(-4, SEEK_END));
    char tail[8] = {};
    EXPECT_EQ(borrowed.Read(tail, 2, 4), 2u); // whole elements only
    EXPECT_STREQ(tail, "line");
    EXPECT_TRUE(borrowed.Eof());
    EXPECT_EQ(borrowed.GetC(), EOF);

    CPixMemFile owned;
    ASSERT_TRUE(owned.Open());
    for (int i = 0; i < 5000; ++i)
        ASSERT_TRUE(owned.PutC(static_cast<uint8_t>(i)));
    EXPECT_EQ(owned.Size(), 5000);
    ASSERT_TRUE(owned.Seek(10, SEEK_SET));
    EXPECT_EQ(owned.Write("\xFF\xFE", 2, 1), 1u);
    ASSERT_TRUE(owned.Seek(-3, SEEK_CUR));
    EXPECT_EQ(owned.GetC(), 9);
    EXPECT_EQ(owned.GetC(), 0xFF);
    EXPECT_EQ(owned.GetBuffer()[4999], static_cast<uint8_t>(4999));
    EXPECT_TRUE(owned.Close());
    EXPECT_EQ(owned.Size(), 0);
}

TEST(PixFile, StdioFileOwnsOnlyStreamsItOpened) {
    const std::string path = TempPath("pixfile.txt");
    {
        CPixIOFile file;
        ASSERT_TRUE(file.Open(path.c_str(), "w+b"));
        EXPECT_EQ(file.Write("42 word\n", 1, 8), 8u);
        EXPECT_TRUE(file.PutC('Z'));
        EXPECT_TRUE(file.Flush());
        EXPECT_EQ(file.Size(), 9);
        ASSERT_TRUE(file.Seek(0, SEEK_SET));
        int number = 0;
        EXPECT_EQ(file.Scanf("%d", &number), 1);
        EXPECT_EQ(number, 42);
        char line[16];
        EXPECT_STREQ(file.GetS(line, sizeof(line)), " word\n");
        EXPECT_EQ(file.GetC(), 'Z');
        EXPECT_EQ(file.GetC(), EOF);
        EXPECT_TRUE(file.Eof());
        EXPECT_EQ(file.Error(), 0);
    }
    FILE* stream = std::fopen(path.c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    {
        CPixIOFile borrowed(stream);
        EXPECT_EQ(borrowed.GetC(), '4');
        EXPECT_TRUE(borrowed.Close());
    }
    // The stream handed in is still open and usable.
    EXPECT_EQ(std::fgetc(stream), '2');
    std::fclose(stream);
    std::remove(path.c_str());
}

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::vector<uint8_t> BitmapHeader(int32_t width, int32_t height, uint32_t bpp,
                                  uint32_t compression) {
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 14 + 40 + (bpp <= 8 ? 4u << bpp : 0u));
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, bpp);
    Put32(out, compression);
    for (int i = 0; i < 5; ++i)
        Put32(out, 0);
    for (uint32_t i = 0; bpp <= 8 && i < (1u << bpp); ++i)
        Put32(out, i * 0x010101u);
    return out;
}

} // namespace

TEST(DecodingEdges, RunLengthDeltaAndEarlyEndLeaveIndexZero) {
    // 6 x 4, 8 bits: a run on the bottom row, a delta over two pixels and one
    // row, an absolute run, then the end of the bitmap.
    std::vector<uint8_t> file = BitmapHeader(6, 4, 8, 1);
    file.insert(file.end(), {3, 7, 0, 2, 2, 1, 0, 3, 9, 8, 7, 0, 0, 1});
    CPixImage image;
    ASSERT_TRUE(image.ReadFromMemory(file.data(), file.size(), PIXFORMAT_BMP))
        << image.GetLastError();
    auto index = [&](int32_t x, int32_t y) { return image.GetRow(y)[x]; };
    const uint8_t bottom[6] = {7, 7, 7, 0, 0, 0};
    const uint8_t second[6] = {0, 0, 0, 0, 0, 9};
    for (int32_t x = 0; x < 6; ++x) {
        EXPECT_EQ(index(x, 3), bottom[x]) << x;
        EXPECT_EQ(index(x, 0), 0) << x;
        EXPECT_EQ(index(x, 1), 0) << x;
    }
    // The delta moved to x 5 of the second row from the bottom; the absolute run of
    // three stops at the row's end.
    for (int32_t x = 0; x < 6; ++x)
        EXPECT_EQ(index(x, 2), second[x]) << x;
}

TEST(DecodingEdges, HeadersClaimingHugePicturesFailWithoutDecoding) {
    CPixImage image;
    // 30000 x 30000 at 24 bits in a file of a few bytes: refused before any allocation.
    std::vector<uint8_t> bitmap = BitmapHeader(30000, 30000, 24, 0);
    bitmap.resize(bitmap.size() + 64, 0x11);
    EXPECT_FALSE(image.ReadFromMemory(bitmap.data(), bitmap.size(), PIXFORMAT_BMP));
    EXPECT_STREQ(image.GetLastError(), "BMP: pixel data truncated");
    // Negative width, and a height at the bottom of the 32-bit range.
    for (auto size : {std::make_pair(-5, 5), std::make_pair(5, INT32_MIN)}) {
        std::vector<uint8_t> odd = BitmapHeader(size.first, size.second, 24, 0);
        EXPECT_FALSE(image.ReadFromMemory(odd.data(), odd.size(), PIXFORMAT_BMP));
        EXPECT_STREQ(image.GetLastError(), "BMP: bad image size");
    }

    // A GIF screen of 65535 x 65535 exceeds the image limit.
    std::vector<uint8_t> gif = {'G', 'I', 'F', '8',  '9', 'a',  0xFF, 0xFF, 0xFF, 0xFF,
                                0,   0,   0,   0x2C, 0,   0,    0,    0,    1,    0,
                                1,   0,   0,   2,    2,   0x44, 0x01, 0,    0x3B};
    EXPECT_FALSE(image.ReadFromMemory(gif.data(), gif.size(), PIXFORMAT_GIF));
    EXPECT_STREQ(image.GetLastError(), "PIXIMAGE_MAX_MEMORY exceeded");

    // An icon whose only entry points past the end of the file.
    std::vector<uint8_t> icon = {0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0};
    Put32(icon, 1000);
    Put32(icon, 22);
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
