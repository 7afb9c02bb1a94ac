#include "winui/DriveListBox.h"

#include "platform/Utf8.h"
#include "winui/ChildControl.h"
#include "winui/WideText.h"

namespace velmira {

DriveListBox::DriveListBox(HWND parent, const PixelRect& at, int id, HFONT font)
    : hwnd_(ChildControl(
          L"LISTBOX", "",
          LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP | WS_GROUP,
          parent, at, id, font)) {}

void DriveListBox::Clear() {
    SendMessageW(hwnd_, LB_RESETCONTENT, 0, 0);
}

void DriveListBox::Append(const std::string& letter) {
    const std::wstring text = WideText(letter);
    SendMessageW(hwnd_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::size_t DriveListBox::Count() const {
    const LRESULT count = SendMessageW(hwnd_, LB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

std::string DriveListBox::Selected() const {
    const LRESULT index = SendMessageW(hwnd_, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return {};
    const LRESULT length = SendMessageW(hwnd_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(hwnd_, LB_GETTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

}  // namespace velmira
