#include "PixImageGIF.h"

#include "PixBytes.h"

#include <cstring>

namespace Velmora {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr int kMaxCodes = 1 << kMaxCodeBits;

// Reads the variable-width codes of the image data, least significant bit first.
class CodeReader {
  public:
    explicit CodeReader(const std::vector<uint8_t>& data) : m_data(data) {}
    bool Next(int bits, int* code) {
        while (m_count < bits) {
            if (m_position >= m_data.size())
                return false;
            m_buffer |= static_cast<uint32_t>(m_data[m_position++]) << m_count;
            m_count += 8;
        }
        *code = static_cast<int>(m_buffer & ((1u << bits) - 1));
        m_buffer >>= bits;
        m_count -= bits;
        return true;
    }

  private:
    const std::vector<uint8_t>& m_data;
    size_t m_position = 0;
    uint32_t m_buffer = 0;
    int m_count = 0;
};

// Places the frame's pixels on the canvas in the frame's row order.
class FrameWriter {
  public:
    FrameWriter(CPixImage& canvas, int32_t left, int32_t top, int32_t width, int32_t height,
                bool interlaced)
        : m_canvas(canvas), m_left(left), m_top(top), m_width(width), m_height(height) {
        m_rows.reserve(static_cast<size_t>(height));
        if (interlaced) {
            static const int32_t kStart[] = {0, 4, 2, 1};
            static const int32_t kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int32_t row = kStart[pass]; row < height; row += kStep[pass])
                    m_rows.push_back(row);
        } else {
            for (int32_t row = 0; row < height; ++row)
                m_rows.push_back(row);
        }
    }
    bool Done() const { return m_index >= m_rows.size(); }
    void Put(uint8_t value) {
        if (Done())
            return;
        const int64_t x = static_cast<int64_t>(m_left) + m_x;
        const int64_t y = static_cast<int64_t>(m_top) + m_rows[m_index];
        if (x < m_canvas.GetWidth() && y < m_canvas.GetHeight())
            m_canvas.GetRow(static_cast<int32_t>(y))[x] = value;
        if (++m_x == m_width) {
            m_x = 0;
            ++m_index;
        }
    }

  private:
    CPixImage& m_canvas;
    int32_t m_left, m_top, m_width, m_height;
    std::vector<int32_t> m_rows;
    size_t m_index = 0;
    int32_t m_x = 0;
};

// Expands the LZW stream; stops quietly at the end of the data or at a bad code,
// leaving the rest of the frame as it was.
void ExpandLzw(int minCodeSize, const std::vector<uint8_t>& data, FrameWriter& writer) {
    std::vector<uint16_t> prefix(kMaxCodes);
    std::vector<uint8_t> suffix(kMaxCodes);
    std::vector<uint8_t> stack(kMaxCodes + 1);
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int previous = -1;
    uint8_t first = 0;
    CodeReader reader(data);
    int code;
    while (!writer.Done() && reader.Next(codeSize, &code)) {
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            previous = -1;
            continue;
        }
        if (code == end)
            break;
        if (previous < 0) {
            if (code >= clear)
                break;
            first = static_cast<uint8_t>(code);
            writer.Put(first);
            previous = code;
            continue;
        }
        const int incoming = code;
        size_t depth = 0;
        if (code > next || (code == next && next >= kMaxCodes))
            break;
        if (code == next) {
            stack[depth++] = first;
            code = previous;
        }
        while (code > end) {
            if (depth >= kMaxCodes)
                return;
            stack[depth++] = suffix[code];
            code = prefix[code];
        }
        first = static_cast<uint8_t>(code);
        stack[depth++] = first;
        while (depth)
            writer.Put(stack[--depth]);
        if (next < kMaxCodes) {
            prefix[next] = static_cast<uint16_t>(previous);
            suffix[next] = first;
            ++next;
            if (next == (1 << codeSize) && codeSize < kMaxCodeBits)
                ++codeSize;
        }
        previous = incoming;
    }
}

} // namespace

bool CPixImageGIF::ReadSubBlocks(CPixFile& file, std::vector<uint8_t>* data) {
    uint8_t block[255];
    for (;;) {
        const long length = file.GetC();
        if (length < 0) {
            SetLastError("GIF: data truncated");
            return false;
        }
        if (length == 0)
            return true;
        if (!PixReadExact(file, block, static_cast<size_t>(length))) {
            SetLastError("GIF: data truncated");
            return false;
        }
        if (data)
            data->insert(data->end(), block, block + length);
    }
}

