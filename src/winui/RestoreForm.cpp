#include "winui/RestoreForm.h"

#include "commands/Layout.h"
#include "commands/WindowTexts.h"
#include "winui/ChildControl.h"
#include "winui/MessagePump.h"
#include "winui/ScreenDpi.h"
#include "winui/WideText.h"

namespace velmira {

namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr DWORD kLabel = SS_LEFT | SS_NOTIFY | SS_NOPREFIX;

const Placement& Row(std::string_view name) {
    return RowOf(RestoreFormLayout(), name);
}

}  // namespace

RestoreForm::RestoreForm(HWND owner, const DriveRoots& drives, DriveSource& driveSource)
    : dpi_(ScreenDpi()),
      background_(colors::kBackground),
      font_(*Row("RestoreForm").font, dpi_),
      startFont_(*Row("CmdGd(1)").font, dpi_),
      closeFont_(*Row("CmdGd(0)").font, dpi_),
      owner_(owner),
      topLine_(Row("Line1(0)")),
      lowerLine_(Row("Line1(1)")),
      commands_(*this, drives, driveSource) {
    CreateCentredWindow(kExStyle, kStyle, owner, ToPixels(Row("RestoreForm").twips, dpi_),
                        background_.Handle());
    const HWND self = Handle();
    const auto at = [this](std::string_view name) { return ToPixels(Row(name).twips, dpi_); };
    const auto control = [this](const wchar_t* type, std::string_view name, DWORD style,
                                HWND parent, int id) {
        return RowControl(type, Row(name), style, parent, id, font_.Handle(), dpi_);
    };

    // Creation order is the keyboard's order: drive list, options, 復元開始,
    // 閉る. Labels and panels take no focus.
    control(L"STATIC", "Label1(2)", kLabel, self, kRestoreHeading);

    // The instructions panel lies on the progress panel's rectangle and in
    // front of it until a run switches panels.
    instructions_ = std::make_unique<Panel>(self, at("WakuFrame(0)"), background_.Handle(), false);
    control(L"STATIC", "Label1(3)", kLabel, instructions_->Handle(), kInsertDisk);
    control(L"STATIC", "Label1(4)", kLabel, instructions_->Handle(), kPickLowest);
    progress_ = std::make_unique<Panel>(self, at("WakuFrame(0)"), background_.Handle(), false);
    caption_ = control(L"STATIC", "Label1(1)", kLabel, progress_->Handle(), kIdleCaption);
    bar_ = std::make_unique<ProgressBar>(progress_->Handle(), Row("SyoriSp(0)"), Row("SyoriSp(1)"),
                                         kBar, background_.Handle(), dpi_);

    control(L"STATIC", "Label1(0)", kLabel, self, kDriveListLabel);
    driveList_ = std::make_unique<DriveListBox>(self, at("DrvList"), kDrvList, font_.Handle());

    options_ = std::make_unique<Panel>(self, at("WakuFrame(2)"), background_.Handle(), true);
    const HWND options = options_->Handle();
    option_[0] = control(L"BUTTON", "SentakuOp(0)", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                         options, kOption0);
    option_[1] = control(L"BUTTON", "SentakuOp(1)", BS_AUTORADIOBUTTON, options, kOption1);
    SendMessageW(option_[0], BM_SETCHECK, BST_CHECKED, 0);

    buttons_[1] =
        std::make_unique<LabelButton>(self, Row("CmdGd(1)"), kStartButton, startFont_.Handle(),
                                      dpi_, [this] { commands_.CmdGd_MouseMove(1); });
    buttons_[0] =
        std::make_unique<LabelButton>(self, Row("CmdGd(0)"), kCloseButton, closeFont_.Handle(),
                                      dpi_, [this] { commands_.CmdGd_MouseMove(0); });
}

RestoreForm::~RestoreForm() {
    buttons_ = {};
    DestroyOwnWindow();
}

void RestoreForm::ShowModal() {
    if (owner_ != nullptr) EnableWindow(owner_, FALSE);
    ShowWindow(Handle(), SW_SHOW);
    SetFocus(driveList_->Handle());
    MessagePump::RunUntil(closed_);
    // The owner is enabled before this window goes, so that it becomes the
    // active window again.
    if (owner_ != nullptr) EnableWindow(owner_, TRUE);
    ShowWindow(Handle(), SW_HIDE);
    if (owner_ != nullptr) SetActiveWindow(owner_);
}

