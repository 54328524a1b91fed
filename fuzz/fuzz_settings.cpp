// Arbitrary text into the complete and single-property readers of every settings tree: whatever
// arrives from the other unit must never crash or throw, and the trees must still write out.
#include "esdata.h"
#include "fuzzsupport.h"
#include "serializableclass.h"

#include <QDir>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

ESData &trees()
{
    static ESData *data = [] {
        fuzzQuietApplication("fuzz_settings");
        return new ESData(fuzzScratch(QStringLiteral("settings")) + QLatin1Char('/'));
    }();
    return *data;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ESData &all = trees();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    for (SerializableClass *tree : all.trees()) {
        tree->deserialize(text);
        bool written = false;
        tree->deserializeSingleProperty(text, &written);
        // The same text as a single-property change addressed to this tree.
        tree->deserializeSingleProperty(QStringLiteral("Type_Setup,SingleProperty,") + tree->objectName()
                                            + QLatin1Char(',') + text,
                                        &written);
        const QString out = tree->serialize();
        if (!out.startsWith(tree->typeTag()))
            __builtin_trap();
    }
    fuzzDeliverPosted();
    return 0;
}
