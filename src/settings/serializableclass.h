#pragma once

#include "validatedobject.h"

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>

class QMetaProperty;
class SerializableClass;

// Per leaf object: the properties that keep their values through a reset or a file read.
using ExclusionMap = QHash<const SerializableClass *, QStringList>;

// A settings, runtime, alert or mark object with one text form: written to its file, sent whole to
// the peer unit, or sent as a single-property change whenever one value changes.
class SerializableClass : public ValidatedObject
{
    Q_OBJECT

public:
    SerializableClass(const QString &name, QObject *parent, const QString &typeTag,
                      const QString &fileName = QString());

    QString typeTag() const { return m_typeTag; }
    QString fileName() const { return m_fileName; }
    QString setupDirectory() const { return m_setupDirectory; }
    // Points this object and everything below it at another settings folder.
    void setSetupDirectory(const QString &directory);
    static QString defaultSetupDirectory();

    // Tree structure: a top object has no settings object above it; its level is 0.
    bool isTopObject() const;
    SerializableClass *topObject();
    int level() const;
    QString path() const; // object names from the top object down, joined by ","
    QList<SerializableClass *> serializableChildren() const;
    SerializableClass *child(const QString &propertyName) const;
    bool isContainer() const;

    // Complete text of an object (this one or one below it); a top object's text starts with its tag.
    QString serialize(const SerializableClass *object) const;
    QString serialize() const { return serialize(this); }
    // The content of this object's settings file: type tag and complete text, with the values
    // escaped where they hold separators or control characters.
    QString fileText() const;
    // Reads a complete text. False: malformed; values read before the bad token keep their new values.
    virtual bool deserialize(const QString &text);

    // Single-property text of a property of `object`; setup and runtime objects also send it to the
    // peer unit, local objects save their file instead.
    QString serializeSingleProperty(SerializableClass *object, const QString &name, const QVariant &value);
    QString serializeSingleProperty(const QString &name);
    // Applies a single-property text; returns the owning object (null when nothing was set).
    virtual SerializableClass *deserializeSingleProperty(const QString &text, bool *written = nullptr);
    // Sends the complete text of this object to the peer units (setup and runtime objects only).
    virtual void serializeForSending(const QStringList &destinationSfis = QStringList());

    // Operator change: validates against the property's validator and choice list.
    bool validateText(const QString &name, const QString &text, QString *message = nullptr) const;
    // Writes the value, marks it valid and produces the single-property text (which sends or saves).
    // Shared settings also save their file.
    bool changeValue(const QString &name, const QVariant &value);

    // Files: a container writes and reads nothing itself; the *AllChildren variants walk the tree.
    // An empty directory means the setup directory. Reading keeps every property the file holds
    // in a readable form, whatever version wrote it, and ignores the received timestamps (the files
    // are this unit's own memory); it fails only when the file cannot be opened or is not this
    // object's (unreadable type tag).
    virtual bool writeToFile(const QString &directory = QString());
    virtual bool readFromFile(const QString &directory = QString(), const QStringList &excluded = QStringList());
    bool writeAllChildrenToFiles(const QString &directory = QString());
    bool readAllChildrenFromFiles(const QString &directory = QString(), const ExclusionMap &excluded = ExclusionMap());
    QString filePath(const QString &directory = QString()) const;

    // Defaults from the metadata entries.
    void setDefaultValues(const QStringList &excluded = QStringList());
    void setDefaultValuesFromClassInfo_RecursivelyForAllChildren(const ExclusionMap &excluded = ExclusionMap());

    virtual qint64 receivedTimestamp(const QString &name) const;
    virtual void setReceivedTimestamp(const QString &name, qint64 value);

signals:
    // Emitted by the top object of a tree for every text that must travel to the peer unit.
    void singlePropertyTextReady(const QString &text);
    void completeTextReady(const QString &text, const QStringList &destinationSfis);

protected:
    virtual void afterDefaultsApplied() {}
    // What happens with a freshly made single-property text (send, save or nothing).
    virtual void singlePropertyTextMade(SerializableClass *object, const QString &text);
    virtual bool writesRuntimeForm() const { return false; }
    // Object lists (depth history): the collected tokens of one "SerClassList" entry. The default
    // splits them into the elements' texts (separated by ";") and reads each into a fresh element.
    virtual bool readObjectList(const QString &name, const QStringList &tokens, int level);
    // A new, empty element appended to the list property `name`; null when the list takes none.
    virtual SerializableClass *appendListElement(const QString &name);

    void sendSingleProperty(const QString &text);
    void sendComplete(const QString &text, const QStringList &destinationSfis);
    bool writeText(const QMetaProperty &property, const QString &text);

private:
    void appendText(QString &out, bool fileForm = false) const;
    bool readTokens(const QStringList &tokens, int begin, int end, int level);
    void readPlainToken(const QString &key, const QString &value, const QString &flag);
    bool readFileText(const QString &text, const QString &path, const QStringList &excluded);
    bool writeFileValue(const QMetaProperty &property, const QString &text);

    QString m_typeTag;
    QString m_setupDirectory;
    QString m_fileName;
};

Q_DECLARE_METATYPE(QList<SerializableClass *>)
