#include "RestoreForm.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QSessionManager>

#include "AccessibleFactory.h"
#include "CentredRect.h"
#include "ColorRef.h"
#include "InputDiscarder.h"
#include "JapaneseFont.h"
#include "LabelButton.h"
#include "Layout.h"
#include "LineShape.h"
#include "MessageBoxes.h"
#include "ProgressFill.h"
#include "QtText.h"
#include "RectangleShape.h"
#include "Twips.h"
#include "WindowTexts.h"

namespace velmira {

namespace {

const TwipsRect& TwipsOf(std::string_view name) {
    return TwipsOf(RestoreFormLayout(), name);
}

QRect PixelsOf(std::string_view name) {
    return ToQRect(TwipsOf(name));
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A transparent label at its place; an auto-sizing one fits its one line,
// the others keep their size and wrap.
QLabel* MakeLabel(const char* name, std::string_view text, bool autoSize, QWidget* parent) {
    auto* label = Named(new QLabel(ToQString(text), parent), name);
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

PixelRect ToPixelRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

}  // namespace

RestoreForm::RestoreForm(UiContext context, QWidget* parent)
    : QDialog(parent), commands_(*this, context.drives, context.driveSource) {
    setObjectName(QStringLiteral("RestoreForm"));
    InstallAccessibleFactory();
    // An empty title would make the window system show the program's name;
    // screen readers hear the heading instead of the blank.
    setWindowTitle(QStringLiteral(" "));
    setAccessibleName(ToQString(texts::kRestoreHeading));
    setFont(JapaneseFont(9));
    setFixedSize(PixelsOf("RestoreForm").size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    // Movement over the bare window resets the label-buttons.
    setMouseTracking(true);
    PlaceOverOwner();

    label1_[2] = MakeLabel("Label1(2)", texts::kRestoreHeading, true, this);
    SetPaletteColor(label1_[2], QPalette::WindowText, colors::kTitleBlue);
    line1_[0] = Named(new LineShape(TwipsOf("Line1(0)"), FromColorRef(colors::kTitleBlue), this),
                      "Line1(0)");

    wakuFrame_[0] = MakeFrame("WakuFrame(0)", this);
    label1_[1] = MakeLabel("Label1(1)", texts::kIdleCaption, true, wakuFrame_[0]);
    syoriSp0_ = Named(new RectangleShape(TwipsOf("SyoriSp(0)"), {}, wakuFrame_[0]), "SyoriSp(0)");
    syoriSp1_ = Named(new ProgressFill(TwipsOf("SyoriSp(1)"), FromColorRef(colors::kBarGreen),
                                       *syoriSp0_, wakuFrame_[0]),
                      "SyoriSp(1)");

    // Created after the progress panel, so it lies in front of it until the
    // first run switches panels.
    wakuFrame_[1] = MakeFrame("WakuFrame(1)", this);
    label1_[3] = MakeLabel("Label1(3)", texts::kInsertDisk, false, wakuFrame_[1]);
    label1_[4] = MakeLabel("Label1(4)", texts::kPickLowest, false, wakuFrame_[1]);

    line1_[1] = Named(
        new LineShape(TwipsOf("Line1(1)"), FromColorRef(colors::kLowerLineGrey), this), "Line1(1)");
    label1_[0] = MakeLabel("Label1(0)", texts::kDriveListLabel, true, this);

    drvList_ = Named(new QListWidget(this), "DrvList");
    drvList_->setGeometry(PixelsOf("DrvList"));
    driveSink_ = std::make_unique<DriveListSink>(*drvList_);

    wakuFrame_[2] = MakeFrame("WakuFrame(2)", this);
    sentakuOp_[0] =
        Named(new QRadioButton(ToQString(texts::kOption0), wakuFrame_[2]), "SentakuOp(0)");
    sentakuOp_[1] =
        Named(new QRadioButton(ToQString(texts::kOption1), wakuFrame_[2]), "SentakuOp(1)");
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
    const std::string_view cmdTexts[] = {texts::kCloseButton, texts::kStartButton};
    const double cmdPoints[] = {kCloseButtonPoints, kStartButtonPoints};
    for (int index : {1, 0}) {
        auto* button = Named(new LabelButton(ToQString(cmdTexts[index]), this), cmdNames[index]);
        button->setFont(JapaneseFont(cmdPoints[index], true));
        button->setGeometry(PixelsOf(cmdNames[index]));
        button->adjustSize();
        connect(button, &LabelButton::clicked, this, [this, index] { CmdGd_Click(index); });
        connect(button, &LabelButton::pointerMoved, this,
                [this, index] { CmdGd_MouseMove(index); });
        cmdGd_[static_cast<std::size_t>(index)] = button;
    }

    // Only the window background and the lines report movement to the
    // window; everything else keeps it to itself.
    for (QWidget* widget : std::initializer_list<QWidget*>{
             label1_[0], label1_[2], wakuFrame_[0], wakuFrame_[1], wakuFrame_[2], drvList_}) {
        widget->setAttribute(Qt::WA_NoMousePropagation);
    }

    // The session manager asks before the session ends: not under a run.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (holdsShutdown_ && manager.allowsInteraction()) manager.cancel();
    });

    setTabOrder(drvList_, sentakuOp_[1]);
    setTabOrder(sentakuOp_[1], sentakuOp_[0]);
    setTabOrder(sentakuOp_[0], cmdGd_[1]);
    setTabOrder(cmdGd_[1], cmdGd_[0]);
    drvList_->setFocus();
}

RestoreForm::~RestoreForm() = default;

// Centred over the start window inside its screen's work area, by the rule
// of the Windows front end; without an owner, on the primary screen.
void RestoreForm::PlaceOverOwner() {
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen->availableGeometry();
    const QRect over = owner != nullptr ? owner->frameGeometry() : area;
    const PixelRect placed = CentredRect(width(), height(), ToPixelRect(over), ToPixelRect(area));
    move(placed.left, placed.top);
}

void RestoreForm::Form_Load() {
    SetBackground(this, colors::kBackground);
    SetBackground(wakuFrame_[0], colors::kBackground);
    wakuFrame_[0]->setFrameShape(QFrame::NoFrame);
    SetBackground(wakuFrame_[1], colors::kBackground);
    wakuFrame_[1]->setGeometry(wakuFrame_[0]->geometry());
    wakuFrame_[1]->setFrameShape(QFrame::NoFrame);
    SetBackground(wakuFrame_[2], colors::kBackground);
    for (auto* option : sentakuOp_) SetBackground(option, colors::kBackground);
    commands_.Load();
}

std::size_t RestoreForm::DriveCount() const {
    return static_cast<std::size_t>(drvList_->count());
}

std::string RestoreForm::SelectedDrive() const {
    const QList<QListWidgetItem*> selected = drvList_->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

void RestoreForm::SetOptionCaptions(const std::string& first, const std::string& second) {
    sentakuOp_[0]->setText(QString::fromStdString(first));
    sentakuOp_[1]->setText(QString::fromStdString(second));
}

void RestoreForm::HideOptions() {
    wakuFrame_[2]->hide();
}

bool RestoreForm::FirstOptionSelected() const {
    return sentakuOp_[0]->isChecked();
}

void RestoreForm::SetButtonColor(int index, std::uint32_t bgr) {
    SetPaletteColor(cmdGd_.at(static_cast<std::size_t>(index)), QPalette::WindowText, bgr);
}

void RestoreForm::DiscardPendingInput() {
    heldKeys_.WaitForRelease(kMostKeyWait);
    InputDiscarder::DiscardPending();
}

void RestoreForm::HoldShutdown(const std::string&) {
    holdsShutdown_ = true;
}

void RestoreForm::ReleaseShutdown() {
    holdsShutdown_ = false;
}

bool RestoreForm::Ask(Message message) {
    return MessageBoxes(this).Show(message);
}

void RestoreForm::Close() {
    done(QDialog::Rejected);
}

void RestoreForm::reject() {
    if (!commands_.MayClose()) return;
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
    return syoriSp0_->WidthTwips();
}

float RestoreForm::FillWidth() const {
    return syoriSp1_->WidthTwips();
}

void RestoreForm::SetFillWidth(float twips) {
    syoriSp1_->SetFill(twips);
}

void RestoreForm::ShowProgress() {
    wakuFrame_[0]->show();
    wakuFrame_[1]->hide();
}

void RestoreForm::ShowInstructions() {
    wakuFrame_[1]->show();
    wakuFrame_[0]->hide();
}

}  // namespace velmira
