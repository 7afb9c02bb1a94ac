// The Windows program: the machine's own drive letters, the Win32 windows.

#include <windows.h>
// commctrl.h needs the types of windows.h.
#include <commctrl.h>

#include <cstdio>
#include <exception>
#include <string>

#include "commands/StartupReport.h"
#include "drives/WindowsDrives_win.h"
#include "winui/MainForm.h"
#include "winui/MessagePump.h"
#include "winui/WideText.h"

namespace {

int Fail(const std::string& report) {
    std::fprintf(stderr, "%s\n", report.c_str());
    std::fflush(stderr);
    MessageBoxW(nullptr, velmira::WideText(report).c_str(),
                velmira::WideText(velmira::StartupReport::Title()).c_str(),
                MB_OK | MB_TASKMODAL | MB_SETFOREGROUND);
    return velmira::StartupReport::kCannotStart;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything touches a drive, on any thread: a drive without its
    // medium is an error the program reports, never the system's own box
    // asking for a disk. The modes the program was started with are kept.
    SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    try {
        velmira::WindowsDrives drives;
        velmira::MainForm form(drives, drives);
        try {
            form.Load();
        } catch (const std::exception&) {
            return Fail(velmira::StartupReport::OfCurrent(&drives));
        }
        form.Show();
        const bool never = false;
        velmira::MessagePump::RunUntil(never);
        return 0;
    } catch (const std::exception&) {
        return Fail(velmira::StartupReport::OfCurrent());
    }
}
