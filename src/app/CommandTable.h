#pragma once

#include "app/CommandId.h"

#include <span>

// Texts of every command: the menu text ("&" marks the mnemonic, the part after a tab is
// shown in the shortcut column), the status-bar prompt and the tooltip.
struct CommandInfo {
    CommandId id;
    const char* menuText; // nullptr: toolbar only
    const char* prompt;   // nullptr: no prompt
    const char* toolTip;  // nullptr: no tooltip
    bool checkable = false;
};

// An item 0 in a menu or toolbar layout is a separator.
inline constexpr int LayoutSeparator = 0;

// One popup of the menu bar: its title and its items (command numbers or separators).
struct MenuInfo {
    const char* title;
    std::span<const int> items;
};

[[nodiscard]] std::span<const CommandInfo> CommandTable();
[[nodiscard]] const CommandInfo* FindCommand(CommandId id);

// Popups of the menu bar, in order.
[[nodiscard]] std::span<const MenuInfo> MenuStructure();

// Toolbar buttons in order (command numbers or separators); each button shows its
// command's picture (ToolbarIcon).
[[nodiscard]] std::span<const int> ToolbarLayout();
