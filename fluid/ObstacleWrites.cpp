#include "ObstacleWrites.h"

#include <algorithm>
#include <cstddef>

namespace {

// Dead copies are dropped from the list once they are as many as the live ones and at least
// this many, so that dropping them costs each copy O(1) over time.
constexpr int kLeastDeadToCompact = 4096;

}  // namespace

ObstacleWrites::ObstacleWrites(int cellCount)
    : state(static_cast<std::size_t>(cellCount), kInput),
      constants(static_cast<std::size_t>(cellCount)) {}

void ObstacleWrites::begin(bool undoable) {
    journaling = undoable;
    opsBefore = static_cast<int>(ops.size());
    liveBefore = live;
    deadBefore = dead;
}

void ObstacleWrites::copy(int cell, int neighbour, Vec2 tangent) {
    if (state[neighbour] == kConstant) {
        // A known neighbour u gives a known value: t * dot(t, u), as the vector pass forms it.
        const Vec2 u = constants[neighbour];
        const float s = tangent.x * u.x + tangent.y * u.y;
        overwrite(cell, kConstant, Vec2(s * tangent.x, s * tangent.y));
        return;
    }
    const int source = state[neighbour];  // a copy, or kInput
    if (source >= 0) {
        noteOp(source);
        ++ops[source].readers;
    }
    ops.push_back(Op{cell, neighbour, tangent, source < 0 ? -1 : source, 0, false, false});
    ++live;
    // The read comes first: a copy of its own cell reads the write that it then supersedes.
    overwrite(cell, static_cast<int>(ops.size()) - 1, Vec2());
}

void ObstacleWrites::zero(int cell) {
    overwrite(cell, kConstant, Vec2());
}

void ObstacleWrites::overwrite(int cell, int next, Vec2 constant) {
    noteCell(cell);
    const int previous = state[cell];
    state[cell] = next;
    constants[cell] = constant;
    if (previous >= 0) {
        supersede(previous);
    }
}

void ObstacleWrites::supersede(int op) {
    noteOp(op);
    ops[op].superseded = true;
    if (ops[op].readers == 0) {
        kill(op);
    }
}

// A superseded copy that no live copy reads dies; so may the copy whose write it read.
void ObstacleWrites::kill(int op) {
    dying.push_back(op);
    while (!dying.empty()) {
        const int k = dying.back();
        dying.pop_back();
        noteOp(k);
        ops[k].dead = true;
        --live;
        ++dead;
        const int source = ops[k].source;
        if (source < 0) {
            continue;
        }
        noteOp(source);
        if (--ops[source].readers == 0 && ops[source].superseded) {
            dying.push_back(source);
        }
    }
}

void ObstacleWrites::noteCell(int cell) {
    if (journaling) {
        cellJournal.push_back(CellUndo{cell, state[cell], constants[cell]});
    }
}

void ObstacleWrites::noteOp(int op) {
    // Copies made by this append go with it; only older ones need their state kept.
    if (journaling && op < opsBefore) {
        const Op& o = ops[op];
        opJournal.push_back(OpUndo{op, o.readers, o.superseded, o.dead});
    }
}

void ObstacleWrites::commit() {
    journaling = false;
    cellJournal.clear();
    opJournal.clear();
    if (dead >= live && dead >= kLeastDeadToCompact) {
        compact();
    }
}

void ObstacleWrites::undo() {
    // Newest first, so that each cell and copy ends as it was before the append.
    for (auto u = cellJournal.rbegin(); u != cellJournal.rend(); ++u) {
        state[u->cell] = u->state;
        constants[u->cell] = u->constant;
    }
    for (auto u = opJournal.rbegin(); u != opJournal.rend(); ++u) {
        Op& o = ops[u->op];
        o.readers = u->readers;
        o.superseded = u->superseded;
        o.dead = u->dead;
    }
    ops.resize(static_cast<std::size_t>(opsBefore));
    live = liveBefore;
    dead = deadBefore;
    journaling = false;
    cellJournal.clear();
    opJournal.clear();
}

void ObstacleWrites::clear() {
    std::fill(state.begin(), state.end(), kInput);
    ops.clear();
    live = 0;
    dead = 0;
    journaling = false;
    cellJournal.clear();
    opJournal.clear();
}

// Live copies keep their order. A live copy's source is live (it counts among its readers), and
// a copy that is not superseded is its cell's last write.
void ObstacleWrites::compact() {
    std::vector<int> moved(ops.size(), -1);
    int next = 0;
    for (std::size_t k = 0; k < ops.size(); ++k) {
        if (ops[k].dead) {
            continue;
        }
        Op op = ops[k];
        if (op.source >= 0) {
            op.source = moved[op.source];
        }
        if (!op.superseded) {
            state[op.cell] = next;
        }
        moved[k] = next;
        ops[next++] = op;
    }
    ops.resize(static_cast<std::size_t>(next));
    ops.shrink_to_fit();
    dead = 0;
}
