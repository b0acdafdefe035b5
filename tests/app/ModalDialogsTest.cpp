// The folder confirmation and the scrollable message: their texts, sizes
// and fonts, and how each way of ending them answers.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/ConfirmationDialog.h"
#include "app/ScrollDialog.h"

namespace {

template <typename T>
T* Part(QWidget& dialog, const char* name) {
    T* w = dialog.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

struct DialogTextCase {
    const char* object;  // "" for the window title
    const char* text;
};

TEST(ModalDialogs, ConfirmationTextsSizeAndFonts) {
    ConfirmationDialog dialog;
    EXPECT_EQ(dialog.objectName(), "ConfirmationDialog");
    const DialogTextCase kTexts[] = {
        {"", "Confirmation"},
        {"lblText", "Are you sure to convert all files in this folder ?"},
        {"btnConvert", "Convert"},
        {"btnCancel", "Cancel"},
        {"btnSkip", "Skip Errors"},
    };
    for (const auto& c : kTexts) {
        if (!*c.object) {
            EXPECT_EQ(dialog.windowTitle(), c.text);
            continue;
        }
        QWidget* w = Part<QWidget>(dialog, c.object);
        ASSERT_NE(w, nullptr);
        const QString text = qobject_cast<QLabel*>(w) ? qobject_cast<QLabel*>(w)->text()
                                                      : qobject_cast<QAbstractButton*>(w)->text();
        EXPECT_EQ(text, c.text) << c.object;
        EXPECT_EQ(w->font().pixelSize(), 12) << c.object;
    }
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(380, 140));
    dialog.resize(600, 400);
    EXPECT_EQ(dialog.size(), QSize(380, 140));
    dialog.resize(100, 50);
    EXPECT_EQ(dialog.size(), QSize(380, 140));
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST(ModalDialogs, ScrollDialogTextsAndSizeLimits) {
    ScrollDialog dialog;
    EXPECT_EQ(dialog.objectName(), "ScrollDialog");
    EXPECT_EQ(dialog.windowTitle(), "Confirmation");
    EXPECT_EQ(Part<QPushButton>(dialog, "btnOk")->text(), "Continue");
    EXPECT_EQ(Part<QPushButton>(dialog, "btnNo")->text(), "Cancel");
    auto* edit = Part<QTextEdit>(dialog, "textEdit");
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->styleSheet(), "background-color: rgb(210, 210, 210);");
    dialog.show();
    EXPECT_EQ(dialog.size(), QSize(400, 200));
    const std::pair<QSize, QSize> kResizes[] = {
        {{2000, 2000}, {1000, 1000}}, {{10, 10}, {258, 90}}, {{700, 300}, {700, 300}}, {{100, 1500}, {258, 1000}}};
    for (const auto& r : kResizes) {
        dialog.resize(r.first);
        EXPECT_EQ(dialog.size(), r.second) << r.first.width() << "x" << r.first.height();
    }
    // The buttons stay centred: as much room left of Continue as right of
    // Cancel, and at least as much between them.
    dialog.resize(600, 200);
    QCoreApplication::processEvents();
    const QRect ok = Part<QPushButton>(dialog, "btnOk")->geometry();
    const QRect no = Part<QPushButton>(dialog, "btnNo")->geometry();
    const int left = ok.left() - 8, middle = no.left() - ok.right() - 1, right = 600 - 8 - no.right() - 1;
    EXPECT_LE(qAbs(left - right), 1);
    EXPECT_GE(middle, left);
    EXPECT_GT(left, 100);
}

// How a run of the dialog ends, done by the event loop of exec().
struct DialogEnding {
    const char* what;
    std::function<void(QDialog&)> act;
    int result;
};

void ClickPart(QDialog& d, const char* name) { QTest::mouseClick(d.findChild<QPushButton*>(name), Qt::LeftButton); }

int RunDialog(QDialog& dialog, const std::function<void(QDialog&)>& act) {
    QTimer::singleShot(0, &dialog, [&dialog, act] { act(dialog); });
    return dialog.exec();
}

TEST(ModalDialogs, EachWayOfEndingGivesItsResult) {
    const auto closeButton = [](QDialog& d) { d.close(); };
    const auto escape = [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); };
    const DialogEnding kConfirmation[] = {
        {"Convert", [](QDialog& d) { ClickPart(d, "btnConvert"); }, QDialog::Accepted},
        {"Cancel", [](QDialog& d) { ClickPart(d, "btnCancel"); }, QDialog::Rejected},
        {"close button", closeButton, QDialog::Rejected},
        {"Escape", escape, QDialog::Rejected},
    };
    for (const auto& e : kConfirmation) {
        ConfirmationDialog dialog;
        EXPECT_EQ(RunDialog(dialog, e.act), e.result) << "confirmation, " << e.what;
    }
    const DialogEnding kScroll[] = {
        {"Continue", [](QDialog& d) { ClickPart(d, "btnOk"); }, QDialog::Accepted},
        {"Cancel", [](QDialog& d) { ClickPart(d, "btnNo"); }, QDialog::Rejected},
        {"close button", closeButton, QDialog::Rejected},
        {"Escape", escape, QDialog::Rejected},
    };
    for (const auto& e : kScroll) {
        ScrollDialog dialog;
        dialog.setPlainText("Drum notes to be deleted:\nC1");
        EXPECT_EQ(RunDialog(dialog, e.act), e.result) << "scroll dialog, " << e.what;
    }
}

TEST(ModalDialogs, SkipErrorsIsTickedOnEveryShow) {
    for (int run = 0; run < 2; ++run) {
        ConfirmationDialog dialog;
        bool tickedWhenShown = false;
        const int result = RunDialog(dialog, [&tickedWhenShown](QDialog& d) {
            auto* skip = d.findChild<QCheckBox*>("btnSkip");
            tickedWhenShown = skip->isChecked();
            QTest::mouseClick(skip, Qt::LeftButton, Qt::NoModifier, QPoint(5, skip->height() / 2));
            ClickPart(d, "btnConvert");
        });
        EXPECT_TRUE(tickedWhenShown) << "run " << run;
        EXPECT_EQ(result, QDialog::Accepted);
        EXPECT_FALSE(dialog.skipErrors()) << "the user's untick is what the run takes";
    }
}

TEST(ModalDialogs, LongTextScrollsAndIsNotEditable) {
    ScrollDialog dialog;
    QStringList lines;
    for (int i = 0; i < 120; ++i) lines << QString("Channel %1: note C%2 will be deleted").arg(i % 16 + 1).arg(i % 8);
    dialog.setPlainText(lines.join('\n'));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* edit = dialog.findChild<QTextEdit*>("textEdit");
    QScrollBar* bar = edit->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 0);
    EXPECT_TRUE(bar->isVisible());
    const QString before = edit->toPlainText();
    edit->setFocus();
    QTest::keyClicks(edit, "typed");
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(edit->toPlainText(), before);
    QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_PageDown);
    bar->setValue(bar->maximum());
    EXPECT_EQ(bar->value(), bar->maximum());
}

TEST(ModalDialogs, PlainTextSetterShowsMarkupAsWritten) {
    ScrollDialog dialog;
    auto* edit = dialog.findChild<QTextEdit*>("textEdit");
    dialog.setPlainText("<b>x</b>");
    EXPECT_EQ(edit->toPlainText(), "<b>x</b>");
    // The rich-text setter reads the same text as markup.
    dialog.setText("<b>x</b>");
    EXPECT_EQ(edit->toPlainText(), "x");
}

}  // namespace
