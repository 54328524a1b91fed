#include "serializableclass.h"

#include "settingsmetadata.h"
#include "systeminformation.h"
#include "validators.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaProperty>
#include <QSaveFile>
#include <QSet>

namespace {

const QString childMarker = QStringLiteral("SerializableClass");
const QString listMarker = QStringLiteral("SerClassList");

bool isPointerType(int type)
{
    return QMetaType::typeFlags(type) & QMetaType::PointerToQObject;
}

// Level of a child marker key: only its last character is read, so levels are single digits.
int markerLevel(const QString &key)
{
    if (key.isEmpty())
        return -1;
    const QChar last = key.at(key.size() - 1);
    return last.isDigit() ? last.digitValue() : -1;
}

bool endsCollection(const QString &token, int level)
{
    if (!token.contains(childMarker))
        return false;
    const int eq = token.indexOf(QLatin1Char('='));
    const int keyLevel = markerLevel(eq < 0 ? token : token.left(eq));
    return keyLevel >= 0 && keyLevel <= level;
}

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
           || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// In a settings file a value may hold any character: the separators of the text (",", "=", and
// ";" inside a list element), control characters, a blank at its end and a "%" that would read as
// an escape are written as "%" and two hex digits. Everything else stands as it is, so files of
// plain values look exactly like the text sent to the peer.
QString encodeFileValue(const QString &value, bool listElement)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        const bool escapeLike = c == QLatin1Char('%') && i + 2 < value.size() && isHexDigit(value.at(i + 1))
                                && isHexDigit(value.at(i + 2));
        const bool trailingBlank = c == QLatin1Char(' ') && i == value.size() - 1;
        if (c == QLatin1Char(',') || c == QLatin1Char('=') || (listElement && c == QLatin1Char(';')) || c.unicode() < 0x20
            || c.unicode() == 0x7f || escapeLike || trailingBlank)
            out += QLatin1Char('%') + QString::number(c.unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString decodeFileValue(const QString &value)
{
    if (!value.contains(QLatin1Char('%')))
        return value;
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('%') && i + 2 < value.size() && isHexDigit(value.at(i + 1))
            && isHexDigit(value.at(i + 2))) {
            out += QChar(value.midRef(i + 1, 2).toUShort(nullptr, 16));
            i += 2;
        } else {
            out += value.at(i);
        }
    }
    return out;
}

QString joinList(const QVariant &value, int type, bool fileForm = false)
{
    if (type == QMetaType::QStringList) {
        QStringList elements = value.toStringList();
        if (fileForm) {
            for (QString &e : elements)
                e = encodeFileValue(e, true);
        }
        return elements.join(QLatin1Char(';'));
    }
    QStringList parts;
    for (int v : value.value<QList<int>>())
        parts.append(QString::number(v));
    return parts.join(QLatin1Char(';'));
}

} // namespace

SerializableClass::SerializableClass(const QString &name, QObject *parent, const QString &typeTag,
                                     const QString &fileName)
    : ValidatedObject(name, parent),
      m_typeTag(typeTag),
      m_setupDirectory(defaultSetupDirectory()),
      m_fileName(fileName)
{
}

QString SerializableClass::defaultSetupDirectory()
{
    return QStringLiteral("Setup_Files/") + SystemInformation::instance().displayName() + QLatin1Char('/');
}

void SerializableClass::setSetupDirectory(const QString &directory)
{
    m_setupDirectory = directory.endsWith(QLatin1Char('/')) ? directory : directory + QLatin1Char('/');
    for (SerializableClass *c : serializableChildren())
        c->setSetupDirectory(m_setupDirectory);
}

bool SerializableClass::isTopObject() const
{
    return qobject_cast<const SerializableClass *>(parent()) == nullptr;
}

SerializableClass *SerializableClass::topObject()
{
    SerializableClass *top = this;
    while (auto *above = qobject_cast<SerializableClass *>(top->parent()))
        top = above;
    return top;
}

int SerializableClass::level() const
{
    int result = 0;
    for (const QObject *p = parent(); qobject_cast<const SerializableClass *>(p); p = p->parent())
        ++result;
    return result;
}

