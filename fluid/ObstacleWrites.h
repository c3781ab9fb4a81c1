#pragma once

#include <vector>

#include "Vec2.h"

// The writes that the obstacles make at the end of a boundary pass, worked out as obstacles are
// appended, with every write left out that cannot change the pass's result.
//
// A boundary pass runs the walls, then each obstacle in the order added: its outline copies
// (cell = f(neighbour), in record order), then its interior zeros. Cells are natural storage
// indices. Two rules keep the result and drop work:
//  - A write dies when a later write to the same cell supersedes it before anything reads it.
//    A dead copy's own read keeps nothing alive any more, which can let the write it read die
//    in turn. Each write dies at most once.
//  - A copy whose neighbour holds a value known when the pass is built (an interior's zero, or
//    a copy of a known value) writes a known value: a constant. Since nothing then reads a
//    constant while the pass runs, a constant write matters only as the last write to its cell.
// What remains is the live copies, run in the order added after the walls, and then one
// constant for each cell whose last write is a constant, in any order. The constants are the
// vector pass's values; the scalar pass copies values unchanged, so its constants are all +0.
//
// Appending costs in proportion to the obstacle's cells, plus each death once. An append can be
// tentative and undone, so that an obstacle that would make the pass too large is refused.
class ObstacleWrites {
public:
    // A copy that the pass makes: cell = tangent * dot(tangent, neighbour) for velocities,
    // cell = neighbour for scalars.
    struct Copy {
        int cell;
        int neighbour;
        Vec2 tangent;
    };

    explicit ObstacleWrites(int cellCount);

    // Appends an obstacle's writes in pass order: copy for each outline record, then zero for
    // each interior cell. Between begin and commit or undo, undo takes every write back.
    void begin(bool undoable);
    void copy(int cell, int neighbour, Vec2 tangent);
    void zero(int cell);
    void commit();
    void undo();
    // No obstacle writes.
    void clear();

    // Copies that every boundary pass makes: the live ones.
    int liveCopies() const { return live; }
    // Calls visit(copy) for each live copy, in pass order.
    template <typename Visit>
    void forEachCopy(Visit visit) const {
        for (const Op& op : ops) {
            if (!op.dead) {
                visit(Copy{op.cell, op.neighbour, op.tangent});
            }
        }
    }
    // Whether the cell's last write is a constant, and the vector pass's value there.
    bool endsConstant(int cell) const { return state[cell] == kConstant; }
    Vec2 constantAt(int cell) const { return constants[cell]; }

private:
    // A cell's state: the index of the live copy that wrote it last, or one of these.
    static constexpr int kInput = -1;     // no obstacle wrote it: what the walls or fluid left
    static constexpr int kConstant = -2;  // a constant, constants[cell]

    struct Op {
        int cell;
        int neighbour;
        Vec2 tangent;
        int source;       // the copy whose write it reads, or -1 for the walls' or the fluid's
        int readers;      // live copies that read its write
        bool superseded;  // a later write to its cell
        bool dead;
    };
    struct CellUndo {
        int cell;
        int state;
        Vec2 constant;
    };
    struct OpUndo {
        int op;
        int readers;
        bool superseded;
        bool dead;
    };

    // The cell's last write becomes `next` (a copy, or kConstant with its value).
    void overwrite(int cell, int next, Vec2 constant);
    void supersede(int op);
    void kill(int op);
    void noteCell(int cell);
    void noteOp(int op);
    // Drops the dead copies from ops, once they are as many as the live ones.
    void compact();

    std::vector<int> state;
    std::vector<Vec2> constants;
    std::vector<Op> ops;
    int live = 0;
    int dead = 0;
    // The tentative append's undo journal: what it changed, as it was before.
    bool journaling = false;
    int opsBefore = 0;
    int liveBefore = 0;
    int deadBefore = 0;
    std::vector<CellUndo> cellJournal;
    std::vector<OpUndo> opJournal;
    std::vector<int> dying;  // kill's work list
};
