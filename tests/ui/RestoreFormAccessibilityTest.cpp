#include <QAccessible>

#include "tests/ui/RestoreFormTestSupport.h"

namespace velmira::testing {
namespace {

QAccessibleInterface* AccessibleOf(QObject* object) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    if (accessible == nullptr) ADD_FAILURE() << "no accessible interface";
    return accessible;
}

TEST_F(RestoreFormTest, ScreenReadersSeeTheHeadingAPressableButtonAndTheBarInPercent) {
    sandbox.Write("F/BackUp2/T0001.dat");
    Open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral(" "));
    EXPECT_EQ(AccessibleOf(form.get())->text(QAccessible::Name),
              QStringLiteral("【カルテデータ・基本データ・雛型データ復元】"));

    QAccessibleInterface* start = AccessibleOf(Find("CmdGd(1)"));
    EXPECT_EQ(start->role(), QAccessible::Button);
    EXPECT_EQ(start->text(QAccessible::Name), QStringLiteral("復元開始"));
    ASSERT_NE(start->actionInterface(), nullptr);
    EXPECT_TRUE(start->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));

    SelectDrive("F");
    start->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(QTest::qWaitFor([&] { return boxes.seen().size() == 2; }));
    EXPECT_EQ(boxes.Texts(), (QStringList{kConfirm, kFinished}));

    QAccessibleInterface* bar = AccessibleOf(Find("SyoriSp(1)"));
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 100);
    EXPECT_EQ(bar->text(QAccessible::Value), QStringLiteral("100%"));
}

}  // namespace
}  // namespace velmira::testing
