#pragma once

// Whole files as bytes, for tests that look at what the program wrote or give it a file to read.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

namespace vesko::test {

// The file's bytes, or none when it cannot be read.
inline QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Replaces the file's contents with `bytes`; a failure fails the calling test function.
inline void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace vesko::test
