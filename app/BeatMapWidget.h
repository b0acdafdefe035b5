// The beat-resolution picker: a small window without title bar showing the
// fifteen note values in five columns (sixteenth to whole) and three rows
// (triplet, plain, dotted). The cell under the mouse, or moved with the
// arrow keys, is lit; a press on a cell or Return picks it. The window then
// hides and reports the index 0..14 through finished(int), or -1 when it is
// dismissed (Escape, Return with no lit cell, the focus going elsewhere).
#pragma once

#include <QDialog>

#include "app/BeatMapWidgetForm.h"

class BeatMapWidget : public QDialog {
    Q_OBJECT
public:
    explicit BeatMapWidget(QWidget* parent = nullptr);

    int index() const { return m_nIndex; }

public slots:
    // Lights cell `index` (0..14) instead of the lit one.
    void setIndex(int index);
    // Puts cell `index` out when it is the lit one.
    void resetIndex(int index);
    void accept() override;
    void reject() override;
    // Ends the picker once: hiding takes the focus away, and that loss must
    // not end it a second time with -1.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showCell(int k, bool lit);

    Ui::BeatMapWidget ui;
    int m_nIndex = -1;
    bool m_bEnding = false;
};
