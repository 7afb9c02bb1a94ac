#pragma once

#include <QWidget>

#include "commands/Layout.h"
#include "ui/ColorRef.h"
#include "ui/JapaneseFont.h"
#include "ui/QtText.h"
#include "ui/Twips.h"

namespace velmira {

// A control as its layout row makes it: the row's name as its object name,
// its text, text colour, font, place and sizing. A window adds only what its
// toolkit asks beyond the row.
template <typename Control>
Control* RowControl(const Placement& row, QWidget* parent) {
    auto* control = new Control(ToQString(row.text), parent);
    control->setObjectName(ToQString(row.name));
    if (row.color) SetPaletteColor(control, QPalette::WindowText, *row.color);
    if (row.font) control->setFont(JapaneseFont(row.font->points, row.font->underline));
    control->setGeometry(ToQRect(row.twips));
    if (row.sizing == Sizing::FitsText) control->adjustSize();
    return control;
}

}  // namespace velmira
