#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QString>
#include <QTest>
#include <memory>

#include "base/BaseModule.h"
#include "tests/ui/MessageBoxAnswerer.h"
#include "tests/ui/UiSandbox.h"
#include "ui/RestoreForm.h"

namespace velmira::testing {

// The texts of the window's message boxes, as "title: text".
inline const QString kDriveListEmpty =
    QStringLiteral("確認: バックアップ機器が接続されていません。\r\nまたは電源が入っていません。");
inline const QString kNoDriveSelected =
    QStringLiteral("確認: バックアップドライブを指定してください。");
inline const QString kConfirm = QStringLiteral("復元処理: 処理を開始します。");
inline const QString kFinished = QStringLiteral("確認: 終了しました。");
inline const QString kNoMedium =
    QStringLiteral("エラー: ディスクが挿入されていない。または、ディスクが違います。");
inline const QString kFailed = QStringLiteral("エラー: 復元が正常に終了しませんでした。");

// A restore window over a sandbox, opened as the introduction window opens
// it, with an operator who answers its message boxes.
class RestoreFormTest : public ::testing::Test {
  protected:
    void SetUp() override { BaseModule::SitePrefecture = "茨城県"; }

    void Open() {
        form = std::make_unique<RestoreForm>(sandbox.Context());
        form->Load();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    template <typename Widget = QWidget>
    Widget* Find(const char* name) const {
        auto* widget = form->findChild<Widget*>(QString::fromLatin1(name));
        if (widget == nullptr) ADD_FAILURE() << "no control " << name;
        return widget;
    }

    QListWidget* DrvList() const { return Find<QListWidget>("DrvList"); }

    // Clicks the drive's entry in the list, as the operator picks it.
    void SelectDrive(const QString& letter) const {
        QListWidget* list = DrvList();
        const auto items = list->findItems(letter, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << letter.toStdString();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.front()).center());
    }

    void ClickStart() const { QTest::mouseClick(Find("CmdGd(1)"), Qt::LeftButton); }
    void ClickClose() const { QTest::mouseClick(Find("CmdGd(0)"), Qt::LeftButton); }

    bool ProgressShowing() const { return Find("WakuFrame(0)")->isVisible(); }
    bool InstructionsShowing() const { return Find("WakuFrame(1)")->isVisible(); }
    QString Caption() const { return Find<QLabel>("Label1(1)")->text(); }

    UiSandbox sandbox;
    MessageBoxAnswerer boxes;
    std::unique_ptr<RestoreForm> form;
};

}  // namespace velmira::testing
