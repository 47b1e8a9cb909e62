#pragma once

#include <QString>

class ChoiceList;
class QComboBox;

// Shows a ChoiceList in a drop-down list: each entry's value is its item data.
// Filling does not emit the box's change signals, as a list refilled by the
// program is not a choice of the user.
namespace ChoiceCombo {

void fill(QComboBox *box, const ChoiceList &list);
// The value of the current entry; 0 (the placeholder's) when there is none.
int value(const QComboBox *box);
// Makes the entry of that value current without signalling; false when missing.
bool selectValue(QComboBox *box, int value);
// Makes the entry of that text current without signalling; false when missing.
bool selectText(QComboBox *box, const QString &text);

} // namespace ChoiceCombo
