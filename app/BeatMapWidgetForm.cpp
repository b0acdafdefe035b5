#include "app/BeatMapWidgetForm.h"

#include <QDialog>
#include <QPixmap>

#include "app/IconPushButton.h"
#include "app/Pictures.h"
#include "app/SimpleLabel.h"

namespace {

IconPushButton* Ui::BeatMapWidget::*const kBeatMapCells[15] = {
    &Ui::BeatMapWidget::btnNote1,  &Ui::BeatMapWidget::btnNote2,  &Ui::BeatMapWidget::btnNote3,
    &Ui::BeatMapWidget::btnNote4,  &Ui::BeatMapWidget::btnNote5,  &Ui::BeatMapWidget::btnNote6,
    &Ui::BeatMapWidget::btnNote7,  &Ui::BeatMapWidget::btnNote8,  &Ui::BeatMapWidget::btnNote9,
    &Ui::BeatMapWidget::btnNote10, &Ui::BeatMapWidget::btnNote11, &Ui::BeatMapWidget::btnNote12,
    &Ui::BeatMapWidget::btnNote13, &Ui::BeatMapWidget::btnNote14, &Ui::BeatMapWidget::btnNote15,
};

}  // namespace

void Ui::BeatMapWidget::setupUi(QDialog* BeatMapWidget) {
    RegisterPictures();
    if (BeatMapWidget->objectName().isEmpty()) BeatMapWidget->setObjectName(QString::fromUtf8("BeatMapWidget"));
    BeatMapWidget->resize(136, 97);
    BeatMapWidget->setMinimumSize(136, 97);
    BeatMapWidget->setMaximumSize(136, 97);

    lblBackground = new SimpleLabel(BeatMapWidget);
    lblBackground->setObjectName(QString::fromUtf8("lblBackground"));
    lblBackground->setGeometry(0, 0, 136, 97);
    lblBackground->setPixmap(QPixmap(QString::fromUtf8(":/res/BeatMap.bmp")));

    // Cell k: column k / 3 (sixteenth .. whole), row k % 3 (triplet, plain,
    // dotted); one-pixel lines of the background between the cells.
    for (int k = 0; k < 15; ++k) {
        auto* cell = new IconPushButton(BeatMapWidget);
        cell->setObjectName(QString::fromUtf8("btnNote%1").arg(k + 1));
        cell->setGeometry(1 + 27 * (k / 3), 1 + 32 * (k % 3), 26, 31);
        // The picker keeps the keyboard focus: a cell taking it on a press
        // would dismiss the picker before the press picks the cell.
        cell->setFocusPolicy(Qt::NoFocus);
        this->*kBeatMapCells[k] = cell;
    }
}

IconPushButton* Ui::BeatMapWidget::cell(int k) const { return this->*kBeatMapCells[k]; }
