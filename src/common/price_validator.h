#pragma once

#include <QValidator>

// Key rules of every price and quantity field: a "." typed becomes ",", only
// digits and one "," are accepted, and at most maxLength characters. Because it
// judges the whole text, pasted text obeys the same rules as typed keys; text
// set by the program (a computed price) is shown as it is, even when longer.
class PriceValidator : public QValidator
{
    Q_OBJECT

public:
    // The length of the price fields of the catalogue forms.
    static constexpr int kPriceLength = 7;

    explicit PriceValidator(QObject *parent = nullptr, int maxLength = kPriceLength);

    State validate(QString &input, int &pos) const override;

    // Installs a new validator on an object that has setValidator (line edits).
    template <typename Edit> static void install(Edit *edit, int maxLength = kPriceLength)
    {
        edit->setValidator(new PriceValidator(edit, maxLength));
    }

private:
    int m_maxLength;
};
