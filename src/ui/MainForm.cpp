#include "ui/MainForm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "commands/Layout.h"
#include "commands/WindowTexts.h"
#include "ui/JapaneseFont.h"
#include "ui/QtText.h"
#include "ui/RestoreForm.h"
#include "ui/RowControl.h"

namespace velmira {

namespace {

const Placement& RowOf(std::string_view name) {
    return RowOf(MainFormLayout(), name);
}

QLabel* MakeLabel(const char* name, QWidget* parent) {
    auto* label = RowControl<QLabel>(RowOf(name), parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

MainForm::MainForm(UiContext context, QWidget* parent)
    : QWidget(parent), context_(context), commands_(*this, context.drives) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ToQString(texts::kMainTitle));
    const Placement& window = RowOf("MainForm");
    setFont(JapaneseFont(window.font->points));
    setFixedSize(ToQRect(window.twips).size());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    label1_ = MakeLabel("Label1", this);
    label2_ = MakeLabel("Label2", this);
    label2_->setWordWrap(true);
    MakeLabel("Label3", this);

    const char* const names[] = {"Command1(0)", "Command1(1)"};
    for (int index : {0, 1}) {
        auto* button = RowControl<QPushButton>(RowOf(names[index]), this);
        // Neither is the window's default button; Enter presses the one that
        // has the focus, as Space does.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this,
                [this, index] { commands_.Command1_Click(index); });
        command1_[static_cast<std::size_t>(index)] = button;
    }
    setTabOrder(command1_[0], command1_[1]);
    command1_[0]->setFocus();
}

void MainForm::SetLabelTexts(const std::string& label1, const std::string& label2) {
    label1_->setText(QString::fromStdString(label1));
    label2_->setText(QString::fromStdString(label2));
}

void MainForm::ShowRestoreWindow() {
    RestoreForm form(context_, this);
    form.Load();
    form.exec();
}

void MainForm::Close() {
    close();
}

void MainForm::closeEvent(QCloseEvent* event) {
    event->setAccepted(commands_.MayClose());
}

}  // namespace velmira
