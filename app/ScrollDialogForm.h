// The form of the scrollable message: a read-only text field over Continue
// and Cancel, the two buttons centred with equal space around them.
#pragma once

class QDialog;
class QHBoxLayout;
class QPushButton;
class QTextEdit;
class QVBoxLayout;

namespace Ui {

class ScrollDialog {
public:
    QVBoxLayout* layoutConfirmation = nullptr;
    QTextEdit* textEdit = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* btnNo = nullptr;

    void setupUi(QDialog* ScrollDialog);
    void retranslateUi(QDialog* ScrollDialog);
};

}  // namespace Ui
