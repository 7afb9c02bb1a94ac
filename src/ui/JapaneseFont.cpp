#include "ui/JapaneseFont.h"

#include <QStringList>
#include <cmath>

namespace velmira {

QFont JapaneseFont(double points, bool underline) {
    QFont font;
    font.setFamilies(QStringList{QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                                 QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
    font.setWeight(QFont::Normal);
    font.setUnderline(underline);
    return font;
}

}  // namespace velmira
