// Window tests need a QApplication around GoogleTest, on the offscreen
// platform unless another is asked for, with Qt's Japanese texts as the
// programs load them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    QTranslator qtTexts;
    if (!qtTexts.load(QStringLiteral("qtbase_ja"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        std::fputs("qtbase_ja.qm not found\n", stderr);
        return 1;
    }
    QCoreApplication::installTranslator(&qtTexts);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
