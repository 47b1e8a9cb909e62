#include "ui/catalogue/choice_combo.h"

#include "common/choice_list.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace ChoiceCombo {

void fill(QComboBox *box, const ChoiceList &list)
{
    const QSignalBlocker blocker(box);
    box->clear();
    for (const ChoiceList::Item &item : list.items())
        box->addItem(item.text, item.value);
    box->setCurrentIndex(list.isEmpty() ? -1 : 0);
}

int value(const QComboBox *box)
{
    return box->currentIndex() < 0 ? 0 : box->currentData().toInt();
}

bool selectValue(QComboBox *box, int value)
{
    const int index = box->findData(value);
    if (index < 0)
        return false;
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
    return true;
}

bool selectText(QComboBox *box, const QString &text)
{
    const int index = box->findText(text, Qt::MatchExactly);
    if (index < 0)
        return false;
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
    return true;
}

} // namespace ChoiceCombo
