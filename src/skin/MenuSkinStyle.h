#pragma once

#include "skin/MenuSkinProfile.h"

#include <QProxyStyle>

class QMenu;
class QPainter;
class QStyleOptionMenuItem;
struct MenuSkinColors;

// Flat look for the menu bar and its popup menus: a coloured (optionally shaded) column on the
// left of popup items that carries the check box or the action's icon, a framed highlight, and
// a one-pixel popup frame. Everything else is drawn by the base style.
class CMenuSkinStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Name of the dynamic property that switches the skin off (false) for one window's menus.
    static constexpr const char* kSkinProperty = "lumicutMenuSkin";

    // colourDepth: bits per pixel of the display; 8 or fewer gets flat colours only.
    CMenuSkinStyle(const MenuSkinProfile& profile, int colourDepth, QStyle* base = nullptr);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;

    void polish(QWidget* widget) override;
    void unpolish(QWidget* widget) override;
    using QProxyStyle::polish;
    using QProxyStyle::unpolish;

    // True unless the window that owns the menu (bar) has the skin switched off.
    [[nodiscard]] static bool IsSkinned(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool RichColours() const { return colourDepth > 8; }
    [[nodiscard]] QColor GradientStart(const MenuSkinColors& colours) const;
    [[nodiscard]] QColor GradientEnd(const MenuSkinColors& colours) const;
    [[nodiscard]] QColor PopupBackground(const MenuSkinColors& colours) const;

    void DrawPopupItem(const QStyleOptionMenuItem& item, QPainter& painter,
                       const QWidget* widget) const;
    void DrawPopupBackground(const QStyleOptionMenuItem& item, const MenuSkinColors& colours,
                             QPainter& painter) const;
    void DrawCheckAndIcon(const QStyleOptionMenuItem& item, const MenuSkinColors& colours,
                          QPainter& painter) const;
    void DrawPopupTexts(const QStyleOptionMenuItem& item, const QColor& textColour,
                        QPainter& painter, const QWidget* widget) const;
    void DrawMenuBarItem(const QStyleOptionMenuItem& item, QPainter& painter,
                         const QWidget* widget) const;
    void DrawPopupFrame(const QStyleOption& option, QPainter& painter, const QWidget* widget) const;
    bool HandleMnemonic(QMenu& menu, const QString& typed) const;

    MenuSkinProfile profile;
    int colourDepth = 32;
};
