// In-memory image of the skin library: a device-independent bitmap (header,
// palette, bottom-up rows) with an optional alpha plane, decoded from BMP, GIF,
// ICO, JPEG or PNG data and painted blended, stretched or tiled.
#pragma once

#include "PixBitmap.h"

#include <cstddef>
#include <cstdint>
#include <memory>

#ifdef _WIN32
// Handle types as windows.h declares them, so that this header needs no windows.h.
struct HDC__;
struct HBITMAP__;
struct tagRECT;
#endif

namespace Velmora {

class CPixFile;

// Format ids of the data an image is decoded from; 0 tries every decoder.
enum PixFormat : uint32_t {
    PIXFORMAT_UNKNOWN = 0,
    PIXFORMAT_BMP = 1,
    PIXFORMAT_GIF = 2,
    PIXFORMAT_JPG = 3,
    PIXFORMAT_PNG = 4,
    PIXFORMAT_ICO = 5,
};

class CPixImage {
  public:
    CPixImage();
    CPixImage(const CPixImage&) = delete;
    CPixImage& operator=(const CPixImage&) = delete;
    virtual ~CPixImage();

    // Decoding. A failed decode leaves the image as it was and sets the last error.
    bool ReadFromFile(const char* path, uint32_t format);
    bool ReadFromMemory(const void* buffer, size_t size, uint32_t format);
    bool Decode(CPixFile& file, uint32_t format);

    // Makes a zeroed image; returns its pixel rows or null with the last error set.
    uint8_t* Allocate(int32_t width, int32_t height, uint32_t bitsPerPixel, uint32_t format);
    void Destroy();
    bool IsValid() const { return m_block != nullptr; }

    int32_t GetWidth() const { return m_width; }
    int32_t GetHeight() const { return m_height; }
    uint32_t GetBpp() const { return m_bpp; }
    uint32_t GetEffWidth() const { return m_stride; }
    size_t GetPixelSize() const { return static_cast<size_t>(m_stride) * m_height; }
    uint8_t* GetBits() { return m_pixels; }
    const uint8_t* GetBits() const { return m_pixels; }
    // Row counted from the top of the picture, as decoders and painters see it.
    uint8_t* GetRow(int32_t top);
    const uint8_t* GetRow(int32_t top) const;
    // Header, palette and pixels in one block, ready for GDI.
    const PixBitmapInfoHeader* GetHeader() const;
    uint32_t GetNumColors() const { return m_colors; }
    PixRgbQuad* GetPalette();
    const PixRgbQuad* GetPalette() const;
    bool SetPaletteColor(uint32_t index, uint8_t red, uint8_t green, uint8_t blue,
                         uint8_t alpha = 255);
    void SetGrayPalette();

    // Alpha plane: one byte per pixel, rows bottom-up like the pixels.
    bool AlphaCreate();
    void AlphaDelete();
    bool HasAlpha() const { return m_alpha != nullptr; }
    uint8_t* GetAlpha() { return m_alpha.get(); }
    const uint8_t* GetAlpha() const { return m_alpha.get(); }
    uint8_t* GetAlphaRow(int32_t top);

    // Fills area with width x height pixels of this image repeated, starting at
    // (offsetX, offsetY) of a copy: 24-bit colours and, with opacity, an alpha
    // plane holding the opacity each pixel is painted blended with (0 where
    // the transparent colour is). Linear in width x height.
    bool MakeRepeated(CPixImage& area, int32_t offsetX, int32_t offsetY, int32_t width,
                      int32_t height, bool withOpacity) const;

    // Colour and opacity of a pixel (x, y from the top left); alpha is 255 without plane.
    PixRgbQuad GetPixelColor(int32_t x, int32_t y) const;

    // Palette index for palette images, 0x00BBGGRR colour for 24-bit ones; negative is none.
    int32_t GetTransColor() const { return m_transColor; }
    void SetTransColor(int32_t color) { m_transColor = color < 0 ? -1 : color; }
    bool HasTransColor() const { return m_transColor >= 0; }

    uint8_t GetAlphaMax() const { return m_alphaMax; }
    void SetAlphaMax(uint8_t alphaMax) { m_alphaMax = alphaMax; }
    bool GetPaletteAlpha() const { return m_paletteAlpha; }
    void SetPaletteAlpha(bool enabled) { m_paletteAlpha = enabled; }
    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    uint32_t GetFormat() const { return m_format; }
    const char* GetLastError() const { return m_lastError; }

#ifdef _WIN32
    // Painting; each returns true on success. A negative width or height paints
    // at the image's own size.
    bool PaintBlended(HDC__* dc, int32_t x, int32_t y, int32_t width, int32_t height,
                      const tagRECT* clip = nullptr, bool smooth = false) const;
    bool PaintBlended(HDC__* dc, const tagRECT& rect, const tagRECT* clip = nullptr,
                      bool smooth = false) const;
    bool PaintStretched(HDC__* dc, int32_t x, int32_t y, int32_t width, int32_t height,
                        uint32_t rop) const;
    bool PaintStretched(HDC__* dc, const tagRECT& rect, uint32_t rop) const;
    bool PaintTiled(HDC__* dc, const tagRECT& rect) const;
    // Copies at the image's own size laid from (originX, originY) on in every
    // direction, painted blended over box (a copy cut by box's edge shows its
    // part). The copies are made in one image of the visible part of box, so
    // the time follows the painted pixels, not the number of copies.
    bool PaintRepeated(HDC__* dc, int32_t originX, int32_t originY, const tagRECT& box) const;

    // A new DIB section holding a copy of the pixels; the caller deletes it.
    HBITMAP__* ToDeviceBitmap(HDC__* dc) const;
#endif

  protected:
    void SetLastError(const char* text);
    void SetFormat(uint32_t format) {
        m_format = format;
    }
    // Like Allocate and AlphaCreate, for decoders about to write every byte of
    // every row (padding included), so that large pictures are not cleared twice.
    uint8_t* AllocateRows(int32_t width, int32_t height, uint32_t bitsPerPixel, uint32_t format);
    bool AlphaCreateUnfilled();
    // Takes the decoded picture of another image.
    void TakeOver(CPixImage& source);

  private:
    uint8_t* AllocateBlock(int32_t width, int32_t height, uint32_t bitsPerPixel, uint32_t format,
                           bool zeroPixels);
    template <class Decoder> bool DecodeWith(CPixFile& file);
    bool DecodeAs(CPixFile& file, uint32_t format);

    std::unique_ptr<uint8_t[]> m_block;
    std::unique_ptr<uint8_t[]> m_alpha;
    uint8_t* m_pixels = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    uint32_t m_bpp = 0;
    uint32_t m_stride = 0;
    uint32_t m_colors = 0;
    int32_t m_transColor = -1;
    uint8_t m_alphaMax = 255;
    bool m_paletteAlpha = false;
    bool m_enabled = true;
    uint32_t m_format = PIXFORMAT_UNKNOWN;
    char m_lastError[256] = {};
};

} // namespace Velmora
