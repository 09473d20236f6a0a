#pragma once

#include "engine/Command.h"

#include <QObject>
#include <QString>

#include <optional>
#include <span>
#include <utility>
#include <vector>

class LumicutView;
class QAction;

// An item of a menu or toolbar layout: a command, or kSeparator.
using LayoutItem = std::optional<Command>;
inline constexpr LayoutItem kSeparator = std::nullopt;

// One popup of the menu bar: its title ("&" marks the mnemonic) and its items in order.
struct MenuLayout {
    const char* title;
    std::span<const LayoutItem> items;
};

// The photo view's commands as actions: one QAction per command, built from the command
// table (menu text, status-bar prompt, tooltip, toolbar picture, check mark) and connected
// to the view operation it runs. The menu bar, the toolbar and the view's key map all
// trigger these actions.
//
// The part of a menu text after a tab only shows the key in the menu's key column: the
// actions bind no shortcuts, because every key of the main window goes to the view, whose
// key map triggers the action.
class ViewActions : public QObject {
    Q_OBJECT

public:
    // The actions are children of the view and run its operations.
    explicit ViewActions(LumicutView& view);
    ~ViewActions() override;

    [[nodiscard]] QAction* action(Command command) const;

    // Popups of the menu bar, in order.
    [[nodiscard]] static std::span<const MenuLayout> menuLayout();
    // Toolbar buttons in order.
    [[nodiscard]] static std::span<const LayoutItem> toolBarLayout();

    // "Fichier > Répertoire de travail...": the menu title and the command's text as the
    // menu shows them (no mnemonic marks, no key column).
    [[nodiscard]] static QString menuPath(Command command);

public slots:
    // Sets the check mark of every checkable command from the state it shows (thirds
    // guides, white border, identity sheet). To be called whenever that state changes.
    void syncCheckMarks();

private:
    struct CommandRow;
    [[nodiscard]] static std::span<const CommandRow> commandTable();

    LumicutView& m_view;
    std::vector<std::pair<const CommandRow*, QAction*>> m_actions;
};
