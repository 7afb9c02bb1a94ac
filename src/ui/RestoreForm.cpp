#include "RestoreForm.h"

#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScopeGuard>
#include <exception>

#include "ColorRef.h"
#include "DriveListSink.h"
#include "FileListBox.h"
#include "JapaneseFont.h"
#include "JobRules.h"
#include "LabelButton.h"
#include "LineShape.h"
#include "MessageBoxes.h"
#include "NumberedError.h"
#include "RectangleShape.h"
#include "RemovableDriveList.h"
#include "RestoreRun.h"
#include "SiteRegion.h"

namespace velmira {

namespace {

// The window's layout in twips, each control relative to its container.
// Lines run from (left, top) to (left + width, top).
constexpr Placement kLayout[] = {
    {"RestoreForm", {0, 0, 4860, 4875}},  // client area
    {"Label1(2)", {600, 105, 3420, 180}},
    {"Line1(0)", {90, 360, 4620, 0}},
    {"WakuFrame(0)", {90, 375, 4725, 1740}},
    {"Label1(1)", {570, 630, 1110, 180}},
    {"SyoriSp(0)", {570, 885, 3585, 135}},
    {"SyoriSp(1)", {570, 885, 150, 135}},
    {"WakuFrame(1)", {60, 3435, 4605, 1305}},
    {"Label1(3)", {150, 240, 4365, 900}},
    {"Label1(4)", {150, 735, 4365, 435}},
    {"Line1(1)", {120, 2160, 4620, 0}},
    {"Label1(0)", {75, 2295, 1515, 180}},
    {"DrvList", {1665, 2310, 450, 1110}},
    {"WakuFrame(2)", {2220, 2235, 1245, 825}},
    {"SentakuOp(0)", {150, 210, 1035, 210}},
    {"SentakuOp(1)", {150, 510, 1035, 210}},
    {"CmdGd(1)", {3525, 2340, 1155, 285}},
    {"CmdGd(0)", {4305, 2970, 375, 195}},
    {"BackUpFileList(0)", {705, 5010, 2625, 2250}},
    {"BackUpFileList(1)", {3720, 5055, 2625, 2250}},
};

constexpr std::uint32_t kBackground = 0x00D4D4FF;  // pale pink
constexpr std::uint32_t kTitleBlue = 0x00FF8080;
constexpr std::uint32_t kLowerLineGrey = 0x00C0C0C0;
constexpr std::uint32_t kBarGreen = 0x0000FF00;
constexpr std::uint32_t kHighlightRed = 255;
constexpr std::uint32_t kBlack = 0;

QRect PixelsOf(std::string_view name) {
    return ToPixels(TwipsOf(kLayout, name));
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A transparent label at its place; an auto-sizing one fits its one line,
// the others keep their size and wrap.
QLabel* MakeLabel(const char* name, const QString& text, bool autoSize, QWidget* parent) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(PixelsOf(name));
    if (autoSize) {
        label->adjustSize();
    } else {
        label->setWordWrap(true);
    }
    return label;
}

QFrame* MakeFrame(const char* name, QWidget* parent) {
    auto* frame = Named(new QFrame(parent), name);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(PixelsOf(name));
    return frame;
}

// Buttons fill with their Button role, frames and windows with Window.
void SetBackground(QWidget* widget, std::uint32_t bgr) {
    SetPaletteColor(widget, widget->backgroundRole(), bgr);
    widget->setAutoFillBackground(true);
}

}  // namespace

RestoreForm::RestoreForm(UiContext context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName(QStringLiteral("RestoreForm"));
    // An empty title would make the window system show the program's name.
    setWindowTitle(QStringLiteral(" "));
    setFont(JapaneseFont(9));
    setFixedSize(PixelsOf("RestoreForm").size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    // Movement over the bare window resets the label-buttons.
    setMouseTracking(true);

    label1_[2] = MakeLabel(
        "Label1(2)", QStringLiteral("【カルテデータ・基本データ・雛型データ復元】"), true, this);
    SetPaletteColor(label1_[2], QPalette::WindowText, kTitleBlue);
    line1_[0] = Named(new LineShape(TwipsOf(kLayout, "Line1(0)"), FromColorRef(kTitleBlue), this),
                      "Line1(0)");

    wakuFrame_[0] = MakeFrame("WakuFrame(0)", this);
    label1_[1] = MakeLabel("Label1(1)", QStringLiteral("処理中・・・・・。"), true, wakuFrame_[0]);
    syoriSp_[0] =
        Named(new RectangleShape(TwipsOf(kLayout, "SyoriSp(0)"), {}, wakuFrame_[0]), "SyoriSp(0)");
    syoriSp_[1] = Named(
        new RectangleShape(TwipsOf(kLayout, "SyoriSp(1)"), FromColorRef(kBarGreen), wakuFrame_[0]),
        "SyoriSp(1)");

    // Created after the progress panel, so it lies in front of it until the
    // first run switches panels.
    wakuFrame_[1] = MakeFrame("WakuFrame(1)", this);
    label1_[3] = MakeLabel(
        "Label1(3)",
        QStringLiteral("バックアップしたディスク等を挿入してから復元開始をクリックしてください。"),
        false, wakuFrame_[1]);
    label1_[4] =
        MakeLabel("Label1(4)",
                  QStringLiteral("バックアップドライブに複数表示される場合は、下部に表示され"
                                 "るものを選択してください。（G・HであればHを選択）"),
                  false, wakuFrame_[1]);

    line1_[1] =
        Named(new LineShape(TwipsOf(kLayout, "Line1(1)"), FromColorRef(kLowerLineGrey), this),
              "Line1(1)");
    label1_[0] = MakeLabel("Label1(0)", QStringLiteral("バックアップドライブ"), true, this);

    drvList_ = Named(new QListWidget(this), "DrvList");
    drvList_->setGeometry(PixelsOf("DrvList"));

    wakuFrame_[2] = MakeFrame("WakuFrame(2)", this);
    sentakuOp_[0] =
        Named(new QRadioButton(QStringLiteral("治療簿"), wakuFrame_[2]), "SentakuOp(0)");
    sentakuOp_[1] =
        Named(new QRadioButton(QStringLiteral("カルテ"), wakuFrame_[2]), "SentakuOp(1)");
    // Tab enters the option group at its selected option; the arrow keys move
    // within the group.
    for (auto* option : sentakuOp_) {
        option->setGeometry(PixelsOf(option->objectName().toStdString()));
        connect(option, &QRadioButton::toggled, option, [option](bool checked) {
            option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
        option->setFocusPolicy(Qt::ClickFocus);
    }
    sentakuOp_[0]->setChecked(true);

    const char* const cmdNames[] = {"CmdGd(0)", "CmdGd(1)"};
    const QString cmdTexts[] = {QStringLiteral("閉る"), QStringLiteral("復元開始")};
    const double cmdPoints[] = {9.75, 14.25};
    for (int index : {1, 0}) {
        auto* button = Named(new LabelButton(cmdTexts[index], this), cmdNames[index]);
        button->setFont(JapaneseFont(cmdPoints[index], true));
        button->setGeometry(PixelsOf(cmdNames[index]));
        button->adjustSize();
        connect(button, &LabelButton::clicked, this, [this, index] { CmdGd_Click(index); });
        connect(button, &LabelButton::pointerMoved, this,
                [this, index] { CmdGd_MouseMove(index); });
        cmdGd_[static_cast<std::size_t>(index)] = button;
    }

    for (int index : {0, 1}) {
        const std::string name = "BackUpFileList(" + std::to_string(index) + ")";
        auto* list = new FileListBox(this);
        list->setObjectName(QString::fromStdString(name));
        list->setGeometry(PixelsOf(name));
        backUpFileList_[static_cast<std::size_t>(index)] = list;
    }

    // Only the window background and the lines report movement to the
    // window; everything else keeps it to itself.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             label1_[0], label1_[2], wakuFrame_[0], wakuFrame_[1], wakuFrame_[2], drvList_,
             backUpFileList_[0], backUpFileList_[1]}) {
        widget->setAttribute(Qt::WA_NoMousePropagation);
    }

    setTabOrder(drvList_, sentakuOp_[1]);
    setTabOrder(sentakuOp_[1], sentakuOp_[0]);
    drvList_->setFocus();
}

RestoreForm::~RestoreForm() = default;

void RestoreForm::Form_Load() {
    // Silent trap: whatever fails, the window shows what the load had done
    // so far. Only the drive listing can fail.
    try {
        highlightColor_ = kHighlightRed;
        SetBackground(this, kBackground);

        SetBackground(wakuFrame_[0], kBackground);
        wakuFrame_[0]->setFrameShape(QFrame::NoFrame);
        SetBackground(wakuFrame_[1], kBackground);
        wakuFrame_[1]->setGeometry(wakuFrame_[0]->geometry());
        wakuFrame_[1]->setFrameShape(QFrame::NoFrame);
        SetBackground(wakuFrame_[2], kBackground);
        for (auto* option : sentakuOp_) SetBackground(option, kBackground);

        switch (CurrentSiteRegion()) {
            case SiteRegion::Ibaraki:
                sentakuOp_[0]->setText(QStringLiteral("治療簿"));
                sentakuOp_[1]->setText(QStringLiteral("カルテ"));
                break;
            case SiteRegion::Tottori:
                sentakuOp_[0]->setText(QStringLiteral("カルテ"));
                sentakuOp_[1]->setText(QStringLiteral("検案書"));
                break;
            case SiteRegion::Other:
                wakuFrame_[2]->hide();
                break;
        }

        DriveListSink sink(*drvList_);
        RemovableDriveList(sink, context_.driveSource);
    } catch (const NumberedError&) {
    } catch (const std::exception&) {
    }
}

void RestoreForm::CmdGd_Click(int index) {
    // Commands that arrive during a run's yields wait for nobody: they are
    // dropped, so there is never a run inside a run and the window is never
    // closed under one.
    if (running_) return;
    if (index == 0) {
        done(QDialog::Rejected);
    } else if (index == 1) {
        StartCommand();
    }
}

void RestoreForm::CmdGd_MouseMove(int index) {
    SetCmdGdColor(index, highlightColor_);
}

void RestoreForm::Form_MouseMove() {
    for (int index = 0; index < static_cast<int>(cmdGd_.size()); ++index) {
        SetCmdGdColor(index, kBlack);
    }
}

void RestoreForm::SetCmdGdColor(int index, std::uint32_t bgr) {
    if (index < 0 || index >= static_cast<int>(cmdGd_.size())) return;
    SetPaletteColor(cmdGd_[static_cast<std::size_t>(index)], QPalette::WindowText, bgr);
}

void RestoreForm::StartCommand() {
    running_ = true;
    const auto finish = qScopeGuard([this] { running_ = false; });
    const MessageBoxes boxes(this);
    try {
        if (drvList_->count() == 0) {
            boxes.DriveListEmpty();
            return;
        }
        const QList<QListWidgetItem*> selected = drvList_->selectedItems();
        const QString drive = selected.isEmpty() ? QString() : selected.front()->text();
        if (drive.isEmpty()) {
            boxes.NoDriveSelected();
            return;
        }
        if (!boxes.ConfirmStart()) return;
        const RestoreJob job = SelectJob(CurrentSiteRegion(), sentakuOp_[0]->isChecked());
        RunRestoreJob(job, drive.front().toLatin1(), *this, context_.drives);
        boxes.Finished();
    } catch (const NumberedError& error) {
        if (error.number() == ErrorNumber::DeviceUnavailable) {
            boxes.DeviceUnavailable();
        } else {
            boxes.RestoreFailed();
        }
    } catch (const std::exception&) {
        boxes.RestoreFailed();
    }
}

void RestoreForm::reject() {
    if (running_) return;
    QDialog::reject();
}

void RestoreForm::mouseMoveEvent(QMouseEvent* event) {
    QDialog::mouseMoveEvent(event);
    Form_MouseMove();
}

// The window has no cancel key: Escape does not close it.
void RestoreForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RestoreForm::SetCaption(const std::string& utf8Caption) {
    label1_[1]->setText(QString::fromStdString(utf8Caption));
    label1_[1]->adjustSize();
}

float RestoreForm::FrameWidth() const {
    return syoriSp_[0]->WidthTwips();
}

float RestoreForm::FillWidth() const {
    return syoriSp_[1]->WidthTwips();
}

void RestoreForm::SetFillWidth(float twips) {
    syoriSp_[1]->SetWidthTwips(twips);
}

void RestoreForm::ShowProgress() {
    wakuFrame_[0]->show();
    wakuFrame_[1]->hide();
}

void RestoreForm::ShowInstructions() {
    wakuFrame_[1]->show();
    wakuFrame_[0]->hide();
}

void RestoreForm::ListFolder(int lister, const std::filesystem::path& nativeFolder) {
    backUpFileList_.at(static_cast<std::size_t>(lister))->SetFolder(nativeFolder);
}

std::size_t RestoreForm::ListCount(int lister) const {
    return backUpFileList_.at(static_cast<std::size_t>(lister))->EntryCount();
}

ListedFile RestoreForm::ListEntry(int lister, std::size_t index) const {
    return backUpFileList_.at(static_cast<std::size_t>(lister))->Entry(index);
}

void RestoreForm::Yield() {
    emit Yielding();
    QCoreApplication::processEvents();
}

void RestoreForm::PumpEvents() {
    // Commands stay ignored: the run is still going.
    QCoreApplication::processEvents();
}

}  // namespace velmira
