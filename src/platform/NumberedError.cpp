#include "platform/NumberedError.h"

namespace velmira {

namespace {

std::string WhatText(ErrorNumber number, const std::string& description,
                     const std::string& detail) {
    std::string text = std::to_string(static_cast<int>(number)) + ": " + description;
    if (!detail.empty()) text += " (" + detail + ")";
    return text;
}

}  // namespace

NumberedError::NumberedError(ErrorNumber number, std::string detail)
    : std::runtime_error(WhatText(number, DescriptionOf(number), detail)),
      number_(number),
      description_(DescriptionOf(number)),
      detail_(std::move(detail)) {}

std::string NumberedError::DescriptionOf(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::Overflow:
            return "オーバーフローしました。";
        case ErrorNumber::DivisionByZero:
            return "0 で除算しました。";
        case ErrorNumber::FileNotFound:
            return "ファイルが見つかりません。";
        case ErrorNumber::DeviceIoError:
            return "デバイス I/O エラーです。";
        case ErrorNumber::DiskFull:
            return "ディスクの空き容量が不足しています。";
        case ErrorNumber::InputPastEndOfFile:
            return "ファイルにこれ以上データがありません。";
        case ErrorNumber::DeviceUnavailable:
            return "デバイスが準備されていません。";
        case ErrorNumber::PermissionDenied:
            return "書き込みできません。";
        case ErrorNumber::PathFileAccessError:
            return "パス名が無効です。";
        case ErrorNumber::PathNotFound:
            return "パスが見つかりません。";
    }
    return "アプリケーション定義またはオブジェクト定義のエラーです。";
}

}  // namespace velmira
