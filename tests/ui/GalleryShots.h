#pragma once
// Where the gallery keeps its PNGs ($VEXA_SCREENS, else ./screens), and
// keeping one: saved, then read back from the file for the checks.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QString>

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
