// Images that draw items name by skin image id or file path, and the
// manager's cache of the ones read from files.
#include "Canvas.h"
#include "GDIImage.h"
#include "Manager.h"
#include "SkinFiles.h"
#include "UiProbe.h"
#include "VelmoraImage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace Velmora;

namespace {

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);

class FileImageTest : public ::testing::Test {
  protected:
    void SetUp() override { m_folder = MakeScratchFolder("skin-file-image"); }
    void TearDown() override { CManager::Destroy(); }

    // Puts a copy of the picture into the test's folder under the name given.
    std::string Put(const char* name, const char* picture) {
        const std::string path = m_folder + "\\" + name;
        EXPECT_TRUE(WriteFileBytes(path, PictureBytes(picture)));
        return path;
    }

    // Paints the image at its own size on white and gives back the pixel at x, y.
    static COLORREF Painted(const CVelmoraImage& image, int x, int y) {
        CCanvas canvas(16, 16);
        EXPECT_TRUE(image.Draw(canvas.Dc(), 0, 0, -1, -1));
        return canvas.Pixel(x, y);
    }

    std::string m_folder;
};

} // namespace

TEST_F(FileImageTest, BindsToTheSkinImageOfTheNameOrDecodesAFileItOwns) {
    auto skinImage = std::make_unique<GDIImage>();
    skinImage->SetId("logo");
    ASSERT_NE(nullptr, skinImage->Allocate(3, 2, 24, 0));
    GDIImage* owned = CManager::Instance()->Images().Add(std::move(skinImage));
    CVelmoraImage* bound = CManager::Instance()->GetFileImage("logo", false);
    ASSERT_NE(nullptr, bound);
    EXPECT_EQ(owned, bound->GetImage());
    EXPECT_FALSE(bound->OwnsImage());
    // Reloading never decodes into, or deletes, an image the skin owns.
    ASSERT_EQ(bound, CManager::Instance()->GetFileImage("logo", true));
    EXPECT_EQ(owned, bound->GetImage());
    EXPECT_FALSE(bound->OwnsImage());
    EXPECT_EQ(owned, CManager::Instance()->FindImage("logo"));
    EXPECT_EQ(3, owned->GetWidth());

    CVelmoraImage image;
    ASSERT_TRUE(image.Load(PicturePath("quarter-4x4.bmp"), false));
    EXPECT_TRUE(image.OwnsImage());
    EXPECT_EQ(4, image.GetWidth());
    EXPECT_EQ(kRed, Painted(image, 1, 1));
    EXPECT_EQ(kBlue, Painted(image, 2, 3));
    EXPECT_EQ(kWhite, Painted(image, 4, 0));

    CCanvas canvas(16, 16);
    ASSERT_TRUE(image.Stretch(canvas.Dc(), RECT{0, 0, 8, 8}));
    EXPECT_EQ(kRed, canvas.Pixel(3, 3));
    EXPECT_EQ(kBlue, canvas.Pixel(4, 7));
    EXPECT_EQ(kWhite, canvas.Pixel(8, 0));
    canvas.Fill(kWhite);
    ASSERT_TRUE(image.Tile(canvas.Dc(), RECT{0, 0, 10, 6}));
    EXPECT_EQ(kRed, canvas.Pixel(5, 4));
    EXPECT_EQ(kBlue, canvas.Pixel(6, 5));
    EXPECT_EQ(kWhite, canvas.Pixel(10, 0));
    EXPECT_EQ(kWhite, canvas.Pixel(0, 6));
}

TEST_F(FileImageTest, MissingFileFailsAndIsNotCached) {
    CManager* manager = CManager::Instance();
    const std::string path = m_folder + "\\later.bmp";
    CVelmoraImage image;
    EXPECT_FALSE(image.Load(path, false));
    EXPECT_EQ(nullptr, image.GetImage());
    EXPECT_FALSE(image.Draw(CCanvas(4, 4).Dc(), 0, 0, -1, -1));
    EXPECT_EQ(nullptr, manager->GetFileImage(path, false));
    EXPECT_EQ(nullptr, manager->FindFileImage(path));

    // Tried again next time: the file is there now.
    Put("later.bmp", "blue-2x2.bmp");
    CVelmoraImage* loaded = manager->GetFileImage(path, false);
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(loaded, manager->FindFileImage(path));
}

TEST_F(FileImageTest, CacheKeepsTheImageUntilAReloadIsAsked) {
    CManager* manager = CManager::Instance();
    const std::string path = Put("changing.bmp", "red-2x2.bmp");
    CVelmoraImage* cached = manager->GetFileImage(path, false);
    ASSERT_NE(nullptr, cached);
    EXPECT_EQ(kRed, Painted(*cached, 1, 1));

    Put("changing.bmp", "blue-5x5.bmp");
    EXPECT_EQ(cached, manager->GetFileImage(path, false));
    EXPECT_EQ(kRed, Painted(*cached, 1, 1));

    const GDIImage* decoded = cached->GetImage();
    EXPECT_EQ(cached, manager->GetFileImage(path, true));
    EXPECT_EQ(decoded, cached->GetImage());
    EXPECT_EQ(5, cached->GetWidth());
    EXPECT_EQ(kBlue, Painted(*cached, 4, 4));

    // A reload of a vanished file fails; the entry is read again once it is back.
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(nullptr, manager->GetFileImage(path, true));
    EXPECT_FALSE(cached->OwnsImage());
    EXPECT_EQ(0, cached->GetWidth());
    Put("changing.bmp", "red-2x2.bmp");
    EXPECT_EQ(cached, manager->GetFileImage(path, false));
    EXPECT_EQ(kRed, Painted(*cached, 1, 1));
}
