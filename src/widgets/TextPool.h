#pragma once
// Texts of many grid cells in a few large blocks: no allocation per text,
// and growing never moves what is already stored. A grid of 100,000 rows
// costs a few bytes per cell beyond its text.

#include <QStringView>
#include <vector>

namespace kestrel {

class TextPool {
public:
    struct Ref {
        quint32 block = 0;
        quint32 start = 0;
        qint32 length = 0;
    };
    Ref store(QStringView text);
    QStringView view(const Ref &ref) const
    {
        if (ref.length == 0)
            return {};
        return QStringView(m_blocks[ref.block].data() + ref.start, ref.length);
    }
    // Characters stored, those of replaced texts included.
    qint64 size() const { return m_size; }

private:
    std::vector<std::vector<char16_t>> m_blocks;
    qint64 m_size = 0;
};

} // namespace kestrel
