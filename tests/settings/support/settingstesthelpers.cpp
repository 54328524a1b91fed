#include "settingstesthelpers.h"

#include "esdata.h"

#include <QFile>

SettingsSandbox::SettingsSandbox()
{
    QDir().mkpath(directory());
}

SettingsSandbox::~SettingsSandbox() = default;

QString SettingsSandbox::readFile(const QString &name) const
{
    QFile f(file(name));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

void SettingsSandbox::writeFile(const QString &name, const QByteArray &content) const
{
    QFile f(file(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
}

std::unique_ptr<ESData> SettingsSandbox::makeData() const
{
    return std::make_unique<ESData>(directory());
}
