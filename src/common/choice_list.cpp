#include "common/choice_list.h"

QString ChoiceList::text(int index) const
{
    return index >= 0 && index < count() ? m_items.at(index).text : QString();
}

int ChoiceList::value(int index) const
{
    return index >= 0 && index < count() ? m_items.at(index).value : 0;
}

int ChoiceList::indexOfValue(int value) const
{
    for (int i = 0; i < count(); ++i)
        if (m_items.at(i).value == value)
            return i;
    return -1;
}

int ChoiceList::indexOfText(const QString &text) const
{
    for (int i = 0; i < count(); ++i)
        if (m_items.at(i).text == text)
            return i;
    return -1;
}
