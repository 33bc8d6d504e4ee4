#pragma once

#include <QKeyCombination>

#include <array>
#include <span>

// The main window's menus and toolbar as tables, in their order. The classic
// items keep their places; what was added comes after the items of a menu,
// in a menu of its own, or after the classic toolbar buttons.
struct MenuEntry
{
    enum class Kind
    {
        Item,
        Separator,
        Menu,    // starts a top-level menu
        BarItem, // a command directly on the menu bar
        Submenu  // a submenu filled at run time
    };
    const char* name; // control name, "mnuFileNew"
    const char* caption;
    Kind kind = Kind::Item;
    // Up to two keys; Qt::Key_unknown where there is none.
    std::array<QKeyCombination, 2> shortcuts{};
};

struct ButtonEntry
{
    const char* key; // nullptr: a separator
    const char* icon;
    const char* tip;
};

std::span<const MenuEntry> menuTable();
std::span<const ButtonEntry> toolbarTable();
