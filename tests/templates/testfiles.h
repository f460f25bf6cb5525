#pragma once

#include <QDir>
#include <QFile>
#include <QMap>
#include <QtTest>

// Small file helpers shared by the template tests.
inline QByteArray everyByte()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    return all;
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly), qPrintable(path));
    f.write(bytes);
}

inline QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Every entry of a folder with its bytes, hidden ones included.
inline QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> all;
    for (const QFileInfo &fi :
         QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        all.insert(fi.fileName(), fi.isDir() ? QByteArray("<dir>") : readBytes(fi.filePath()));
    return all;
}