HWND RestoreForm::Item(Id id) const {
    for (const HWND parent :
         {Handle(), instructions_->Handle(), progress_->Handle(), options_->Handle()}) {
        if (const HWND item = GetDlgItem(parent, id)) return item;
    }
    return nullptr;
}

std::uint32_t RestoreForm::ButtonColor(int index) const {
    return buttons_.at(static_cast<std::size_t>(index))->Color();
}

void RestoreForm::SetOptionCaptions(const std::string& first, const std::string& second) {
    SetWindowTextW(option_[0], WideText(first).c_str());
    SetWindowTextW(option_[1], WideText(second).c_str());
}

void RestoreForm::HideOptions() {
    ShowWindow(options_->Handle(), SW_HIDE);
}

bool RestoreForm::FirstOptionSelected() const {
    return SendMessageW(option_[0], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void RestoreForm::SetButtonColor(int index, std::uint32_t bgr) {
    if (index < 0 || index >= static_cast<int>(buttons_.size())) return;
    buttons_[static_cast<std::size_t>(index)]->SetColor(bgr);
}

void RestoreForm::DiscardPendingInput() {
    MessagePump::WaitForKeysUp(kMostKeyWait);
    MessagePump::DiscardInput();
}

void RestoreForm::HoldShutdown(const std::string& reason) {
    holdsShutdown_ = true;
    // Both windows refuse the end of the session; Windows shows the reason
    // beside each of them.
    const std::wstring text = WideText(reason);
    ShutdownBlockReasonCreate(Handle(), text.c_str());
    if (owner_ != nullptr) ShutdownBlockReasonCreate(owner_, text.c_str());
}

void RestoreForm::ReleaseShutdown() {
    holdsShutdown_ = false;
    ShutdownBlockReasonDestroy(Handle());
    if (owner_ != nullptr) ShutdownBlockReasonDestroy(owner_);
}

bool RestoreForm::ShowMessage(Message message) {
    const MessageText& box = TextOf(message);
    const UINT buttons = box.withCancel ? MB_OKCANCEL : MB_OK;
    return MessageBoxW(Handle(), WideText(box.text).c_str(), WideText(box.title).c_str(),
                       buttons | MB_APPLMODAL) == IDOK;
}

void RestoreForm::SetCaption(const std::string& utf8Caption) {
    SetWindowTextW(caption_, WideText(utf8Caption).c_str());
    FitToText(caption_);
}

void RestoreForm::ShowProgress() {
    ShowWindow(progress_->Handle(), SW_SHOW);
    ShowWindow(instructions_->Handle(), SW_HIDE);
}

void RestoreForm::ShowInstructions() {
    ShowWindow(instructions_->Handle(), SW_SHOW);
    ShowWindow(progress_->Handle(), SW_HIDE);
}

void RestoreForm::Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(Handle(), &paint);
    topLine_.Paint(dc, dpi_);
    lowerLine_.Paint(dc, dpi_);
    EndPaint(Handle(), &paint);
}

LRESULT RestoreForm::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) == BN_CLICKED && (id == kCloseButton || id == kStartButton)) {
                commands_.CmdGd_Click(id - kCloseButton);
            }
            // IDCANCEL (Escape) and everything else: nothing.
            return 0;
        }
        case WM_CLOSE:
            if (commands_.MayClose()) Close();
            return 0;
        case WM_QUERYENDSESSION:
            // A shutdown in the middle of a run would stop it unreported.
            return holdsShutdown_ ? FALSE : TRUE;
        case WM_MOUSEMOVE:
            commands_.Form_MouseMove();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ColorStatic(wParam, lParam, background_.Handle());
        case WM_DRAWITEM: {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            for (const auto& button : buttons_) {
                if (button && item.hwndItem == button->Handle()) {
                    button->Draw(item, background_.Handle());
                }
            }
            return TRUE;
        }
        case WM_PAINT:
            Paint();
            return 0;
        default:
            return Default(message, wParam, lParam);
    }
}

}  // namespace velmira
