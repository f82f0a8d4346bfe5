// Kept pictures on Windows: the Pictures known folder, a PNG encoded by the
// Windows Imaging Component (or a replay's text, as it is) into a hidden
// temporary file beside the picture, and the final name taken by a move that fails rather than
// replace a file that is there. Paths are UTF-8 outside, UTF-16 inside.
// The file pieces serve the recordings too (kept_files.h).
#include "platform/picture_files.h"

#include <cstdio>
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/kept_files.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <wincodec.h>

namespace kept_files {

std::wstring to_wide(const std::string& text)
{
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
    return out;
}

std::string to_utf8(const wchar_t* text)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1)
        return {};
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), length, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(length) - 1);
    return out;
}

// The system's words for an error code (a Win32 error or an HRESULT), one
// line.
std::string describe(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string out = length && text ? to_utf8(text) : std::string();
    LocalFree(text);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
        out.pop_back();
    if (out.empty()) {
        char number[32];
        std::snprintf(number, sizeof number, "error 0x%08lX", static_cast<unsigned long>(code));
        out = number;
    }
    return out;
}

bool com_ready(std::string& error)
{
    static HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (SUCCEEDED(result) || result == RPC_E_CHANGED_MODE)
        return true;
    error = describe(static_cast<DWORD>(result));
    return false;
}

bool claim_hidden_temp(const std::wstring& folder, const std::wstring& stem, std::wstring& temp, std::string& error)
{
    HANDLE claim = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && claim == INVALID_HANDLE_VALUE; ++attempt) {
        temp = folder + L"\\." + stem + L".part" + std::to_wstring(attempt);
        claim = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (claim == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (claim == INVALID_HANDLE_VALUE) {
        error = describe(GetLastError());
        temp.clear();
        return false;
    }
    CloseHandle(claim);
    return true;
}

bool open_hidden_temp(const std::wstring& folder, const std::wstring& stem, std::wstring& temp, IStream*& stream,
                      std::string& error)
{
    stream = nullptr;
    if (!claim_hidden_temp(folder, stem, temp, error))
        return false;
    // Opened again as a stream: the file exists, so its hidden attribute
    // stands.
    const HRESULT hr = SHCreateStreamOnFileEx(temp.c_str(), STGM_WRITE | STGM_SHARE_EXCLUSIVE, FILE_ATTRIBUTE_HIDDEN,
                                              FALSE, nullptr, &stream);
    if (FAILED(hr))
        error = describe(static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

bool take_free_name(const std::wstring& temp, const std::wstring& base, const wchar_t* extension, std::wstring& path,
                    std::string& error)
{
    for (int n = 1; n <= 1000; ++n) {
        path = base + (n == 1 ? L"" : L"-" + std::to_wstring(n)) + L"." + extension;
        if (MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
            // The move keeps the temporary file's attributes.
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            return true;
        }
        const DWORD cause = GetLastError();
        if (cause == ERROR_ALREADY_EXISTS || cause == ERROR_FILE_EXISTS)
            continue;
        error = describe(cause);
        return false;
    }
    error = "every name is taken";
    return false;
}

bool name_recording(HRESULT written, std::wstring& temp, const std::string& folder, const std::string& stem,
                    const wchar_t* extension, std::string& path, std::string& error)
{
    std::wstring wide_path;
    bool ok = SUCCEEDED(written);
    if (!ok)
        error = describe(static_cast<DWORD>(written));
    ok = ok && take_free_name(temp, to_wide(folder) + L"\\" + to_wide(stem), extension, wide_path, error);
    if (ok) {
        path = to_utf8(wide_path.c_str());
        temp.clear();
    } else
        error = "cannot record in " + folder + ": " + error;
    return ok;
}

}  // namespace kept_files

namespace {

using namespace kept_files;

bool is_folder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Encodes the pixels as a PNG into `stream`, as 24-bit BGR rows.
HRESULT encode_png(IStream* stream, const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                   std::int32_t pitch)
{
    const UINT stride = static_cast<UINT>(width) * 3;
    std::vector<BYTE> rows(std::size_t{stride} * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        const auto* src = reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const std::uint8_t*>(pixels) +
                                                                 std::ptrdiff_t{pitch} * y);
        BYTE* out = rows.data() + std::size_t{stride} * static_cast<std::size_t>(y);
        for (std::int32_t x = 0; x < width; ++x) {
            *out++ = static_cast<BYTE>(src[x]);
            *out++ = static_cast<BYTE>(src[x] >> 8);
            *out++ = static_cast<BYTE>(src[x] >> 16);
        }
    }
    IWICImagingFactory* factory = nullptr;
    IWICStream* wic_stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory));
    if (SUCCEEDED(hr))
        hr = factory->CreateStream(&wic_stream);
    if (SUCCEEDED(hr))
        hr = wic_stream->InitializeFromIStream(stream);
    if (SUCCEEDED(hr))
        hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder);
    if (SUCCEEDED(hr))
        hr = encoder->Initialize(wic_stream, WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder->CreateNewFrame(&frame, &options);
    if (SUCCEEDED(hr))
        hr = frame->Initialize(options);
    if (SUCCEEDED(hr))
        hr = frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height));
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = frame->SetPixelFormat(&format);
    // The encoder may only offer another format, which these rows are not.
    if (SUCCEEDED(hr) && !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr))
        hr = frame->WritePixels(static_cast<UINT>(height), stride, static_cast<UINT>(rows.size()), rows.data());
    if (SUCCEEDED(hr))
        hr = frame->Commit();
    if (SUCCEEDED(hr))
        hr = encoder->Commit();
    if (SUCCEEDED(hr))
        hr = stream->Commit(STGC_DEFAULT);
    release(options);
    release(frame);
    release(encoder);
    release(wic_stream);
    release(factory);
    return hr;
}

