#include "app/SongFile.h"

#include <QSaveFile>

int WriteSongFile(const QString& path, const QByteArray& bytes, const SongFileWrite& write) {
    QSaveFile file(path);
    // A folder that cannot take the temporary file still lets a writable
    // file be written in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) return int(0x80000001);
    const qint64 written = write ? write(file, bytes) : file.write(bytes);
    if (written <= 0 || written != bytes.size()) {
        file.cancelWriting();
        return int(0x80000002);
    }
    if (!file.commit()) return int(0x80000003);
    return 0;
}
