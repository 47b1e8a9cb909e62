#pragma once

#include "ui/catalogue/service_lines_grid.h"

#include <functional>

// The line grid of the invoice and quote forms: the service id column hidden,
// then label, quantity, totals and rate. Lines added or changed are repriced
// at room() prices; linesChanged() tells the form to recompute its totals.
class DocumentLinesGrid : public ServiceLinesGrid
{
    Q_OBJECT

public:
    explicit DocumentLinesGrid(QWidget *parent = nullptr);

    // setGrid() rewrites the titles and emits nothing.
    void clearLines();

    // The room whose prices are used when lines are (re)priced.
    void setRoom(int room) { m_room = room; }
    int room() const { return m_room; }

    // Called before a line is added; returning false cancels it (the quote
    // form asks for a room first).
    void setAddGuard(std::function<bool()> guard) { m_addGuard = std::move(guard); }
    // The quantity a service starts with when added (the quote form: the
    // nights of its dates for a nightly service).
    void setInitialQuantity(std::function<int(int service)> quantity) { m_initialQuantity = std::move(quantity); }

    // MajListePrestations: every line repriced at room() prices, then linesChanged().
    void MajListePrestations();

    // Grid row of the selected line, -1 when the selected row holds none.
    int selectedLine() const { return selectedRow(); }

signals:
    void linesChanged();
    void selectedLineChanged(int gridRow);

protected:
    TextGrid shaped(const TextGrid &grid) const override;
    void removeLine(TextGrid &grid, int row) const override;
    void layOutColumns() override;
    void lineEdited() override { MajListePrestations(); }
    void lineRemoved() override { emit linesChanged(); }
    void lineSelected(int gridRow) override { emit selectedLineChanged(gridRow); }
    bool mayAdd() override { return !m_addGuard || m_addGuard(); }
    std::function<int(int)> initialQuantity() const override { return m_initialQuantity; }

private:
    std::function<bool()> m_addGuard;
    std::function<int(int)> m_initialQuantity;
    int m_room = 1;
};
