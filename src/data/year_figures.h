#pragma once

#include <QList>

// The three monthly measures of every room for one year, read in one pass for
// the statistics tab: occupied nights, adults counted per night, and turnover
// before tax at the room's current base prices.
class YearFigures
{
public:
    YearFigures() = default;
    YearFigures(int year, int roomCount)
        : m_year(year), m_roomCount(qMax(0, roomCount)), m_nights(m_roomCount * 12, 0),
          m_persons(m_roomCount * 12, 0), m_turnover(m_roomCount * 12, 0.0)
    {}

    int year() const { return m_year; }
    int roomCount() const { return m_roomCount; }

    // room 1..roomCount(), month 1..12; 0 outside.
    int nights(int room, int month) const { return valid(room, month) ? m_nights.at(index(room, month)) : 0; }
    int persons(int room, int month) const
    {
        return valid(room, month) ? m_persons.at(index(room, month)) : 0;
    }
    double turnover(int room, int month) const
    {
        return valid(room, month) ? m_turnover.at(index(room, month)) : 0.0;
    }

    void setNights(int room, int month, int v)
    {
        if (valid(room, month))
            m_nights[index(room, month)] = v;
    }
    void setPersons(int room, int month, int v)
    {
        if (valid(room, month))
            m_persons[index(room, month)] = v;
    }
    void setTurnover(int room, int month, double v)
    {
        if (valid(room, month))
            m_turnover[index(room, month)] = v;
    }

private:
    bool valid(int room, int month) const
    {
        return room >= 1 && room <= m_roomCount && month >= 1 && month <= 12;
    }
    qsizetype index(int room, int month) const { return qsizetype(room - 1) * 12 + (month - 1); }

    int m_year = 0;
    int m_roomCount = 0;
    QList<int> m_nights;
    QList<int> m_persons;
    QList<double> m_turnover;
};
