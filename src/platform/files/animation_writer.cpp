#include "platform/files/animation_writer.h"

#include <gif_lib.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstring>
#include <vector>

struct AnimationWriter {
    AnimationFormat format = AnimationFormat::gif;
    std::FILE* file = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool write_failed = false;
    // What the previous frame showed, to write only the part that changed.
    GifFileType* gif = nullptr;
    ColorMapObject* colours = nullptr;
    std::vector<std::uint8_t> previous_indices;
    std::vector<std::uint32_t> previous_palette;
    bool first = true;
    // WebP: each frame a lossless still of the part that changed, with its
    // own duration (the animation encoder would merge unchanged frames).
    WebPMux* webp = nullptr;
    WebPConfig config{};
    WebPPicture picture{};
};

namespace {

int write_bytes(GifFileType* gif, const GifByteType* bytes, int count)
{
    auto* writer = static_cast<AnimationWriter*>(gif->UserData);
    if (std::fwrite(bytes, 1, static_cast<std::size_t>(count), writer->file) != static_cast<std::size_t>(count)) {
        writer->write_failed = true;
        return 0;
    }
    return count;
}

bool failed(AnimationWriter& w, const char* what, std::string& error)
{
    error = w.write_failed ? std::strerror(errno ? errno : EIO) : what;
    return false;
}

void free_writer(AnimationWriter* w)
{
    if (!w)
        return;
    if (w->gif) {
        int ignored = 0;
        EGifCloseFile(w->gif, &ignored);
    }
    if (w->colours)
        GifFreeMapObject(w->colours);
    if (w->webp)
        WebPMuxDelete(w->webp);
    WebPPictureFree(&w->picture);
    delete w;
}

bool begin_gif(AnimationWriter& w, std::string& error)
{
    int status = 0;
    w.gif = EGifOpen(&w, write_bytes, &status);
    if (!w.gif)
        return failed(w, "cannot start a GIF", error);
    EGifSetGifVersion(w.gif, true);
    // Every frame brings its own colours; the loop extension plays it forever.
    static const GifByteType loop[3] = {1, 0, 0};
    if (EGifPutScreenDesc(w.gif, w.width, w.height, 8, 0, nullptr) == GIF_ERROR ||
        EGifPutExtensionLeader(w.gif, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(w.gif, 11, "NETSCAPE2.0") == GIF_ERROR ||
        EGifPutExtensionBlock(w.gif, 3, loop) == GIF_ERROR || EGifPutExtensionTrailer(w.gif) == GIF_ERROR)
        return failed(w, "cannot write the GIF header", error);
    w.colours = GifMakeMapObject(256, nullptr);
    w.previous_indices.resize(static_cast<std::size_t>(w.width) * w.height);
    w.previous_palette.resize(256);
    return w.colours || failed(w, "out of memory", error);
}

// The smallest rectangle outside which every pixel shows the colour it
// showed before; one pixel when nothing changed, since a frame needs one.
void changed_rectangle(const AnimationWriter& w, const std::uint8_t* indices, const std::uint32_t* palette,
                       int& left, int& top, int& right, int& bottom)
{
    left = w.width, top = w.height, right = 0, bottom = 0;
    for (int y = 0; y < w.height; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * w.width;
        for (int x = 0; x < w.width; ++x)
            if (palette[indices[row + x]] != w.previous_palette[w.previous_indices[row + x]]) {
                left = std::min(left, x), right = std::max(right, x + 1);
                top = std::min(top, y), bottom = std::max(bottom, y + 1);
            }
    }
    if (right == 0)
        left = top = 0, right = bottom = 1;
}

bool add_gif(AnimationWriter& w, const std::uint8_t* indices, const std::uint32_t* palette, std::int32_t delay_ms,
             std::string& error)
{
    int left = 0, top = 0, right = w.width, bottom = w.height;
    if (!w.first)
        changed_rectangle(w, indices, palette, left, top, right, bottom);
    w.first = false;
    for (int i = 0; i < 256; ++i)
        w.colours->Colors[i] = {static_cast<GifByteType>(palette[i] >> 16), static_cast<GifByteType>(palette[i] >> 8),
                                static_cast<GifByteType>(palette[i])};
    GraphicsControlBlock control{DISPOSE_DO_NOT, false, delay_ms / 10, NO_TRANSPARENT_COLOR};
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    if (EGifPutExtension(w.gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) == GIF_ERROR ||
        EGifPutImageDesc(w.gif, left, top, right - left, bottom - top, false, w.colours) == GIF_ERROR)
        return failed(w, "cannot write a GIF frame", error);
    for (int y = top; y < bottom; ++y) {
        auto* row = const_cast<GifByteType*>(indices + static_cast<std::size_t>(y) * w.width + left);
        if (EGifPutLine(w.gif, row, right - left) == GIF_ERROR)
            return failed(w, "cannot write a GIF frame", error);
    }
    std::memcpy(w.previous_indices.data(), indices, w.previous_indices.size());
    std::memcpy(w.previous_palette.data(), palette, 256 * sizeof(std::uint32_t));
    return true;
}

bool begin_webp(AnimationWriter& w, std::string& error)
{
    if (!WebPConfigInit(&w.config) || !WebPPictureInit(&w.picture))
        return failed(w, "cannot start a WebP", error);
    // Lossless, at an effort that keeps up with the frames.
    WebPConfigLosslessPreset(&w.config, 1);
    w.config.exact = 1;
    w.picture.use_argb = 1;
    w.picture.width = w.width;
    w.picture.height = w.height;
    w.webp = WebPMuxNew();
    const WebPMuxAnimParams forever{0xFF000000u, 0};
    if (!w.webp || !WebPPictureAlloc(&w.picture) || WebPMuxSetAnimationParams(w.webp, &forever) != WEBP_MUX_OK ||
        WebPMuxSetCanvasSize(w.webp, w.width, w.height) != WEBP_MUX_OK)
        return failed(w, "cannot start a WebP", error);
    w.previous_indices.resize(static_cast<std::size_t>(w.width) * w.height);
    w.previous_palette.resize(256);
    return true;
}

bool add_webp(AnimationWriter& w, const std::uint8_t* indices, const std::uint32_t* palette, std::int32_t delay_ms,
              std::string& error)
{
    int left = 0, top = 0, right = w.width, bottom = w.height;
    if (!w.first)
        changed_rectangle(w, indices, palette, left, top, right, bottom);
    w.first = false;
    // A frame's offsets are stored halved.
    left &= ~1, top &= ~1;
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* out = w.picture.argb + static_cast<std::ptrdiff_t>(y) * w.picture.argb_stride;
        const std::uint8_t* in = indices + static_cast<std::size_t>(y) * w.width;
        for (int x = left; x < right; ++x)
            out[x] = 0xFF000000u | palette[in[x]];
    }
    WebPPicture part;
    WebPMemoryWriter bytes;
    WebPMemoryWriterInit(&bytes);
    bool ok = WebPPictureView(&w.picture, left, top, right - left, bottom - top, &part);
    if (ok) {
        part.writer = WebPMemoryWrite;
        part.custom_ptr = &bytes;
        ok = WebPEncode(&w.config, &part);
    }
    WebPMuxFrameInfo frame{};
    frame.bitstream = {bytes.mem, bytes.size};
    frame.x_offset = left;
    frame.y_offset = top;
    frame.duration = delay_ms;
    frame.id = WEBP_CHUNK_ANMF;
    frame.dispose_method = WEBP_MUX_DISPOSE_NONE;
    frame.blend_method = WEBP_MUX_NO_BLEND;
    ok = ok && WebPMuxPushFrame(w.webp, &frame, 1) == WEBP_MUX_OK;
    WebPMemoryWriterClear(&bytes);
    if (!ok)
        return failed(w, "cannot encode a WebP frame", error);
    std::memcpy(w.previous_indices.data(), indices, w.previous_indices.size());
    std::memcpy(w.previous_palette.data(), palette, 256 * sizeof(std::uint32_t));
    return true;
}

bool close_webp(AnimationWriter& w, std::string& error)
{
    WebPData data;
    WebPDataInit(&data);
    if (WebPMuxAssemble(w.webp, &data) != WEBP_MUX_OK)
        return failed(w, "cannot assemble the WebP", error);
    const bool written = std::fwrite(data.bytes, 1, data.size, w.file) == data.size;
    WebPDataClear(&data);
    if (!written)
        w.write_failed = true;
    return written || failed(w, "", error);
}

}  // namespace

