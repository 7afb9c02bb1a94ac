#include "winui/RestoreForm.h"

#include "commands/Layout.h"
#include "commands/WindowTexts.h"
#include "winui/ChildControl.h"
#include "winui/MessagePump.h"
#include "winui/ScreenDpi.h"
#include "winui/WideText.h"

namespace velmira {

namespace {

constexpr double kControlPoints = 9.0;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

const TwipsRect& Twips(std::string_view name) {
    return TwipsOf(RestoreFormLayout(), name);
}

}  // namespace

RestoreForm::RestoreForm(HWND owner, const DriveRoots& drives, DriveSource& driveSource)
    : dpi_(ScreenDpi()),
      background_(colors::kBackground),
      font_(kLabelButtonFace, kControlPoints, dpi_),
      startFont_(kLabelButtonFace, kStartButtonPoints, dpi_, true),
      closeFont_(kLabelButtonFace, kCloseButtonPoints, dpi_, true),
      owner_(owner),
      topLine_(Twips("Line1(0)"), colors::kTitleBlue),
      lowerLine_(Twips("Line1(1)"), colors::kLowerLineGrey),
      commands_(*this, drives, driveSource) {
    CreateCentredWindow(kExStyle, kStyle, owner, ToPixels(Twips("RestoreForm"), dpi_),
                        background_.Handle());
    const HWND self = Handle();
    const auto at = [this](std::string_view name) { return ToPixels(Twips(name), dpi_); };
    const auto label = [this](HWND parent, std::string_view text, const PixelRect& place, int id,
                              bool fit) {
        const HWND control = ChildControl(L"STATIC", text, SS_LEFT | SS_NOTIFY | SS_NOPREFIX,
                                          parent, place, id, font_.Handle());
        if (fit) FitToText(control);
        return control;
    };

    // Creation order is the keyboard's order: drive list, options, 復元開始,
    // 閉る. Labels and panels take no focus.
    heading_ = label(self, texts::kRestoreHeading, at("Label1(2)"), kHeading, true);

    // The instructions panel lies on the progress panel's rectangle and in
    // front of it until a run switches panels.
    const PixelRect panel = at("WakuFrame(0)");
    instructions_ = std::make_unique<Panel>(self, panel, background_.Handle(), false);
    label(instructions_->Handle(), texts::kInsertDisk, at("Label1(3)"), kInsertDisk, false);
    label(instructions_->Handle(), texts::kPickLowest, at("Label1(4)"), kPickLowest, false);
    progress_ = std::make_unique<Panel>(self, panel, background_.Handle(), false);
    caption_ = label(progress_->Handle(), texts::kIdleCaption, at("Label1(1)"), kCaption, true);
    bar_ = std::make_unique<ProgressBar>(progress_->Handle(), Twips("SyoriSp(0)"),
                                         Twips("SyoriSp(1)"), kBar, background_.Handle(), dpi_);

    label(self, texts::kDriveListLabel, at("Label1(0)"), kDriveLabel, true);
    driveList_ = std::make_unique<DriveListBox>(self, at("DrvList"), kDrvList, font_.Handle());

    options_ = std::make_unique<Panel>(self, at("WakuFrame(2)"), background_.Handle(), true);
    option_[0] =
        ChildControl(L"BUTTON", texts::kOption0, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP,
                     options_->Handle(), at("SentakuOp(0)"), kOption0, font_.Handle());
    option_[1] = ChildControl(L"BUTTON", texts::kOption1, BS_AUTORADIOBUTTON, options_->Handle(),
                              at("SentakuOp(1)"), kOption1, font_.Handle());
    SendMessageW(option_[0], BM_SETCHECK, BST_CHECKED, 0);

    buttons_[1] = std::make_unique<LabelButton>(self, texts::kStartButton, at("CmdGd(1)"),
                                                kStartButton, startFont_.Handle(),
                                                [this] { commands_.PointerOverButton(1); });
    buttons_[0] = std::make_unique<LabelButton>(self, texts::kCloseButton, at("CmdGd(0)"),
                                                kCloseButton, closeFont_.Handle(),
                                                [this] { commands_.PointerOverButton(0); });
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
    switch (id) {
        case kDrvList:
            return driveList_->Handle();
        case kOption0:
            return option_[0];
        case kOption1:
            return option_[1];
        case kCloseButton:
            return buttons_[0]->Handle();
        case kStartButton:
            return buttons_[1]->Handle();
        case kHeading:
            return heading_;
        case kCaption:
            return caption_;
        case kBar:
            return bar_->Handle();
        case kInsertDisk:
        case kPickLowest:
            return GetDlgItem(instructions_->Handle(), id);
        case kDriveLabel:
            return GetDlgItem(Handle(), id);
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

bool RestoreForm::Ask(Message message) {
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

LRESULT RestoreForm::ColorStatic(HDC dc, HWND control) {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, control == heading_ ? colors::kTitleBlue : GetSysColor(COLOR_WINDOWTEXT));
    return reinterpret_cast<LRESULT>(background_.Handle());
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
                commands_.Click(id - kCloseButton);
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
            commands_.PointerOverWindow();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            return ColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
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
