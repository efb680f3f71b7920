#include "model/NameOrdering.h"

namespace {

inline char16_t FoldAscii(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? char16_t(unit + (u'a' - u'A')) : unit;
}

// Tries to place name at probe; returns the insertion index, or -1 when probe is not the place.
qsizetype TryPlace(bool caseSensitive, const QStringList& array, const QString& name,
                   qsizetype probe) {
    const qsizetype last = array.size() - 1;
    if (CompareNames(name, array[probe], caseSensitive) > 0) {
        if (probe == last)
            return last + 1;
        if (CompareNames(name, array[probe + 1], caseSensitive) <= 0)
            return probe + 1;
    } else if (probe == 0 || CompareNames(name, array[probe - 1], caseSensitive) >= 0) {
        return probe;
    }
    return -1;
}

qsizetype InsertionIndex(bool caseSensitive, const QStringList& array, const QString& name) {
    const qsizetype last = array.size() - 1;
    if (last < 0 || CompareNames(name, array[last], caseSensitive) >= 0)
        return last + 1;

    qsizetype low = 0;
    qsizetype high = last;
    qsizetype probe = high / 2;
    while (high - low > 1) {
        const qsizetype place = TryPlace(caseSensitive, array, name, probe);
        if (place >= 0)
            return place;
        if (CompareNames(name, array[probe], caseSensitive) > 0)
            low = probe;
        else
            high = probe;
        probe = (low + high) / 2;
    }
    for (const qsizetype remaining : {low, high}) {
        const qsizetype place = TryPlace(caseSensitive, array, name, remaining);
        if (place >= 0)
            return place;
    }
    // Only an array that was not kept sorted gets here; keep the name rather than lose it.
    return high;
}

} // namespace

int CompareNames(const QString& left, const QString& right, bool caseSensitive) {
    const char16_t* a = reinterpret_cast<const char16_t*>(left.constData());
    const char16_t* b = reinterpret_cast<const char16_t*>(right.constData());
    const qsizetype common = std::min(left.size(), right.size());
    for (qsizetype i = 0; i < common; ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (!caseSensitive) {
            x = FoldAscii(x);
            y = FoldAscii(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (left.size() == right.size())
        return 0;
    return left.size() < right.size() ? -1 : 1;
}

qsizetype InsertSorted(bool caseSensitive, QStringList& array, const QString& name) {
    const qsizetype index = InsertionIndex(caseSensitive, array, name);
    array.insert(index, name);
    return index;
}

qsizetype FindSorted(bool caseSensitive, const QStringList& array, const QString& name) {
    return FindSortedBy(caseSensitive, array.size(), name,
                        [&array](qsizetype index) -> const QString& { return array[index]; });
}

QString LowerAscii(const QString& text) {
    QString lowered = text;
    for (QChar& unit : lowered)
        unit = QChar(FoldAscii(unit.unicode()));
    return lowered;
}

QString TrimmedRight(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}
