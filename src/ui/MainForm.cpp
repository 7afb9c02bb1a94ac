#include "ui/MainForm.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

#include "commands/Layout.h"
#include "commands/WindowTexts.h"
#include "ui/ColorRef.h"
#include "ui/JapaneseFont.h"
#include "ui/QtText.h"
#include "ui/RestoreForm.h"
#include "ui/Twips.h"

namespace velmira {

namespace {

QRect PixelsOf(std::string_view name) {
    return ToQRect(TwipsOf(MainFormLayout(), name));
}

QLabel* MakeLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(PixelsOf(name));
    return label;
}

}  // namespace

MainForm::MainForm(UiContext context, QWidget* parent)
    : QWidget(parent), context_(context), commands_(*this, context.drives) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(ToQString(texts::kMainTitle));
    setFont(JapaneseFont(9));
    setFixedSize(PixelsOf("MainForm").size());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    label1_ = MakeLabel("Label1", this);
    label2_ = MakeLabel("Label2", this);
    label2_->setWordWrap(true);
    SetPaletteColor(label2_, QPalette::WindowText, colors::kNoticeBlue);
    label3_ = MakeLabel("Label3", this);
    label3_->setText(ToQString(texts::kMainLabel3));
    SetPaletteColor(label3_, QPalette::WindowText, colors::kWarningRed);
    label3_->adjustSize();

    const char* const names[] = {"Command1(0)", "Command1(1)"};
    const std::string_view captions[] = {texts::kNext, texts::kQuit};
    for (int index : {0, 1}) {
        auto* button = new QPushButton(ToQString(captions[index]), this);
        button->setObjectName(QString::fromLatin1(names[index]));
        button->setGeometry(PixelsOf(names[index]));
        // Neither is the window's default button; Enter presses the one that
        // has the focus, as Space does.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, [this, index] { commands_.Click(index); });
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
