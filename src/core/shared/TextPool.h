#pragma once
// Texts of many grid cells in a few large blocks: no allocation per text,
// and growing never moves what is already stored. A text whose characters
// all fit in Latin-1 (most of a shop's lists) takes one byte a character,
// any other two; a grid of a million rows costs a few bytes per cell beyond
// its text.

#include <QAnyStringView>
#include <QString>
#include <memory>
#include <vector>

namespace kestrel {

class TextPool {
public:
    struct Ref {
        quint32 block = 0;
        quint32 start = 0;       // in bytes
        quint32 length : 31 = 0; // in characters
        quint32 latin1 : 1 = 1;  // one byte a character; else UTF-16
    };
    Ref store(QAnyStringView text);
    QAnyStringView view(const Ref &ref) const
    {
        if (ref.length == 0)
            return {};
        const char *at = m_blocks[ref.block].bytes.get() + ref.start;
        if (ref.latin1)
            return QLatin1StringView(at, qsizetype(ref.length));
        return QStringView(reinterpret_cast<const char16_t *>(at), qsizetype(ref.length));
    }
    // Characters stored, those of replaced texts included.
    qint64 size() const { return m_size; }

private:
    char *reserve(size_t bytes, size_t alignment);
    Ref storeLatin1(const char *text, size_t length);
    Ref storeUtf16(QStringView text);

    struct Block {
        std::unique_ptr<char[]> bytes; // not zeroed: every byte used is written first
        size_t used = 0;
        size_t capacity = 0;
    };
    std::vector<Block> m_blocks;
    qint64 m_size = 0;
    qint64 m_bytes = 0;
};

} // namespace kestrel
