#include "core/shared/TextPool.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <type_traits>

namespace kestrel {

namespace {

bool isAscii(QUtf8StringView text)
{
    unsigned char any = 0;
    for (const char c : text)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

bool fitsLatin1(QStringView text)
{
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    return any < 0x100;
}

} // namespace

char *TextPool::reserve(size_t bytes, size_t alignment)
{
    if (!m_blocks.empty()) {
        Block &block = m_blocks.back();
        const size_t start = (block.used + alignment - 1) / alignment * alignment;
        if (block.capacity >= start + bytes) {
            block.used = start + bytes;
            return block.bytes.get() + start;
        }
    }
    // Blocks grow with the pool up to a fixed size, so a small grid stays
    // small and a large one needs few blocks.
    constexpr qint64 smallest = 8 * 1024;
    constexpr qint64 largest = 1024 * 1024;
    const size_t capacity = std::max(size_t(std::clamp(m_bytes, smallest, largest)), bytes);
    Block &block = m_blocks.emplace_back();
    block.bytes.reset(new char[capacity]);
    block.capacity = capacity;
    block.used = bytes;
    return block.bytes.get();
}

TextPool::Ref TextPool::storeLatin1(const char *text, size_t length)
{
    char *at = reserve(length, 1);
    std::memcpy(at, text, length);
    Ref ref;
    ref.block = quint32(m_blocks.size() - 1);
    ref.start = quint32(at - m_blocks.back().bytes.get());
    ref.length = quint32(length);
    ref.latin1 = true;
    m_size += qint64(length);
    m_bytes += qint64(length);
    return ref;
}

TextPool::Ref TextPool::storeUtf16(QStringView text)
{
    if (fitsLatin1(text)) {
        // Narrowed in place in the pool, one byte a character.
        char *at = reserve(size_t(text.size()), 1);
        for (qsizetype i = 0; i < text.size(); ++i)
            at[i] = char(text[i].unicode());
        Ref ref;
        ref.block = quint32(m_blocks.size() - 1);
        ref.start = quint32(at - m_blocks.back().bytes.get());
        ref.length = quint32(text.size());
        m_size += text.size();
        m_bytes += text.size();
        return ref;
    }
    const size_t bytes = size_t(text.size()) * sizeof(char16_t);
    char *at = reserve(bytes, alignof(char16_t));
    std::memcpy(at, text.utf16(), bytes);
    Ref ref;
    ref.block = quint32(m_blocks.size() - 1);
    ref.start = quint32(at - m_blocks.back().bytes.get());
    ref.length = quint32(text.size());
    ref.latin1 = false;
    m_size += text.size();
    m_bytes += qint64(bytes);
    return ref;
}

TextPool::Ref TextPool::store(QAnyStringView text)
{
    if (text.isEmpty())
        return {};
    return text.visit([this](auto view) -> Ref {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QLatin1StringView>) {
            return storeLatin1(view.data(), size_t(view.size()));
        } else if constexpr (std::is_same_v<View, QUtf8StringView>) {
            // ASCII is the same in UTF-8 and Latin-1: stored as it came.
            if (isAscii(view))
                return storeLatin1(view.data(), size_t(view.size()));
            return storeUtf16(QString::fromUtf8(view.data(), view.size()));
        } else {
            return storeUtf16(view);
        }
    });
}

} // namespace kestrel
