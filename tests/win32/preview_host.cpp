// A stand-in for the Screen Saver settings' preview: a window, its handle printed, with modra.scr (beside this
// program) run as "/p HANDLE" to draw in it. Once STOP-FILE appears (or after a minute) it destroys the window
// and says whether the screensaver ended with 0 within five seconds. Its background is 0x123456.
// Usage: preview_host.exe STOP-FILE [WIDTH HEIGHT]; exits 0 when it did.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT_PTR poll_timer = 1;
const char* stop_file = nullptr;
ULONGLONG started = 0;

LRESULT CALLBACK host_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam)
{
    if (message == WM_TIMER && wparam == poll_timer &&
        (GetFileAttributesA(stop_file) != INVALID_FILE_ATTRIBUTES || GetTickCount64() - started > 60000)) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// Messages keep flowing while it waits: the preview's window is a child of ours, so their input is joined.
DWORD wait_pumping(HANDLE process, DWORD milliseconds)
{
    const ULONGLONG until = GetTickCount64() + milliseconds;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= until)
            return WAIT_TIMEOUT;
        const DWORD r =
            MsgWaitForMultipleObjects(1, &process, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1)
            return r;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: preview_host.exe STOP-FILE [WIDTH HEIGHT]\n");
        return 2;
    }
    stop_file = argv[1];
    const int width = argc == 4 ? std::atoi(argv[2]) : 300, height = argc == 4 ? std::atoi(argv[3]) : 150;
    char saver[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, saver, MAX_PATH);
    std::string path(saver, length);
    path = path.substr(0, path.find_last_of("\\/") + 1) + "modra.scr";
    WNDCLASSA c{};
    c.lpfnWndProc = host_proc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.hbrBackground = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    c.lpszClassName = "preview_host";
    RegisterClassA(&c);
    RECT outer{0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
    const HWND window = CreateWindowExA(0, "preview_host", "Modra preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                        40, 40, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                        c.hInstance, nullptr);
    if (!window) {
        std::printf("no window\n");
        return 1;
    }
    const auto handle = static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window));
    std::printf("hwnd %llu\n", handle);
    std::fflush(stdout);
    std::string command = "\"" + path + "\" /p " + std::to_string(handle);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("%s did not start (error %lu)\n", path.c_str(), GetLastError());
        return 1;
    }
    started = GetTickCount64();
    SetTimer(window, poll_timer, 100, nullptr);
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    const ULONGLONG gone = GetTickCount64();
    const DWORD waited = wait_pumping(process.hProcess, 5000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    const auto after = static_cast<unsigned long long>(GetTickCount64() - gone);
    if (waited != WAIT_OBJECT_0) {
        std::printf("the preview still runs 5 s after its window went\n");
        TerminateProcess(process.hProcess, 1);
    } else {
        std::printf("the preview ended with %lu, %llu ms after its window went\n", code, after);
    }
    std::fflush(stdout);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == WAIT_OBJECT_0 && code == 0 ? 0 : 1;
}
