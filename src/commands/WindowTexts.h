#pragma once

#include <string_view>

namespace velmira::texts {

// Fixed texts of the two windows (UTF-8; line breaks CR LF).
inline constexpr std::string_view kMainTitle = "バックアップデータ復元 Ver2.0";
// The character after カルテデータ and 基本データ is U+FF65.
inline constexpr std::string_view kMainLabel1 =
    "このプログラムはバックアップされたカルテデータ･\r\n"
    "基本データ･雛型データを復元するものです。\r\n"
    "マシンが故障（不調）状態で作業をするとデータが\r\n"
    "正常に復元されない可能性がありますので、\r\n"
    "必ずマシンが正常な状態で作業をしてください。\r\n";
inline constexpr std::string_view kMainLabel2 =
    "新しいパソコンに復元する場合は、先に\r\n"
    "最新バージョンのカルテシステムをインストール\r\n"
    "してから復元を行ってください。";
inline constexpr std::string_view kMainLabel3 = "※カルテシステムは必ず終了して作業してください。";
inline constexpr std::string_view kNext = "次に進む";
inline constexpr std::string_view kQuit = "終了";

inline constexpr std::string_view kRestoreHeading = "【カルテデータ・基本データ・雛型データ復元】";
inline constexpr std::string_view kIdleCaption = "処理中・・・・・。";
inline constexpr std::string_view kInsertDisk =
    "バックアップしたディスク等を挿入してから復元開始をクリックしてください。";
inline constexpr std::string_view kPickLowest =
    "バックアップドライブに複数表示される場合は、下部に表示されるものを選択してください。"
    "（G・HであればHを選択）";
inline constexpr std::string_view kDriveListLabel = "バックアップドライブ";
// The data-kind options' captions, by the site's prefecture.
inline constexpr std::string_view kIbarakiOption0 = "治療簿";
inline constexpr std::string_view kIbarakiOption1 = "カルテ";
inline constexpr std::string_view kTottoriOption0 = "カルテ";
inline constexpr std::string_view kTottoriOption1 = "検案書";
inline constexpr std::string_view kCloseButton = "閉る";
inline constexpr std::string_view kStartButton = "復元開始";

// Shown by the system to whoever shuts the PC down or logs off during a run.
inline constexpr std::string_view kShutdownReason =
    "データを復元しています。終わるまでお待ちください。";

}  // namespace velmira::texts
