// Decoding of every format and variant against the pixels ImageMagick reads from
// the same files (tests/image/fixtures), the format probing order, damaged files,
// the file classes and the allocation limits.
#include "PixFile.h"
#include "PixImage.h"
#include "UiProbe.h"

#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace Velmora;

namespace {

const std::string kFixtures = TEST_SOURCE_DIR "/fixtures/";

std::string TempPath(const std::string& name) {
    return std::string(TEST_BINARY_DIR) + "/" + name;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_FALSE(bytes.empty()) << path;
    return bytes;
}

uint32_t FormatOf(const std::string& file) {
    const std::string ending = file.substr(file.rfind('.') + 1);
    return ending == "bmp"   ? PIXFORMAT_BMP
           : ending == "gif" ? PIXFORMAT_GIF
           : ending == "jpg" ? PIXFORMAT_JPG
           : ending == "png" ? PIXFORMAT_PNG
                             : PIXFORMAT_ICO;
}

// One line of fixtures/decoded.txt.
struct Fixture {
    std::string file;
    uint32_t bpp = 0;
    bool alphaPlane = false;
    int32_t transIndex = -1;
    int tolerance = 0;
    bool cutRefused = true;
    std::vector<uint8_t> data;
    uint32_t Format() const { return FormatOf(file); }
};

const std::vector<Fixture>& Fixtures() {
    static const std::vector<Fixture> all = [] {
        std::vector<Fixture> list;
        std::ifstream table(kFixtures + "decoded.txt");
        for (std::string line; std::getline(table, line);) {
            if (line.empty() || line[0] == '#')
                continue;
            std::istringstream fields(line);
            Fixture fixture;
            std::string alpha, trans, cut;
            fields >> fixture.file >> fixture.bpp >> alpha >> trans >> fixture.tolerance >> cut;
            fixture.alphaPlane = alpha == "yes";
            fixture.transIndex = trans == "-" ? -1 : std::atoi(trans.c_str());
            fixture.cutRefused = cut == "refused";
            fixture.data = ReadBytes(kFixtures + fixture.file);
            list.push_back(fixture);
        }
        return list;
    }();
    return all;
}

const Fixture& Named(const std::string& file) {
    for (const Fixture& fixture : Fixtures())
        if (fixture.file == file)
            return fixture;
    throw std::runtime_error("no fixture " + file);
}

// Width, height and RGBA rows from the top, as libpng reads a reference picture.
struct Reference {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

Reference ReadReference(const std::string& file) {
    const std::vector<uint8_t> bytes = ReadBytes(kFixtures + "expected/" + file + ".png");
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    Reference reference;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return reference;
    image.format = PNG_FORMAT_RGBA;
    reference.rgba.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, reference.rgba.data(), 0, nullptr)) {
        reference.width = image.width;
        reference.height = image.height;
    }
    return reference;
}