QString SerializableClass::path() const
{
    QStringList names;
    for (const QObject *p = this; qobject_cast<const SerializableClass *>(p); p = p->parent())
        names.prepend(p->objectName());
    return names.join(QLatin1Char(','));
}

QList<SerializableClass *> SerializableClass::serializableChildren() const
{
    QList<SerializableClass *> result;
    const QMetaObject *mo = metaObject();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        if (!isPointerType(p.userType()))
            continue;
        if (auto *c = qobject_cast<SerializableClass *>(p.read(this).value<QObject *>()))
            result.append(c);
    }
    return result;
}

SerializableClass *SerializableClass::child(const QString &propertyName) const
{
    const int index = metaObject()->indexOfProperty(propertyName.toLatin1().constData());
    if (index < 1)
        return nullptr;
    const QMetaProperty p = metaObject()->property(index);
    if (!isPointerType(p.userType()))
        return nullptr;
    return qobject_cast<SerializableClass *>(p.read(this).value<QObject *>());
}

bool SerializableClass::isContainer() const
{
    return !serializableChildren().isEmpty();
}

// ---------------------------------------------------------------------------------------------
// Writing

QString SerializableClass::serialize(const SerializableClass *object) const
{
    QString out;
    out.reserve(256);
    object->appendText(out);
    if (!out.isEmpty())
        out.chop(1); // the trailing ","
    if (object->isTopObject())
        out = out.isEmpty() ? object->m_typeTag : object->m_typeTag + QLatin1Char(',') + out;
    return out;
}

QString SerializableClass::fileText() const
{
    QString out;
    out.reserve(256);
    appendText(out, true);
    if (!out.isEmpty())
        out.chop(1);
    return out.isEmpty() ? m_typeTag : m_typeTag + QLatin1Char(',') + out;
}

void SerializableClass::appendText(QString &out, bool fileForm) const
{
    const QMetaObject *mo = metaObject();
    const bool runtimeForm = writesRuntimeForm();
    for (int i = 1; i < mo->propertyCount(); ++i) {
        const QMetaProperty p = mo->property(i);
        const int type = p.userType();
        const QString name = QString::fromLatin1(p.name());
        const QVariant value = p.read(this);
        QString text;
        if (type == QMetaType::Double || type == QMetaType::Float) {
            text = QString::number(double(float(value.toDouble())), 'f', 2);
        } else if (type == QMetaType::QStringList || type == qMetaTypeId<QList<int>>()) {
            if (type == QMetaType::QStringList && value.toStringList().contains(QString())) {
                qDebug() << "Serialization is not possible!" << "empty text in list" << name;
                throw "Serialization is not possible!";
            }
            text = joinList(value, type, fileForm);
        } else if (isPointerType(type)) {
            auto *c = qobject_cast<SerializableClass *>(value.value<QObject *>());
            if (!c) {
                qDebug() << "Serialization is not possible!" << "child is no settings object:" << name;
                throw "Serialization is not possible!";
            }
            out += childMarker + QString::number(c->level()) + QLatin1Char('=') + name + QLatin1Char(',');
            c->appendText(out, fileForm);
            if (out.endsWith(QLatin1Char(',')))
                out.chop(1);
            out += QLatin1Char(',');
            continue;
        } else if (type == qMetaTypeId<QList<SerializableClass *>>()) {
            out += listMarker + QLatin1Char('=') + name + QLatin1Char(',');
            const auto elements = value.value<QList<SerializableClass *>>();
            QString list;
            for (SerializableClass *e : elements) {
                if (!e) {
                    qDebug() << "Serialization is not possible,";
                    throw "Serialization is not possible!";
                }
                QString element;
                e->appendText(element, fileForm);
                if (!element.isEmpty())
                    element.chop(1);
                list += element + QLatin1Char(';');
            }
            if (!list.isEmpty())
                list.chop(1);
            out += list + QLatin1Char(',');
            continue;
        } else {
            text = value.toString();
            if (text.isEmpty() && type != QMetaType::QString && !value.canConvert<QString>()) {
                qDebug() << "Serialization is not possible!"
                         << "TODO: write appropriate else if statement to support QList<type>!" << name;
                throw "Serialization is not possible!";
            }
            if (fileForm && type == QMetaType::QString)
                text = encodeFileValue(text, false);
        }
        if (runtimeForm) {
            if (!isValid(name))
                text.clear();
            out += name + QLatin1Char('=') + text + QLatin1Char('=')
                   + (integrity(name) ? QLatin1Char('T') : QLatin1Char('F')) + QLatin1Char(',');
        } else {
            out += name + QLatin1Char('=') + text + QLatin1Char(',');
        }
    }
}

