#include "platform/win32/media_foundation.h"

#include <string>

namespace {

// From the system folder alone: a DLL of the same name beside the program
// or in the current folder is not Media Foundation.
HMODULE system_library(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return LoadLibraryW((std::wstring(folder) + L"\\" + name).c_str());
}

template <class F>
bool find(HMODULE library, const char* name, F& function)
{
    function = library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
    return function != nullptr;
}

bool load(MediaFoundation& mf)
{
    const HMODULE platform = system_library(L"mfplat.dll"), readwrite = system_library(L"mfreadwrite.dll");
    return find(platform, "MFStartup", mf.startup) && find(platform, "MFShutdown", mf.shutdown) &&
           find(platform, "MFTEnumEx", mf.enumerate) && find(platform, "MFCreateAttributes", mf.create_attributes) &&
           find(platform, "MFCreateMediaType", mf.create_media_type) &&
           find(platform, "MFCreateMemoryBuffer", mf.create_memory_buffer) &&
           find(platform, "MFCreateSample", mf.create_sample) && find(platform, "MFCreateFile", mf.create_file) &&
           find(readwrite, "MFCreateSinkWriterFromURL", mf.create_sink_writer);
}

}  // namespace

const MediaFoundation* media_foundation()
{
    static MediaFoundation mf{};
    static const bool loaded = load(mf);
    return loaded ? &mf : nullptr;
}

bool has_h264_encoder(const MediaFoundation& mf)
{
    if (FAILED(mf.startup(MF_VERSION, MFSTARTUP_FULL)))
        return false;
    const MFT_REGISTER_TYPE_INFO h264 = {MFMediaType_Video, MFVideoFormat_H264};
    IMFActivate** found = nullptr;
    UINT32 count = 0;
    const UINT32 flags = MFT_ENUM_FLAG_SYNCMFT | MFT_ENUM_FLAG_LOCALMFT | MFT_ENUM_FLAG_SORTANDFILTER;
    const HRESULT hr = mf.enumerate(MFT_CATEGORY_VIDEO_ENCODER, flags, nullptr, &h264, &found, &count);
    for (UINT32 i = 0; SUCCEEDED(hr) && i < count; ++i)
        found[i]->Release();
    CoTaskMemFree(found);
    mf.shutdown();
    return SUCCEEDED(hr) && count > 0;
}
