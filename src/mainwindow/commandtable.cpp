#include "mainwindow/commandtable.h"

namespace {

using K = MenuEntry::Kind;

const MenuEntry kMenus[] = {
    {"mnuFile", "ﾌｧｲﾙ(&F)", K::Menu},
    {"mnuFileNew", "新規(&N)", K::Item, {Qt::CTRL | Qt::Key_N}},
    {"mnuFileOpen", "開く(&O)...", K::Item, {Qt::CTRL | Qt::Key_O}},
    {"mnuFileSave", "保存(&S)...", K::Item, {Qt::CTRL | Qt::SHIFT | Qt::Key_S}},
    {"mnuFileOverwrite", "上書き保存", K::Item, {Qt::CTRL | Qt::Key_S}},
    {"mnuFileRecent", "最近使ったファイル(&R)", K::Submenu},
    {"mnuFileSepOut", nullptr, K::Separator},
    {"mnuFilePdf", "データシートを PDF に出力(&D)..."},
    {"mnuFilePrint", "印刷(&P)...", K::Item, {Qt::CTRL | Qt::Key_P}},
    {"mnuFilePreview", "印刷プレビュー(&V)..."},
    {"mnuFileSvg", "断面を SVG に出力..."},
    {"mnuFilePng", "断面を PNG に出力..."},
    {"mnuFileSectionPdf", "断面を PDF に出力..."},
    {"mnuFileDxf", "DXF に出力..."},
    {"mnuFileSep", nullptr, K::Separator},
    {"mnuFileEnd", "終了(&X)"},
    {"mnuDisp", "表示(&V)", K::Menu},
    {"mnuDispKaku", "拡大"},
    {"mnuDispShuku", "縮小"},
    {"mnuDispAll", "全表示", K::Item, {Qt::CTRL | Qt::Key_0}},
    {"mnuDispRedraw", "再表示"},
    {"mnuDispSep", nullptr, K::Separator},
    {"mnuDispGrid", "グリッド"},
    {"mnuDispSepCheck", nullptr, K::Separator},
    {"mnuDispCheck", "ブロック検査(&C)..."},
    {"mnuDispSepStep", nullptr, K::Separator},
    {"mnuDispStepIn", "一段拡大", K::Item, {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal}},
    {"mnuDispStepOut", "一段縮小", K::Item, {Qt::CTRL | Qt::Key_Minus}},
    {"mnuBlkPara", "ブロック諸元(&B)...", K::BarItem},
    {"mnuPoint", "点(&P)", K::Menu},
    {"mnuPointHen", "編集..."},
    {"mnuPointDel", "削除"},
    {"mnuPointDxf", "DXF から取込..."},
    {"mnuLine", "線分(&L)", K::Menu},
    {"mnuLineIn", "結線"},
    {"mnuLineDel", "削除"},
    {"mnuLineDelAll", "一括削除"},
    {"mnuEdit", "編集(&E)", K::Menu},
    {"mnuEditUndo", "元に戻す(&U)", K::Item, {Qt::CTRL | Qt::Key_Z}},
    {"mnuEditRedo",
     "やり直し(&R)",
     K::Item,
     {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}},
    {"mnuEditSep", nullptr, K::Separator},
    {"mnuEditEsc", "モード終了", K::Item, {Qt::Key_Escape}},
    {"mnuTool", "ツール(&T)", K::Menu},
    {"mnuToolSimilar", "相似形で作成..."},
    {"mnuToolSep", nullptr, K::Separator},
    {"mnuToolSettings", "設定..."},
    {"mnuHelp", "ヘルプ(&H)", K::Menu},
    {"mnuHelpHelp", "ヘルプ（&M）...", K::Item, {Qt::Key_F1}},
    {"mnuHelpSep", nullptr, K::Separator},
    {"mnuHelpVer", "バージョン情報（&A）..."},
};

const ButtonEntry kButtons[] = {
    {"NewOpen", "new", "新規"},
    {"Open", "open", "開く"},
    {"Save", "save", "保存"},
    {nullptr, nullptr, nullptr},
    {"Kakudai", "zoom_in", "拡大"},
    {"Shukusho", "zoom_out", "縮小"},
    {"Zenhyoji", "show_all", "全表示"},
    {"Redraw", "redraw", "再表示"},
    {"Grid", "grid", "グリッド"},
    {nullptr, nullptr, nullptr},
    {"Line", "join", "結線"},
    {"Line_Del", "delete_segment", "線削除"},
    {"Pnt_Del", "delete_point", "点削除"},
    {nullptr, nullptr, nullptr},
    {"Undo", "undo", "元に戻す"},
    {"Help", "help", "ヘルプ"},
    {nullptr, nullptr, nullptr},
    {"Redo", "redo", "やり直し"},
    {"Check", "check", "ブロック検査"},
};

} // namespace

std::span<const MenuEntry> menuTable()
{
    return kMenus;
}

std::span<const ButtonEntry> toolbarTable()
{
    return kButtons;
}