QString SerializableClass::serializeSingleProperty(SerializableClass *object, const QString &name,
                                                   const QVariant &value)
{
    const int index = object ? object->metaObject()->indexOfProperty(name.toLatin1().constData()) : -1;
    if (index < 1) {
        qDebug() << "NO SUCH PROPERTY: SerializableClass::serializeSingleProperty" << name;
        throw "Tried to serialize property that does not exist";
    }
    const int type = object->metaObject()->property(index).userType();
    const QString valueText = (type == QMetaType::QStringList || type == qMetaTypeId<QList<int>>())
                                  ? joinList(value, type)
                                  : value.toString();
    const QString text = m_typeTag + QStringLiteral(",SingleProperty,") + object->path() + QLatin1Char(',')
                         + name + QLatin1Char('=') + valueText;
    singlePropertyTextMade(object, text);
    return text;
}

QString SerializableClass::serializeSingleProperty(const QString &name)
{
    return serializeSingleProperty(this, name, property(name.toLatin1().constData()));
}

void SerializableClass::singlePropertyTextMade(SerializableClass *, const QString &) {}

void SerializableClass::serializeForSending(const QStringList &) {}

void SerializableClass::sendSingleProperty(const QString &text)
{
    emit topObject()->singlePropertyTextReady(text);
}

void SerializableClass::sendComplete(const QString &text, const QStringList &destinationSfis)
{
    emit topObject()->completeTextReady(text, destinationSfis);
}

// ---------------------------------------------------------------------------------------------
// Reading

bool SerializableClass::deserialize(const QString &text)
{
    const QStringList tokens = text.split(QLatin1Char(','));
    int begin = 0;
    if (!tokens.isEmpty() && tokens.first().startsWith(QLatin1String("Type_")))
        begin = 1;
    return readTokens(tokens, begin, tokens.size(), level());
}

bool SerializableClass::readTokens(const QStringList &tokens, int begin, int end, int level)
{
    int i = begin;
    while (i < end) {
        const QStringList parts = tokens.at(i).split(QLatin1Char('='));
        if (parts.size() < 2)
            return false;
        const QString &key = parts.at(0);
        const QString &value = parts.at(1);
        const bool isChildMarker = key.startsWith(childMarker) && markerLevel(key) == level + 1;
        if (isChildMarker || key == listMarker) {
            int j = i + 1;
            while (j < end && !endsCollection(tokens.at(j), level + 1))
                ++j;
            if (isChildMarker) {
                if (SerializableClass *c = child(value)) {
                    if (!c->readTokens(tokens, i + 1, j, level + 1))
                        return false;
                }
            } else if (!readObjectList(value, tokens.mid(i + 1, j - i - 1), level + 1)) {
                return false;
            }
            i = j;
            continue;
        }
        readPlainToken(key, value, parts.size() == 3 ? parts.at(2) : QString());
        ++i;
    }
    return true;
}

void SerializableClass::readPlainToken(const QString &key, const QString &value, const QString &flag)
{
    const int index = metaObject()->indexOfProperty(key.toLatin1().constData());
    if (index < 1)
        return;
    const QMetaProperty p = metaObject()->property(index);
    if (isPointerType(p.userType()))
        return;
    const qint64 stamp = receivedTimestamp(key);
    if (stamp > 0) {
        qDebug().noquote() << "NOT ACCEPTING new value because of timestamp, PROPERTY: " + key
                                  + "   TIMESTAMP:" + QString::number(stamp);
        return;
    }
    if (!flag.isEmpty())
        setIntegrity(key, flag == QLatin1String("T"));
    if (value.isEmpty()) {
        setValid(key, false);
        p.write(this, p.read(this));
        return;
    }
    setValid(key, true);
    writeText(p, value);
}

