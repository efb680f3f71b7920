#pragma once

#include <QString>
#include <QtGlobal>

// The four results of judging a table, a column or a data-dictionary item. Their numeric order
// indexes counters, filter check boxes, export option bits, list colours and export symbols.
namespace CompareStatus {
enum : qint32 {
    Same = 0,
    OnlyLeft = 1,
    OnlyRight = 2,
    Different = 3,
};
constexpr int Count = 4;

constexpr bool IsValid(qint32 status) {
    return status >= Same && status <= Different;
}

// The colour of a status as 0xRRGGBB: in the result lists, their filters and the reports.
constexpr quint32 Colour(qint32 status) {
    switch (status) {
    case OnlyLeft:
        return 0x000080;
    case OnlyRight:
        return 0x008000;
    case Different:
        return 0xFF0000;
    default:
        return 0x000000;
    }
}
} // namespace CompareStatus

// The text of a per-side value in a comparison row: for a different row the left text, then
// " | " and the right text when the values differ; for a row on one side, that side's text.
inline QString SideText(qint32 status, const QString& left, const QString& right,
                        bool valuesDiffer) {
    switch (status) {
    case CompareStatus::Different:
        return valuesDiffer ? left + QStringLiteral(" | ") + right : left;
    case CompareStatus::Same:
    case CompareStatus::OnlyLeft:
        return left;
    case CompareStatus::OnlyRight:
        return right;
    default:
        return {};
    }
}