bool CPixImageGIF::Decode(CPixFile& file) {
    uint8_t header[13];
    if (!PixReadExact(file, header, sizeof(header)) ||
        (std::memcmp(header, "GIF87a", 6) != 0 && std::memcmp(header, "GIF89a", 6) != 0)) {
        SetLastError("GIF: not a GIF file");
        return false;
    }
    int32_t screenWidth = PixLoad16(header + 6);
    int32_t screenHeight = PixLoad16(header + 8);
    const uint8_t screenFlags = header[10];
    const uint8_t background = header[11];
    uint8_t globalTable[256 * 3] = {};
    uint32_t globalColors = 0;
    if (screenFlags & 0x80) {
        globalColors = 2u << (screenFlags & 7);
        if (!PixReadExact(file, globalTable, globalColors * 3)) {
            SetLastError("GIF: colour table truncated");
            return false;
        }
    }

    int32_t transparent = -1;
    for (;;) {
        const long introducer = file.GetC();
        if (introducer == 0x21) {
            const long label = file.GetC();
            if (label < 0) {
                SetLastError("GIF: data truncated");
                return false;
            }
            if (label == 0xF9) {
                uint8_t control[5];
                if (!PixReadExact(file, control, 1) || control[0] < 4 ||
                    !PixReadExact(file, control + 1, 4)) {
                    SetLastError("GIF: bad graphic control");
                    return false;
                }
                transparent = (control[1] & 1) ? control[4] : -1;
                // Rest of a longer first block, then the remaining blocks.
                std::vector<uint8_t> rest(control[0] - 4u);
                if (!PixReadExact(file, rest.data(), rest.size())) {
                    SetLastError("GIF: data truncated");
                    return false;
                }
            }
            if (!ReadSubBlocks(file, nullptr))
                return false;
            continue;
        }
        if (introducer != 0x2C) {
            SetLastError(introducer == 0x3B ? "GIF: no image in file" : "GIF: bad block");
            return false;
        }
        break;
    }

    uint8_t descriptor[9];
    if (!PixReadExact(file, descriptor, sizeof(descriptor))) {
        SetLastError("GIF: data truncated");
        return false;
    }
    const int32_t left = PixLoad16(descriptor);
    const int32_t top = PixLoad16(descriptor + 2);
    const int32_t frameWidth = PixLoad16(descriptor + 4);
    const int32_t frameHeight = PixLoad16(descriptor + 6);
    const uint8_t frameFlags = descriptor[8];
    if (frameWidth == 0 || frameHeight == 0) {
        SetLastError("GIF: empty frame");
        return false;
    }
    uint8_t localTable[256 * 3] = {};
    uint32_t localColors = 0;
    if (frameFlags & 0x80) {
        localColors = 2u << (frameFlags & 7);
        if (!PixReadExact(file, localTable, localColors * 3)) {
            SetLastError("GIF: colour table truncated");
            return false;
        }
    }
    const long minCodeSize = file.GetC();
    if (minCodeSize < 1 || minCodeSize > 8) {
        SetLastError("GIF: bad code size");
        return false;
    }
    std::vector<uint8_t> compressed;
    if (!ReadSubBlocks(file, &compressed))
        return false;

    if (screenWidth == 0 || screenHeight == 0) {
        screenWidth = left + frameWidth;
        screenHeight = top + frameHeight;
    }
    if (!Allocate(screenWidth, screenHeight, 8, PIXFORMAT_GIF))
        return false;
    const uint8_t* table = localColors ? localTable : globalTable;
    const uint32_t colors = localColors ? localColors : globalColors;
    if (colors) {
        for (uint32_t i = 0; i < 256; ++i) {
            if (i < colors)
                SetPaletteColor(i, table[i * 3], table[i * 3 + 1], table[i * 3 + 2]);
            else
                SetPaletteColor(i, 0, 0, 0);
        }
    }
    // Outside the frame the screen shows the background, or nothing when the
    // frame has a transparent index.
    const uint8_t fill = transparent >= 0 ? static_cast<uint8_t>(transparent) : background;
    std::memset(GetBits(), fill, GetPixelSize());
    FrameWriter writer(*this, left, top, frameWidth, frameHeight, (frameFlags & 0x40) != 0);
    ExpandLzw(static_cast<int>(minCodeSize), compressed, writer);
    SetTransColor(transparent);
    return true;
}

} // namespace Velmora
