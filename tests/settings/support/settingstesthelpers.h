#pragma once

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class ESData;

// A settings folder of its own for each test, so files never leak between cases.
struct SettingsSandbox
{
    SettingsSandbox();
    ~SettingsSandbox();

    QString directory() const { return dir.path() + QStringLiteral("/Setup_Files/KVE 420/"); }
    QString file(const QString &name) const { return directory() + name; }
    QString readFile(const QString &name) const;
    void writeFile(const QString &name, const QByteArray &content) const;
    std::unique_ptr<ESData> makeData() const;

    QTemporaryDir dir;
};
