#pragma once
// What a transaction script hands back to the window that ran it: the value
// it produced, or the refusal that says in the operator's words why nothing
// was done. A sale, an edit-grid save and a delete all end this way; the
// window decides how to show it. A database failure is no refusal: it comes
// out as the ODBC layer's exception and takes the connection cycle's
// failure path.

#include <QString>
#include <utility>
#include <variant>
#include <vector>

namespace kestrel {

// A cell of a grid, in the grid's own numbering (data rows from 1).
struct GridCell {
    int row = 0;
    int col = 0;
    friend bool operator==(const GridCell &, const GridCell &) = default;
    friend auto operator<=>(const GridCell &, const GridCell &) = default;
};

struct Refusal {
    QString message;
    // The cells the refusal is about, for a window that marks them; empty
    // when it is about the whole record or the whole sale.
    std::vector<GridCell> cells;
};

// For a script that has nothing to hand back but that it was done.
struct Done {};

template <class T> class [[nodiscard]] Outcome {
public:
    Outcome(T value) : m_state(std::move(value)) {}
    Outcome(Refusal refusal) : m_state(std::move(refusal)) {}

    bool isDone() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return isDone(); }

    const T &value() const { return std::get<T>(m_state); }
    T &value() { return std::get<T>(m_state); }
    const T *operator->() const { return &value(); }
    const Refusal &refusal() const { return std::get<Refusal>(m_state); }

private:
    std::variant<T, Refusal> m_state;
};

} // namespace kestrel
