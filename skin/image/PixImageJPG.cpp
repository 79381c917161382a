#include "PixImageJPG.h"

#include "PixFile.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

namespace Velmora {

namespace {

// Progressive files may carry any number of scans; real ones use about a dozen.
constexpr int kMaxScans = 500;
// Working memory libjpeg may take besides the image (coefficients of a
// progressive file); beyond it decoding fails instead of exhausting memory.
constexpr long kMaxDecoderMemory = 256L * 1024 * 1024;

struct JpegSource {
    jpeg_source_mgr manager;
    CPixFile* file;
    JOCTET buffer[4096];
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
    auto* source = reinterpret_cast<JpegSource*>(info->src);
    const size_t count = source->file->Read(source->buffer, 1, sizeof(source->buffer));
    if (count == 0)
        ERREXIT(info, JERR_INPUT_EOF);
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = count;
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count) {
    auto* source = reinterpret_cast<JpegSource*>(info->src);
    if (count <= 0)
        return;
    if (static_cast<size_t>(count) <= source->manager.bytes_in_buffer) {
        source->manager.next_input_byte += count;
        source->manager.bytes_in_buffer -= static_cast<size_t>(count);
        return;
    }
    count -= static_cast<long>(source->manager.bytes_in_buffer);
    source->manager.bytes_in_buffer = 0;
    if (!source->file->Seek(count, SEEK_CUR))
        ERREXIT(info, JERR_INPUT_EOF);
}

void TermSource(j_decompress_ptr) {}

void OnProgress(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > kMaxScans)
        ERREXIT(info, JERR_NOTIMPL);
}

} // namespace

// Everything the decode touches after setjmp lives here, outside the frame that
// the error hook jumps back to.
struct JpegDecodeState {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    jpeg_progress_mgr progress;
    JpegSource source;
    std::jmp_buf jump;
    bool created = false;
    std::vector<uint8_t> row;
    char message[JMSG_LENGTH_MAX + 8] = "JPEG: decoding failed";

    ~JpegDecodeState() {
        if (created)
            jpeg_destroy_decompress(&info);
    }

    static void OnError(j_common_ptr info) {
        auto* state = static_cast<JpegDecodeState*>(info->client_data);
        char text[JMSG_LENGTH_MAX];
        (*info->err->format_message)(info, text);
        std::snprintf(state->message, sizeof(state->message), "JPEG: %s", text);
        std::longjmp(state->jump, 1);
    }
    static void OnMessage(j_common_ptr) {}
};

bool CPixImageJPG::Decode(CPixFile& file) {
    std::unique_ptr<JpegDecodeState> state(new (std::nothrow) JpegDecodeState);
    if (!state) {
        SetLastError("JPEG: out of memory");
        return false;
    }
    state->info.err = jpeg_std_error(&state->errors);
    state->errors.error_exit = JpegDecodeState::OnError;
    state->errors.output_message = JpegDecodeState::OnMessage;
    if (setjmp(state->jump)) {
        SetLastError(state->message);
        return false;
    }
    jpeg_create_decompress(&state->info);
    state->created = true;
    state->info.client_data = state.get();
    state->source.file = &file;
    state->source.manager.init_source = InitSource;
    state->source.manager.fill_input_buffer = FillInputBuffer;
    state->source.manager.skip_input_data = SkipInputData;
    state->source.manager.resync_to_restart = jpeg_resync_to_restart;
    state->source.manager.term_source = TermSource;
    state->source.manager.bytes_in_buffer = 0;
    state->source.manager.next_input_byte = nullptr;
    state->info.src = &state->source.manager;
    state->progress.progress_monitor = OnProgress;
    state->info.progress = &state->progress;
    return DecodeRows(*state);
}

bool CPixImageJPG::DecodeRows(JpegDecodeState& state) {
    jpeg_decompress_struct& info = state.info;
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_read_header(&info, TRUE);
    const bool gray = info.jpeg_color_space == JCS_GRAYSCALE;
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = gray ? JCS_GRAYSCALE : (cmyk ? JCS_CMYK : JCS_EXT_BGR);
    // The picture is checked against the image limits before libjpeg sets up
    // its own buffers for it.
    if (info.image_width == 0 || info.image_height == 0 ||
        !AllocateRows(static_cast<int32_t>(info.image_width),
                      static_cast<int32_t>(info.image_height), gray ? 8 : 24, PIXFORMAT_JPG))
        return false;
    jpeg_start_decompress(&info);
    if (info.output_width != static_cast<JDIMENSION>(GetWidth()) ||
        info.output_height != static_cast<JDIMENSION>(GetHeight()) ||
        info.output_components != (gray ? 1 : (cmyk ? 4 : 3))) {
        SetLastError("JPEG: unexpected output size");
        return false;
    }
    if (cmyk) {
        try {
            state.row.resize(static_cast<size_t>(GetWidth()) * 4);
        } catch (const std::bad_alloc&) {
            SetLastError("JPEG: out of memory");
            return false;
        }
    }
    const bool adobeInverted = info.saw_Adobe_marker;
    const size_t used = static_cast<size_t>(GetWidth()) * (gray ? 1 : 3);
    int32_t rowsDone = 0;
    while (rowsDone < GetHeight()) {
        uint8_t* pixels = GetRow(rowsDone);
        JSAMPROW target = cmyk ? state.row.data() : pixels;
        if (jpeg_read_scanlines(&info, &target, 1) != 1)
            break;
        ++rowsDone;
        std::memset(pixels + used, 0, GetEffWidth() - used);
        if (!cmyk)
            continue;
        for (int32_t x = 0; x < GetWidth(); ++x) {
            unsigned c = target[x * 4], m = target[x * 4 + 1], y = target[x * 4 + 2],
                     k = target[x * 4 + 3];
            if (!adobeInverted) {
                c = 255 - c;
                m = 255 - m;
                y = 255 - y;
                k = 255 - k;
            }
            pixels[x * 3] = static_cast<uint8_t>(y * k / 255);
            pixels[x * 3 + 1] = static_cast<uint8_t>(m * k / 255);
            pixels[x * 3 + 2] = static_cast<uint8_t>(c * k / 255);
        }
    }
    // Rows the decoder never delivered stay black rather than undefined.
    for (int32_t top = rowsDone; top < GetHeight(); ++top)
        std::memset(GetRow(top), 0, GetEffWidth());
    // The end marker is not needed; a file cut after its last scan still shows whole.
    return true;
}

} // namespace Velmora
