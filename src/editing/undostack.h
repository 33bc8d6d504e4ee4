#pragma once

#include "document/module1.h"

#include <QString>

// The undo stack of whole-block snapshots, entry 0 the newest, and the redo
// stack that each undo feeds. The window keeps its "Undo" button enabled
// exactly while UndoCnt > 0.

// Pushes a copy of rec under name. When the stack is full (101 snapshots) the
// oldest is dropped, so the push always succeeds. A new entry makes whatever
// was undone before unreachable: the redo stack is emptied.
void Undo_Push(Module1& m, const BlkRec& rec, const QString& name);

// Restores BlkData from the newest snapshot and removes it; the state it
// replaces goes onto the redo stack. Does nothing on an empty stack.
void Undo_Pop(Module1& m);

// Empties both stacks (New, Open, every save).
void Undo_Clear(Module1& m);

// Takes back the last undo: the snapshot it replaced becomes BlkData again and
// the state before goes back onto the undo stack. Does nothing when there is
// nothing to redo.
void Redo_Pop(Module1& m);
inline bool Redo_Available(const Module1& m)
{
    return !m.RedoData.empty();
}
