#include "editing/undostack.h"

#include <algorithm>

namespace {

constexpr int kCapacity = Module1::UndoLast + 1;

// Pushes onto the undo stack without touching the redo stack.
void pushUndo(Module1& m, const BlkRec& rec, const QString& name)
{
    // When full, the oldest entry (index UndoLast) is overwritten by the shift.
    for (int a = std::min<int>(m.UndoCnt, Module1::UndoLast); a >= 1; --a) {
        m.UndoData[a] = m.UndoData[a - 1];
        m.UndoName[a] = m.UndoName[a - 1];
    }
    m.UndoData[0] = rec;
    m.UndoName[0] = name;
    if (m.UndoCnt < kCapacity)
        ++m.UndoCnt;
}

} // namespace

void Undo_Push(Module1& m, const BlkRec& rec, const QString& name)
{
    pushUndo(m, rec, name);
    m.RedoData.clear();
    m.RedoName.clear();
}

void Undo_Pop(Module1& m)
{
    if (m.UndoCnt <= 0)
        return;
    if (int(m.RedoData.size()) == kCapacity) {
        m.RedoData.erase(m.RedoData.begin());
        m.RedoName.erase(m.RedoName.begin());
    }
    m.RedoData.push_back(m.BlkData);
    m.RedoName.push_back(m.UndoName[0]);
    m.BlkData = m.UndoData[0];
    for (int i = 0; i <= m.UndoCnt - 2; ++i) {
        m.UndoData[i] = m.UndoData[i + 1];
        m.UndoName[i] = m.UndoName[i + 1];
    }
    --m.UndoCnt;
}

void Undo_Clear(Module1& m)
{
    m.UndoCnt = 0;
    m.RedoData.clear();
    m.RedoName.clear();
}

void Redo_Pop(Module1& m)
{
    if (m.RedoData.empty())
        return;
    pushUndo(m, m.BlkData, m.RedoName.back());
    m.BlkData = m.RedoData.back();
    m.RedoData.pop_back();
    m.RedoName.pop_back();
}
