// Recordings on Windows: animated GIFs encoded by the Windows Imaging
// Component into a hidden temporary file in the folder, named once whole
// as the kept pictures are (kept_files.h). Each frame is the whole view as
// 8-bit indices with its own palette, shown for its delay and not disposed
// of; the file loops forever. WebP is not offered on Windows.
//
// The GIF encoder writes a frame's delay and the loop from the metadata
// set on it, where it takes that metadata. One that does not (Wine's
// writes neither) would make a file that plays at the viewer's own pace,
// once; the stream under the encoder therefore reads the GIF as it goes
// by and puts in the graphic control extension of any frame written
// without one, and the loop extension before the first frame when the
// encoder wrote none.
#include "platform/animation_file.h"

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/kept_files.h"

#include <objbase.h>
#include <wincodec.h>

using namespace kept_files;

namespace {

const std::uint8_t loop_extension[19] = {0x21, 0xFF, 11,  'N', 'E', 'T', 'S', 'C', 'A', 'P',
                                         'E',  '2',  '.', '0', 3,   1,   0,   0,   0};

// A write-only stream over the file that completes the GIF on its way
// through. The encoder sees only its own bytes: positions are its own, and
// it may not move back once something has been put in.
class GifStream final : public IStream {
public:
    explicit GifStream(IStream* file) : file_(file) { file_->AddRef(); }

