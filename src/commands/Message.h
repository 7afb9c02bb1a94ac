#pragma once

#include <string_view>

namespace velmira {

// The restore window's message boxes, in the order a Start command may show
// them.
enum class Message {
    DriveListEmpty,
    NoDriveSelected,
    ConfirmStart,
    Finished,
    DeviceUnavailable,
    RestoreFailed,
    Count,  // the number of messages, not one of them
};

// What a front end shows for a message: an application-modal box with no
// icon, OK only or OK and Cancel (OK the default). UTF-8; line breaks are
// CR LF.
struct MessageText {
    std::string_view title;
    std::string_view text;
    bool withCancel;
};

const MessageText& TextOf(Message message);

}  // namespace velmira
