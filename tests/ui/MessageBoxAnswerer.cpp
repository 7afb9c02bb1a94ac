#include "tests/ui/MessageBoxAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace velmira::testing {

MessageBoxAnswerer::MessageBoxAnswerer(std::deque<QMessageBox::StandardButton> answers)
    : answers_(std::move(answers)) {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start();
}

QStringList MessageBoxAnswerer::Texts() const {
    QStringList texts;
    for (const auto& box : seen_) texts << box.title + QStringLiteral(": ") + box.text;
    return texts;
}

void MessageBoxAnswerer::Poll() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible() || box == answered_) return;
    answered_ = box;

    SeenBox seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->standardButtons();
    seen.defaultButton = box->standardButton(box->defaultButton());
    seen.modality = box->windowModality();
    if (QAbstractButton* cancel = box->button(QMessageBox::Cancel))
        seen.cancelText = cancel->text();
    seen_.push_back(seen);

    QMessageBox::StandardButton answer = QMessageBox::Ok;
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    QAbstractButton* button = box->button(answer);
    if (button == nullptr) button = box->button(QMessageBox::Ok);
    QTest::mouseClick(button, Qt::LeftButton);
}

}  // namespace velmira::testing