    // The next frame's delay, in hundredths of a second.
    void set_delay(std::uint16_t hundredths) { delay_ = hundredths; }
    // The trailer went by: the encoder wrote a GIF this stream could follow.
    bool complete() const { return !follow_ || state_ == State::done; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_ISequentialStream) || IsEqualIID(iid, IID_IStream)) {
            *out = static_cast<IStream*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE Read(void* bytes, ULONG count, ULONG* read) override
    {
        return file_->Read(bytes, count, read);
    }
    HRESULT STDMETHODCALLTYPE Write(const void* bytes, ULONG count, ULONG* written) override
    {
        if (written)
            *written = 0;
        if (!bytes)
            return STG_E_INVALIDPOINTER;
        const auto* in = static_cast<const std::uint8_t*>(bytes);
        HRESULT hr = S_OK;
        if (follow_) {
            out_.clear();
            for (ULONG i = 0; i < count && SUCCEEDED(hr); ++i)
                hr = take(in[i]);
            if (SUCCEEDED(hr))
                hr = send(out_.data(), out_.size());
        } else {
            hr = send(in, count);
        }
        if (FAILED(hr))
            return hr;
        own_bytes_ += count;
        if (written)
            *written = count;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override
    {
        // While followed, the encoder's bytes are written at the end, one
        // after the other.
        const LONGLONG target = origin == STREAM_SEEK_SET ? move.QuadPart : LONGLONG(own_bytes_) + move.QuadPart;
        if (follow_ && (origin > STREAM_SEEK_END || target < 0))
            return STG_E_INVALIDFUNCTION;
        if (follow_ && ULONGLONG(target) == own_bytes_) {
            if (position)
                position->QuadPart = own_bytes_;
            return S_OK;
        }
        // Bytes put in would no longer be where the encoder thinks.
        if (added_ || held_)
            return STG_E_INVALIDFUNCTION;
        // An encoder that goes back to mend its own file writes complete
        // GIFs: from here its bytes pass as they are.
        follow_ = false;
        ULARGE_INTEGER at{};
        const HRESULT hr = file_->Seek(move, origin, &at);
        own_bytes_ = at.QuadPart;
        if (position)
            *position = at;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override
    {
        return added_ ? STG_E_INVALIDFUNCTION : file_->SetSize(size);
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override { return file_->Commit(flags); }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override
    {
        const HRESULT hr = file_->Stat(stat, flags);
        if (SUCCEEDED(hr))
            stat->cbSize.QuadPart -= added_;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream** out) override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }

private:
    enum class State { screen, colour_table, block, label, sub_block_size, sub_block, image, done };

    ~GifStream() { file_->Release(); }

    HRESULT send(const void* bytes, std::size_t count)
    {
        ULONG done = 0;
        const HRESULT hr = count ? file_->Write(bytes, static_cast<ULONG>(count), &done) : S_OK;
        return FAILED(hr) ? hr : done == count ? S_OK : STG_E_MEDIUMFULL;
    }
    // Bytes the encoder left out, before the one it is writing.
    void add(const std::uint8_t* bytes, std::size_t count)
    {
        out_.insert(out_.end(), bytes, bytes + count);
        added_ += count;
    }
    void add_loop()
    {
        looped_ = true;
        add(loop_extension, sizeof loop_extension);
    }

    // The encoder's next byte, onto out_ after anything it left out.
    HRESULT take(std::uint8_t b)
    {
        switch (state_) {
        case State::screen:
            // The signature and the logical screen, then any global colours.
            if (++count_ == 11)
                colours_ = (b & 0x80) ? 3 << ((b & 7) + 1) : 0;
            if (count_ == 13) {
                count_ = 0;
                state_ = colours_ ? State::colour_table : State::block;
            }
            break;
        case State::colour_table:
            if (++count_ == colours_)
                count_ = 0, state_ = State::block;
            break;
        case State::block:
            if (b == 0x21) {
                // Held until its label says whether the loop goes before it.
                held_ = true;
                state_ = State::label;
                return S_OK;
            }
            if (b == 0x2C) {
                if (!looped_)
                    add_loop();
                if (!controlled_) {
                    const std::uint8_t control[8] = {0x21, 0xF9, 4, 1 << 2, static_cast<std::uint8_t>(delay_),
                                                     static_cast<std::uint8_t>(delay_ >> 8), 0, 0};
                    add(control, sizeof control);
                }
                controlled_ = false;
                count_ = 0;
                state_ = State::image;
            } else if (b == 0x3B) {
                state_ = State::done;
            } else {
                return WINCODEC_ERR_BADHEADER;  // not a GIF this stream can follow
            }
            break;
        case State::label:
            if (b == 0xF9 && !looped_)
                add_loop();
            out_.push_back(0x21);
            held_ = false;
            controlled_ = controlled_ || b == 0xF9;
            application_ = b == 0xFF;
            identifier_.clear();
            state_ = State::sub_block_size;
            break;
        case State::sub_block_size:
            if (b == 0) {
                application_ = false;
                state_ = State::block;
            } else {
                count_ = b;
                state_ = State::sub_block;
            }
            break;
        case State::sub_block:
            if (application_)
                identifier_.push_back(static_cast<char>(b));
            if (--count_ == 0) {
                // Only an application extension's first block names it.
                looped_ = looped_ || (application_ && identifier_ == "NETSCAPE2.0");
                application_ = false;
                state_ = State::sub_block_size;
            }
            break;
        case State::image:
            // The descriptor, any local colours, the code size, then the data.
            if (++count_ == 9)
                colours_ = (b & 0x80) ? 3 << ((b & 7) + 1) : 0;
            if (count_ == 10 + colours_) {
                count_ = 0;
                state_ = State::sub_block_size;
            }
            break;
        case State::done:
            break;
        }
        out_.push_back(b);
        return S_OK;
    }

    IStream* file_;
    LONG references_ = 1;
    bool follow_ = true;        // reading the GIF as it passes
    bool held_ = false;         // an extension introducer not sent yet
    bool looped_ = false;       // the loop extension is in
    bool controlled_ = false;   // the coming frame has its control extension
    bool application_ = false;  // in an application extension's identifier
    std::string identifier_;
    State state_ = State::screen;
    std::vector<std::uint8_t> out_;
    int count_ = 0;
    int colours_ = 0;
    std::uint16_t delay_ = 0;
    ULONGLONG own_bytes_ = 0;  // what the encoder wrote, as far as it knows
    ULONGLONG added_ = 0;
};

}  // namespace

struct AnimationFile {
    std::string folder;  // as given, for the messages
    std::wstring temp;
    std::int32_t width = 0, height = 0;
    IStream* file = nullptr;
    GifStream* gif = nullptr;
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICPalette* palette = nullptr;
    std::vector<WICColor> colours = std::vector<WICColor>(256);
};

namespace {

// Metadata the encoder may not take: what it does not, the stream puts in.
void set_metadata(IWICMetadataQueryWriter* writer, const wchar_t* name, PROPVARIANT value)
{
    writer->SetMetadataByName(name, &value);
}

HRESULT start_gif(AnimationFile& a)
{
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&a.factory));
    if (SUCCEEDED(hr))
        hr = a.factory->CreatePalette(&a.palette);
    if (SUCCEEDED(hr))
        hr = a.factory->CreateStream(&a.stream);
    if (SUCCEEDED(hr))
        hr = a.stream->InitializeFromIStream(a.gif);
    if (SUCCEEDED(hr))
        hr = a.factory->CreateEncoder(GUID_ContainerFormatGif, nullptr, &a.encoder);
    if (SUCCEEDED(hr))
        hr = a.encoder->Initialize(a.stream, WICBitmapEncoderNoCache);
    IWICMetadataQueryWriter* writer = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(a.encoder->GetMetadataQueryWriter(&writer))) {
        static UCHAR application[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        static UCHAR forever[] = {3, 1, 0, 0, 0};  // sub-block 1: a loop count of 0
        PROPVARIANT value{};
        value.vt = VT_UI1 | VT_VECTOR;
        value.caub = {sizeof application, application};
        set_metadata(writer, L"/appext/application", value);
        value.caub = {sizeof forever, forever};
        set_metadata(writer, L"/appext/data", value);
    }
    release(writer);
    return hr;
}

HRESULT add_gif_frame(AnimationFile& a, const std::uint8_t* indices, const std::uint32_t* palette,
                      std::int32_t delay_ms)
{
    const auto hundredths = static_cast<std::uint16_t>(delay_ms / 10);
    for (int i = 0; i < 256; ++i)
        a.colours[static_cast<std::size_t>(i)] = 0xFF000000u | (palette[i] & 0xFFFFFFu);
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    IWICMetadataQueryWriter* writer = nullptr;
    HRESULT hr = a.encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(options);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(static_cast<UINT>(a.width), static_cast<UINT>(a.height));
    WICPixelFormatGUID format = GUID_WICPixelFormat8bppIndexed;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    // The encoder may only offer another format, which these indices are not.
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat8bppIndexed))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr))
        hr = a.palette->InitializeCustom(a.colours.data(), 256);
    if (SUCCEEDED(hr))
        hr = frame->SetPalette(a.palette);
    if (SUCCEEDED(hr) && SUCCEEDED(frame->GetMetadataQueryWriter(&writer))) {
        PROPVARIANT value{};
        value.vt = VT_UI2;
        value.uiVal = hundredths;
        set_metadata(writer, L"/grctlext/Delay", value);
        value.vt = VT_UI1;
        value.bVal = 1;  // left in place for the next frame to cover
        set_metadata(writer, L"/grctlext/Disposal", value);
    }
    a.gif->set_delay(hundredths);
    const UINT size = static_cast<UINT>(a.width) * static_cast<UINT>(a.height);
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(static_cast<UINT>(a.height), static_cast<UINT>(a.width), size,
                                const_cast<BYTE*>(indices));
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    release(writer);
    release(options);
    release(frame);
    return hr;
}