bool SerializableClass::writeText(const QMetaProperty &property, const QString &text)
{
    const int type = property.userType();
    if (type == QMetaType::QStringList)
        return property.write(this, text.split(QLatin1Char(';')));
    if (type == qMetaTypeId<QList<int>>()) {
        QList<int> values;
        for (const QString &part : text.split(QLatin1Char(';'))) {
            bool ok = false;
            const int v = part.toInt(&ok);
            if (!ok)
                return false;
            values.append(v);
        }
        return property.write(this, QVariant::fromValue(values));
    }
    // Numbers are parsed here so that a text out of the type's range leaves the value alone
    // instead of wrapping around.
    bool ok = false;
    switch (type) {
    case QMetaType::Int: {
        const int v = text.toInt(&ok);
        return ok && property.write(this, v);
    }
    case QMetaType::UInt: {
        const uint v = text.toUInt(&ok);
        return ok && property.write(this, v);
    }
    case QMetaType::Double: {
        const double v = text.toDouble(&ok);
        return ok && property.write(this, v);
    }
    default:
        return property.write(this, text);
    }
}

bool SerializableClass::readObjectList(const QString &name, const QStringList &tokens, int level)
{
    if (tokens.isEmpty())
        return true;
    const QStringList elements = tokens.join(QLatin1Char(',')).split(QLatin1Char(';'));
    for (const QString &text : elements) {
        SerializableClass *element = appendListElement(name);
        if (!element)
            return true; // a list this object does not keep: skipped like an unknown name
        const QStringList elementTokens = text.split(QLatin1Char(','));
        if (!element->readTokens(elementTokens, 0, elementTokens.size(), level))
            return false;
    }
    return true;
}

SerializableClass *SerializableClass::appendListElement(const QString &)
{
    return nullptr;
}

SerializableClass *SerializableClass::deserializeSingleProperty(const QString &text, bool *written)
{
    if (written)
        *written = false;
    const QStringList tokens = text.split(QLatin1Char(','));
    if (tokens.size() < 4)
        return nullptr;
    if (tokens.at(2) != objectName()) {
        if (!isTopObject())
            return topObject()->deserializeSingleProperty(text, written);
        return nullptr;
    }
    SerializableClass *owner = this;
    for (int k = 3; k < tokens.size() - 1; ++k) {
        owner = owner->child(tokens.at(k));
        if (!owner)
            return nullptr;
    }
    const QStringList parts = tokens.last().split(QLatin1Char('='));
    if (parts.size() < 2)
        return nullptr;
    const QString &name = parts.at(0);
    QString value = parts.at(1);
    const int index = owner->metaObject()->indexOfProperty(name.toLatin1().constData());
    if (index < 1)
        return nullptr;
    const QMetaProperty p = owner->metaObject()->property(index);
    if (isPointerType(p.userType()))
        return nullptr;

    const int open = value.indexOf(QLatin1Char('('));
    const int close = value.lastIndexOf(QLatin1Char(')'));
    if (open >= 0 && close > open) {
        bool ok = false;
        const qint64 received = value.mid(open + 1, close - open - 1).toLongLong(&ok, 10);
        value.truncate(open);
        if (ok) {
            const qint64 stored = owner->receivedTimestamp(name);
            if (stored > received) {
                qDebug().noquote() << name + "   Timestamp too old: " + QString::number(received)
                                          + "  Current timestamp: " + QString::number(stored);
                return nullptr;
            }
            owner->setReceivedTimestamp(name, received);
        }
    }

    if (parts.size() == 3 && !parts.at(2).isEmpty())
        owner->setIntegrity(name, parts.at(2) == QLatin1String("T"));
    bool ok = false;
    if (value.isEmpty()) {
        owner->setValid(name, false);
        ok = p.write(owner, p.read(owner));
    } else {
        owner->setValid(name, true);
        ok = owner->writeText(p, value);
    }
    if (written)
        *written = ok;
    return owner;
}

// ---------------------------------------------------------------------------------------------
// Operator changes

