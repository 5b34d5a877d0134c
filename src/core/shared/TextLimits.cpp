#include "core/shared/TextLimits.h"

#include <QTextBoundaryFinder>
#include <algorithm>
#include <vector>

namespace kestrel {

qsizetype characterCount(QStringView text)
{
    return text.size() - std::count_if(text.begin(), text.end(), [](QChar c) {
               return c.isLowSurrogate();
           });
}

namespace {

// Where each grapheme cluster of text starts, and text's end.
std::vector<qsizetype> clusterBounds(const QString &text)
{
    std::vector<qsizetype> bounds{0};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    while (finder.toNextBoundary() > 0)
        bounds.push_back(finder.position());
    if (bounds.back() != text.size())
        bounds.push_back(text.size());
    return bounds;
}

} // namespace

QString fitToLimit(const QString &text, int limit, qsizetype *cursor)
{
    qsizetype excess = characterCount(text) - limit;
    if (excess <= 0)
        return text;
    const std::vector<qsizetype> bounds = clusterBounds(text);
    // Whole clusters ending at the cursor, nearest first, then from the end.
    qsizetype cutFrom = -1, cutTo = *cursor;
    for (size_t i = bounds.size() - 1; i > 0 && excess > 0; --i) {
        if (bounds[i] > *cursor)
            continue;
        if (cutFrom < 0)
            cutTo = bounds[i];
        cutFrom = bounds[i - 1];
        excess -= characterCount(QStringView(text).sliced(bounds[i - 1], bounds[i] - bounds[i - 1]));
    }
    if (cutFrom < 0)
        cutFrom = cutTo;
    QString kept = text.left(cutFrom) + text.mid(cutTo);
    *cursor -= cutTo - cutFrom;
    if (excess <= 0)
        return kept;
    const std::vector<qsizetype> keptBounds = clusterBounds(kept);
    qsizetype end = kept.size();
    for (size_t i = keptBounds.size() - 1; i > 0 && excess > 0; --i) {
        end = keptBounds[i - 1];
        excess -= characterCount(QStringView(kept).sliced(end, keptBounds[i] - end));
    }
    *cursor = std::min(*cursor, end);
    return kept.left(end);
}

} // namespace kestrel
