#pragma once

#include <QListWidget>

#include "drives/DriveLetterSink.h"

namespace velmira {

// Lets the drive listing fill the restore window's drive list: entries in
// the order appended, none selected.
class DriveListSink : public DriveLetterSink {
  public:
    explicit DriveListSink(QListWidget& list) : list_(list) {}

    void Clear() override { list_.clear(); }
    void Append(const std::string& letter) override {
        list_.addItem(QString::fromStdString(letter));
    }

  private:
    QListWidget& list_;
};

}  // namespace velmira
