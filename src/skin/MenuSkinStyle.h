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
class MenuSkinStyle : public QProxyStyle {
    Q_OBJECT

public:
    // Name of the dynamic property that switches the skin off (false) for one window's menus.
    static constexpr const char* kSkinProperty = "lumicutMenuSkin";

    // colourDepth: bits per pixel of the display; 8 or fewer gets flat colours only.
    MenuSkinStyle(const MenuSkinProfile& profile, int colourDepth, QStyle* base = nullptr);

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
    [[nodiscard]] static bool isSkinned(const QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] bool richColours() const { return m_colourDepth > 8; }
    [[nodiscard]] QColor gradientStart(const MenuSkinColors& colours) const;
    [[nodiscard]] QColor gradientEnd(const MenuSkinColors& colours) const;
    [[nodiscard]] QColor popupBackground(const MenuSkinColors& colours) const;

    void drawPopupItem(const QStyleOptionMenuItem& item, QPainter& painter,
                       const QWidget* widget) const;
    void drawPopupBackground(const QStyleOptionMenuItem& item, const MenuSkinColors& colours,
                             QPainter& painter) const;
    void drawCheckAndIcon(const QStyleOptionMenuItem& item, const MenuSkinColors& colours,
                          QPainter& painter) const;
    void drawPopupTexts(const QStyleOptionMenuItem& item, const QColor& textColour,
                        QPainter& painter, const QWidget* widget) const;
    void drawMenuBarItem(const QStyleOptionMenuItem& item, QPainter& painter,
                         const QWidget* widget) const;
    void drawPopupFrame(const QStyleOption& option, QPainter& painter, const QWidget* widget) const;
    bool handleMnemonic(QMenu& menu, const QString& typed) const;

    MenuSkinProfile m_profile;
    int m_colourDepth = 32;
};
