#include "platform/win32/given_files.h"

#include "platform/win32/kept_files.h"

namespace {

std::string last_dropped;

}  // namespace

std::vector<std::string> program_arguments()
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> out;
    for (int i = 1; wide && i < count; ++i)
        out.push_back(kept_files::to_utf8(wide[i]));
    LocalFree(wide);
    return out;
}

void accept_dropped_files(WindowHandle window) { DragAcceptFiles(to_hwnd(window), TRUE); }

std::string dropped_file() { return last_dropped; }

void keep_dropped_file(HDROP drop)
{
    last_dropped.clear();
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    if (length > 0) {
        std::wstring path(length + 1, L'\0');
        if (DragQueryFileW(drop, 0, path.data(), length + 1) == length)
            last_dropped = kept_files::to_utf8(path.c_str());
    }
    DragFinish(drop);
}

bool start_program_again(const std::string& argument, std::string& error)
{
    // A path long enough for any the system gives; the first answer may be
    // cut short.
    std::wstring program(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()))) ==
               program.size() &&
           program.size() < 32768)
        program.resize(program.size() * 2);
    if (length == 0 || length == program.size()) {
        error = "cannot start modra again: " + kept_files::describe(GetLastError());
        return false;
    }
    program.resize(length);
    // A path has no quotes in it, so quoting each is the whole of the
    // command line's escaping, but for a final backslash.
    std::wstring line = L"\"" + program + L"\" \"" + kept_files::to_wide(argument);
    if (!argument.empty() && argument.back() == '\\')
        line += L'\\';
    line += L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        error = "cannot start modra again: " + kept_files::describe(GetLastError());
        return false;
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}
