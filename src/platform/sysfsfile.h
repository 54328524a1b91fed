#pragma once

#include <QString>

// Small helpers for the one-value text files of the kernel's device interfaces (sysfs, IIO, GPIO).
namespace kve::sysfs {

// The trimmed content, or an empty text when the file cannot be read.
QString readValue(const QString &path);
// Writes the value as the kernel expects it (no line end needed); false when not writable.
bool writeValue(const QString &path, const QString &value);

}