bool SerializableClass::validateText(const QString &name, const QString &text, QString *message) const
{
    const PropertyMetadata *meta = ClassMetadata::of(metaObject()).property(name);
    if (!meta || meta->isChild())
        return false;
    if (meta->kind().contains(QLatin1String("enum"))) {
        bool ok = false;
        const int index = text.toInt(&ok);
        // A setup-information choice names its list instead of giving it: any index is a choice.
        const int count = meta->kind() == QLatin1String("enumWithDifferentUnits")
                              ? meta->enumListForDepthUnit(0).size()
                          : meta->kind() == QLatin1String("runtimeSetupInfoEnum") ? 0
                                                                                   : meta->enumList().size();
        const bool inRange = ok && index >= 0 && (count == 0 || index < count);
        if (!inRange && message)
            *message = QStringLiteral("choice out of range");
        return inRange;
    }
    const QString description = meta->validatorDescription();
    if (description.isEmpty())
        return true;
    auto validator = createValidator(description);
    if (!validator)
        return true;
    const bool accepted = validator->validate(text);
    if (!accepted && message)
        *message = validator->message();
    return accepted;
}

bool SerializableClass::changeValue(const QString &name, const QVariant &value)
{
    const int index = metaObject()->indexOfProperty(name.toLatin1().constData());
    if (index < 1)
        return false;
    const QMetaProperty p = metaObject()->property(index);
    if (isPointerType(p.userType()))
        return false;
    const bool ok = value.userType() == QMetaType::QString ? writeText(p, value.toString()) : p.write(this, value);
    if (!ok)
        return false;
    setValid(name, true);
    serializeSingleProperty(this, name, p.read(this));
    return true;
}

// ---------------------------------------------------------------------------------------------
// Files

QString SerializableClass::filePath(const QString &directory) const
{
    QString dir = directory.isEmpty() ? m_setupDirectory : directory;
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + m_fileName;
}

bool SerializableClass::writeToFile(const QString &directory)
{
    if (isContainer() || m_fileName.isEmpty())
        return true;
    const QString path = filePath(directory);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qDebug().noquote() << "Problem opening file for writing: " + path;
        return false;
    }
    file.write(fileText().toUtf8());
    if (!file.commit()) {
        qDebug().noquote() << "Problem opening file for writing: " + path;
        return false;
    }
    return true;
}

bool SerializableClass::readFromFile(const QString &directory, const QStringList &excluded)
{
    if (isContainer() || m_fileName.isEmpty())
        return true;
    const QString path = filePath(directory);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug().noquote() << "Problem opening file for reading: " + path;
        return false;
    }
    // Line ends anywhere and blanks at the end are not part of the text (an editor or another
    // system may have added them); values that hold such characters are written escaped.
    const QByteArray content = file.readAll();
    QString text = QString::fromUtf8(content.constData(), content.size()); // all of it, NULs too
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    while (!text.isEmpty() && text.at(text.size() - 1).isSpace())
        text.chop(1);
    if (text.isEmpty())
        return true;
    return readFileText(text, path, excluded);
}

bool SerializableClass::readFileText(const QString &text, const QString &path, const QStringList &excluded)
{
    // Every property that can be read is kept: a file of an older version lacks the newest
    // properties, one of a newer version has more, one cut short ends early. Only a file that is
    // not this object's at all is refused.
    const QStringList tokens = text.split(QLatin1Char(','));
    if (tokens.first() != m_typeTag) {
        qDebug().noquote() << "Settings file not read, its type tag is unreadable: " + path + " (\""
                                  + tokens.first().left(40) + "\" where \"" + m_typeTag + "\" belongs)";
        return false;
    }
    const QMetaObject *mo = metaObject();
    QSet<QString> unread;
    for (int i = 1; i < mo->propertyCount(); ++i)
        unread.insert(QString::fromLatin1(mo->property(i).name()));
    int skipped = 0;
    bool cut = false;
    for (int i = 1; i < tokens.size(); ++i) {
        const QString &token = tokens.at(i);
        const int eq = token.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            qDebug().noquote() << "Settings file cut short, read up to " + tokens.at(i - 1).section(QLatin1Char('='), 0, 0)
                                      + ": " + path;
            cut = true;
            break;
        }
        const QString key = token.left(eq);
        const int index = mo->indexOfProperty(key.toLatin1().constData());
        if (index < 1 || isPointerType(mo->property(index).userType())) {
            qDebug().noquote() << "Unknown property skipped in settings file: " + key + " in " + path;
            ++skipped;
            continue;
        }
        unread.remove(key);
        if (excluded.contains(key))
            continue;
        const QMetaProperty p = mo->property(index);
        const QString value = token.mid(eq + 1);
        if (value.isEmpty() && p.userType() != QMetaType::QString)
            continue; // nothing stored for it: the value in memory stays
        if (writeFileValue(p, value))
            setValid(key, true);
        else
            qDebug().noquote() << "Unreadable value kept out of settings: " + key + "=" + value + " in " + path;
    }
    if (cut || skipped > 0 || !unread.isEmpty())
        qDebug().noquote() << QStringLiteral("Settings file read in part (%1 unknown, %2 missing), rewritten only when a value changes: ")
                                  .arg(skipped)
                                  .arg(unread.size())
                                  + path;
    return true;
}

