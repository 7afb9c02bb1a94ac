#include "commands/Message.h"

#include <array>

namespace velmira {

namespace {

constexpr std::string_view kCheckTitle = "確認";
constexpr std::string_view kErrorTitle = "エラー";

struct Row {
    Message message;
    MessageText text;
};

constexpr std::array<Row, static_cast<std::size_t>(Message::Count)> kRows = {{
    {Message::DriveListEmpty,
     {kCheckTitle, "バックアップ機器が接続されていません。\r\nまたは電源が入っていません。",
      false}},
    {Message::NoDriveSelected, {kCheckTitle, "バックアップドライブを指定してください。", false}},
    {Message::ConfirmStart, {"復元処理", "処理を開始します。", true}},
    {Message::Finished, {kCheckTitle, "終了しました。", false}},
    {Message::DeviceUnavailable,
     {kErrorTitle, "ディスクが挿入されていない。または、ディスクが違います。", false}},
    {Message::RestoreFailed, {kErrorTitle, "復元が正常に終了しませんでした。", false}},
}};

// Each message's row at its place, so that a text cannot be shown for its
// neighbour after the enumeration changes.
constexpr bool InMessageOrder() {
    for (std::size_t index = 0; index < kRows.size(); ++index) {
        if (static_cast<std::size_t>(kRows[index].message) != index) return false;
    }
    return true;
}
static_assert(InMessageOrder(), "kRows must follow the order of Message");

}  // namespace

const MessageText& TextOf(Message message) {
    return kRows.at(static_cast<std::size_t>(message)).text;
}

}  // namespace velmira
