#include "settings/FirstFieldScanner.h"

#include "platform/NumberedError.h"

namespace velmira {

namespace {

bool IsBlankBefore(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool EndsUnquoted(char c) {
    return c == ',' || c == '\r' || c == '\n';
}
bool IsTrailingBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::size_t FirstFieldScanner::Feed(std::string_view bytes) {
    std::size_t used = 0;
    while (used < bytes.size() && state_ != State::Ended) {
        const char byte = bytes[used++];
        switch (state_) {
            case State::Leading:
                if (IsBlankBefore(byte)) break;
                if (byte == '"') {
                    quoted_ = true;
                    state_ = State::Quoted;
                } else {
                    state_ = State::Unquoted;
                    TakeUnquoted(byte);
                }
                break;
            case State::Quoted:
                TakeQuoted(byte);
                break;
            case State::Unquoted:
                TakeUnquoted(byte);
                break;
            case State::Ended:
                break;
        }
    }
    return used;
}

void FirstFieldScanner::TakeQuoted(char byte) {
    if (byte == '"') {
        state_ = State::Ended;
    } else if (kept_.size() < kMaxFieldBytes) {
        kept_.push_back(byte);
    } else {
        cut_ = true;
        state_ = State::Ended;
    }
}

void FirstFieldScanner::TakeUnquoted(char byte) {
    if (EndsUnquoted(byte)) {
        state_ = State::Ended;
    } else if (kept_.size() < kMaxFieldBytes) {
        kept_.push_back(byte);
        if (!IsTrailingBlank(byte)) contentSize_ = kept_.size();
    } else if (!IsTrailingBlank(byte)) {
        // Past the cap only blanks can still belong to a field that fits: a
        // run of them is read on without being kept, anything else cuts.
        cut_ = true;
        state_ = State::Ended;
    }
}

std::string FirstFieldScanner::Field() const {
    if (state_ == State::Leading) {
        throw NumberedError(ErrorNumber::InputPastEndOfFile, "no field before the end of the file");
    }
    if (quoted_ || cut_) return kept_;
    return kept_.substr(0, contentSize_);
}

}  // namespace velmira
