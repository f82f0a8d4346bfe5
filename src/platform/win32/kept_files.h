// What the kept pictures and the recordings share on Windows: UTF-8 paths
// outside and UTF-16 inside, COM on the thread, the system's words for an
// error, a hidden temporary file opened as a stream, and the final name
// taken by a move that fails rather than replace a file that is there.
// Defined in picture_files.cpp.
#pragma once

#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <objbase.h>
#include <objidl.h>

namespace kept_files {

std::wstring to_wide(const std::string& text);
std::string to_utf8(const wchar_t* text);
// One line, for a Win32 error or an HRESULT.
std::string describe(DWORD code);
// COM on the calling thread, once for the program's first thread; a thread
// that has it already in the other apartment model serves as well.
bool com_ready(std::string& error);

// COM on a thread that brings frames, for as long as the thread lasts.
struct ThreadCom {
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ~ThreadCom()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
};

// A new, empty hidden file in `folder` named after `stem`, closed; its path
// in `temp`, empty when nothing was made. Only a file that exists keeps its
// hidden attribute when opened again for writing.
bool claim_hidden_temp(const std::wstring& folder, const std::wstring& stem, std::wstring& temp, std::string& error);
// The same, open for writing as `stream`.
bool open_hidden_temp(const std::wstring& folder, const std::wstring& stem, std::wstring& temp, IStream*& stream,
                      std::string& error);
// Gives the written, closed temporary file the name base.EXTENSION, or the
// next free one of base-2.EXTENSION ..., no longer hidden.
bool take_free_name(const std::wstring& temp, const std::wstring& base, const wchar_t* extension, std::wstring& path,
                    std::string& error);
// A recording's last step, its temporary file closed: named stem.EXTENSION
// in `folder` (as take_free_name) where `written` says the file is whole,
// and `temp` then cleared. False with `error`, one line, otherwise.
bool name_recording(HRESULT written, std::wstring& temp, const std::string& folder, const std::string& stem,
                    const wchar_t* extension, std::string& path, std::string& error);

template <class T>
void release(T*& object)
{
    if (object)
        object->Release();
    object = nullptr;
}

}  // namespace kept_files
