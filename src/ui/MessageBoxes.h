#pragma once

#include <QString>

class QWidget;

namespace velmira {

// Every message the restore window shows the operator. Each box is
// application-modal, has a title and no icon; OK is the default button.
class MessageBoxes {
  public:
    explicit MessageBoxes(QWidget* parent) : parent_(parent) {}

    void DriveListEmpty() const;
    void NoDriveSelected() const;
    // True when the operator chooses OK; Cancel or closing the box is false.
    bool ConfirmStart() const;
    void Finished() const;
    void DeviceUnavailable() const;
    void RestoreFailed() const;

  private:
    bool Show(const QString& text, const QString& title, bool withCancel) const;

    QWidget* parent_;
};

}  // namespace velmira