// Compares with the reference; a transparent palette index counts as alpha 0, and
// the colour under it is the decoder's own.
void ExpectContent(const CPixImage& image, const Fixture& fixture) {
    const Reference reference = ReadReference(fixture.file);
    ASSERT_EQ(image.GetWidth(), int32_t(reference.width));
    ASSERT_EQ(image.GetHeight(), int32_t(reference.height));
    EXPECT_EQ(image.GetBpp(), fixture.bpp);
    EXPECT_EQ(image.HasAlpha(), fixture.alphaPlane);
    EXPECT_EQ(image.GetTransColor(), fixture.transIndex);
    EXPECT_EQ(image.GetFormat(), fixture.Format());
    int mismatches = 0;
    for (int32_t y = 0; y < image.GetHeight() && mismatches < 5; ++y)
        for (int32_t x = 0; x < image.GetWidth() && mismatches < 5; ++x) {
            const PixRgbQuad got = image.GetPixelColor(x, y);
            const uint8_t* want =
                &reference.rgba[(static_cast<size_t>(y) * reference.width + x) * 4];
            const bool keyed = fixture.transIndex >= 0 && image.GetRow(y)[x] == fixture.transIndex;
            const int alpha = keyed ? 0 : got.alpha, t = fixture.tolerance;
            if (alpha != want[3] ||
                (!keyed && (std::abs(got.red - want[0]) > t || std::abs(got.green - want[1]) > t ||
                            std::abs(got.blue - want[2]) > t))) {
                ++mismatches;
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << int(got.red) << ","
                              << int(got.green) << "," << int(got.blue) << "/" << alpha
                              << " instead of " << int(want[0]) << "," << int(want[1]) << ","
                              << int(want[2]) << "/" << int(want[3]);
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

// Each variant decodes to the expected pixels whether its format is named, left
// to probing, or read from the file on disk.
TEST(Decoding, EveryVariantTypedProbedAndFromDisk) {
    ASSERT_EQ(Fixtures().size(), 52u);
    for (const Fixture& fixture : Fixtures()) {
        SCOPED_TRACE(fixture.file);
        for (uint32_t format : {fixture.Format(), uint32_t(PIXFORMAT_UNKNOWN)}) {
            CPixImage image;
            ASSERT_TRUE(image.ReadFromMemory(fixture.data.data(), fixture.data.size(), format))
                << image.GetLastError();
            ExpectContent(image, fixture);
        }
        CPixImage fromDisk;
        ASSERT_TRUE(fromDisk.ReadFromFile((kFixtures + fixture.file).c_str(), fixture.Format()))
            << fromDisk.GetLastError();
        ExpectContent(fromDisk, fixture);
    }
}

TEST(Decoding, FormatZeroFindsPngAfterTheOthersFromTheSameStreamPosition) {
    // The image starts in the middle of a larger block, as in a skin database.
    const Fixture& png = Named("png-rgba-8bit.png");
    std::vector<uint8_t> block(37, 0xAB);
    block.insert(block.end(), png.data.begin(), png.data.end());
    CountingFile file(block.data(), block.size());
    ASSERT_TRUE(file.Seek(37, SEEK_SET));
    file.absoluteSeeks.clear();
    CPixImage image;
    ASSERT_TRUE(image.Decode(file, PIXFORMAT_UNKNOWN)) << image.GetLastError();
    ExpectContent(image, png);
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
    CPixImage image;
    EXPECT_FALSE(image.ReadFromFile((kFixtures + any.file).c_str(), 6));
    EXPECT_FALSE(image.IsValid());
}

TEST(Decoding, TypedFileReadRetriesEveryFormatAndKeepsTheTypedError) {
    CPixImage image;
    ASSERT_TRUE(image.ReadFromFile((kFixtures + "png-rgba-8bit.png").c_str(), PIXFORMAT_BMP))
        << image.GetLastError();
    EXPECT_EQ(image.GetFormat(), uint32_t(PIXFORMAT_PNG));

    const std::string path = TempPath("retry_image.bin");
    ASSERT_TRUE(WriteFileBytes(path, std::string(100, 'Z')));
    CPixImage broken;
    EXPECT_FALSE(broken.ReadFromFile(path.c_str(), PIXFORMAT_PNG));
    EXPECT_STREQ(broken.GetLastError(), "PNG: not a PNG file");
    EXPECT_FALSE(broken.ReadFromFile((path + ".missing").c_str(), PIXFORMAT_UNKNOWN));
    EXPECT_STREQ(broken.GetLastError(), "CPixImage: can't open file");
    std::remove(path.c_str());
}

// Headers that claim more than the file holds, and every variant cut to a third:
// refused with a reason, and the image decoded before stays as it was.
TEST(Decoding, DamagedFilesAreRefusedAndKeepThePreviousImage) {
    struct Case {
        std::string error;
        uint32_t format;
        std::vector<uint8_t> data;
    };
    std::vector<Case> cases;
    const std::pair<const char*, const char*> badFiles[] = {
        {"bad-bmp-30000x30000.bmp", "BMP: pixel data truncated"},
        {"bad-bmp-negative-width.bmp", "BMP: bad image size"},
        {"bad-bmp-height-int-min.bmp", "BMP: bad image size"},
        {"bad-gif-screen-65535x65535.gif", "PIXIMAGE_MAX_MEMORY exceeded"},
        {"bad-ico-entry-past-end.ico", "ICO: no usable entry"},
        {"bad-jpeg-cut-in-scan.jpg", "JPEG: "},
    };
    for (const auto& [file, error] : badFiles)
        cases.push_back({error, FormatOf(file), ReadBytes(kFixtures + file)});
    for (const Fixture& fixture : Fixtures())
        if (fixture.cutRefused)
            cases.push_back(
                {"",
                 fixture.Format(),
                 {fixture.data.begin(), fixture.data.begin() + fixture.data.size() / 3}});
    const Fixture& first = Fixtures().front();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error + " " + std::to_string(c.data.size()) + " bytes");
        CPixImage image;
        ASSERT_TRUE(image.ReadFromMemory(first.data.data(), first.data.size(), PIXFORMAT_UNKNOWN));
        const std::vector<uint8_t> before(image.GetBits(), image.GetBits() + image.GetPixelSize());
        EXPECT_FALSE(image.ReadFromMemory(c.data.data(), c.data.size(), c.format));
        EXPECT_EQ(std::string(image.GetLastError()).rfind(c.error, 0), 0u) << image.GetLastError();
        EXPECT_STRNE(image.GetLastError(), "");
        ExpectContent(image, first);
        EXPECT_EQ(std::vector<uint8_t>(image.GetBits(), image.GetBits() + image.GetPixelSize()),
                  before);
    }
}

TEST(Decoding, RunLengthDeltaAndEarlyEndLeaveIndexZero) {
    // 6 x 4, 8 bits: a run on the bottom row, a delta over two pixels and one
    // row, an absolute run of three cut at the row's end, then the end of the bitmap.
    CPixImage image;
    ASSERT_TRUE(image.ReadFromFile((kFixtures + "bmp-8bit-rle8-delta.bmp").c_str(), PIXFORMAT_BMP))
        << image.GetLastError();
    const uint8_t rows[4][6] = {{0}, {0}, {0, 0, 0, 0, 0, 9}, {7, 7, 7}};
    for (int32_t y = 0; y < 4; ++y)
        EXPECT_EQ(std::vector<uint8_t>(image.GetRow(y), image.GetRow(y) + 6),
                  std::vector<uint8_t>(rows[y], rows[y] + 6))
            << y;
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
    ASSERT_TRUE(WriteFileBytes(path, "42"));
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
