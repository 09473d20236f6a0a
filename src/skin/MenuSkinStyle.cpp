#include "skin/MenuSkinStyle.h"

#include "skin/GradientBands.h"
#include "skin/MenuMnemonic.h"
#include "skin/MenuShadow.h"
#include "skin/MenuSkinColors.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QStyleOption>
#include <QStyleOptionMenuItem>

#include <algorithm>

namespace {

// Geometry of popup items, display pixels from the item's left edge.
constexpr int kTextLeft = 30;      // label start, and start of the separator line
constexpr int kShortcutRight = 12; // gap between the shortcut text and the right edge
constexpr int kFlatColumn = 22;    // left column on displays of 8 bits per pixel or fewer
constexpr int kIconSize = 16;
constexpr int kBarFrameInset = 4;   // menu-bar items: highlight frame narrower by this much
constexpr int kBarLabelPadding = 6; // menu-bar items: room on each side of the label
constexpr int kPanelWidth = 3;      // popup frame: one dark line and two background lines
constexpr int kShadowTop = 4;       // shading beside an open menu-bar item starts this far down

// Item rectangle as edges in widget coordinates: right and bottom are one past the last
// pixel, unlike QRect::right() and QRect::bottom().
struct Bounds {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    explicit Bounds(const QRect& rect)
        : left(rect.x()), top(rect.y()), right(rect.x() + rect.width()),
          bottom(rect.y() + rect.height()) {}
    [[nodiscard]] int width() const { return right - left; }
    [[nodiscard]] int height() const { return bottom - top; }
};

MenuSkinColors coloursOf(const QPalette& palette) {
    return deriveMenuSkinColors(palette.color(QPalette::Button),
                                palette.color(QPalette::Highlight));
}

void fillGradient(QPainter& painter, const QRect& rect, const QColor& start, const QColor& end) {
    for (const GradientBand& band : gradientBands(start, end, rect.x(), rect.width()))
        painter.fillRect(QRect(band.left, rect.y(), band.right - band.left, rect.height()),
                         band.colour);
}

// One-pixel outline on the outermost pixels of rect (no pen geometry involved).
void frameRect(QPainter& painter, const QRect& rect, const QColor& colour) {
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    painter.fillRect(QRect(rect.x(), rect.y(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.x(), rect.bottom(), rect.width(), 1), colour);
    painter.fillRect(QRect(rect.x(), rect.y(), 1, rect.height()), colour);
    painter.fillRect(QRect(rect.right(), rect.y(), 1, rect.height()), colour);
}

QPixmap silhouette(const QPixmap& pixmap, const QColor& colour) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.fillRect(image.rect(), colour);
    painter.end();
    return QPixmap::fromImage(image);
}

int mnemonicFlag(const QStyle& style, const QStyleOption& option, const QWidget* widget) {
    return style.styleHint(QStyle::SH_UnderlineShortcut, &option, widget) ? Qt::TextShowMnemonic
                                                                          : Qt::TextHideMnemonic;
}

// The window whose switch decides whether a menu is skinned: for a popup the window of the
// widget it was opened from, for a parentless popup the active window.
const QWidget* ownerWindow(const QWidget* widget) {
    const QWidget* current = widget;
    while (qobject_cast<const QMenu*>(current) && current->parentWidget())
        current = current->parentWidget();
    if (qobject_cast<const QMenu*>(current))
        return QApplication::activeWindow();
    return current ? current->window() : nullptr;
}

} // namespace

MenuSkinStyle::MenuSkinStyle(const MenuSkinProfile& profile, int colourDepth, QStyle* base)
    : QProxyStyle(base), m_profile(profile), m_colourDepth(colourDepth) {}

bool MenuSkinStyle::isSkinned(const QWidget* widget) {
    const QWidget* owner = ownerWindow(widget);
    if (!owner)
        return true;
    const QVariant on = owner->property(kSkinProperty);
    return !on.isValid() || on.toBool();
}

