// The colours the main window gives its target popup lists: grey text and a
// cyan current row on the navy panel colour.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

const QColor kPopupText(162, 174, 186);
const QColor kPopupBase(0, 56, 109);
const QColor kPopupCurrentText(0, 255, 255);

inline void SetPopupPalette(QWidget* list) {
    QPalette p = list->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Text, kPopupText);
        p.setColor(g, QPalette::Base, kPopupBase);
        p.setColor(g, QPalette::Highlight, kPopupBase);
        p.setColor(g, QPalette::HighlightedText, kPopupCurrentText);
    }
    list->setPalette(p);
}
