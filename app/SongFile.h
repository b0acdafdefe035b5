#pragma once
// Writing a converted song: through a save file, so that an existing file at
// the path keeps its old bytes when anything fails.
#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

// The one write of the bytes into the open device; the number of bytes
// written, or -1.
using SongFileWrite = std::function<qint64(QIODevice& device, const QByteArray& bytes)>;

// 0; 0x80000001 when the file cannot be opened for writing; 0x80000002 when
// the write fails or writes less than all; 0x80000003 when the written file
// cannot take the place of the old one. Without `write` the bytes are
// written in one call.
int WriteSongFile(const QString& path, const QByteArray& bytes, const SongFileWrite& write = SongFileWrite());