QColor MenuSkinStyle::gradientStart(const MenuSkinColors& colours) const {
    return profileColour(m_profile.gradientStart, colours.lightFace);
}

QColor MenuSkinStyle::gradientEnd(const MenuSkinColors& colours) const {
    return profileColour(m_profile.gradientEnd, colours.menuBackground);
}

QColor MenuSkinStyle::popupBackground(const MenuSkinColors& colours) const {
    return m_profile.showGradient && richColours() ? gradientEnd(colours) : colours.menuBackground;
}

void MenuSkinStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item || !painter || !isSkinned(widget)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    switch (element) {
    case CE_MenuItem:
        if (item->menuItemType == QStyleOptionMenuItem::Scroller ||
            item->menuItemType == QStyleOptionMenuItem::TearOff) {
            break;
        }
        painter->save();
        drawPopupItem(*item, *painter, widget);
        painter->restore();
        return;
    case CE_MenuEmptyArea:
        painter->fillRect(option->rect, popupBackground(coloursOf(option->palette)));
        return;
    case CE_MenuBarItem:
        painter->save();
        drawMenuBarItem(*item, *painter, widget);
        painter->restore();
        return;
    case CE_MenuBarEmptyArea:
        painter->fillRect(option->rect, option->palette.color(QPalette::Button));
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void MenuSkinStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
    if (!option || !painter || !isSkinned(widget)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    switch (element) {
    case PE_PanelMenu:
        if (qobject_cast<const QMenu*>(widget) || !widget) {
            painter->fillRect(option->rect, popupBackground(coloursOf(option->palette)));
            return;
        }
        break;
    case PE_FrameMenu:
        painter->save();
        drawPopupFrame(*option, *painter, widget);
        painter->restore();
        return;
    case PE_PanelMenuBar:
        painter->fillRect(option->rect, option->palette.color(QPalette::Button));
        return;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

int MenuSkinStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
    if (isSkinned(widget)) {
        switch (metric) {
        case PM_MenuPanelWidth:
            return kPanelWidth;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
        case PM_MenuBarPanelWidth:
        case PM_MenuBarItemSpacing:
        case PM_MenuBarHMargin:
        case PM_MenuBarVMargin:
            return 0;
        default:
            break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

QSize MenuSkinStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (!item || !isSkinned(widget))
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const int textHeight = item->fontMetrics.height();
    switch (type) {
    case CT_MenuItem: {
        if (item->menuItemType == QStyleOptionMenuItem::Separator)
            return QSize(size.width(), textHeight / 2 + 2);
        if (item->menuItemType == QStyleOptionMenuItem::Scroller ||
            item->menuItemType == QStyleOptionMenuItem::TearOff) {
            break;
        }
        int labelWidth = size.width();
        if (item->menuItemType == QStyleOptionMenuItem::DefaultItem) {
            QFont bold = item->font;
            bold.setBold(true);
            const QString label = item->text.section(u'\t', 0, 0);
            labelWidth = std::max(
                labelWidth,
                QFontMetrics(bold)
                    .boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, label)
                    .width());
        }
        // The menu adds the widest shortcut text to every item after this call.
        return QSize(labelWidth + kTextLeft + kShortcutRight,
                     std::max(textHeight + 2, kIconSize) + 4);
    }
    case CT_MenuBarItem:
        return QSize(size.width() + 2 * kBarLabelPadding + kBarFrameInset, textHeight + 6);
    default:
        break;
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void MenuSkinStyle::drawPopupBackground(const QStyleOptionMenuItem& item,
                                        const MenuSkinColors& colours, QPainter& painter) const {
    const QRect& rect = item.rect;
    const bool disabled = !(item.state & State_Enabled);
    const bool selected =
        (item.state & State_Selected) && item.menuItemType != QStyleOptionMenuItem::Separator;
    const bool gradient = m_profile.showGradient && richColours();
    const QColor highlight = item.palette.color(QPalette::Highlight);

    if (selected) {
        if (gradient && m_profile.showGradientSel) {
            fillGradient(painter, rect,
                         disabled ? colours.disabledHighlight : gradientStart(colours),
                         gradientEnd(colours));
        } else {
            painter.fillRect(rect, disabled ? colours.disabledHighlight : colours.highlightFill);
        }
        frameRect(painter, rect, highlight);
        return;
    }
    if (gradient) {
        const int column = std::min(m_profile.gradientWidth, rect.width());
        fillGradient(painter, QRect(rect.x(), rect.y(), column, rect.height()),
                     gradientStart(colours), gradientEnd(colours));
        painter.fillRect(QRect(rect.x() + column, rect.y(), rect.width() - column, rect.height()),
                         gradientEnd(colours));
    } else {
        const int column = std::min(kFlatColumn, rect.width());
        painter.fillRect(QRect(rect.x(), rect.y(), column, rect.height()), colours.lightFace);
        painter.fillRect(QRect(rect.x() + column, rect.y(), rect.width() - column, rect.height()),
                         colours.menuBackground);
    }
}

void MenuSkinStyle::drawPopupItem(const QStyleOptionMenuItem& item, QPainter& painter,
                                  const QWidget* widget) const {
    const MenuSkinColors colours = coloursOf(item.palette);
    drawPopupBackground(item, colours, painter);

    const Bounds b(item.rect);
    if (item.menuItemType == QStyleOptionMenuItem::Separator) {
        const int y = b.top + b.height() / 2;
        painter.fillRect(QRect(b.left + kTextLeft, y, b.right - 1 - (b.left + kTextLeft), 1),
                         colours.disabledText);
        return;
    }

    drawCheckAndIcon(item, colours, painter);
    const bool disabled = !(item.state & State_Enabled);
    const QColor textColour = disabled ? colours.disabledText
                                       : item.palette.color(QPalette::Active, QPalette::WindowText);
    drawPopupTexts(item, textColour, painter, widget);

    if (item.menuItemType == QStyleOptionMenuItem::SubMenu) {
        // Small solid triangle in the 12-pixel margin on the right.
        const int cx = b.right - 8;
        const int cy = b.top + b.height() / 2;
        const QPolygon arrow({QPoint(cx - 2, cy - 4), QPoint(cx + 2, cy), QPoint(cx - 2, cy + 4)});
        painter.setPen(Qt::NoPen);
        painter.setBrush(textColour);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawPolygon(arrow);
    }
}

void MenuSkinStyle::drawCheckAndIcon(const QStyleOptionMenuItem& item,
                                     const MenuSkinColors& colours, QPainter& painter) const {
    const Bounds b(item.rect);
    const bool disabled = !(item.state & State_Enabled);
    const bool selected = item.state & State_Selected;
    const bool checked = item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked;
    const QColor highlight = item.palette.color(QPalette::Highlight);
    const QColor menuText = item.palette.color(QPalette::Active, QPalette::WindowText);

    QColor boxFill;
    if (checked) {
        boxFill = disabled   ? colours.disabledHighlight
                  : selected ? colours.checkedSelectedFill
                             : colours.highlightFill;
        const QRect box(QPoint(b.left + 1, b.top + 1), QPoint(b.left + 19, b.bottom - 2));
        painter.fillRect(box, boxFill);
        frameRect(painter, box, highlight);
    }

    if (!item.icon.isNull()) {
        const QPixmap pixmap = item.icon.pixmap(QSize(kIconSize, kIconSize), QIcon::Normal,
                                                checked ? QIcon::On : QIcon::Off);
        if (disabled) {
            painter.drawPixmap(b.left + 3, b.top + 3, silhouette(pixmap, colours.iconShadow));
        } else if (selected && !checked) {
            painter.drawPixmap(b.left + 4, b.top + 4, silhouette(pixmap, colours.hotIconShadow));
            painter.drawPixmap(b.left + 2, b.top + 2, pixmap);
        } else {
            painter.drawPixmap(b.left + 3, b.top + 3, pixmap);
        }
        return;
    }
    if (!checked)
        return;

    // Mark area: x from left + 5 to left + 20, the item's full height.
    const QColor markColour = disabled ? colours.iconShadow : menuText;
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (item.checkType == QStyleOptionMenuItem::Exclusive) {
        const QPointF centre(b.left + 12.5, b.top + b.height() / 2.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(markColour);
        painter.drawEllipse(centre, 3.5, 3.5);
    } else {
        // Tick drawn inside a 13 x 13 square whose corner is (left + 5, top + 3).
        const QPointF origin(b.left + 5, b.top + 3 + std::max(0, (b.height() - 6 - 13) / 2));
        QPen pen(markColour, 2.0);
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QPointF tick[] = {origin + QPointF(3, 6.5), origin + QPointF(5.5, 9),
                                origin + QPointF(10, 3.5)};
        painter.drawPolyline(tick, 3);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
}

void MenuSkinStyle::drawPopupTexts(const QStyleOptionMenuItem& item, const QColor& textColour,
                                   QPainter& painter, const QWidget* widget) const {
    const Bounds b(item.rect);
    const qsizetype tab = item.text.indexOf(u'\t');
    const QString label = tab < 0 ? item.text : item.text.left(tab);
    const QString shortcut = tab < 0 ? QString() : item.text.mid(tab + 1);
    const int mnemonic = mnemonicFlag(*this, item, widget);

    QFont font = item.font;
    if (item.menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    painter.setFont(font);
    painter.setPen(textColour);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QRect textRect(b.left + kTextLeft, b.top, b.right - kShortcutRight - (b.left + kTextLeft),
                         b.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic,
                     label);
    if (!shortcut.isEmpty()) {
        painter.setFont(item.font);
        painter.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                         shortcut);
    }
}

void MenuSkinStyle::drawMenuBarItem(const QStyleOptionMenuItem& item, QPainter& painter,
                                    const QWidget* widget) const {
    const QPalette& palette = item.palette;
    const MenuSkinColors colours = coloursOf(palette);
    const QColor face = palette.color(QPalette::Button);
    const Bounds b(item.rect);
    const QRect framed(b.left, b.top, std::max(0, b.width() - kBarFrameInset), b.height());
    const QRect strip(framed.x() + framed.width(), b.top, b.right - (framed.x() + framed.width()),
                      b.height());
    const bool disabled = !(item.state & State_Enabled);
    // A popup open from the bar takes the activation from the window, but the bar still
    // belongs to the window the user works in.
    const bool inactive = widget && !widget->isActiveWindow() && !QApplication::activePopupWidget();
    const bool open = (item.state & State_Selected) && (item.state & State_Sunken);
    const bool hot = (item.state & State_Selected) && !open && !inactive;

    if (open) {
        painter.fillRect(framed, colours.lightFace);
        frameRect(painter, framed, palette.color(QPalette::Active, QPalette::Shadow));
        // Shadow of the open item on its right, below the first rows so the popup seems lifted.
        painter.fillRect(strip, face);
        for (int x = strip.x(); x < b.right; ++x) {
            const int column = b.right - 1 - x;
            for (int y = b.top + kShadowTop; y < b.bottom; ++y)
                painter.fillRect(QRect(x, y, 1, 1),
                                 shadeColour(face, shadowPercent(column, y - b.top - kShadowTop)));
        }
    } else if (hot) {
        painter.fillRect(framed, disabled ? colours.disabledHighlight : colours.highlightFill);
        frameRect(painter, framed, palette.color(QPalette::Highlight));
        painter.fillRect(strip, face);
    } else {
        painter.fillRect(item.rect, face);
    }

    const QColor textColour = inactive   ? palette.color(QPalette::Active, QPalette::Dark)
                              : disabled ? colours.disabledText
                                         : palette.color(QPalette::Active, QPalette::WindowText);
    painter.setFont(item.font);
    painter.setPen(textColour);
    painter.drawText(framed,
                     Qt::AlignCenter | Qt::TextSingleLine | mnemonicFlag(*this, item, widget),
                     item.text);
}

void MenuSkinStyle::drawPopupFrame(const QStyleOption& option, QPainter& painter,
                                   const QWidget* widget) const {
    const MenuSkinColors colours = coloursOf(option.palette);
    const QRect& rect = option.rect;
    frameRect(painter, rect, option.palette.color(QPalette::Active, QPalette::Shadow));
    frameRect(painter, rect.adjusted(1, 1, -1, -1), colours.menuBackground);
    frameRect(painter, rect.adjusted(2, 2, -2, -2), colours.menuBackground);

    // Where the popup hangs under the open menu-bar item, leave the joint open in the item's
    // fill so that item and popup read as one surface.
    const auto* menu = qobject_cast<const QMenu*>(widget);
    const auto* bar = menu ? qobject_cast<const QMenuBar*>(menu->parentWidget()) : nullptr;
    QAction* action = bar ? bar->activeAction() : nullptr;
    if (!action || action->menu() != menu)
        return;
    const QRect barItem = bar->actionGeometry(action);
    const QPoint itemTopLeft = bar->mapToGlobal(barItem.topLeft());
    const int itemBottom = itemTopLeft.y() + barItem.height();
    const QPoint menuTopLeft = menu->mapToGlobal(QPoint(0, 0));
    if (std::abs(itemBottom - menuTopLeft.y()) > 1)
        return;
    const int from = std::max(itemTopLeft.x() + 1, menuTopLeft.x() + 1) - menuTopLeft.x();
    const int to = std::min(itemTopLeft.x() + barItem.width() - kBarFrameInset - 1,
                            menuTopLeft.x() + rect.width() - 1) -
                   menuTopLeft.x();
    if (to > from)
        painter.fillRect(QRect(rect.x() + from, rect.y(), to - from, 1), colours.lightFace);
}

void MenuSkinStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget))
        widget->installEventFilter(this);
}

void MenuSkinStyle::unpolish(QWidget* widget) {
    if (qobject_cast<QMenu*>(widget) || qobject_cast<QMenuBar*>(widget))
        widget->removeEventFilter(this);
    QProxyStyle::unpolish(widget);
}

bool MenuSkinStyle::handleMnemonic(QMenu& menu, const QString& typed) const {
    if (typed.size() != 1 || !typed[0].isPrint() || typed[0].isSpace())
        return false;
    QList<QAction*> visible;
    QStringList labels;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        visible.append(action);
        labels.append(action->isSeparator() ? QString() : action->text());
    }
    const std::optional<int> row = findMnemonicItem(labels, typed[0]);
    if (!row)
        return false;
    QAction* action = visible[*row];
    if (action->isEnabled()) {
        // Let the menu run the item as if chosen and confirmed with Enter (this also opens a
        // submenu and closes the whole chain after a command).
        menu.setActiveAction(action);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(&menu, &enter);
    }
    return true;
}

bool MenuSkinStyle::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        // Bar labels turn grey in an inactive window even when the palette does not change.
        if (auto* bar = qobject_cast<QMenuBar*>(watched))
            bar->update();
    }
    auto* menu = qobject_cast<QMenu*>(watched);
    if (menu && isSkinned(menu)) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
            if (plain && handleMnemonic(*menu, key->text()))
                return true;
        } else if (event->type() == QEvent::Show) {
            // One pixel higher than asked: the popup covers the bottom line of the item it
            // hangs from, which the frame then leaves open.
            menu->move(menu->pos() - QPoint(0, 1));
        }
    }
    return QProxyStyle::eventFilter(watched, event);
}