std::unique_ptr<AnimationWriter, void (*)(AnimationWriter*)> open_animation_writer(
    std::FILE* file, AnimationFormat format, std::int32_t width, std::int32_t height, std::string& error)
{
    std::unique_ptr<AnimationWriter, void (*)(AnimationWriter*)> w(new AnimationWriter, free_writer);
    w->format = format;
    w->file = file;
    w->width = width;
    w->height = height;
    errno = 0;
    if (!(format == AnimationFormat::gif ? begin_gif(*w, error) : begin_webp(*w, error)))
        w.reset();
    return w;
}

bool write_animation_frame(AnimationWriter& w, const std::uint8_t* indices, const std::uint32_t* palette,
                           std::int32_t delay_ms, std::string& error)
{
    errno = 0;
    return w.format == AnimationFormat::gif ? add_gif(w, indices, palette, delay_ms, error)
                                            : add_webp(w, indices, palette, delay_ms, error);
}

bool close_animation_writer(AnimationWriter& w, std::string& error)
{
    errno = 0;
    if (w.format == AnimationFormat::webp)
        return close_webp(w, error);
    int status = 0;
    const int closed = EGifCloseFile(w.gif, &status);
    w.gif = nullptr;
    return closed != GIF_ERROR || failed(w, "cannot end the GIF", error);
}
