// Prints what a shortcut (.lnk) holds as the shell reads it, one field a line
// in UTF-8: target, working folder, arguments, icon and description. The
// installer tests check the installed shortcuts with it.
#include <windows.h>
// The shell's interfaces need the types of windows.h.
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}

void Print(const char* field, const wchar_t* value) {
    std::printf("%s=%s\n", field, Utf8(value).c_str());
}

int Read(const wchar_t* file) {
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link)))) {
        std::fprintf(stderr, "shortcut-reader: no shell link object\n");
        return 2;
    }
    IPersistFile* persist = nullptr;
    int status = 1;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) &&
        SUCCEEDED(persist->Load(file, STGM_READ))) {
        wchar_t text[INFOTIPSIZE] = {};
        int icon = 0;
        link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
        Print("target", text);
        link->GetWorkingDirectory(text, MAX_PATH);
        Print("workdir", text);
        link->GetArguments(text, INFOTIPSIZE);
        Print("arguments", text);
        link->GetIconLocation(text, MAX_PATH, &icon);
        Print("icon", text);
        link->GetDescription(text, INFOTIPSIZE);
        Print("description", text);
        status = 0;
    } else {
        std::fprintf(stderr, "shortcut-reader: cannot read %s\n", Utf8(file).c_str());
    }
    if (persist) persist->Release();
    link->Release();
    return status;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: shortcut-reader FILE.lnk\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int status = Read(argv[1]);
    CoUninitialize();
    return status;
}
