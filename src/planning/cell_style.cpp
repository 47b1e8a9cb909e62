#include "planning/cell_style.h"

#include "settings/settings.h"

StateColors StateColors::fromSettings()
{
    return {Settings::stateColor(QStringLiteral("Réservé")), Settings::stateColor(QStringLiteral("Acompte")),
            Settings::stateColor(QStringLiteral("Payé"))};
}

namespace CellStyles {

CellStyle style(const QString &text, const StateColors &colors)
{
    if (text.isEmpty())
        return {};
    const struct
    {
        QString word;
        QColor color;
    } states[] = {
        {QStringLiteral("Payé"), colors.paye},
        {QStringLiteral("Acompte"), colors.acompte},
        {QStringLiteral("Réservé"), colors.reserve},
    };
    for (const auto &s : states)
        if (text == s.word)
            return {text, s.color};
    for (const auto &s : states) {
        const qsizetype at = text.indexOf(s.word);
        if (at >= 0) {
            QString shown = text;
            shown.remove(at, s.word.size());
            return {shown, s.color};
        }
    }
    return {text, QColor()};
}

} // namespace CellStyles
