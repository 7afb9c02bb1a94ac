#include "winui/MainForm.h"

#include "commands/Layout.h"
#include "commands/WindowTexts.h"
#include "winui/ChildControl.h"
#include "winui/RestoreForm.h"
#include "winui/ScreenDpi.h"
#include "winui/WideText.h"

namespace velmira {

namespace {

constexpr double kControlPoints = 9.0;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

const TwipsRect& Twips(std::string_view name) {
    return TwipsOf(MainFormLayout(), name);
}

}  // namespace

MainForm::MainForm(const DriveRoots& drives, DriveSource& driveSource)
    : drives_(drives),
      driveSource_(driveSource),
      dpi_(ScreenDpi()),
      font_(kLabelButtonFace, kControlPoints, dpi_),
      commands_(*this, drives) {
    CreateCentredWindow(WS_EX_CONTROLPARENT, kStyle, nullptr, ToPixels(Twips("MainForm"), dpi_),
                        GetSysColorBrush(COLOR_BTNFACE));
    const HWND self = Handle();
    SetWindowTextW(self, WideText(texts::kMainTitle).c_str());
    const auto at = [this](std::string_view name) { return ToPixels(Twips(name), dpi_); };
    // 次に進む first: it has the focus at start and comes first for Tab.
    ChildControl(L"BUTTON", texts::kNext, BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, self,
                 at("Command1(0)"), kNext, font_.Handle());
    ChildControl(L"BUTTON", texts::kQuit, BS_PUSHBUTTON | WS_TABSTOP, self, at("Command1(1)"),
                 kQuit, font_.Handle());
    constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
    ChildControl(L"STATIC", "", kLabel, self, at("Label1"), kLabel1, font_.Handle());
    // Label2 reaches past the client area's right edge and is cut off there.
    ChildControl(L"STATIC", "", kLabel, self, at("Label2"), kLabel2, font_.Handle());
    FitToText(ChildControl(L"STATIC", texts::kMainLabel3, kLabel, self, at("Label3"), kLabel3,
                           font_.Handle()));
}

MainForm::~MainForm() = default;

void MainForm::Show() {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    SetFocus(Item(kNext));
}

void MainForm::SetLabelTexts(const std::string& label1, const std::string& label2) {
    SetWindowTextW(Item(kLabel1), WideText(label1).c_str());
    SetWindowTextW(Item(kLabel2), WideText(label2).c_str());
}

void MainForm::ShowRestoreWindow() {
    RestoreForm form(Handle(), drives_, driveSource_);
    form.Load();
    restoreForm_ = &form;
    form.ShowModal();
    restoreForm_ = nullptr;
}

void MainForm::Close() {
    if (closed_) return;
    closed_ = true;
    ShowWindow(Handle(), SW_HIDE);
    PostQuitMessage(0);
}

LRESULT MainForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) == BN_CLICKED && (id == kNext || id == kQuit)) {
                commands_.Click(id - kNext);
            }
            return 0;
        }
        case WM_CLOSE:
            // This window is disabled while the restore window is open; a
            // close sent by another program meanwhile is refused.
            if (commands_.MayClose()) Close();
            return 0;
        case WM_QUERYENDSESSION:
            return restoreForm_ != nullptr && restoreForm_->HoldsShutdown() ? FALSE : TRUE;
        case DM_GETDEFID: {
            // The window has no default button: Enter presses the focused
            // one, as Space does. The dialog manager asks this for Enter.
            const int focused = GetDlgCtrlID(GetFocus());
            if (focused == kNext || focused == kQuit) return MAKELRESULT(focused, DC_HASDEFID);
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            const auto control = reinterpret_cast<HWND>(lParam);
            SetBkMode(dc, TRANSPARENT);
            std::uint32_t color = GetSysColor(COLOR_WINDOWTEXT);
            if (control == Item(kLabel2)) color = colors::kNoticeBlue;
            if (control == Item(kLabel3)) color = colors::kWarningRed;
            SetTextColor(dc, color);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        default:
            return Default(message, wParam, lParam);
    }
}

}  // namespace velmira
