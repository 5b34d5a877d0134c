#pragma once
// Lists as CSV for a spreadsheet set to a decimal comma: UTF-8 with the
// byte-order mark spreadsheets look for, ";" between fields, CR LF after each
// row. A field holding ";", a quote or a line break is quoted, its quotes
// doubled. Rows go to the device as they come, in large writes, so a list of
// any length costs one buffer.

#include <QAnyStringView>
#include <QByteArray>
#include <span>

class QIODevice;

namespace kestrel {

class CsvWriter {
public:
    // Writes the byte-order mark.
    explicit CsvWriter(QIODevice &device);

    void writeRow(std::span<const QAnyStringView> fields);
    // Writes what is still buffered; false when any write failed.
    bool finish();

    // A field as it goes into the file, quoted where it must be. A text a
    // spreadsheet would take for a formula ("=...", "+...", "-...", "@...",
    // and any text starting with a tab or a carriage return, which a
    // spreadsheet strips before it looks) gets an apostrophe in front, so
    // opening an exported list never runs what somebody typed into a name;
    // numbers such as "-3,50" and "+2" stay numbers.
    static void appendField(QByteArray &out, QAnyStringView field);

private:
    void flush();

    QIODevice &m_device;
    QByteArray m_buffer;
    bool m_ok = true;
};

} // namespace kestrel
