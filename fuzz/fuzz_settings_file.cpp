// Arbitrary bytes as the settings file of one leaf of the shared or the local settings (as found in
// the settings folder at start-up, or in a named setup on a stick): reading it must never crash,
// and what the unit then writes must read back to the same file text, so that a damaged or foreign
// file settles after one start instead of drifting from start to start.
//
// Input: the name of the file, a line end, the content. A name that is no leaf's picks one by the sum
// of its bytes.
#include "esdata.h"
#include "fuzzsupport.h"
#include "eslocalsetup.h"
#include "essetup.h"
#include "serializableclass.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

QString scratch()
{
    static const QString dir = fuzzScratch(QStringLiteral("settings"));
    return dir;
}

void collectLeaves(SerializableClass *object, QList<SerializableClass *> *leaves)
{
    const QList<SerializableClass *> children = object->serializableChildren();
    if (children.isEmpty() && !object->fileName().isEmpty())
        leaves->append(object);
    for (SerializableClass *child : children)
        collectLeaves(child, leaves);
}

const QList<SerializableClass *> &leaves()
{
    static const QList<SerializableClass *> all = [] {
        static ESData *data = new ESData(scratch() + QStringLiteral("/folder/"));
        QList<SerializableClass *> found;
        collectLeaves(data->setup(), &found);
        collectLeaves(data->localSetup(), &found);
        return found;
    }();
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzQuietApplication("fuzz_settings_file");
    if (leaves().isEmpty())
        return 0;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const int lineEnd = input.indexOf('\n');
    const QByteArray fileName = input.left(lineEnd);
    const QByteArray content = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);

    SerializableClass *leaf = nullptr;
    uint sum = 0;
    for (const char c : fileName)
        sum += uchar(c);
    for (SerializableClass *candidate : leaves()) {
        if (candidate->fileName().toLatin1() == fileName)
            leaf = candidate;
    }
    if (!leaf)
        leaf = leaves().at(int(sum % uint(leaves().size())));
    leaf->setDefaultValues();
    {
        QFile f(leaf->filePath(scratch()));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
            std::abort();   // the harness's own folder must be writable
    }
    leaf->readFromFile(scratch());

    // What the unit writes from here reads back to the same text.
    const QString first = leaf->fileText();
    if (!leaf->writeToFile(scratch()))
        std::abort();
    leaf->setDefaultValues();
    if (!leaf->readFromFile(scratch()))
        std::abort();
    if (leaf->fileText() != first)
        std::abort();
    fuzzDeliverPosted();
    return 0;
}
