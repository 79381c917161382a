// An image that a draw item names by skin image id or by file path: bound to
// the skin's image when there is one, else decoded from the file and owned.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace Velmora {

class GDIImage;

class CVelmoraImage {
  public:
    CVelmoraImage() = default;
    CVelmoraImage(const CVelmoraImage&) = delete;
    CVelmoraImage& operator=(const CVelmoraImage&) = delete;
    virtual ~CVelmoraImage();

    // Binds to skinImage when there is one, else decodes the file of that
    // name. Without reload an unchanged name costs nothing; with it the file
    // is read again.
    bool Load(const std::string& name, bool reload, GDIImage* skinImage = nullptr);

    virtual int GetWidth() const;
    virtual int GetHeight() const;
    virtual bool Tile(HDC dc, const RECT& rect) const;
    virtual bool Draw(HDC dc, const RECT& rect) const;
    virtual bool Draw(HDC dc, int x, int y, int width, int height) const;
    virtual bool Stretch(HDC dc, const RECT& rect) const;
    virtual bool Stretch(HDC dc, int x, int y, int width, int height) const;

    const std::string& GetName() const { return m_name; }
    bool OwnsImage() const { return m_owns; }
    GDIImage* GetImage() const { return m_image; }

  private:
    void Unbind();

    std::string m_name;
    bool m_owns = false;
    GDIImage* m_image = nullptr;
    // Holds m_image when the wrapper decoded it itself.
    std::unique_ptr<GDIImage> m_ownedImage;
};

} // namespace Velmora
