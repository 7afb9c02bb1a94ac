#include "MainForm.h"

#include <QLabel>
#include <QPushButton>

#include "ColorRef.h"
#include "JapaneseFont.h"
#include "RestoreForm.h"
#include "SitePrefecture.h"
#include "Twips.h"

namespace velmira {

namespace {

// The window's layout in twips.
constexpr Placement kLayout[] = {
    {"MainForm", {0, 0, 4545, 2790}},  // client area
    {"Label1", {225, 135, 4245, 1080}},     {"Label2", {135, 1245, 4800, 630}},
    {"Label3", {315, 1950, 3900, 180}},     {"Command1(0)", {2445, 2265, 1890, 405}},
    {"Command1(1)", {495, 2265, 885, 405}},
};

constexpr std::uint32_t kNoticeBlue = 0x00FF0000;
constexpr std::uint32_t kWarningRed = 0x000000FF;

QRect PixelsOf(std::string_view name) {
    return ToPixels(TwipsOf(kLayout, name));
}

QLabel* MakeLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(PixelsOf(name));
    return label;
}

}  // namespace

MainForm::MainForm(UiContext context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("バックアップデータ復元 Ver2.0"));
    setFont(JapaneseFont(9));
    setFixedSize(PixelsOf("MainForm").size());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    label1_ = MakeLabel("Label1", this);
    label2_ = MakeLabel("Label2", this);
    label2_->setWordWrap(true);
    SetPaletteColor(label2_, QPalette::WindowText, kNoticeBlue);
    label3_ = MakeLabel("Label3", this);
    label3_->setText(QStringLiteral("※カルテシステムは必ず終了して作業してください。"));
    SetPaletteColor(label3_, QPalette::WindowText, kWarningRed);
    label3_->adjustSize();

    const char* const names[] = {"Command1(0)", "Command1(1)"};
    const QString texts[] = {QStringLiteral("次に進む"), QStringLiteral("終了")};
    for (int index : {0, 1}) {
        auto* button = new QPushButton(texts[index], this);
        button->setObjectName(QString::fromLatin1(names[index]));
        button->setGeometry(PixelsOf(names[index]));
        // Neither is the window's default button; Enter presses the one that
        // has the focus, as Space does.
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, [this, index] { Command1_Click(index); });
        command1_[static_cast<std::size_t>(index)] = button;
    }
    setTabOrder(command1_[0], command1_[1]);
    command1_[0]->setFocus();
}

void MainForm::Form_Load() {
    label1_->setText(
        QStringLiteral("このプログラムはバックアップされたカルテデータ･\r\n"
                       "基本データ･雛型データを復元するものです。\r\n"
                       "マシンが故障（不調）状態で作業をするとデータが\r\n"
                       "正常に復元されない可能性がありますので、\r\n"
                       "必ずマシンが正常な状態で作業をしてください。\r\n"));
    label2_->setText(
        QStringLiteral("新しいパソコンに復元する場合は、先に\r\n"
                       "最新バージョンのカルテシステムをインストール\r\n"
                       "してから復元を行ってください。"));
    LoadSitePrefecture(context_.drives);
}

void MainForm::Command1_Click(int index) {
    if (index == 0) {
        // A new window each time, so its drive list and options start afresh.
        RestoreForm form(context_, this);
        form.Form_Load();
        form.exec();
    } else {
        close();
    }
}

}  // namespace velmira
