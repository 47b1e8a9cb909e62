#pragma once

#include <QList>
#include <QString>

// Texts with an attached integer, as a combo box or list box shows them.
// By convention the first entry is a placeholder worth 0.
class ChoiceList
{
public:
    struct Item
    {
        QString text;
        int value = 0;
        bool operator==(const Item &) const = default;
    };

    void clear() { m_items.clear(); }
    void add(const QString &text, int value) { m_items.append({text, value}); }
    int count() const { return int(m_items.size()); }
    bool isEmpty() const { return m_items.isEmpty(); }
    QString text(int index) const;
    int value(int index) const;
    int indexOfValue(int value) const;
    int indexOfText(const QString &text) const;
    const QList<Item> &items() const { return m_items; }

    bool operator==(const ChoiceList &) const = default;

private:
    QList<Item> m_items;
};
