// The beat-resolution picker's form: the grid picture with fifteen picture
// buttons over its cells, in the manner of a generated form.
#pragma once

class QDialog;
class IconPushButton;
class SimpleLabel;

namespace Ui {

class BeatMapWidget {
public:
    SimpleLabel* lblBackground = nullptr;
    IconPushButton *btnNote1 = nullptr, *btnNote2 = nullptr, *btnNote3 = nullptr, *btnNote4 = nullptr,
                   *btnNote5 = nullptr, *btnNote6 = nullptr, *btnNote7 = nullptr, *btnNote8 = nullptr,
                   *btnNote9 = nullptr, *btnNote10 = nullptr, *btnNote11 = nullptr, *btnNote12 = nullptr,
                   *btnNote13 = nullptr, *btnNote14 = nullptr, *btnNote15 = nullptr;

    void setupUi(QDialog* BeatMapWidget);
    // The cells btnNote1 .. btnNote15, cell k at index k.
    IconPushButton* cell(int k) const;
};

}  // namespace Ui