// Releases everything, the file last, which closes it.
void close_all(AnimationFile& a)
{
    release(a.palette);
    release(a.encoder);
    release(a.stream);
    release(a.factory);
    release(a.gif);
    release(a.file);
}

}  // namespace

bool animation_format_offered(AnimationFormat format) { return format == AnimationFormat::gif; }

const char* animation_extension(AnimationFormat format) { return format == AnimationFormat::gif ? "gif" : "webp"; }

AnimationFile* begin_animation(const std::string& folder, AnimationFormat format, std::int32_t width,
                               std::int32_t height, std::string& error)
{
    if (!animation_format_offered(format)) {
        error = "this build records GIF only";
        return nullptr;
    }
    auto* a = new AnimationFile;
    a->folder = folder;
    a->width = width;
    a->height = height;
    bool ok = com_ready(error) && open_hidden_temp(to_wide(folder), L"modra-recording", a->temp, a->file, error);
    if (ok) {
        a->gif = new GifStream(a->file);
        const HRESULT hr = start_gif(*a);
        if (FAILED(hr))
            error = describe(static_cast<DWORD>(hr));
        ok = SUCCEEDED(hr);
    }
    if (ok)
        return a;
    abandon_animation(a);
    error = "cannot record in " + folder + ": " + error;
    return nullptr;
}

bool add_animation_frame(AnimationFile* a, const std::uint8_t* indices, const std::uint32_t* palette,
                         std::int32_t delay_ms, std::string& error)
{
    static thread_local ThreadCom com;
    const HRESULT hr = add_gif_frame(*a, indices, palette, delay_ms);
    if (FAILED(hr))
        error = describe(static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

bool finish_animation(AnimationFile* a, const std::string& stem, std::string& path, std::string& error)
{
    HRESULT hr = a->encoder->Commit();
    if (SUCCEEDED(hr) && !a->gif->complete())
        hr = WINCODEC_ERR_BADHEADER;
    if (SUCCEEDED(hr))
        hr = a->file->Commit(STGC_DEFAULT);
    close_all(*a);
    const bool ok = name_recording(hr, a->temp, a->folder, stem, L"gif", path, error);
    abandon_animation(a);
    return ok;
}

void abandon_animation(AnimationFile* a)
{
    if (!a)
        return;
    close_all(*a);
    if (!a->temp.empty())
        DeleteFileW(a->temp.c_str());
    delete a;
}
