// libFuzzer target: each input is the bytes of a settings file. Besides the
// sanitizers' checks (no read past a buffer, no undefined behaviour), it
// aborts when
// - FirstFieldScanner disagrees with a plain whole-buffer reading of the same
//   rules, cut to the same cap, in the field or in the bytes it took;
// - feeding the same bytes in pieces of random sizes changes either;
// - the code-page conversion of the whole input or of the field is not valid
//   UTF-8, or changes plain ASCII.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/NumberedError.h"
#include "platform/TextCodec.h"
#include "platform/Utf8.h"
#include "settings/FirstFieldScanner.h"
#include "settings/SitePrefecture.h"

namespace velmira {
namespace {

void Require(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "settings-fuzz: %s\n", what);
    std::abort();
}

bool IsBlankBefore(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsTrailingBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Reading {
    std::optional<std::string> field;  // none: no field before the end
    std::size_t used = 0;              // bytes up to and with the one that ended the field
};

// The field rules read off the whole buffer the simple way, then cut.
Reading ReadPlainly(std::string_view bytes) {
    constexpr std::size_t cap = FirstFieldScanner::kMaxFieldBytes;
    std::size_t at = 0;
    while (at < bytes.size() && IsBlankBefore(bytes[at])) ++at;
    if (at == bytes.size()) return {std::nullopt, bytes.size()};
    if (bytes[at] == '"') {
        const std::size_t close = bytes.find('"', at + 1);
        const std::string_view content = bytes.substr(
            at + 1, close == std::string_view::npos ? std::string_view::npos : close - at - 1);
        if (content.size() > cap) return {std::string(content.substr(0, cap)), at + cap + 2};
        return {std::string(content), close == std::string_view::npos ? bytes.size() : close + 1};
    }
    const std::size_t end = bytes.find_first_of(",\r\n", at);
    const std::string_view raw = bytes.substr(at, end == std::string_view::npos ? end : end - at);
    std::size_t trimmed = raw.size();
    while (trimmed > 0 && IsTrailingBlank(raw[trimmed - 1])) --trimmed;
    if (trimmed > cap) {
        std::size_t cut = cap;
        while (IsTrailingBlank(raw[cut])) ++cut;
        return {std::string(raw.substr(0, cap)), at + cut + 1};
    }
    return {std::string(raw.substr(0, trimmed)),
            end == std::string_view::npos ? bytes.size() : end + 1};
}

std::optional<std::string> FieldOf(const FirstFieldScanner& scanner) {
    try {
        return scanner.Field();
    } catch (const NumberedError& error) {
        Require(error.number() == ErrorNumber::InputPastEndOfFile, "no field is not error 62");
        return std::nullopt;
    }
}

// Piece sizes drawn from the input itself, so that a crash replays.
class PieceSizes {
  public:
    explicit PieceSizes(std::string_view bytes) {
        for (const char c : bytes)
            state_ = (state_ ^ static_cast<unsigned char>(c)) * 1099511628211u;
    }
    std::size_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        // Mostly tiny pieces, empty ones included, sometimes a large one.
        return state_ % 8 == 0 ? state_ % 700 : state_ % 5;
    }

  private:
    std::uint64_t state_ = 14695981039346656037u;
};

bool IsValidUtf8(const std::string& text) {
    return Utf16ToUtf8(Utf8ToUtf16Lossy(text)) == text;
}

void CheckFirstField(std::string_view bytes) {
    const Reading expected = ReadPlainly(bytes);

    FirstFieldScanner whole;
    const std::size_t wholeUsed = whole.Feed(bytes);
    Require(FieldOf(whole) == expected.field, "field differs from the plain reading");
    Require(wholeUsed == expected.used, "bytes taken differ from the plain reading");
    Require(wholeUsed == bytes.size() || whole.Done(), "left bytes before the field ended");

    std::optional<std::string> viaWrapper;
    try {
        viaWrapper = FirstField(bytes);
    } catch (const NumberedError&) {
    }
    Require(viaWrapper == expected.field, "FirstField differs from the scanner");

    FirstFieldScanner pieces;
    PieceSizes sizes(bytes);
    std::size_t fed = 0;
    std::size_t used = 0;
    while (fed < bytes.size() && !pieces.Done()) {
        const std::string_view piece = bytes.substr(fed, sizes.Next());
        const std::size_t took = pieces.Feed(piece);
        Require(took <= piece.size(), "took more than it was given");
        Require(took == piece.size() || pieces.Done(), "left bytes before the field ended");
        used += took;
        fed += piece.size();
    }
    if (pieces.Done()) Require(pieces.Feed(bytes) == 0, "took bytes after the field ended");
    Require(used == wholeUsed, "bytes taken depend on the pieces");
    Require(FieldOf(pieces) == expected.field, "field depends on the pieces");

    if (expected.field) Require(IsValidUtf8(Cp932ToUtf8(*expected.field)), "field not UTF-8");
}

void CheckConversion(std::string_view bytes) {
    const std::string utf8 = Cp932ToUtf8(bytes);
    Require(IsValidUtf8(utf8), "conversion gave invalid UTF-8");
    bool ascii = true;
    for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) Require(utf8 == bytes, "conversion changed ASCII");
}

}  // namespace
}  // namespace velmira

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    velmira::CheckFirstField(bytes);
    velmira::CheckConversion(bytes);
    return 0;
}