bool SerializableClass::writeFileValue(const QMetaProperty &property, const QString &text)
{
    const int type = property.userType();
    if (type == QMetaType::QStringList) {
        QStringList elements = text.split(QLatin1Char(';'));
        for (QString &e : elements)
            e = decodeFileValue(e);
        return property.write(this, elements);
    }
    return writeText(property, decodeFileValue(text));
}

bool SerializableClass::writeAllChildrenToFiles(const QString &directory)
{
    const QList<SerializableClass *> children = serializableChildren();
    if (children.isEmpty())
        return writeToFile(directory);
    bool ok = true;
    for (SerializableClass *c : children)
        ok = c->writeAllChildrenToFiles(directory) && ok;
    return ok;
}

bool SerializableClass::readAllChildrenFromFiles(const QString &directory, const ExclusionMap &excluded)
{
    const QList<SerializableClass *> children = serializableChildren();
    if (children.isEmpty())
        return readFromFile(directory, excluded.value(this));
    if (excluded.contains(this))
        qDebug() << "WRONG PARAMETERS GIVEN TO ***SerializableClass::readAllChildrenFromFiles***, Check implementation of this function!";
    bool ok = true;
    for (SerializableClass *c : children)
        ok = c->readAllChildrenFromFiles(directory, excluded) && ok;
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Defaults and timestamps

void SerializableClass::setDefaultValues(const QStringList &excluded)
{
    const QMetaObject *mo = metaObject();
    const QVector<PropertyMetadata> &properties = ClassMetadata::of(mo).properties();
    for (int i = 0; i < properties.size(); ++i) {
        const PropertyMetadata &meta = properties.at(i);
        if (excluded.contains(meta.propertyName()) || !meta.hasEffectiveDefault())
            continue;
        const QMetaProperty p = mo->property(i + 1);
        if (!writeText(p, meta.effectiveDefault())) {
            qDebug().noquote() << "Incorrect defaultValue for property " + meta.propertyName();
            throw "Incorrect defaultValue for serializable class property";
        }
    }
}

void SerializableClass::setDefaultValuesFromClassInfo_RecursivelyForAllChildren(const ExclusionMap &excluded)
{
    const QList<SerializableClass *> children = serializableChildren();
    // A container's own plain values (result summaries, acknowledgement text) start at their
    // defaults too; it has no file, so they are never excluded.
    setDefaultValues(children.isEmpty() ? excluded.value(this) : QStringList());
    if (children.isEmpty()) {
        afterDefaultsApplied();
        return;
    }
    for (SerializableClass *c : children) {
        const auto it = excluded.constFind(c);
        if (it != excluded.constEnd() && c->isContainer()) {
            qDebug().noquote() << "WRONG PARAMETERS GIVEN TO ***SerializableClass::setDefaultValuesFromClassInfo_RecursivelyForAllChildren***, Check implementation of this function!"
                                  + QStringLiteral("\n\nSETUP NAME: ") + c->objectName()
                                  + QStringLiteral("\nEXCLUDED PROPERTIES: ") + it.value().join(QStringLiteral(", "));
            throw "Wrong exclusion list for a settings container";
        }
        c->setDefaultValuesFromClassInfo_RecursivelyForAllChildren(excluded);
    }
    afterDefaultsApplied();
}

qint64 SerializableClass::receivedTimestamp(const QString &) const
{
    return -1;
}

void SerializableClass::setReceivedTimestamp(const QString &, qint64) {}
