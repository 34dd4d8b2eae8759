#pragma once
#include "store/StoreChanges.h"

#include <QList>
#include <array>

class ScheduleDocument;

// The rows of a document's schedule tables (T_Setting, T_Week, T_Year,
// T_YearE) at one moment: every cell is an integer, rows in table order. An image made
// from an earlier one shares that image's data for every table that still
// holds the same rows, so a long run of images costs little more than what
// changed between them.
class StoreImage
{
public:
    static StoreImage capture(ScheduleDocument& document);

    // This image with the tables of `kinds` read again from the store (the
    // others kept as they are, for a store known not to have changed them).
    StoreImage refreshed(ScheduleDocument& document, StoreChanges::Changes kinds) const;
    // This image with the tables of `kinds` taken from `source`.
    StoreImage with(StoreChanges::Changes kinds, const StoreImage& source) const;

    // The kinds of change whose tables differ between the two images.
    StoreChanges::Changes differences(const StoreImage& other) const;

    // Puts the tables of `kinds` back as this image holds them, in one
    // transaction (whose commit announces them). Throws StoreError
    // (nothing changed).
    void restore(ScheduleDocument& document, StoreChanges::Changes kinds) const;

    // Bytes of cell data the image holds, shared data counted in full.
    qsizetype bytes() const;

    bool operator==(const StoreImage& other) const { return m_tables == other.m_tables; }

private:
    std::array<QList<int>, 4> m_tables;
};