// A new hidden file beside the picture, written whole or reported.
bool write_temporary(const std::wstring& folder, const std::wstring& stem, const std::uint32_t* pixels,
                     std::int32_t width, std::int32_t height, std::int32_t pitch, std::wstring& temp,
                     std::string& error)
{
    IStream* file = nullptr;
    if (!open_hidden_temp(folder, stem, temp, file, error))
        return false;
    const HRESULT hr = encode_png(file, pixels, width, height, pitch);
    release(file);  // closes the file
    if (FAILED(hr))
        error = describe(static_cast<DWORD>(hr));
    return SUCCEEDED(hr);
}

}  // namespace

const char* const keep_key_help = "S   keep the picture, as a PNG in your pictures folder\n";
const char* const record_key_help =
    "R   record a video there (MP4, with the sound when listening), until R again (a minute at most)\n";
const char* const gif_key_help =
    "Shift+R   record the picture as a GIF there, every pixel kept, until Shift+R again\n";

std::string pictures_folder()
{
    wchar_t* known = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &known)) && known && is_folder(known))
        folder = to_utf8(known);
    CoTaskMemFree(known);
    return folder.empty() ? "." : folder;
}

std::string local_time_stamp()
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

namespace {

// The written temporary under the first free name of stem.EXTENSION, or
// gone; `what` begins the error.
bool name_or_discard(bool written, const std::wstring& temp, const std::string& folder, const std::string& stem,
                     const wchar_t* extension, const char* what, std::string& path, std::string& error)
{
    std::wstring final_path;
    const bool ok =
        written && take_free_name(temp, to_wide(folder) + L"\\" + to_wide(stem), extension, final_path, error);
    if (ok) {
        path = to_utf8(final_path.c_str());
        return true;
    }
    if (!temp.empty())
        DeleteFileW(temp.c_str());
    error = what + folder + ": " + error;
    return false;
}

}  // namespace

bool save_new_png(const std::string& folder, const std::string& stem, const std::uint32_t* pixels,
                  std::int32_t width, std::int32_t height, std::int32_t pitch, std::string& path,
                  std::string& error)
{
    std::wstring temp;
    const bool written =
        com_ready(error) && write_temporary(to_wide(folder), to_wide(stem), pixels, width, height, pitch, temp, error);
    return name_or_discard(written, temp, folder, stem, L"png", "cannot save a picture in ", path, error);
}

bool save_new_text(const std::string& folder, const std::string& stem, const char* extension, const std::string& text,
                   std::string& path, std::string& error)
{
    std::wstring temp;
    bool ok = claim_hidden_temp(to_wide(folder), to_wide(stem), temp, error);
    if (ok) {
        // Opened again as it is, so that it stays hidden until named.
        const HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                        FILE_ATTRIBUTE_HIDDEN, nullptr);
        DWORD written = 0;
        ok = file != INVALID_HANDLE_VALUE && text.size() <= MAXDWORD &&
             WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
             written == text.size();
        if (!ok)
            error = describe(GetLastError());
        if (file != INVALID_HANDLE_VALUE && !CloseHandle(file) && ok) {
            ok = false;
            error = describe(GetLastError());
        }
    }
    return name_or_discard(ok, temp, folder, stem, to_wide(extension).c_str(), "cannot keep a file in ", path, error);
}
