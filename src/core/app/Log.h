#pragma once
// Kestrel's log: one line per event, each with its time, written to standard
// error and appended to the log file once one is set. The file is rotated
// when it would pass its limit, keeping the newest old files as ".1", ".2".
// It is for the operator's or the administrator's eyes after something went
// wrong; what reaches it must never hold a password.

#include <QString>

namespace kestrel::log {

constexpr qint64 DefaultLimit = 1024 * 1024;
constexpr int DefaultKeep = 2;

// From now on lines are appended to path too; an empty path means standard
// error only. The folder must exist.
void setFile(const QString &path, qint64 limit = DefaultLimit, int keep = DefaultKeep);
QString file();

// Writes "yyyy-MM-dd HH:mm:ss text" as one line: line breaks inside text
// become " / ". Returns false when the line could not reach the file (it
// still reached standard error).
bool append(const QString &text);

} // namespace kestrel::log
