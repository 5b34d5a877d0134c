#include "widgets/TextPool.h"

#include <algorithm>

namespace kestrel {

TextPool::Ref TextPool::store(QStringView text)
{
    Ref ref;
    if (text.isEmpty())
        return ref;
    const size_t length = size_t(text.size());
    if (m_blocks.empty() || m_blocks.back().capacity() - m_blocks.back().size() < length) {
        // Blocks grow with the pool up to a fixed size, so a small grid
        // stays small and a large one needs few blocks.
        constexpr qint64 smallest = 4 * 1024;
        constexpr qint64 largest = 256 * 1024;
        const size_t capacity = std::max(size_t(std::clamp(m_size, smallest, largest)), length);
        m_blocks.emplace_back().reserve(capacity);
    }
    std::vector<char16_t> &block = m_blocks.back();
    ref.block = quint32(m_blocks.size() - 1);
    ref.start = quint32(block.size());
    ref.length = qint32(length);
    block.insert(block.end(), text.utf16(), text.utf16() + length);
    m_size += qint64(length);
    return ref;
}
} // namespace kestrel
