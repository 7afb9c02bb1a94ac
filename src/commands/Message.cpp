#include "commands/Message.h"

#include <array>

namespace velmira {

namespace {

constexpr std::string_view kCheckTitle = "確認";
constexpr std::string_view kErrorTitle = "エラー";

// In the order of Message; one text for each.
constexpr auto kTexts = std::to_array<MessageText>({
    {kCheckTitle, "バックアップ機器が接続されていません。\r\nまたは電源が入っていません。", false},
    {kCheckTitle, "バックアップドライブを指定してください。", false},
    {"復元処理", "処理を開始します。", true},
    {kCheckTitle, "終了しました。", false},
    {kErrorTitle, "ディスクが挿入されていない。または、ディスクが違います。", false},
    {kErrorTitle, "復元が正常に終了しませんでした。", false},
});
static_assert(kTexts.size() == static_cast<std::size_t>(Message::Count));

}  // namespace

const MessageText& TextOf(Message message) {
    return kTexts.at(static_cast<std::size_t>(message));
}

}  // namespace velmira
