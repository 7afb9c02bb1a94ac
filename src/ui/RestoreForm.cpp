#include "ui/RestoreForm.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QSessionManager>

#include "commands/CentredRect.h"
#include "commands/Layout.h"
#include "commands/WindowTexts.h"
#include "ui/AccessibleFactory.h"
#include "ui/ColorRef.h"
#include "ui/InputDiscarder.h"
#include "ui/LabelButton.h"
#include "ui/LineShape.h"
#include "ui/MessageBoxes.h"
#include "ui/ProgressFill.h"
#include "ui/QtText.h"
#include "ui/RectangleShape.h"
#include "ui/RowControl.h"
#include "ui/Twips.h"

namespace velmira {

namespace {

const Placement& RowOf(std::string_view name) {
    return RowOf(RestoreFormLayout(), name);
}

QRect PixelsOf(std::string_view name) {
    return ToQRect(RowOf(name).twips);
}

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A transparent label at its place; one that keeps its size wraps. Labels,
// frames and the drive list keep pointer movement from the window: only the
// bare window and its lines reset the label-buttons.
QLabel* MakeLabel(const char* name, QWidget* parent) {
    auto* label = RowControl<QLabel>(RowOf(name), parent);
    label->setAttribute(Qt::WA_NoMousePropagation);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(RowOf(name).sizing == Sizing::Kept);
    return label;
}

QFrame* MakeFrame(const char* name, QWidget* parent) {
    auto* frame = Named(new QFrame(parent), name);
    frame->setAttribute(Qt::WA_NoMousePropagation);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(PixelsOf(name));
    return frame;
}

LineShape* MakeLine(const char* name, QWidget* parent) {
    const Placement& row = RowOf(name);
    return Named(new LineShape(row.twips, FromColorRef(row.color.value()), parent), name);
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
    SetUpWindow();
    PlaceOverOwner();
    MakePanels();
    MakeDriveList();
    MakeOptions();
    MakeButtons();
}

RestoreForm::~RestoreForm() = default;

void RestoreForm::Load() {
    SetBackground(this, colors::kBackground);
    SetBackground(progress_, colors::kBackground);
    progress_->setFrameShape(QFrame::NoFrame);
    SetBackground(instructions_, colors::kBackground);
    instructions_->setGeometry(progress_->geometry());
    instructions_->setFrameShape(QFrame::NoFrame);
    SetBackground(options_, colors::kBackground);
    for (auto* option : option_) SetBackground(option, colors::kBackground);
    commands_.Form_Load();
}

void RestoreForm::SetUpWindow() {
    setObjectName(QStringLiteral("RestoreForm"));
    InstallAccessibleFactory();
    // An empty title would make the window system show the program's name;
    // screen readers hear the heading instead of the blank.
    setWindowTitle(QStringLiteral(" "));
    setAccessibleName(ToQString(texts::kRestoreHeading));
    const Placement& window = RowOf("RestoreForm");
    setFont(JapaneseFont(window.font->points));
    setFixedSize(ToQRect(window.twips).size());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    // Movement over the bare window resets the label-buttons.
    setMouseTracking(true);
    // The session manager asks before the session ends: not under a run.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (holdsShutdown_ && manager.allowsInteraction()) manager.cancel();
    });
}

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

// The heading, then the two panels on one rectangle.
void RestoreForm::MakePanels() {
    MakeLabel("Label1(2)", this);
    MakeLine("Line1(0)", this);

    progress_ = MakeFrame("WakuFrame(0)", this);
    caption_ = MakeLabel("Label1(1)", progress_);
    barFrame_ = Named(new RectangleShape(RowOf("SyoriSp(0)").twips, {}, progress_), "SyoriSp(0)");
    const Placement& fill = RowOf("SyoriSp(1)");
    barFill_ =
        Named(new ProgressFill(fill.twips, FromColorRef(fill.color.value()), *barFrame_, progress_),
              "SyoriSp(1)");

    // Created after the progress panel, so it lies in front of it until the
    // first run switches panels.
    instructions_ = MakeFrame("WakuFrame(1)", this);
    MakeLabel("Label1(3)", instructions_);
    MakeLabel("Label1(4)", instructions_);
}

void RestoreForm::MakeDriveList() {
    MakeLine("Line1(1)", this);
    MakeLabel("Label1(0)", this);
    driveList_ = Named(new QListWidget(this), "DrvList");
    driveList_->setAttribute(Qt::WA_NoMousePropagation);
    driveList_->setGeometry(PixelsOf("DrvList"));
    driveSink_ = std::make_unique<DriveListSink>(*driveList_);
}

void RestoreForm::MakeOptions() {
    options_ = MakeFrame("WakuFrame(2)", this);
    option_[0] = RowControl<QRadioButton>(RowOf("SentakuOp(0)"), options_);
    option_[1] = RowControl<QRadioButton>(RowOf("SentakuOp(1)"), options_);
    // Tab enters the option group at its selected option; the arrow keys move
    // within the group.
    for (auto* option : option_) {
        connect(option, &QRadioButton::toggled, option, [option](bool checked) {
            option->setFocusPolicy(checked ? Qt::StrongFocus : Qt::ClickFocus);
        });
        option->setFocusPolicy(Qt::ClickFocus);
    }
    option_[0]->setChecked(true);
}

void RestoreForm::MakeButtons() {
    const char* const names[] = {"CmdGd(0)", "CmdGd(1)"};
    for (int index : {1, 0}) {
        auto* button = RowControl<LabelButton>(RowOf(names[index]), this);
        connect(button, &LabelButton::clicked, this,
                [this, index] { commands_.CmdGd_Click(index); });
        connect(button, &LabelButton::pointerMoved, this,
                [this, index] { commands_.CmdGd_MouseMove(index); });
        buttons_[static_cast<std::size_t>(index)] = button;
    }
    setTabOrder(driveList_, option_[1]);
    setTabOrder(option_[1], option_[0]);
    setTabOrder(option_[0], buttons_[1]);
    setTabOrder(buttons_[1], buttons_[0]);
    driveList_->setFocus();
}

std::size_t RestoreForm::DriveCount() const {
    return static_cast<std::size_t>(driveList_->count());
}

std::string RestoreForm::SelectedDrive() const {
    const QList<QListWidgetItem*> selected = driveList_->selectedItems();
    return selected.isEmpty() ? std::string() : selected.front()->text().toStdString();
}

void RestoreForm::SetOptionCaptions(const std::string& first, const std::string& second) {
    option_[0]->setText(QString::fromStdString(first));
    option_[1]->setText(QString::fromStdString(second));
}

void RestoreForm::HideOptions() {
    options_->hide();
}

bool RestoreForm::FirstOptionSelected() const {
    return option_[0]->isChecked();
}

void RestoreForm::SetButtonColor(int index, std::uint32_t bgr) {
    SetPaletteColor(buttons_.at(static_cast<std::size_t>(index)), QPalette::WindowText, bgr);
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

bool RestoreForm::ShowMessage(Message message) {
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
    commands_.Form_MouseMove();
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
    caption_->setText(QString::fromStdString(utf8Caption));
    caption_->adjustSize();
}

float RestoreForm::FrameWidth() const {
    return barFrame_->WidthTwips();
}

float RestoreForm::FillWidth() const {
    return barFill_->WidthTwips();
}

void RestoreForm::SetFillWidth(float twips) {
    barFill_->SetFill(twips);
}

void RestoreForm::ShowProgress() {
    progress_->show();
    instructions_->hide();
}

void RestoreForm::ShowInstructions() {
    instructions_->show();
    progress_->hide();
}

}  // namespace velmira
