// Owners of the GDI objects that painting creates: a selection undone on
// leaving, a pen, brush or bitmap, the device context of a paint or of a
// whole window, a memory device context, and a memory device context with a
// bitmap of its own.
#pragma once

#include <windows.h>

namespace Velmora {

// Selects a GDI object into a device context and selects the previous one back.
class CSelectObject {
  public:
    CSelectObject(HDC dc, HGDIOBJ object)
        : m_dc(dc), m_previous(object ? SelectObject(dc, object) : nullptr) {}
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    ~CSelectObject() {
        if (m_previous)
            SelectObject(m_dc, m_previous);
    }

  private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// Owns a pen, brush or bitmap that the painter created.
template <class Handle> class CGdiHandle {
  public:
    explicit CGdiHandle(Handle handle = nullptr) : m_handle(handle) {}
    CGdiHandle(const CGdiHandle&) = delete;
    CGdiHandle& operator=(const CGdiHandle&) = delete;
    ~CGdiHandle() {
        if (m_handle)
            DeleteObject(m_handle);
    }
    Handle Get() const { return m_handle; }
    // Deletes the object held so far and holds handle instead.
    void Reset(Handle handle = nullptr) {
        if (m_handle && m_handle != handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }
    // Hands the object to a new owner (SetWindowRgn takes a region over).
    Handle Release() {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

  private:
    Handle m_handle;
};

// The device context of one WM_PAINT: BeginPaint on making, EndPaint on leaving.
class CPaintDC {
  public:
    explicit CPaintDC(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    ~CPaintDC() {
        if (m_dc)
            EndPaint(m_window, &m_paint);
    }
    HDC Get() const { return m_dc; }

  private:
    HWND m_window;
    PAINTSTRUCT m_paint = {};
    HDC m_dc;
};

// The device context of a whole window, non-client area included.
class CWindowDC {
  public:
    explicit CWindowDC(HWND window) : m_window(window), m_dc(GetWindowDC(window)) {}
    CWindowDC(const CWindowDC&) = delete;
    CWindowDC& operator=(const CWindowDC&) = delete;
    ~CWindowDC() {
        if (m_dc)
            ReleaseDC(m_window, m_dc);
    }
    HDC Get() const { return m_dc; }

  private:
    HWND m_window;
    HDC m_dc;
};

// A memory device context compatible with another one.
class CMemoryDC {
  public:
    explicit CMemoryDC(HDC compatibleWith) : m_dc(CreateCompatibleDC(compatibleWith)) {}
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    ~CMemoryDC() {
        if (m_dc)
            DeleteDC(m_dc);
    }
    HDC Get() const { return m_dc; }

  private:
    HDC m_dc;
};

// A memory device context with its own bitmap, released together.
class CMemoryCanvas {
  public:
    CMemoryCanvas() = default;
    CMemoryCanvas(const CMemoryCanvas&) = delete;
    CMemoryCanvas& operator=(const CMemoryCanvas&) = delete;
    ~CMemoryCanvas() { Reset(); }

    bool Create(HDC compatibleWith, int width, int height);
    // Takes bitmap (its width by height pixels) as its own, in a device
    // context compatible with compatibleWith; false, and bitmap deleted, when
    // no device context can be had.
    bool Adopt(HDC compatibleWith, HBITMAP bitmap, int width, int height);
    void Reset();
    HDC GetDC() const { return m_dc; }
    bool IsValid() const { return m_dc != nullptr; }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }

  private:
    void Hold(HDC dc, HBITMAP bitmap, int width, int height);

    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    int m_width = 0;
    int m_height = 0;
};

} // namespace Velmora
