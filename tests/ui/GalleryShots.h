#pragma once
// Where the gallery keeps its PNGs ($VEXA_SCREENS, else ./screens), and
// keeping one: saved, then read back from the file for the checks; where a
// widget lies in a shot of its window, and a modal dialog caught when it is up.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QRect>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

inline QString GalleryShotsDir() {
    const QString dir = qEnvironmentVariableIsSet("VEXA_SCREENS") ? qEnvironmentVariable("VEXA_SCREENS")
                                                                  : QDir::currentPath() + "/screens";
    QDir().mkpath(dir);
    return dir;
}

// Saves the image as a PNG and returns it as read back from the file.
inline QImage KeepGalleryShot(const QImage& image, const QString& file) {
    const QString path = GalleryShotsDir() + "/" + file;
    EXPECT_TRUE(image.save(path, "PNG")) << qPrintable(path);
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// The widget's rectangle in a shot of `top`.
inline QRect GalleryShotRect(const QWidget* top, const QWidget* widget) {
    return QRect(widget->mapTo(top, QPoint(0, 0)), widget->size());
}

// Runs `check` on the modal dialog of type T once it is up, then closes it.
template <class T>
void WhenGalleryDialogIsUp(const std::function<void(T*)>& check) {
    QTimer::singleShot(0, [check] {
        T* dialog = nullptr;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                dialog = qobject_cast<T*>(QApplication::activeModalWidget());
                return dialog && dialog->isVisible();
            },
            5000));
        if (!dialog) return;
        QTest::qWaitForWindowExposed(dialog);
        QTest::qWait(100);
        check(dialog);
        dialog->reject();
    });
}
