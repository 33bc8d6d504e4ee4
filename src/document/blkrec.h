#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// The whole description of one block. A plain value: assignment copies
// everything, so snapshots and dialog copies never share state.
struct BlkRec
{
    static constexpr int LyrLast = 50;   // layer rows 0..50
    static constexpr int PntLast = 100;  // points 1..100, element 0 unused
    static constexpr int LineLast = 100; // segments 1..100, element 0 unused

    QString Name;
    QString Kind;
    double B = 0;
    double L = 0;
    double H = 0;
    double Gx = 0;
    double Gy = 0;
    double V = 0;
    double Spare = 0;
    qint16 LyrCnt = 0;
    std::array<double, LyrLast + 1> LyrH{};
    std::array<double, LyrLast + 1> LyrV{};
    std::array<double, LyrLast + 1> LyrVSum{};
    qint16 PntCnt = 0;
    std::array<double, PntLast + 1> PntX{};
    std::array<double, PntLast + 1> PntY{};
    qint16 LineCnt = 0;
    std::array<qint16, LineLast + 1> LineSt{};
    std::array<qint16, LineLast + 1> LineEd{};
};

// Resets a record to the empty block.
void Blk_Clear(BlkRec& rec);

// The modification test: true when the two records differ in anything that is
// stored or shown. LyrVSum and entries beyond the counts do not count.
bool Blk_Differs(const BlkRec& a, const BlkRec& b);
